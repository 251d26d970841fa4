#!/usr/bin/env bash
# The run command: installs what is missing, builds, and starts Routelark under Wine.
#   With DISPLAY set: on that display, on the real network, until you close it.
#   Without: inside a fresh lab network on a virtual display; it waits for the main window, saves a
#   screenshot to build/screenshots/run.png, closes the window and reports the program's exit status.
#   --keep SECONDS keeps it running that long before the screenshot and closing (default 1).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$repo/build
usage() { echo "usage: tools/run.sh [--keep SECONDS]" >&2; exit 2; }

keep=1
in_lab=0
while [ $# -gt 0 ]; do
    case $1 in
    --keep) [[ ${2:-} =~ ^[0-9]+([.][0-9]+)?$ ]] || usage; keep=$2; shift 2 ;;
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
    sleep "$keep"
    mkdir -p "$build/screenshots"
    import -window root "$build/screenshots/run.png"
    echo "run: screenshot saved to $build/screenshots/run.png"
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
exec "$repo/tests/lab/lab.sh" run -- "$repo/tools/run.sh" --in-lab --keep "$keep"
