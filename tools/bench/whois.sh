#!/usr/bin/env bash
# Benchmark of the WhoIs client in a fresh lab (not a test): for a 64 KiB and a 1 MiB answer from
# the lab's WhoIs host, the time from the Whois button to the last byte shown, beside the time nc
# takes to read the same answer from the same server; the CPU time; and the
# longest time the program's message loop kept a message waiting.
#   tools/bench/whois.sh [SIZE...]    (bytes; default 65536 1048576)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/in-lab.sh"

[ $# -gt 0 ] || set -- 65536 1048576

topo() { awk -v n="$1" '$1 == "#define" && $2 == n { v = $3; gsub(/"/, "", v); print v; exit }' \
    "$repo/tests/lab/lab_topology.h"; }
server=$(topo LAB_WHOIS_ADDR)

# The same answers read by nc: connect, send the query line, read until the server closes.
nc_client() {
    local size started bytes
    for size in "$@"; do
        started=$(date +%s%N)
        bytes=$(printf 'bulk-%s.test\r\n' "$size" | nc -N "$server" 43 | wc -c)
        awk -v s="$size" -v t="$(( $(date +%s%N) - started ))" -v b="$bytes" \
            'BEGIN { printf "%8s bytes: %.1f ms for nc to read them (%d bytes)\n", s, t / 1e6, b }'
    done
}

nc_client "$@"
cd "$(mktemp -d)"
"$repo/tools/wine-run" "$build/tools/bench/whois_bench.exe" "$@"
nc_client "$@"
