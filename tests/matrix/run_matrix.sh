#!/usr/bin/env bash
# The bad-input matrix: runs the real routelark.exe in a fresh lab network on a virtual display,
# tries each case as a user would (xdotool types and presses keys; the window probe reads the
# program's windows from outside; xclip reads the clipboard), and prints a table: case, what was
# seen, pass or FAIL. Each case must end in a clear message or sound behaviour, with the program
# still running and nothing lost; closing must end it with status 0 and a whole INI file.
#   tests/matrix/run_matrix.sh            every case
#   tests/matrix/run_matrix.sh CASE...    those cases (names as in the table's first column)
#   ROUTELARK_EXE=path/routelark.exe ...   another build of the program, e.g. an older one
# Exits non-zero when a case fails. Its working folders stay in build/matrix/ for a look.
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$repo/build
export ROUTELARK_EXE=${ROUTELARK_EXE:-$build/routelark.exe}

if [ "${1:-}" != --in-lab ]; then
    "$repo/tools/test.sh" --build-only >/dev/null || exit 1
    "$repo/tests/lab/lab.sh" cleanup --stale
    exec "$repo/tests/lab/lab.sh" run -- "$0" --in-lab "$@"
fi
shift
only=" $* "

topo() { awk -v n="$1" '$1 == "#define" && $2 == n { v = $3; gsub(/"/, "", v); print v; exit }' \
    "$repo/tests/lab/lab_topology.h"; }
DEST=$(topo LAB_DEST_ADDR)
DEST_NAME=$(topo LAB_DEST_NAME)
SLOW_NAME=$(topo LAB_SLOW_NAME)
SLOW_REVERSE=$(topo LAB_SLOW_REVERSE_NET)
R1=$(topo LAB_R1_ADDR)
# The names the lab's hosts file holds (this namespace's /etc/hosts is the lab's).
name_of() { getent hosts "$1" | awk '{ print $2 }'; }
LONG_HOST=$(awk -v a="$DEST" -v n="$(topo LAB_LONG_HOST_LENGTH)" '$1 == a && length($2) == n { print $2 }' /etc/hosts)

. "$repo/tests/lab/session.sh"
session_start "$build/wineprefix" "$build/logs" 1024x700x24 || exit 1
work=$build/matrix
rm -rf "$work"
mkdir -p "$work"

# --- the program, the probe and the keyboard ----------------------------------------------------

PROBE_EXE=$build/tests/matrix/window_probe.exe
. "$repo/tests/matrix/probe.sh"
finish() {
    probe_close
    session_stop
}
trap finish EXIT

# state: the main window $W as key=value pairs in ST (title, host, running, status, rows, row0 ...,
# boxes, box0 ...; window=gone once it has closed).
declare -A ST
state() {
    probe "state $W"
    ST=()
    local key value
    while IFS='=' read -r key value; do [ -n "$key" ] && ST[$key]=$value; done <<<"$answer"
    for key in title host running status rows boxes box0 row0 row1 row2 row6; do
        [ -n "${ST[$key]+set}" ] || ST[$key]=
    done
}

# wait_until SECONDS KEY PATTERN: polls the state until ${ST[KEY]} matches the extended regex.
wait_until() {
    local tries=$(($1 * 5))
    while ((tries-- > 0)); do
        state
        [[ ${ST[$2]:-} =~ $3 ]] && return 0
        sleep 0.2
    done
    return 1
}

# launch FOLDER [ENV=VALUE...]: starts routelark.exe in FOLDER; sets W (its main window) and PID.
# A message box shown before the window (start-up failures) is answered OK and noted in
# STARTUP_BOXES.
launch() {
    local folder=$1 before box
    shift
    mkdir -p "$folder"
    [ -f "$folder/routelark.exe" ] || cp "$ROUTELARK_EXE" "$folder/" # another copy may run it
    probe windows
    before=$answer
    (cd "$folder" && exec env "$@" wine routelark.exe >"$folder/wine.log" 2>&1) &
    PID=$!
    W=
    STARTUP_BOXES=
    for ((tries = 300; tries > 0; tries--)); do
        probe windows
        W=$(comm -13 <(sort <<<"$before") <(sort <<<"$answer") | grep -m1 . || true)
        [ -n "$W" ] && break
        kill -0 "$PID" 2>/dev/null || return 1
        probe boxes
        box=$(head -n1 <<<"$answer")
        if [ -n "$box" ]; then
            STARTUP_BOXES+="${box#*=}; "
            probe "pressbox ${box%%=*} OK"
        fi
        sleep 0.2
    done
    [ -n "$W" ]
}

