#!/usr/bin/env bash
# Benchmark of the INI file and the trace report in a fresh lab (not a test): start-up with an
# empty INI file and with a long host name history, and CopyTraceReport for a full table.
#   tools/bench/settings.sh [history entries] [hops]    (defaults: 200, 40)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/in-lab.sh"
cd "$build/tools/bench"
"$repo/tools/wine-run" settings_bench.exe "$@"
