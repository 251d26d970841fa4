#!/usr/bin/env bash
# The hop context menu as a user meets it: inside a fresh lab on a virtual display, Routelark
# traces the lab's destination; a right click on the second hop's row opens the menu, and
# "Ignore hop 2" is chosen. Screenshots of the menu and of the table twice, three seconds apart,
# show the row's image turned red and its Sent standing still while the others count on; then
# the hop is enabled again from the same menu and counts on too.
# Screenshots go to build/screenshots/tour-hopmenu-*.png (the table cut out, twice its size).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ "${1:-}" != --in-lab ]; then
    [ $# -eq 0 ] || { echo "usage: tools/tour-hopmenu.sh" >&2; exit 2; }
    "$repo/tools/test.sh" --build-only
    "$repo/tests/lab/lab.sh" cleanup --stale
    exec "$repo/tests/lab/lab.sh" run -- "$0" --in-lab
fi

DESKTOP_SAY=tour
. "$repo/tools/lab-desktop.sh"
desktop_open
rm -f routelark.ini screenshots/tour-hopmenu-*.png

table() { # the hop table's screen rectangle
    local tries
    rm -f logs/table-rect.txt
    "$DESKTOP_REPO/tools/wine-run" explorer /desktop=Routelark,1024x700 \
        tools/tour/window_rect.exe logs/table-rect.txt SysListView32 >/dev/null
    for ((tries = 50; tries > 0; tries--)); do [ -s logs/table-rect.txt ] && break; sleep 0.1; done
    tr -d '\r' <logs/table-rect.txt
}
# shot NAME: the screen, and the hop table cut out at twice its size.
shot() {
    desktop_shot "tour-hopmenu-$1"
    read -r l t r b <<<"$(table)"
    convert "screenshots/tour-hopmenu-$1.png" -crop "$((r - l))x$((b - t + 40))+$l+$t" +repage \
        -scale 200% "screenshots/tour-hopmenu-$1-table.png"
}
# right_click ROW: the middle of the row's IP Address cell (the header and each row are about
# 16 and 14 pixels high in Wine's default font).
right_click() {
    read -r l t _ _ <<<"$(table)"
    desktop_say "table at $l,$t; right click at $((l + 150)),$((t + 18 + 14 * $1 + 7))"
    xdotool mousemove $((l + 150)) $((t + 18 + 14 * $1 + 7)) click 3
}

desktop_start
xdotool windowfocus --sync "$DESKTOP_WINDOW" type --delay 30 dest.routelark.test
xdotool key Return
desktop_say "typed dest.routelark.test and pressed Return"
sleep 4
right_click 1
sleep 0.5
shot 1-menu
xdotool key i
desktop_say "right-clicked hop 2 and chose \"Ignore hop 2\""
sleep 1
shot 2-ignored
sleep 3
shot 3-ignored-3s-later
right_click 1
sleep 0.5
shot 4-menu-again
xdotool key e
desktop_say "chose \"Enable hop 2\""
sleep 3
shot 5-enabled-3s-later
desktop_close