# with_fake FOLDER SCENARIO: the fake ICMP library beside the program, answering from SCENARIO.
with_fake() {
    mkdir -p "$1"
    cp "$build/tests/fake_icmp/dll/icmp.dll" "$1/"
    printf '%s\n' "$2" >"$1/scenario.txt"
    FAKE_ENV=("WINEDLLOVERRIDES=mscoree,mshtml=;icmp=n" "FAKE_ICMP_SCENARIO=@$1/scenario.txt"
        "FAKE_ICMP_LOG=$1/icmp.log")
}

# keys KEY...: xdotool presses the keys in the program's window, brought to the front.
desktop() { xdotool search --onlyvisible --name 'Wine desktop' | head -n1; }
keys() {
    probe "front $W"
    xdotool windowfocus --sync "$(desktop)" key --delay "${KEY_DELAY:-20}" "$@"
}
# type_host TEXT: replaces the host name box's text by TEXT.
type_host() {
    keys End shift+Home BackSpace
    xdotool type --delay 5 -- "$1"
}

# ini_check FILE: empty when the INI file is whole (every section and key, numbers where numbers
# belong, history entries without gaps), else what is wrong.
ini_check() {
    [ -f "$1" ] || { echo "no INI file"; return; }
    tr -d '\r' <"$1" | awk '
        function want(section, keys,   n, k, i) {
            n = split(keys, k, " ")
            for (i = 1; i <= n; i++) if (!((section, k[i]) in value)) missing = missing " " section "/" k[i]
        }
        /^\[.*\]$/ { section = substr($0, 2, length($0) - 2); sections[section]++; next }
        /^$/ { next }
        /=/ { key = substr($0, 1, index($0, "=") - 1); v = substr($0, index($0, "=") + 1)
              if ((section, key) in value) bad = bad " twice:" key
              value[section, key] = v; count[section]++; next }
        { bad = bad " stray:" $0 }
        END {
            want("Setup", "PingTimeout TraceDelay PingDelay TraceTTL MaxHops Retries IgnoreFirst CopyHTML")
            want("Columns", "Column0 Column1 Column2 Column3 Column4 Column5 Column6 Column7 Column8 Column9")
            want("Window", "Xpos Ypos Width Height")
            want("IPs", "Selected")
            for (sk in value) {
                split(sk, p, SUBSEP)
                if (p[1] != "IPs" && value[sk] !~ /^-?[0-9]+$/) bad = bad " not-a-number:" p[2]
            }
            n = count["IPs"] - 1
            for (i = 1; i <= n; i++) if (value["IPs", i] == "") bad = bad " gap:IPs/" i
            for (s in sections) if (sections[s] > 1) bad = bad " twice:[" s "]"
            if (count["Setup"] != 8 || count["Columns"] != 10 || count["Window"] != 4) bad = bad " extra keys"
            if (missing bad != "") print "missing" missing bad
        }'
}

# close_program FOLDER HOW: closes the main window (alt+F4 typed, or WM_CLOSE posted) and waits for the
# program to end; sets CLOSED to what happened ("" when it ended with 0 and a whole INI file).
close_program() {
    local folder=$1 how=$2 status=0
    if [ "$how" = keys ]; then keys alt+F4; else probe "close $W"; fi
    for ((tries = 150; tries > 0; tries--)); do kill -0 "$PID" 2>/dev/null || break; sleep 0.2; done
    if kill -0 "$PID" 2>/dev/null; then
        CLOSED="still running 30 s after the close"
        kill "$PID"
        return
    fi
    wait "$PID" || status=$?
    CLOSED=$(ini_check "$folder/routelark.ini")
    [ "$status" = 0 ] || CLOSED="exit status $status; $CLOSED"
}

