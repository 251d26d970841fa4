#!/usr/bin/env bash
# Benchmark of the trace engine in a fresh lab (not a test): discovery time next to the round
# trips, echo rate, CPU time and allocations per echo of the ping cycle with both pauses 0, and
# the working set over a long run.
#   tools/bench/trace.sh [--seconds N] [--minutes M] [host]    (defaults: 30 s, 0 min, the lab's destination)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/in-lab.sh"
cd "$build/tools/bench"
"$repo/tools/wine-run" trace_bench.exe "$@"
