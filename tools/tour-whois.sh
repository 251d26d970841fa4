#!/usr/bin/env bash
# A WhoIs lookup as a user makes one: inside a fresh lab network on a virtual display, it types a
# domain into the host name box, presses Ctrl+W, types the lab's WhoIs host into the dialog's
# server box, presses Return and saves a screenshot of the answer and the animation to
# build/screenshots/, then closes Routelark and reports its exit status.
#   --domain TEXT   what to type into the host name box (default www.example.test)
#   --server TEXT   the WhoIs server to type (default whois.routelark.test)
#   --shots S1,...  seconds after Return at which to take screenshots (default 0.4,3)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

usage() { echo "usage: tools/tour-whois.sh [--domain TEXT] [--server TEXT] [--shots S1,S2,...]" >&2; exit 2; }

domain=www.example.test
server=whois.routelark.test
shots=0.4,3
in_lab=0
while [ $# -gt 0 ]; do
    case $1 in
    --domain) [ $# -ge 2 ] || usage; domain=$2; shift 2 ;;
    --server) [ $# -ge 2 ] || usage; server=$2; shift 2 ;;
    --shots) [[ ${2:-} =~ ^[0-9.]+(,[0-9.]+)*$ ]] || usage; shots=$2; shift 2 ;;
    --in-lab) in_lab=1; shift ;;
    *) usage ;;
    esac
done

if [ "$in_lab" != 1 ]; then
    "$repo/tools/test.sh" --build-only
    "$repo/tests/lab/lab.sh" cleanup --stale
    exec "$repo/tests/lab/lab.sh" run -- "$0" --in-lab --domain "$domain" --server "$server" --shots "$shots"
fi

DESKTOP_SAY=tour
. "$repo/tools/lab-desktop.sh"
desktop_open
rm -f routelark.ini
desktop_start
window=$DESKTOP_WINDOW
# The host name box has the focus at start-up; the dialog opens with the focus in its domain box.
xdotool windowfocus --sync "$window" type --delay 30 "$domain"
echo "tour: typed $domain into the host name box"
xdotool key ctrl+w
echo "tour: pressed Ctrl+W"
sleep 1
# From the domain box, backwards past Exit, Whois and the animation to the server box.
xdotool key --delay 100 shift+Tab shift+Tab shift+Tab shift+Tab
xdotool type --delay 30 "$server"
echo "tour: typed $server into the server box"
xdotool key Return
echo "tour: pressed Return"
rm -f screenshots/tour-whois*.png
waited=0
for at in ${shots//,/ }; do
    sleep "$(awk -v a="$at" -v w="$waited" 'BEGIN { d = a - w; print (d > 0 ? d : 0) }')"
    waited=$at
    desktop_shot "tour-whois-${at}s"
done
desktop_close ctrl+x