# --- the table ----------------------------------------------------------------------------------

failures=0
rows=()
# row CASE SEEN VERDICT: VERDICT is "" for a pass, else why the case failed.
row() {
    local verdict=pass
    [ -z "$3" ] || { verdict="FAIL: ${3:0:100}"; failures=$((failures + 1)); }
    rows+=("$(printf '%-24s | %-92s | %s' "$1" "${2:0:92}" "$verdict")")
    printf '%s\n' "${rows[-1]}" >&2
}
wanted() { [ "$only" = "  " ] || [[ $only == *" $1 "* ]]; }

# A text typed and Started that must end in "Unable to locate this hostname!" with the text as
# caption; the program then stops, and the text joins the history.
unknown_host_case() {
    local name=$1 text=$2 folder=$work/$1
    wanted "$name" || return 0
    launch "$folder" || { row "$name" "did not start" "no window"; return; }
    type_host "$text"
    keys Return
    local why=""
    wait_until 15 box0 "Unable to locate this hostname!" || why="no unknown-host box"
    local seen="box \"${ST[box0]#*|}\" captioned with the text"
    [ -n "${ST[box0]}" ] || seen="no box; title \"${ST[title]}\", status \"${ST[status]}\""
    [ "${ST[box0]:-}" = "$text|Unable to locate this hostname!" ] || why=${why:-"caption is not the text"}
    probe "press $W OK"
    wait_until 5 status '^Stopped$' || why=${why:-"not stopped after the box"}
    close_program "$folder" keys
    grep -qxF "$(printf '%s' "$text" | cut -c1-127)" <(tr -d '\r' <"$folder/routelark.ini" | sed -n 's/^[0-9]*=//p') ||
        why=${why:-"text not in the history"}
    row "$name" "$seen; stopped; text kept in history" "${why:-$CLOSED}"
}

