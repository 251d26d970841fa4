#!/usr/bin/env bash
# A tour of the Setup and About dialogs as a user meets them, in a fresh lab on a virtual
# display (through tools/lab-desktop.sh, as the other tours): trace the lab's destination with
# the default timeout, stop, open Setup with Ctrl+S, type a new timeout, press Return (OK), trace
# again, open About with Ctrl+A. The silent router r4 holds each discovery up for one timeout; the tour
# reports how long from the status bar ("Hop 4" to "Hop 5") and fails unless the second trace
# took the new timeout. Screenshots of both dialogs go to build/screenshots/.
#   --timeout MS   the timeout typed into Setup (default 3000)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
timeout=3000
in_lab=0
while [ $# -gt 0 ]; do
    case $1 in
    --timeout) [[ ${2:-} =~ ^[0-9]+$ ]] && [ "$2" -ge 1500 ] && [ "$2" -le 8000 ] ||
        { echo "usage: tools/tour-setup.sh [--timeout 1500..8000]" >&2; exit 2; }
        timeout=$2; shift 2 ;;
    --in-lab) in_lab=1; shift ;;
    *) echo "usage: tools/tour-setup.sh [--timeout MS]" >&2; exit 2 ;;
    esac
done

if [ "$in_lab" = 0 ]; then
    "$repo/tools/test.sh" --build-only
    "$repo/tests/lab/lab.sh" cleanup --stale
    exec "$repo/tests/lab/lab.sh" run -- "$0" --in-lab --timeout "$timeout"
fi

DESKTOP_SAY=tour
. "$repo/tools/lab-desktop.sh"
desktop_open
say() { desktop_say "$@"; }
watch=$DESKTOP_BUILD/logs/tour-status.txt
rm -f routelark.ini screenshots/tour-setup-*.png screenshots/tour-about*.png "$watch"

# until SECONDS COMMAND...: true once COMMAND succeeds, trying every 0.1 s.
until_true() {
    local tries=$(($1 * 10))
    shift
    until "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}
x_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }
shown() { [ -n "$(x_window "$1")" ]; }
# dialog_is TITLE open|closed: the watcher's latest word on that dialog.
dialog_is() { grep -E " dialog $1 (open|closed)" "$watch" 2>/dev/null | tail -n1 | grep -q " dialog $1 $2"; }
fail() { say "FAIL: $*" >&2; exit 1; }
shot() { # shot NAME TITLE: the screen, and the dialog cut out at twice its size
    desktop_shot "tour-$1"
    read -r l t r b < <(grep " dialog $2 open" "$watch" | tail -n1 | awk '{print $(NF-3), $(NF-2), $(NF-1), $NF}')
    convert "screenshots/tour-$1.png" -crop "$((r - l))x$((b - t))+$l+$t" +repage -scale 200% \
        "screenshots/tour-$1-zoom.png"
}
# r4_wait FROM_LINE: milliseconds from the first "Hop 4" after that line of the watch to the
# status change after it. Discovery probes hop 4 before the ping cycle shows any hop again.
r4_wait() {
    tail -n +"$1" "$watch" | awk '$2 == "status" && $3 == "Hop" && $4 == 4 && !start { start = $1; next }
        start && $2 == "status" { print $1 - start; exit }'
}

desktop_start
main=$DESKTOP_WINDOW
: >"$watch" # named by its Windows path, which needs the file to be there
"$repo/tools/wine-run" explorer /desktop=Routelark,1024x700 tools/tour/status_watch.exe \
    "$(windows_path "$watch")" 600 &
until_true 20 test -s "$watch" || fail "the status watcher did not start"

trace() { # trace: Return in the host name box; prints r4's wait once discovery is past it
    local from=$(($(wc -l <"$watch") + 1))
    xdotool windowfocus --sync "$main" key Return
    until_true 30 eval '[ -n "$(r4_wait '"$from"')" ]' || fail "the trace never got past r4"
    sleep 2
    xdotool windowfocus --sync "$main" key Escape
    r4_wait "$from"
}

xdotool windowfocus --sync "$main" type --delay 30 dest.routelark.test
first=$(trace) || exit 1
say "trace 1, default timeout: r4 held the discovery up for $first ms"

xdotool windowfocus --sync "$main" key ctrl+s
until_true 10 dialog_is "Routelark - Setup" open || fail "Ctrl+S opened no Setup dialog"
sleep 0.5
shot setup-opened "Routelark - Setup"
# The first box has the focus with its text selected, as a dialog gives it; replace it anyway.
xdotool windowfocus --sync "$(x_window '^Routelark - Setup$')" key End shift+Home type "$timeout"
sleep 0.5
shot setup-typed "Routelark - Setup"
xdotool key Return
until_true 10 dialog_is "Routelark - Setup" closed || fail "Return did not close Setup"
say "typed $timeout into \"Ping timeout value (ms)\" and pressed Return"

second=$(trace) || exit 1
say "trace 2, timeout $timeout ms: r4 held the discovery up for $second ms"

xdotool windowfocus --sync "$main" key ctrl+a
until_true 10 dialog_is Routelark open || fail "Ctrl+A opened no About dialog"
sleep 0.5
shot about Routelark
xdotool key Escape
sleep 1
dialog_is Routelark open || fail "Esc closed About"
xdotool key Return
until_true 10 dialog_is Routelark closed || fail "Return did not close About"
say "About: Esc left it open, Return closed it"

desktop_close || fail "Routelark did not end cleanly"
say "saved at shutdown: $(tr -d '\r' <routelark.ini | grep '^PingTimeout=')"
rm -f routelark.ini # so that tools/run.sh starts from the built-in settings again

# The new timeout must hold r4 up about that long, and clearly longer than the default did.
if [ "$second" -ge $((timeout - 100)) ] && [ "$second" -le $((timeout + 1500)) ] &&
    [ "$first" -lt $((timeout - 500)) ]; then
    say "pass: the trace after Setup waited $second ms for r4 (timeout $timeout ms), the one before $first ms"
else
    fail "r4 held the traces up $first ms, then $second ms (timeout $timeout ms)"
fi
