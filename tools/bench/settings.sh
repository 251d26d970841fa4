#!/usr/bin/env bash
# Benchmark of the INI file and the trace report in a fresh lab (not a test): start-up with an
# empty INI file and with a long host name history, and CopyTraceReport for a full table.
#   tools/bench/settings.sh [history entries] [hops]    (defaults: 200, 40)
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
"$repo/tools/wine-run" settings_bench.exe "$@"
