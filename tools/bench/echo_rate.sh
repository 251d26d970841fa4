#!/usr/bin/env bash
# Benchmark of the echo path (not a test): in one fresh lab, the platform's own echo loop and the
# program's ping cycle (both pauses 0) to the same sub-millisecond hop, one after the other, with
# their rates, CPU per echo and the ratio of the two rates.
#   tools/bench/echo_rate.sh [SECONDS]    (default 20; the hop is the lab's first router)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/in-lab.sh"
seconds=${1:-20}
hop=$(awk '$2 == "LAB_R1_ADDR" { gsub(/"/, "", $3); print $3 }' "$repo/tests/lab/lab_topology.h")
cd "$build/tools/bench"
platform=$("$repo/tools/wine-run" icmp_loop.exe "$hop" "$seconds")
echo "$platform"
program=$("$repo/tools/wine-run" trace_bench.exe --seconds "$seconds" "$hop")
echo "$program"
rate() { sed -n "s/.* \([0-9]*\) echoes\/s.*/\1/p" <<<"$1" | head -n1; }
awk -v p="$(rate "$platform")" -v r="$(rate "$program")" \
    'BEGIN { printf "ping cycle / platform loop: %.0f%% of the platform'"'"'s echo rate\n", 100 * r / p }'
