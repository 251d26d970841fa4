#!/usr/bin/env bash
# Benchmark of the echo path (not a test): in one fresh lab, the platform's own echo loop and the
# program's ping cycle (both pauses 0) to the same sub-millisecond hop, the cycle once with the
# hops' histories (the graph's buckets) and once without, in three rounds of the three (the two
# cycles in turn first, so that an order effect falls on both), with their rates, CPU per echo and
# the ratios of the rates; then the cycle without the route check beside it (its echo a second),
# against the cycle with it (the histories kept in both).
#   tools/bench/echo_rate.sh [SECONDS]    (default 20 a run, 9 runs; the hop is the lab's first router)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/in-lab.sh"
seconds=${1:-20}
hop=$(awk '$2 == "LAB_R1_ADDR" { gsub(/"/, "", $3); print $3 }' "$repo/tests/lab/lab_topology.h")
cd "$build/tools/bench"
rate() { sed -n "s/.* \([0-9]*\) echoes\/s.*/\1/p" <<<"$1" | head -n1; }
ratio() { awk -v p="$1" -v r="$2" 'BEGIN { printf "%.1f", 100 * r / p }'; }
cycle() { "$repo/tools/wine-run" trace_bench.exe --seconds "$seconds" "$@" "$hop"; }
with_sum=0 without_sum=0 check_sum=0 rounds=3
for round in $(seq "$rounds"); do
    platform=$("$repo/tools/wine-run" icmp_loop.exe "$hop" "$seconds")
    echo "$platform"
    if [ $((round % 2)) = 1 ]; then
        with=$(cycle) without=$(cycle --without-history) unchecked=$(cycle --without-route-check)
    else
        unchecked=$(cycle --without-route-check) without=$(cycle --without-history) with=$(cycle)
    fi
    echo "$with"
    echo "$without"
    echo "$unchecked"
    c=$(ratio "$(rate "$platform")" "$(rate "$unchecked")")
    echo "round $round: ping cycle / platform loop without the route check: $c%"
    check_sum=$(awk -v a="$check_sum" -v b="$c" 'BEGIN { print a + b }')
    w=$(ratio "$(rate "$platform")" "$(rate "$with")")
    wo=$(ratio "$(rate "$platform")" "$(rate "$without")")
    echo "round $round: ping cycle / platform loop: $w% with the histories, $wo% without"
    with_sum=$(awk -v a="$with_sum" -v b="$w" 'BEGIN { print a + b }')
    without_sum=$(awk -v a="$without_sum" -v b="$wo" 'BEGIN { print a + b }')
done
awk -v w="$with_sum" -v wo="$without_sum" -v n="$rounds" 'BEGIN {
    printf "ping cycle / platform loop, mean of %d rounds: %.1f%% with the histories, %.1f%% without: %+.1f points\n",
        n, w / n, wo / n, (w - wo) / n }'
awk -v w="$with_sum" -v c="$check_sum" -v n="$rounds" 'BEGIN {
    printf "ping cycle / platform loop, mean of %d rounds: %.1f%% with the route check, %.1f%% without: %+.1f points\n",
        n, w / n, c / n, (w - c) / n }'
