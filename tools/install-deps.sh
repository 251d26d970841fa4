#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Routelark need, when some are
# missing (run as root). Quiet: prints one line naming what it installed, or nothing.
set -euo pipefail

packages=(wine wine32:i386 wine64 g++-mingw-w64-i686 g++-mingw-w64-x86-64 xvfb xauth xdotool xclip imagemagick cmake
    ninja-build googletest iproute2 nftables python3 halibut libchm-bin procps fonts-wine netcat-openbsd
    clang libclang-rt-14-dev llvm) # the native sanitizer and fuzzing build (tests/native)

# One dpkg-query for all: "name:arch status" per installed package ("wine:all", "cmake:amd64").
installed=$(dpkg-query -W -f='${Package}:${Architecture} ${db:Status-Abbrev}\n' "${packages[@]%%:*}" 2>/dev/null || true)
missing=()
for p in "${packages[@]}"; do
    if [[ $p == *:* ]]; then pattern="^$p ii"; else pattern="^$p:[^ ]* ii"; fi
    grep -q "$pattern" <<<"$installed" || missing+=("$p")
done
# Where no 32-bit code runs natively, the shipped program runs under emulation, set up apart from
# the system's packages. Without it only the x86_64 build runs here: said, but not fatal.
emulate() {
    local tools
    tools=$(dirname "${BASH_SOURCE[0]}")
    [ "$("$tools/wine-arch")" != i686 ] && [ "${ROUTELARK_WINE_ARCH:-}" != x86_64 ] || return 0
    "$tools/i686-emulation.sh" ||
        echo "install-deps: the i686 program cannot run here; only the x86_64 build is tested" >&2
}

if [ ${#missing[@]} -eq 0 ]; then
    emulate
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing ${missing[*]}; run tools/install-deps.sh as root" >&2
    exit 1
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
export DEBIAN_FRONTEND=noninteractive
if ! { { dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386; } &&
    apt-get -q update && apt-get -q install -y --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
    cat "$log" >&2
    echo "install-deps: installing ${missing[*]} failed" >&2
    exit 1
fi
echo "install-deps: installed ${missing[*]}"
emulate
