#!/usr/bin/env bash
# Runs a command on a screen of another DPI: a Wine prefix of its own whose LogPixels (the value
# winecfg's "Screen resolution" writes) is DPI, with a display and Wine server of its own, inside
# the lab's client namespace like every test (CTest runs it there).
#   at_dpi.sh DPI PREFIX COMMAND ARGS...
# The prefix is made at its first use (about 15 s) and kept; WINEPREFIX and DISPLAY name it and
# its display for the command, so tools/wine-run and the window probe use them.
set -euo pipefail
[ $# -ge 3 ] || { echo "usage: at_dpi.sh DPI PREFIX COMMAND ARGS..." >&2; exit 2; }
dpi=$1 prefix=$2
shift 2
. "$(dirname "${BASH_SOURCE[0]}")/session.sh"
trap session_stop EXIT
# Large enough for the main window's default size at 200% and the hop table's ten columns.
session_start "$prefix" "$prefix-logs" 2400x1500x24
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    >>"$prefix-logs/wineboot.log" 2>&1
rc=0
"$@" || rc=$?
exit "$rc"
