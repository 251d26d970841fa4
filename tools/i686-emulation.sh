#!/usr/bin/env bash
# Sets up the running of 32-bit Windows programs on a machine that runs no 32-bit x86 code at all:
# Wine's own 32-bit loader under user-mode CPU emulation. Idempotent and quiet: prints one line
# when it set something up, nothing when all was there already; exits non-zero when it failed.
#   tools/i686-emulation.sh [DIR]     (default /var/cache/routelark/i686-emulation)
#
# What it makes, all inside DIR (no system package is installed and no apt source changed):
#   bin/qemu-i386       the static emulator from Debian 13's qemu-user (10.0; Debian 12's 7.2
#                       starts Wine in over a minute and fails its threads)
#   lib/wine/wine.i386  a copy of Debian's 32-bit Wine loader
#   lib/wine/wine       a script running that loader under the emulator
#   lib/wine/wine64     a copy of the 64-bit loader: it starts a 32-bit program through the
#                       "wine" beside it, so 32-bit children go through the emulator too
#   lib/wine/wineserver, lib/i386-linux-gnu, lib/x86_64-linux-gnu, share/wine
#                       links to the system's, where the loaders look for them
#   ready               the Wine version it was made for; remade when the system's Wine changes
# A Wine prefix made by this wine64 holds the 32-bit system folder too (one made by the system's
# wine64 does not), and serves 64-bit and 32-bit programs alike.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/apt-retry.sh"

dir=${1:-${ROUTELARK_EMULATION_DIR:-/var/cache/routelark/i686-emulation}}
suite=trixie # Debian 13
system_wine=$(/usr/lib/wine/wine64 --version 2>/dev/null || true)
[ -n "$system_wine" ] || { echo "i686-emulation: no Wine 64-bit loader (/usr/lib/wine/wine64)" >&2; exit 1; }

works() {
    [ "$(cat "$dir/ready" 2>/dev/null)" = "$system_wine" ] &&
        "$dir/lib/wine/wine" --version >/dev/null 2>&1
}
works && exit 0

started=$(date +%s)
log=$(mktemp)
trap 'rm -f "$log"' EXIT
fail() { cat "$log" >&2; echo "i686-emulation: $*" >&2; exit 1; }

# qemu-i386, fetched with an apt state of our own: the system's sources, lists and cache stay
# as they are.
if ! [ -x "$dir/bin/qemu-i386" ]; then
    apt=$dir/apt
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$dir/bin"
    echo "deb http://deb.debian.org/debian $suite main" >"$apt/sources.list"
    options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
        -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache"
        -o "Dir::Cache::Archives=$apt/cache/archives" -o APT::Architecture=amd64
        -o APT::Architectures=amd64 -o APT::Sandbox::User=root -q)
    fetch() {
        rm -f "$apt"/qemu-user_*.deb
        apt-get "${options[@]}" update && (cd "$apt" && apt-get "${options[@]}" download qemu-user)
    }
    retry_apt fetch >>"$log" 2>&1 || fail "could not download qemu-user from Debian $suite"
    dpkg-deb --fsys-tarfile "$apt"/qemu-user_*.deb | tar -x -O ./usr/bin/qemu-i386 >"$dir/bin/qemu-i386.new" ||
        fail "qemu-user holds no usr/bin/qemu-i386"
    chmod 755 "$dir/bin/qemu-i386.new"
    mv "$dir/bin/qemu-i386.new" "$dir/bin/qemu-i386"
    rm -rf "$apt"
fi

# The loaders, copied: Wine takes the folder of the loader it runs as its own, and looks beside
# it for the other loader and for the server, and in ../<arch>-linux-gnu and ../../share for the
# rest of itself.
loaders=$dir/lib/wine
mkdir -p "$loaders" "$dir/share"
cp /usr/lib/wine/wine "$loaders/wine.i386"
cp /usr/lib/wine/wine64 "$loaders/wine64"
ln -sfn /usr/lib/wine/wineserver "$loaders/wineserver"
ln -sfn /usr/lib/i386-linux-gnu "$dir/lib/i386-linux-gnu"
ln -sfn /usr/lib/x86_64-linux-gnu "$dir/lib/x86_64-linux-gnu"
ln -sfn /usr/share/wine "$dir/share/wine"
# -0: the program sees itself started as this script, which it runs again for a 32-bit child.
cat >"$loaders/wine" <<SCRIPT
#!/bin/sh
exec "$dir/bin/qemu-i386" -0 "$loaders/wine" "$loaders/wine.i386" "\$@"
SCRIPT
chmod 755 "$loaders/wine"
"$loaders/wine" --version >>"$log" 2>&1 || fail "Wine's 32-bit loader does not start under qemu-i386"
echo "$system_wine" >"$dir/ready"
echo "i686-emulation: Wine's 32-bit loader runs under qemu-i386 ($dir), set up in $(($(date +%s) - started)) s"
