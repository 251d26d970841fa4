#!/usr/bin/env bash
# Benchmark of the trace engine in a fresh lab (not a test): discovery time next to the round
# trips, echo rate, CPU time and allocations per echo of the ping cycle with both pauses 0, and
# the working set over a long run.
#   tools/bench/trace.sh [--seconds N] [--minutes M] [host]    (defaults: 30 s, 0 min, the lab's destination)
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$repo/build

if [ "${ROUTELARK_BENCH_IN_LAB:-}" != 1 ]; then
    "$repo/tools/test.sh" --build-only >/dev/null
    ROUTELARK_BENCH_IN_LAB=1 exec "$repo/tests/lab/lab.sh" run -- "$repo/tools/bench/$(basename "$0")" "$@"
fi

. "$repo/tests/lab/session.sh"
trap session_stop EXIT
session_start "$build/wineprefix" "$build/logs" >/dev/null
cd "$build/tools/bench"
"$repo/tools/wine-run" trace_bench.exe "$@"
