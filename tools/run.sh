#!/usr/bin/env bash
# The run command: installs what is missing, builds, and starts Routelark under Wine.
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

if [ "$in_lab" = 1 ]; then
    DESKTOP_SAY=run
    . "$repo/tools/lab-desktop.sh"
    desktop_open
    desktop_start
    if [ -n "$trace" ]; then
        # The host name box has the focus at start-up.
        xdotool windowfocus --sync "$DESKTOP_WINDOW" type --delay 30 "$trace"
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
if [ -n "${DISPLAY:-}" ]; then
    cd "$build"
    status=0
    WINEPREFIX=$build/wineprefix-desktop ROUTELARK_ALLOW_NETWORK=1 "$repo/tools/wine-run" routelark.exe || status=$?
    echo "run: Routelark exited with status $status"
    exit "$status"
fi
"$repo/tests/lab/lab.sh" cleanup --stale
exec "$repo/tests/lab/lab.sh" run -- "$repo/tools/run.sh" --in-lab --shots "$shots" --trace "$trace"
