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

# Wine tells a batch file the program's exit status; the desktop shell around it would not.
exit_status_file=$build/routelark.exit
write_launcher() {
    printf '@start /wait routelark.exe\r\n@>"%s" echo %%ERRORLEVEL%%\r\n' "routelark.exit" >"$build/run-routelark.cmd"
    rm -f "$exit_status_file"
}

wait_gone() { # wait_gone PID SECONDS: true once PID has ended
    local tries=$(($2 * 10))
    while kill -0 "$1" 2>/dev/null; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

if [ "$in_lab" = 1 ]; then
    . "$repo/tests/lab/session.sh"
    trap session_stop EXIT
    session_start "$build/wineprefix" "$build/logs" 1024x700x24
    cd "$build"
    write_launcher
    "$repo/tools/wine-run" explorer /desktop=Routelark,1024x700 cmd /c run-routelark.cmd &
    shell=$!
    window=
    for ((tries = 600; tries > 0; tries--)); do
        window=$(xdotool search --onlyvisible --name '^Routelark$' 2>/dev/null | head -n1) && [ -n "$window" ] && break
        kill -0 "$shell" 2>/dev/null || { echo "run: Routelark ended before its window showed" >&2; exit 1; }
        sleep 0.1
    done
    [ -n "$window" ] || { echo "run: no window \"Routelark\" within 60 s" >&2; exit 1; }
    echo "run: window \"Routelark\" is shown"
    if [ -n "$trace" ]; then
        # The host name box has the focus at start-up.
        xdotool windowfocus --sync "$window" type --delay 30 "$trace"
        xdotool key Return
        echo "run: typed $trace and pressed Return"
    fi
    mkdir -p "$build/screenshots"
    rm -f "$build"/screenshots/run*.png
    waited=0
    for at in ${shots//,/ }; do
        sleep $((at > waited ? at - waited : 0))
        waited=$at
        shot=$build/screenshots/run-${at}s.png
        import -window root "$shot"
        echo "run: screenshot after ${at} s saved to $shot"
    done
    # Alt+F4 asks the window to close, as a user would (WM_CLOSE).
    xdotool windowfocus --sync "$window" key alt+F4 2>/dev/null || true
    if ! wait_gone "$shell" 20; then
        echo "run: Routelark did not exit within 20 s of closing its window" >&2
        exit 1
    fi
    wait "$shell" || true
    status=$(tr -dc 0-9- 2>/dev/null <"$exit_status_file" || true)
    [ -n "$status" ] || { echo "run: Routelark's exit status is unknown" >&2; exit 1; }
    echo "run: Routelark exited with status $status"
    exit $((status == 0 ? 0 : 1))
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
