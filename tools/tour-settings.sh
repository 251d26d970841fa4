#!/usr/bin/env bash
# The INI file as a user meets it: inside a fresh lab network on a virtual display, Routelark starts
# without an INI file, traces the lab's destination, copies the table with Ctrl+C (the clipboard's
# text is shown), hides the Host Name column from the View menu, is dragged to another place and
# closed; then it starts again, and the script shows that columns, place and host history came back.
# Screenshots go to build/screenshots/tour-settings-*.png.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ "${1:-}" != --in-lab ]; then
    [ $# -eq 0 ] || { echo "usage: tools/tour-settings.sh" >&2; exit 2; }
    "$repo/tools/test.sh" --build-only
    "$repo/tests/lab/lab.sh" cleanup --stale
    exec "$repo/tests/lab/lab.sh" run -- "$0" --in-lab
fi

DESKTOP_SAY=tour
. "$repo/tools/lab-desktop.sh"
desktop_open
rm -f routelark.ini screenshots/tour-settings-*.png

window_section() { sed -n '/^\[Window\]/,/^\[/p' routelark.ini | tr -d '\r' | grep = | tr '\n' ' '; }

desktop_start
xdotool windowfocus --sync "$DESKTOP_WINDOW" type --delay 30 dest.routelark.test
xdotool key Return
desktop_say "typed dest.routelark.test and pressed Return"
sleep 5
xdotool key ctrl+c
sleep 0.5
desktop_say "pressed Ctrl+C; the clipboard holds:"
xclip -o -selection clipboard | sed 's/^/    | /'
desktop_shot tour-settings-1-traced

xdotool key Escape alt+v
sleep 0.5
desktop_shot tour-settings-2-view-menu
xdotool key o
desktop_say "stopped the trace and chose View, Host Name"
# Move the window as a keyboard user does: the system menu's Move, then the arrow keys.
xdotool key alt+space
sleep 0.5
xdotool key m
sleep 0.3
for _ in $(seq 12); do xdotool key Right; done
for _ in $(seq 4); do xdotool key Down; done
xdotool key Return
sleep 0.5
desktop_say "moved the window with the system menu's Move and the arrow keys"
desktop_shot tour-settings-3-moved
desktop_close
desktop_say "routelark.ini as it was written:"
sed 's/\r$//; s/^/    | /' routelark.ini

desktop_start
sleep 1
desktop_say "started again; the hop table shows no Host Name column, the host name box the last host"
xdotool key ctrl+l
sleep 0.5
desktop_shot tour-settings-4-restarted
xdotool key Escape
closed=$(window_section)
desktop_close
desktop_say "placement written at the first close:  $closed"
desktop_say "placement written at the second close: $(window_section)"
