#!/usr/bin/env bash
# Runs `routelark.exe /report` in the lab as a script would: against the lab's destination in
# every format (read back by read_back_report.py, the silent hop included), to standard output,
# and with each failure the exit statuses name; checks that the INI file is left as it was.
#   report_lab.sh ROUTELARK_EXE FOLDER
set -euo pipefail
exe=$1 folder=$2
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$repo/tools/wine-path.sh"
[ -z "$(ip route show default 2>/dev/null)" ] || { echo "report_lab: not inside the lab" >&2; exit 125; }
build=$(cd "$(dirname "$exe")" && pwd)
while [ "$build" != / ] && [ ! -f "$build/CMakeCache.txt" ]; do build=$(dirname "$build"); done
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix} WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=${ROUTELARK_DLLOVERRIDES:+;$ROUTELARK_DLLOVERRIDES}"

rm -rf "$folder" && mkdir -p "$folder" && cd "$folder"
cp "$exe" routelark.exe
# Setup values of the user's own, a history and a section of another part of the program: the
# run reads them and must leave every byte alone. A short timeout keeps the silent hop quick.
printf '[Setup]\r\nPingTimeout=400\r\nPingDelay=0\r\nTraceDelay=0\r\nMaxHops=30\r\n[IPs]\r\nIP0=198.18.7.1\r\n[Save]\r\nFolder=C:\\\r\n' >routelark.ini
ini_before=$(sha256sum routelark.ini)

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# run NAME EXPECTED_STATUS ARGS...: the program's stdout and stderr into NAME.out and NAME.err.
run() {
    local name=$1 expected=$2 status=0 started
    shift 2
    started=$(date +%s%N)
    # A run that hangs is ended and named, instead of holding the test to its timeout.
    timeout 30 wine routelark.exe "$@" >"$name.out" 2>"$name.err" </dev/null || status=$?
    echo "$name: status $status in $(( ($(date +%s%N) - started) / 1000000 )) ms: $*"
    sed 's/^/    stderr: /' "$name.err" | tr -d '\r' | grep -v '^    stderr: $' || true
    [ "$status" -eq "$expected" ] || fail "$name: exit status $status, not $expected"
}

run json 0 /report /count 3 /out report.json /session report.rls dest.routelark.test
run csv 0 -REPORT -count 3 -out report.CSV dest.routelark.test
run text 0 /report /count 3 /out report.txt dest.routelark.test
run html 0 /count 3 /report /format text /out report.htm dest.routelark.test
run stdout 0 /report /count 2 /format json dest.routelark.test
# Max hops for this run only: the route ends before the destination.
run hops 1 /report /count 2 /hops 3 /out hops.json dest.routelark.test
run unknown 3 /report /out unknown.json nosuch.routelark.test
run badline 2 /report /count 0 dest.routelark.test
run nofolder 4 /report /count 1 /out 'no such folder\report.json' dest.routelark.test

# Without standard output or a console: a file of Save As's suggested name in the working folder.
status=0
timeout 30 wine routelark.exe /report /count 1 /format csv dest.routelark.test >&- 2>suggested.err </dev/null || status=$?
echo "suggested: status $status, stdout closed: $(ls routelark-*.csv 2>/dev/null)"
[ "$status" -eq 0 ] || fail "suggested: exit status $status"
suggested=$(ls routelark-dest.routelark.test-20[0-9][0-9][01][0-9][0-3][0-9]-[0-2][0-9][0-5][0-9][0-5][0-9].csv 2>/dev/null || true)
[ -n "$suggested" ] && head -n1 "$suggested" | grep -q '^Target,Address,Started,Hop' ||
    fail "suggested: no CSV file of the suggested name: $(ls)"

grep -q 'nosuch.routelark.test: Unable to locate this hostname!' unknown.err ||
    fail "unknown: no line naming the host"
grep -q '/count takes a number from 1 to 100000, not "0"' badline.err || fail "badline: no line"
grep -q 'The trace could not be saved as no such folder\\report.json' nofolder.err ||
    fail "nofolder: no line naming the file"
[ ! -s badline.out ] || fail "badline: wrote to standard output"
# The session a help desk opens: whole, of the format's magic (the session tests read it back).
[ "$(head -c 8 report.rls | od -An -c | tr -d ' ')" = 'RLSESSN032' ] ||
    fail "json: report.rls is no session file"
[ "$(sha256sum routelark.ini)" = "$ini_before" ] || fail "routelark.ini was changed"
# Nothing half-written or left over: only the reports asked for, beside the program and INI file.
leftover=$(ls -1 | grep -v -E '^(routelark\.(exe|ini)|report\.(json|CSV|txt|htm|rls)|hops\.json|[a-z]+\.(out|err)|routelark-dest\.routelark\.test-[0-9-]+\.csv)$' || true)
[ -z "$leftover" ] || fail "files left over: $leftover"

python3 "$repo/tests/report/read_back_report.py" . || failures=$((failures + 1))
[ "$failures" -eq 0 ] && echo "report_lab: all passed"
exit $((failures > 0))
