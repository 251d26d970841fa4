#!/usr/bin/env bash
# The release zip as a user meets it: unpacked into an empty folder, routelark.exe started from
# there on the test session's display inside the lab, the lab's destination typed and Return
# pressed as a user would (xdotool), the window read from outside (the matrix's window probe).
# Passes when the zip holds just its four files and a CR LF readme, the trace reaches the
# destination, and Alt+F4 ends the program with status 0 leaving routelark.ini in that folder.
#   unpacked_zip.sh ZIP WINDOW_PROBE FOLDER
# CTest runs it inside the lab with DISPLAY and the Wine server of the session (tools/test.sh).
set -uo pipefail

[ $# -eq 3 ] || { echo "usage: unpacked_zip.sh ZIP WINDOW_PROBE FOLDER" >&2; exit 2; }
zip=$1 probe_exe=$2 folder=$3
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

fail() { echo "FAIL: $*" >&2; exit 1; }
say() { echo "unpacked-zip: $*"; }

topo() { awk -v n="$1" '$1 == "#define" && $2 == n { v = $3; gsub(/"/, "", v); print v; exit }' \
    "$repo/tests/lab/lab_topology.h"; }
DEST=$(topo LAB_DEST_ADDR)
DEST_NAME=$(topo LAB_DEST_NAME)
DEST_HOP=$(topo LAB_DEST_HOP)

rm -rf "$folder"
mkdir -p "$folder"
python3 - "$zip" "$folder" <<'EOF' || exit 1
import sys, zipfile
archive = zipfile.ZipFile(sys.argv[1])
names = archive.namelist()
if names != ["routelark.exe", "routelark.chm", "routelark.hlp", "readme.txt"]:
    sys.exit(f"FAIL: the zip holds {names}")
readme = archive.read("readme.txt")
if readme.count(b"\n") == 0 or readme.count(b"\r\n") != readme.count(b"\n") or \
        readme.count(b"\r") != readme.count(b"\n"):
    sys.exit("FAIL: readme.txt has line ends other than CR LF")
archive.extractall(sys.argv[2])
EOF
say "unpacked $(basename "$zip") into an empty folder: $(cd "$folder" && echo *)"
"$repo/tests/release/check_chm.py" "$folder/routelark.chm" "$repo/docs/help/routelark.but" || exit 1

# --- the probe, as the matrix drives it ----------------------------------------------------------

PROBE_EXE=$probe_exe PID=
. "$(dirname "${BASH_SOURCE[0]}")/../matrix/probe.sh"
finish() {
    probe_close
    [ -z "$PID" ] || ! kill -0 "$PID" 2>/dev/null || kill "$PID"
}
trap finish EXIT
# field KEY N: the Nth |-separated field of KEY's value in the last state.
field() { sed -n "s/^$1=//p" <<<"$answer" | cut -d'|' -f"$2"; }

probe windows
before=$answer
# wine-run refuses to start the program where a default route leads out of the lab.
(cd "$folder" && exec "$repo/tools/wine-run" routelark.exe >"$folder.log" 2>&1) &
PID=$!
W=
for ((tries = 300; tries > 0; tries--)); do
    probe windows
    W=$(comm -13 <(sort <<<"$before") <(sort <<<"$answer") | grep -m1 . || true)
    [ -n "$W" ] && break
    kill -0 "$PID" 2>/dev/null || fail "routelark.exe ended before its window showed: $(cat "$folder.log")"
    sleep 0.2
done
[ -n "$W" ] || fail "no Routelark window within 60 s"
say "started routelark.exe from the folder"

keys() {
    probe "front $W"
    xdotool windowfocus --sync "$(xdotool search --onlyvisible --name 'Wine desktop' | head -n1)" key "$@"
}
keys End shift+Home BackSpace
xdotool type --delay 5 "$DEST_NAME"
keys Return

# The destination's row: its hop number, address and name, and an echo answered.
last=row$((DEST_HOP - 1))
for ((tries = 150; tries > 0; tries--)); do
    probe "state $W"
    [ "$(field "$last" 2)" = "$DEST" ] && [ "$(field "$last" 5)" -gt 0 ] 2>/dev/null && break
    sleep 0.2
done
rows=$(field rows 1)
say "title \"$(field title 1)\", $rows rows, last: $(field "$last" 1-5)"
[ "$(field "$last" 2)" = "$DEST" ] || fail "the trace did not reach $DEST: $answer"
[ "$(field "$last" 1)" = "$DEST_HOP" ] && [ "$rows" = "$DEST_HOP" ] || fail "hops: $answer"
[ "$(field "$last" 3)" = "$DEST_NAME" ] || fail "the destination's name: $(field "$last" 3)"
[ "$(field boxes 1)" = 0 ] || fail "a message box: $(field box0 1-9)"

keys alt+F4
for ((tries = 150; tries > 0; tries--)); do kill -0 "$PID" 2>/dev/null || break; sleep 0.2; done
kill -0 "$PID" 2>/dev/null && fail "still running 30 s after Alt+F4"
status=0
wait "$PID" || status=$?
PID=
say "closed with Alt+F4: exit status $status"
[ "$status" = 0 ] || fail "exit status $status"

ini=$folder/routelark.ini
[ -f "$ini" ] || fail "no routelark.ini in the folder it was started from: $(cd "$folder" && echo *)"
tr -d '\r' <"$ini" | grep -qx "[0-9]*=$DEST_NAME" || fail "routelark.ini holds no $DEST_NAME in its history"
say "pass: routelark.ini written into the folder, $DEST_NAME in its history"
