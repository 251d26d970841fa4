#!/usr/bin/env bash
# Benchmark of the INI file, the trace report and the saved files in a fresh lab (not a test):
# start-up with an empty INI file and with a long host name history, CopyTraceReport for a full
# table, and that table saved as text, HTML and CSV.
#   tools/bench/settings.sh [history entries] [hops]    (defaults: 200, 40)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/in-lab.sh"
cd "$build/tools/bench"
"$repo/tools/wine-run" settings_bench.exe "$@"
