#!/usr/bin/env bash
# A route change as a user meets it: inside a fresh lab on a virtual display, Routelark traces
# the destination's address whose route the lab switches; four seconds later the lab sends it
# through r2b instead of r2, and once the route check has seen that twice, hop 2's row is drawn
# in its mark's colour while its cells stay those of the hop it pings.
# Screenshots go to build/screenshots/tour-route-*.png (the table cut out, twice its size).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ "${1:-}" != --in-lab ]; then
    [ $# -eq 0 ] || { echo "usage: tools/tour-route.sh" >&2; exit 2; }
    "$repo/tools/test.sh" --build-only
    "$repo/tests/lab/lab.sh" cleanup --stale
    exec "$repo/tests/lab/lab.sh" run -- "$0" --in-lab
fi

DESKTOP_SAY=tour
. "$repo/tools/lab-desktop.sh"
desktop_open
rm -f routelark.ini screenshots/tour-route-*.png
target=$(awk '$2 == "LAB_SWITCH_DEST_ADDR" { gsub(/"/, "", $3); print $3 }' \
    "$repo/tests/lab/lab_topology.h")

table() { # the hop table's screen rectangle
    local tries
    rm -f logs/table-rect.txt
    "$DESKTOP_REPO/tools/wine-run" explorer /desktop=Routelark,1024x700 \
        tools/tour/window_rect.exe logs/table-rect.txt SysListView32 >/dev/null
    for ((tries = 50; tries > 0; tries--)); do [ -s logs/table-rect.txt ] && break; sleep 0.1; done
    tr -d '\r' <logs/table-rect.txt
}
shot() {
    desktop_shot "tour-route-$1"
    read -r l t r b <<<"$(table)"
    convert "screenshots/tour-route-$1.png" -crop "$((r - l))x$((b - t + 40))+$l+$t" +repage \
        -scale 200% "screenshots/tour-route-$1-table.png"
}

desktop_start
xdotool windowfocus --sync "$DESKTOP_WINDOW" type --delay 30 "$target"
xdotool key Return
desktop_say "typed $target and pressed Return"
sleep 4
shot 1-before
"$repo/tests/lab/lab.sh" route "$ROUTELARK_LAB_PREFIX" alt
desktop_say "the lab sends $target through r2b now"
sleep 16
shot 2-changed
xdotool key Escape
sleep 0.5
desktop_close
