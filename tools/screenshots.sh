#!/usr/bin/env bash
# Renews the README's screenshots from the real program, in a fresh lab on a virtual display
# (through tools/lab-desktop.sh, as the tours): each is cut to the window it shows and written
# as a compressed PNG to docs/screenshots/:
#   trace.png         the main window tracing dest.routelark.test, the ping cycle running
#   graph.png         the hop graph of the destination over the last minute, once the slow link
#                     loses some of its packets
#   setup.png         the Setup dialog (Ctrl+S) with the built-in settings
#   whois.png         the WhoIs dialog (Ctrl+W) with the answer of the lab's WhoIs host
#   trace-144dpi.png  the trace again on a screen of 144 DPI (150%)
# The whole screens stay in build/screenshots/screenshots-*.png.
#   tools/screenshots.sh --dpi DPI   the trace, graph, Setup and WhoIs on a screen of that DPI, cut
#                                    to build/screenshots/NAME-DPIdpi.png, for looking at only
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ "${1:-}" != --in-lab ]; then
    usage() { echo "usage: tools/screenshots.sh [--dpi DPI]" >&2; exit 2; }
    [ $# -eq 0 ] || { [ $# -eq 2 ] && [ "$1" = --dpi ] && [[ $2 =~ ^[1-9][0-9]*$ ]]; } || usage
    "$repo/tools/test.sh" --build-only
    "$repo/tests/lab/lab.sh" cleanup --stale
    # The slow link loses 2% of its packets in each direction once the route is found and the
    # trace shot taken, so that the graph shows some loss.
    lab=("$repo/tests/lab/lab.sh" run --loss 2 --loss-later --)
    if [ $# -eq 2 ]; then
        exec "${lab[@]}" "$0" --in-lab "$2"
    fi
    "${lab[@]}" "$0" --in-lab
    exec "${lab[@]}" "$0" --in-lab 144 --readme
fi
# --in-lab [DPI [--readme]]: the shots at 96 DPI, or at DPI; --readme: the trace at DPI to the README.
dpi=${2:-}
readme=${3:-}

topo() { awk -v n="$1" '$1 == "#define" && $2 == n { v = $3; gsub(/"/, "", v); print v; exit }' \
    "$repo/tests/lab/lab_topology.h"; }
dest=$(topo LAB_DEST_NAME)
whois_server=$(topo LAB_WHOIS_NAME)
whois_domain=www.$(topo LAB_WHOIS_QUERY) # the program asks for the domain alone

DESKTOP_SAY=screenshots
DESKTOP_DPI=$dpi
. "$repo/tools/lab-desktop.sh"
desktop_open
out=$DESKTOP_REPO/docs/screenshots
suffix= # of the shots' names at another DPI, which go to build/screenshots
[ -z "$dpi" ] || { out=$DESKTOP_BUILD/screenshots suffix=-${dpi}dpi; }
mkdir -p "$out"
say() { desktop_say "$@"; }
fail() { say "FAIL: $*" >&2; exit 1; }
# The built-in settings, not those of an earlier run; the window just wide enough for all ten
# columns at their built-in widths (850 pixels at 96 DPI).
rm -f screenshots/screenshots-*"$suffix".png
printf '[Window]\r\nWidth=%d\r\n' $((850 * ${dpi:-96} / 96)) >routelark.ini

# rect [CLASS | --dialog TITLE | --window CLASS]: the window's "LEFT TOP RIGHT BOTTOM" in the Wine desktop, which
# fills the screen from its top left corner; fails when it is not shown within 10 s.
rect() {
    local file=logs/screenshots-rect.txt tries n
    for ((tries = 20; tries > 0; tries--)); do
        rm -f "$file"
        "$DESKTOP_REPO/tools/wine-run" explorer "/desktop=Routelark,$DESKTOP_SIZE" \
            tools/tour/window_rect.exe "$file" "$@" >/dev/null
        for ((n = 10; n > 0; n--)); do [ -s "$file" ] && break; sleep 0.05; done
        [ -s "$file" ] && { tr -d '\r' <"$file"; return; }
        sleep 0.5
    done
    return 1
}
# shot NAME [CLASS | --dialog TITLE | --window CLASS]: the screen, and the window cut out to
# docs/screenshots/NAME.png (at another DPI to build/screenshots/NAME-DPIdpi.png).
shot() {
    local name=$1$suffix box l t r b
    shift
    box=$(rect "$@") || fail "no window to cut $name.png from"
    read -r l t r b <<<"$box"
    desktop_shot "screenshots-$name" >/dev/null
    # -strip drops the dates ImageMagick writes, so the same picture gives the same file.
    convert "screenshots/screenshots-$name.png" -crop "$((r - l))x$((b - t))+$l+$t" +repage -strip \
        -define png:compression-level=9 "$out/$name.png"
    say "$out/$name.png: $((r - l))x$((b - t)), $(stat -c %s "$out/$name.png") bytes"
}

desktop_start
main=$DESKTOP_WINDOW
# The host name box has the focus at start-up.
xdotool windowfocus --sync "$main" type --delay 30 "$dest"
xdotool key Return
say "typed $dest and pressed Return"
# Past the silent hop's time-out and a few rounds of the ping cycle.
sleep 12
shot trace
if [ -n "$readme" ]; then # the README shows only the trace at another DPI
    cp "$out/trace$suffix.png" "$DESKTOP_REPO/docs/screenshots/trace$suffix.png"
    say "copied to $DESKTOP_REPO/docs/screenshots/trace$suffix.png"
    desktop_close || fail "Routelark did not end cleanly"
    rm -f routelark.ini
    exit 0
fi

# The destination's row selected in the table (a click on the first row, End), Ctrl+G, and the
# last minute (key 1), taken once the lossy link has filled that minute.
"$repo/tests/lab/lab.sh" lose "$ROUTELARK_LAB_PREFIX"
read -r l t _ _ <<<"$(rect SysListView32)" || fail "no hop table"
xdotool mousemove $((l + 100)) $((t + 30)) click 1
xdotool key End ctrl+g
rect --window RoutelarkGraph >/dev/null || fail "Ctrl+G opened no graph"
xdotool key 1
say "the slow link loses packets now; the destination's graph is open"
sleep 65
shot graph --window RoutelarkGraph
xdotool key alt+F4 # the graph has the focus: it closes, the program goes on
sleep 1

xdotool windowfocus --sync "$main" key Escape ctrl+s
rect --dialog "Routelark - Setup" >/dev/null || fail "Ctrl+S opened no Setup dialog"
sleep 0.5
shot setup --dialog "Routelark - Setup"
xdotool key Escape
sleep 1

# As a user would: the domain into the host name box (Ctrl+L takes the focus there and drops the
# history down, F4 folds it up), Ctrl+W, and in the dialog, back from the domain box past Exit,
# Whois and the animation to the server box.
xdotool windowfocus --sync "$main" key ctrl+l F4 End shift+Home BackSpace
xdotool type --delay 30 "$whois_domain"
xdotool key ctrl+w
rect --dialog "Routelark - Whois" >/dev/null || fail "Ctrl+W opened no WhoIs dialog"
sleep 1
xdotool key --delay 100 shift+Tab shift+Tab shift+Tab shift+Tab
xdotool type --delay 30 "$whois_server"
xdotool key Return
say "asked $whois_server about $whois_domain"
sleep 3
shot whois --dialog "Routelark - Whois"
xdotool key Escape
sleep 1

desktop_close || fail "Routelark did not end cleanly"
rm -f routelark.ini # so that tools/run.sh starts from the built-in settings again