# A dotted address that is traced and fails at its first hop with a question, answered No.
address_case() {
    local name=$1 text=$2 shown=$3 folder=$work/$1
    wanted "$name" || return 0
    launch "$folder" || { row "$name" "did not start" "no window"; return; }
    type_host "$text"
    keys Return
    local why=""
    wait_until 15 boxes '^[1-9]' || why="no message"
    local box=${ST[box0]#*|}
    local seen="traced to $shown; box \"${box//\\n/ }\", answered No: stopped"
    [ "${ST[title]:-}" = "Routelark - $text ($shown)" ] || why=${why:-"title names no $shown: ${ST[title]:-}"}
    probe "press $W No"
    wait_until 5 status '^Stopped$' || why=${why:-"not stopped"}
    close_program "$folder" keys
    row "$name" "$seen" "${why:-$CLOSED}"
}

# --- the cases ----------------------------------------------------------------------------------

case_long_host() {
    local name=host-127-chars folder=$work/host-127-chars
    wanted "$name" || return 0
    with_fake "$folder" "default reply dest rtt 1"
    launch "$folder" "${FAKE_ENV[@]}" || { row "$name" "did not start" "no window"; return; }
    type_host "${LONG_HOST}x" # one more than the box takes
    keys Return
    local why=""
    wait_until 15 status 'Pinging' || why="no trace"
    [ "${ST[host]}" = "$LONG_HOST" ] || why=${why:-"the box holds ${#ST[host]} characters"}
    [ "${ST[title]}" = "Routelark - $LONG_HOST ($DEST)" ] || why=${why:-"title: ${ST[title]}"}
    local seen="box took ${#ST[host]} of 128 characters typed; traced, title whole (${#ST[title]} characters)"
    close_program "$folder" keys
    row "$name" "$seen" "${why:-$CLOSED}"
}

case_odd_names() {
    local folder=$work/odd-names
    wanted reverse-255-bytes || wanted html-characters || wanted bytes-above-127 || return 0
    local long html high
    long=$(name_of "$(topo LAB_LONG_REVERSE_ADDR)")
    html=$(name_of "$(topo LAB_HTML_NAME_ADDR)")
    high=$(name_of "$(topo LAB_HIGH_BYTES_ADDR)")
    with_fake "$folder" "echo $DEST 1 reply $(topo LAB_LONG_REVERSE_ADDR) status ttl-expired rtt 1
echo $DEST 2 reply $(topo LAB_HTML_NAME_ADDR) status ttl-expired rtt 2
echo $DEST 3 reply $(topo LAB_HIGH_BYTES_ADDR) status ttl-expired rtt 3
default reply dest rtt 4"
    printf '[Setup]\r\nCopyHTML=1\r\n' >"$folder/routelark.ini"
    launch "$folder" "${FAKE_ENV[@]}" || { row reverse-255-bytes "did not start" "no window"; return; }
    type_host "$DEST_NAME"
    keys Return
    wait_until 15 rows '^4$'
    state
    local cells=("$(cut -d'|' -f3 <<<"${ST[row0]:-}")" "$(cut -d'|' -f3 <<<"${ST[row1]:-}")" \
        "$(cut -d'|' -f3 <<<"${ST[row2]:-}")")
    : | xclip -selection clipboard
    keys ctrl+c
    sleep 1
    local copied
    copied=$(xclip -o -selection clipboard 2>/dev/null)
    local utf8_high
    utf8_high=$(printf '%s' "$high" | iconv -f latin1 -t utf-8)
    local html_escaped
    html_escaped=$(sed 's/&/\&amp;/g; s/</\&lt;/g; s/>/\&gt;/g' <<<"$html")
    state
    local alive=""
    [ "${ST[running]:-}" = yes ] && [ "${ST[boxes]:-}" = 0 ] || alive="not running on: ${ST[status]:-gone}"
    local why
    why=""
    [ "${cells[0]}" = "$long" ] || why="cell holds ${#cells[0]} bytes"
    grep -qF -- "$long" <<<"$copied" || why=${why:-"not whole in the copy"}
    row reverse-255-bytes "cell and copy hold all ${#long} bytes" "${why:-$alive}"
    why=""
    [ "${cells[1]}" = "$html" ] || why="cell: ${cells[1]}"
    grep -qF -- "$html_escaped" <<<"$copied" || why=${why:-"not escaped in the HTML copy"}
    row html-characters "cell $html; HTML copy $html_escaped" "${why:-$alive}"
    why=""
    [ "${cells[2]}" = "$high" ] || why="cell differs"
    grep -qF -- "$utf8_high" <<<"$copied" || why=${why:-"copy differs"}
    row bytes-above-127 "cell holds the Latin-1 bytes; copy reads $utf8_high" "${why:-$alive}"
    close_program "$folder" keys
    [ -z "$CLOSED" ] || row odd-names-close "closed: $CLOSED" "$CLOSED"
}

# Return and Esc as fast as xdotool can, then one more Return: the trace must run.
return_esc_case() {
    local name=$1 host=$2 folder=$work/$1
    wanted "$name" || return 0
    with_fake "$folder" "default reply dest rtt 1"
    launch "$folder" "${FAKE_ENV[@]}" || { row "$name" "did not start" "no window"; return; }
    type_host "$host"
    local presses=()
    for ((i = 0; i < 200; i++)); do presses+=(Return Escape); done
    local started=$SECONDS
    KEY_DELAY=0 keys "${presses[@]}"
    # Settled once the status bar says Stopped twice in a row, a second apart.
    local why="" last=""
    for ((tries = 60; tries > 0; tries--)); do
        state
        [ "${ST[status]:-}" = Stopped ] && [ "$last" = Stopped ] && break
        last=${ST[status]:-}
        sleep 1
    done
    [ "${ST[status]:-}" = Stopped ] || why="not settled: ${ST[status]:-gone}"
    [ "${ST[boxes]:-}" = 0 ] || why=${why:-"box: ${ST[box0]}"}
    local settled=$((SECONDS - started))
    keys Return
    wait_until 20 status 'Pinging' || why=${why:-"the next Return traced nothing: ${ST[status]:-}"}
    [ "${ST[title]:-}" = "Routelark - $host ($DEST)" ] || why=${why:-"title: ${ST[title]:-}"}
    [ "${ST[boxes]:-}" = 0 ] || why=${why:-"box: ${ST[box0]}"}
    local seen="400 keys: settled Stopped in ${settled} s, no box; next Return traces"
    close_program "$folder" keys
    row "$name" "$seen" "${why:-$CLOSED}"
}

# close_case NAME STATUS-PATTERN SCENARIO [INI [HOST|- [keys|post [LOG-PATTERN]]]]: closes the
# window once the status bar matches, and the fake's log too when LOG-PATTERN is given.
close_case() {
    local name=$1 pattern=$2 scenario=$3 host=${5:-$DEST_NAME} folder=$work/$1 logged=${7:-}
    wanted "$name" || return 0
    with_fake "$folder" "$scenario"
    [ -z "${4:-}" ] || printf '%b' "$4" >"$folder/routelark.ini"
    launch "$folder" "${FAKE_ENV[@]}" || { row "$name" "did not start" "no window"; return; }
    local why=""
    if [ "$host" != - ]; then
        type_host "$host"
        keys Return
        wait_until 15 status "$pattern" || why="never in the state: ${ST[status]:-}"
        for ((tries = 50; tries > 0; tries--)); do
            [ -z "$logged" ] || grep -q -- "$logged" "$folder/icmp.log" 2>/dev/null && break
            sleep 0.2
        done
    fi
    state
    local seen="closed at \"${ST[status]:-}\" (${ST[rows]:-0} rows, ${ST[boxes]:-0} box)"
    close_program "$folder" "${6:-keys}"
    row "$name" "$seen: ended, status 0, INI whole" "${why:-$CLOSED}"
}

case_closes() {
    local route="default reply dest rtt 1"
    close_case close-stopped '.' "$route" "" -
    close_case close-resolving 'Looking up hostname' "$route" "" "$SLOW_NAME"
    close_case close-probing '^Hop 1\|.*Pinging' \
        "echo $DEST 1 reply $R1 status ttl-expired rtt 1 delay 3000
$route"
    close_case close-naming-hop '^Hop 1\|.*Looking up hostname' \
        "echo $DEST 1 reply $SLOW_REVERSE.1 status ttl-expired rtt 1
$route"
    close_case close-pinging 'Pinging' "echo * 32 reply dest rtt 5 delay 3000
$route"
    # The pause follows the cycle's first echo, whose line the fake's log holds once it is over.
    close_case close-waiting 'Pinging' "$route" \
        '[Setup]\r\nTraceDelay=60000\r\nPingDelay=60000\r\n' "$DEST_NAME" keys 'ttl=32 '
    # A modal question open over the window: the close comes as WM_CLOSE, since the box has the keys.
    close_case close-question 'Failed 1' "echo $DEST 1 reply $R1 status ttl-expired rtt 1
echo $DEST 2 reply $R1 status host-unreachable rtt 1" "" "$DEST_NAME" post
}

case_two_copies() {
    local name=two-copies-close folder=$work/two-copies why="" round
    wanted "$name" || return 0
    for round in 1 2 3 4 5; do
        launch "$folder" || { why="copy A did not start"; break; }
        local wa=$W pa=$PID
        launch "$folder" || { why="copy B did not start"; break; }
        local wb=$W pb=$PID
        sleep 1
        probe "close $wa" "close $wb" # both at once
        local sa=0 sb=0
        wait "$pa" || sa=$?
        wait "$pb" || sb=$?
        [ "$sa$sb" = 00 ] || why="round $round: exit statuses $sa and $sb"
        local broken
        broken=$(ini_check "$folder/routelark.ini")
        [ -z "$broken" ] || { why="round $round: $broken"; break; }
    done
    row "$name" "5 rounds of two copies in one folder closed at once: both end with 0, INI whole" "$why"
}

case_no_icmp() {
    local name=icmp-dll-missing folder=$work/icmp-dll-missing why=""
    if wanted "$name"; then
        launch "$folder" "WINEDLLOVERRIDES=mscoree,mshtml=;icmp=" || { row "$name" "did not start" "no window"; return; }
        local first=$STARTUP_BOXES
        [ "$first" = "Ping|Unable to locate ICMP.DLL!; " ] || why="start-up boxes: ${first:-none}"
        type_host "$DEST_NAME"
        keys Return
        local boxes=""
        for expected in "Unable to open PING service!" "Unable to create Pinger object!"; do
            wait_until 10 box0 . || break
            boxes+="${ST[box0]#*|}; "
            [[ ${ST[box0]} == *"$expected" ]] || why=${why:-"box: ${ST[box0]}"}
            probe "press $W OK"
            sleep 0.3
        done
        wait_until 5 status '^Stopped$' || why=${why:-"not stopped"}
        close_program "$folder" keys
        row "$name" "start: ${first#*|}Return: $boxes stopped" "${why:-$CLOSED}"
    fi
    name=icmp-open-fails folder=$work/icmp-open-fails why=""
    wanted "$name" || return 0
    with_fake "$folder" "create fail"
    launch "$folder" "${FAKE_ENV[@]}" || { row "$name" "did not start" "no window"; return; }
    type_host "$DEST_NAME"
    keys Return
    wait_until 10 box0 . || why="no message"
    local seen=${ST[box0]:-}
    [ "$seen" = "Ping|Unable to open PING service!" ] || why=${why:-"box: $seen"}
    probe "press $W OK"
    wait_until 10 box0 "Pinger" || why=${why:-"no second message"}
    seen+="; ${ST[box0]:-}"
    probe "press $W OK"
    wait_until 5 status '^Stopped$' || why=${why:-"not stopped"}
    close_program "$folder" keys
    row "$name" "$seen; stopped" "${why:-$CLOSED}"
}

# The client's link into the lab set down in the middle of a trace (real ICMP), then given back.
case_link_down() {
    local name=link-down-and-back folder=$work/link-down why=""
    wanted "$name" || return 0
    launch "$folder" || { row "$name" "did not start" "no window"; return; }
    type_host "$DEST_NAME"
    keys Return
    wait_until 30 rows '^7$' && wait_until 10 status 'Pinging' || why="trace did not reach the cycle"
    ip link set to-r1 down
    wait_until 15 boxes '^[1-9]'
    local box=${ST[box0]:-} seen
    if [ -n "$box" ]; then seen="link down: box \"${box#*|}\""; else seen="link down: no box, status ${ST[status]:-}"; fi
    seen=${seen//\\n/ }
    [ "${ST[boxes]:-0}" != 0 ] && probe "press $W OK"
    ip link set to-r1 up
    ip route replace 198.18.0.0/15 via "$R1"
    sleep 1
    state
    if [ "${ST[running]:-}" = no ]; then
        keys Return
        seen+="; back: Return"
    fi
    wait_until 30 rows '^7$' && wait_until 10 status 'Pinging' || why=${why:-"no trace after the link came back"}
    sleep 2
    state
    [ "$(cut -d'|' -f10 <<<"${ST[row6]:-}")" = 0% ] || why=${why:-"dest row: ${ST[row6]:-}"}
    seen+=" traces again, dest $(cut -d'|' -f4-5,10 <<<"${ST[row6]:-}")"
    close_program "$folder" keys
    row "$name" "$seen" "${why:-$CLOSED}"
}

unknown_host_case printf-directives '%s%n%x%d%%%p.test'
unknown_host_case http-alone 'http://'
unknown_host_case https-alone 'https://'
unknown_host_case url-port-path "http://$DEST_NAME:80/index.html"
unknown_host_case address-256.1.1.1 '256.1.1.1'
case_long_host
address_case address-1.2.3 1.2.3 1.2.0.3
address_case address-0.0.0.0 0.0.0.0 0.0.0.0
address_case address-255.255.255.255 255.255.255.255 255.255.255.255
case_odd_names
return_esc_case return-esc-200 "$DEST_NAME"
return_esc_case return-esc-200-slow "$SLOW_NAME"
case_closes
case_two_copies
case_no_icmp
case_link_down

echo
printf '%-24s | %-92s | %s\n' case seen verdict
printf '%s\n' "${rows[@]}"
echo "$((${#rows[@]} - failures)) of ${#rows[@]} cases passed"
[ "$failures" = 0 ]
