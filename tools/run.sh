#!/usr/bin/env bash
# The run command: installs what is missing, builds, and starts Routelark under Wine: the program
# users get (the release zip's i686 build), natively or under CPU emulation where this machine
# runs no 32-bit code; the x86_64 build, saying so, only where neither can run it.
#   With DISPLAY set: on that display, on the real network, until you close it.
#   Without: inside a fresh lab network on a virtual display; it waits for the main window, types
#   the lab's destination into the host name box and presses Return as a user would, saves
#   screenshots to build/screenshots/, closes the window and reports the program's exit status.
#   --trace HOST      the host to trace (default dest.routelark.test; "" traces nothing)
#   --shots S1,S2...  seconds after Return at which to take screenshots (default 6)
#   --keep SECONDS    the same as --shots SECONDS
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$repo/build
usage() { echo "usage: tools/run.sh [--trace HOST] [--shots S1,S2,...] [--keep SECONDS]" >&2; exit 2; }

shots=6
trace=dest.routelark.test
in_lab=0
while [ $# -gt 0 ]; do
    case $1 in
    --keep) [[ ${2:-} =~ ^[0-9]+([.][0-9]+)?$ ]] || usage; shots=$2; shift 2 ;;
    --shots) [[ ${2:-} =~ ^[0-9]+(,[0-9]+)*$ ]] || usage; shots=$2; shift 2 ;;
    --trace) [ $# -ge 2 ] || usage; trace=$2; shift 2 ;;
    --in-lab) in_lab=1; shift ;;
    *) usage ;;
    esac
done

# The folder the program runs from: the release zip unpacked (its routelark.ini kept from run
# to run), or the x86_64 build folder. Known once the install step has set up what it can.
program_folder() {
    program=$build/run-i686
    [ "$("$repo/tools/wine-arch")" != x86_64 ] || program=$build
}

if [ "$in_lab" = 1 ]; then
    program_folder
    DESKTOP_SAY=run DESKTOP_PROGRAM_DIR=$program
    . "$repo/tools/lab-desktop.sh"
    desktop_open
    desktop_start
    if [ -n "$trace" ]; then
        # The host name box has the focus at start-up, and shows the host of the last run.
        xdotool windowfocus --sync "$DESKTOP_WINDOW" key End shift+Home BackSpace type --delay 30 "$trace"
        xdotool key Return
        echo "run: typed $trace and pressed Return"
    fi
    rm -f screenshots/run*.png
    waited=0
    for at in ${shots//,/ }; do
        sleep $((at > waited ? at - waited : 0))
        waited=$at
        desktop_shot "run-${at}s"
    done
    # Alt+F4 asks the window to close, as a user would (WM_CLOSE).
    desktop_close
    exit
fi

"$repo/tools/test.sh" --build-only
program_folder
if [ "$program" = "$build" ]; then
    echo "run: this machine runs no 32-bit code and its emulation could not be set up: starting the x86_64 build"
else
    "$repo/tools/release.sh" "$build/release" >/dev/null
    mkdir -p "$program"
    python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' \
        "$(ls "$build"/release/routelark-*.zip)" "$program"
    echo "run: starting the release zip's routelark.exe (i686, $("$repo/tools/wine-arch" | sed 's/i686-emulated/under CPU emulation/; s/^i686$/natively/'))"
fi
if [ -n "${DISPLAY:-}" ]; then
    cd "$program"
    status=0
    WINEPREFIX=$build/wineprefix-desktop ROUTELARK_ALLOW_NETWORK=1 "$repo/tools/wine-run" routelark.exe || status=$?
    echo "run: Routelark exited with status $status"
    exit "$status"
fi
"$repo/tests/lab/lab.sh" cleanup --stale
exec "$repo/tests/lab/lab.sh" run -- "$repo/tools/run.sh" --in-lab --shots "$shots" --trace "$trace"
