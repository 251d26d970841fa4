#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Routelark need, when some are
# missing (run as root). Quiet: prints one line naming what it installed, or nothing.
# A Debian mirror is often mid-sync, one index a few bytes off: the update is retried, and an
# install that still fails is tried once more without each suite whose index failed. The
# system's apt sources and pins are never changed, and nothing is ever downgraded or removed.
set -euo pipefail

packages=(wine wine32:i386 wine64 g++-mingw-w64-i686 g++-mingw-w64-x86-64 xvfb xauth xdotool xclip imagemagick cmake
    ninja-build googletest iproute2 nftables python3 halibut libchm-bin procps fonts-wine netcat-openbsd
    clang libclang-rt-14-dev llvm) # the native sanitizer and fuzzing build (tests/native)
tools=$(dirname "${BASH_SOURCE[0]}")
. "$tools/apt-retry.sh"

# Prints the packages not installed yet, one per line. One dpkg-query for all: "name:arch status"
# per installed package ("wine:all", "cmake:amd64").
missing_packages() {
    local installed p pattern
    installed=$(dpkg-query -W -f='${Package}:${Architecture} ${db:Status-Abbrev}\n' "${packages[@]%%:*}" 2>/dev/null || true)
    for p in "${packages[@]}"; do
        if [[ $p == *:* ]]; then pattern="^$p ii"; else pattern="^$p:[^ ]* ii"; fi
        grep -q "$pattern" <<<"$installed" || echo "$p"
    done
}

# Where no 32-bit code runs natively, the shipped program runs under emulation, set up apart from
# the system's packages. Without it only the x86_64 build runs here: said, but not fatal.
emulate() {
    [ "$("$tools/wine-arch")" != i686 ] && [ "${ROUTELARK_WINE_ARCH:-}" != x86_64 ] || return 0
    "$tools/i686-emulation.sh" ||
        echo "install-deps: the i686 program cannot run here; only the x86_64 build is tested" >&2
}

# apt-get update, retried while an index fails (apt exits 100 then). True when all were fetched;
# either way the last attempt's log stays in $work/update.log for failed_suites.
update_indexes() {
    { dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386; } >"$work/update.log" 2>&1 &&
        retry_apt apt-get -q update >"$work/update.log" 2>&1
}

# "suite<TAB>why" for each suite whose index the last update could not fetch, from apt's lines
# "E: Failed to fetch http://.../dists/SUITE/main/binary-ARCH/Packages.xz  REASON [IP: ...]".
failed_suites() {
    awk '/Failed to fetch / && match($0, /\/dists\/[^\/]+\//) {
        suite = substr($0, RSTART + 7, RLENGTH - 8)
        arch = match($0, /\/binary-[a-z0-9]+\//) ? substr($0, RSTART + 8, RLENGTH - 9) " " : ""
        reason = $0; sub(/^.*Failed to fetch [^ ]+ +/, "", reason); sub(/ *\[IP:.*$/, "", reason)
        why = reason ~ /Mirror sync in progress/ ? "its " arch "index is mid-sync on the mirror" \
            : "its " arch "index could not be fetched (" reason ")"
        if (!(suite in seen)) { seen[suite]; print suite "\t" why }
    }' "$work/update.log"
}

# Copies the system's source lists into $work/sources without the suites named in $@: one-line
# entries ("deb [options] URI SUITE COMPONENT...") of those suites are dropped, and deb822
# stanzas lose them from their Suites field, or go when none is left.
write_sources_without() {
    local file
    mkdir -p "$work/sources/parts"
    : >"$work/sources/sources.list"
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        local copy=$work/sources/parts/${file##*/}
        [ "$file" != /etc/apt/sources.list ] || copy=$work/sources/sources.list
        if [[ $file == *.sources ]]; then
            awk -v out="$*" 'BEGIN { n = split(out, o, " "); for (i = 1; i <= n; i++) left[o[i]] }
                function flush() { if (keep) printf "%s", stanza; stanza = ""; keep = 1 }
                BEGIN { keep = 1 }
                /^[ \t]*$/ { flush(); print; next }
                /^Suites:/ { line = "Suites:"; kept = 0
                    for (i = 2; i <= NF; i++) if (!($i in left)) { line = line " " $i; kept++ }
                    if (!kept) keep = 0
                    $0 = line }
                { stanza = stanza $0 "\n" }
                END { flush() }' "$file" >"$copy"
        else
            awk -v out="$*" 'BEGIN { n = split(out, o, " "); for (i = 1; i <= n; i++) left[o[i]] }
                $1 ~ /^deb(-src)?$/ { i = 2
                    if ($i ~ /^\[/) while ($i !~ /\]$/ && i < NF) i++
                    if ($i ~ /^\[/ || $i ~ /\]$/) i++
                    if ($(i + 1) in left) next }
                { print }' "$file" >"$copy"
        fi
    done
}

# apt-get install of the missing packages; "$@" are options for apt (another source list).
# No --allow-downgrades: with -y, apt refuses any plan that downgrades a package.
install_missing() {
    apt-get -q install -y --no-install-recommends --no-remove "$@" "${missing[@]}" >"$work/install.log" 2>&1
}

# The first install failed: once more without each suite whose index failed, from a private copy
# of the source lists and a package cache built in memory, so no system file changes.
install_without_failed_suites() {
    local suites=() suite why
    while IFS=$'\t' read -r suite why; do
        suites+=("$suite")
        echo "install-deps: $suite left out: $why" >&2
    done < <(failed_suites)
    [ ${#suites[@]} -gt 0 ] || return 1
    write_sources_without "${suites[@]}"
    install_missing -o "Dir::Etc::SourceList=$work/sources/sources.list" \
        -o "Dir::Etc::SourceParts=$work/sources/parts" -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=
}

# apt's own last words (what it would have done, and why it would not), and what could not be
# installed.
report_failure() {
    tail -n 6 "$work/install.log" >&2
    echo "install-deps: could not install ${missing[*]}" >&2
    exit 1
}

mapfile -t missing < <(missing_packages)
if [ ${#missing[@]} -eq 0 ]; then
    emulate
    exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing ${missing[*]}; run tools/install-deps.sh as root" >&2
    exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export DEBIAN_FRONTEND=noninteractive
update_indexes || true # a failed index is worked around below, when the install needs it
install_missing || install_without_failed_suites || report_failure
echo "install-deps: installed ${missing[*]}"
emulate
