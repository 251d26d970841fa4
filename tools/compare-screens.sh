#!/usr/bin/env bash
# Compares this build's program with another build of it on screen, pixel for pixel, in a fresh
# lab on a virtual display: both run the same steps in a prefix of the DPI asked for
# (tests/lab/at_dpi.sh), their windows read with the window probe and the screen captured.
#   tools/compare-screens.sh OTHER_ROUTELARK_EXE [DPI]   (DPI 96 if not given)
# The steps, each compared by ImageMagick's "compare -metric AE" (pixels that differ) and by the
# probe's rectangles of every control, the toolbar's buttons, the columns and the status parts:
#   idle    the whole screen after the start, nothing typed
#   trace   dest.routelark.test traced for 12 s and stopped with Esc: the whole screen but the
#           table's cells, whose live figures differ from run to run (the row images stay in)
#   setup, about, whois   each dialog (Ctrl+S, Ctrl+A, Ctrl+W), cut to its rectangle
# Screens and differences stay in build/compare/. Prints a table; exits non-zero on a difference.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ "${1:-}" != --in-lab ]; then
    [ $# -ge 1 ] && [ $# -le 2 ] && [ -f "$1" ] ||
        { echo "usage: tools/compare-screens.sh OTHER_ROUTELARK_EXE [DPI]" >&2; exit 2; }
    other=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
    dpi=${2:-96}
    "$repo/tools/test.sh" --build-only
    "$repo/tests/lab/lab.sh" cleanup --stale
    exec "$repo/tests/lab/lab.sh" run -- "$repo/tests/lab/at_dpi.sh" "$dpi" \
        "$repo/build/wineprefix-compare$dpi" "$0" --in-lab "$other" "$dpi"
fi
other=$2 dpi=$3
out=$repo/build/compare
rm -rf "$out"
mkdir -p "$out/other" "$out/this"
cp "$other" "$out/other/routelark.exe"
cp "$repo/build/routelark.exe" "$out/this/routelark.exe"
# A caret that blinks would differ between two screens of the same window.
wine reg add 'HKCU\Control Panel\Desktop' /v CursorBlinkRate /d -1 /f >/dev/null 2>&1

PROBE_EXE=$repo/build/tests/matrix/window_probe.exe
. "$repo/tests/matrix/probe.sh"
trap probe_close EXIT
field() { sed -n "s/^$1=//p" <<<"$answer" | cut -d'|' -f"$2"; }
scaled() { echo $((($1 * dpi + 48) / 96)); }
shot() { import -window root "$1"; }
# crop_rect HANDLE FILE: the screen cut to the window's rectangle.
crop_rect() {
    probe "rect $1"
    local l t r b
    IFS=, read -r l t r b <<<"$(field rect 1)"
    convert "$2" -crop "$((r - l))x$((b - t))+$l+$t" +repage "$2"
}
dialog() { probe boxes; sed -n "s/^\([0-9]*\)=$1|.*/\1/p" <<<"$answer" | head -n1; }

# run LABEL: the steps with that build, its screens and rectangles into build/compare/LABEL/.
run() {
    local label=$1 dir=$out/$1 window= before pid tries d
    printf '[Window]\r\nXpos=0\r\nYpos=0\r\nWidth=%d\r\nHeight=%d\r\n' "$(scaled 850)" "$(scaled 340)" \
        >"$dir/routelark.ini"
    probe windows
    before=$answer
    (cd "$dir" && exec "$repo/tools/wine-run" routelark.exe >/dev/null 2>&1) &
    pid=$!
    for ((tries = 300; tries > 0; tries--)); do
        probe windows
        window=$(comm -13 <(sort <<<"$before") <(sort <<<"$answer") | grep -m1 . || true)
        [ -n "$window" ] && break
        sleep 0.2
    done
    [ -n "$window" ] || { echo "compare: $label showed no window" >&2; exit 1; }
    sleep 2
    probe "layout $window"
    grep -v screen <<<"$answer" >"$dir/idle.txt"
    shot "$dir/idle.png"
    probe "front $window"
    xdotool type --delay 20 dest.routelark.test
    xdotool key Return
    sleep 12
    xdotool key Escape
    sleep 2
    probe "layout $window"
    grep -v '^rowrects' <<<"$answer" | sed 's/|screen .*//' >"$dir/trace.txt"
    shot "$dir/trace.png"
    # The table's cells but the row images, painted over: their figures are live.
    local table header l t r b hb
    table=$(grep -m1 '^control.*SysListView32' <<<"$answer" | sed 's/.*|screen //')
    header=$(grep -m1 '^control.*SysHeader32' <<<"$answer" | sed 's/.*|screen //')
    IFS=, read -r l t r b <<<"$table"
    IFS=, read -r _ _ _ hb <<<"$header"
    convert "$dir/trace.png" -fill black -draw "rectangle $((l + $(scaled 20))),$hb $r,$b" "$dir/trace.png"
    for d in "setup ctrl+s Routelark - Setup" "about ctrl+a Routelark" "whois ctrl+w Routelark - Whois"; do
        read -r name key title <<<"$d"
        probe "front $window"
        xdotool key "$key"
        sleep 2
        shot "$dir/$name.png"
        crop_rect "$(dialog "$title")" "$dir/$name.png"
        xdotool key "$([ "$name" = about ] && echo Return || echo Escape)"
        sleep 1
    done
    probe "close $window"
    for ((tries = 100; tries > 0; tries--)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    wait "$pid" 2>/dev/null || true
}

run other
run this
rc=0
printf 'compare: this build against %s at %s DPI\n' "$other" "$dpi"
for step in idle trace setup about whois; do
    differ=$(compare -metric AE "$out/other/$step.png" "$out/this/$step.png" "$out/$step-difference.png" 2>&1 || true)
    rects=same
    if [ -f "$out/this/$step.txt" ] && ! cmp -s "$out/other/$step.txt" "$out/this/$step.txt"; then
        rects=different
    fi
    [ "$differ" = 0 ] && [ "$rects" = same ] || rc=1
    printf '  %-6s %8s pixels differ   rectangles %s\n' "$step" "$differ" "$([ -f "$out/this/$step.txt" ] && echo "$rects" || echo -)"
done
exit "$rc"
