#!/usr/bin/env bash
# Benchmark of session files (not a test), in a fresh lab on a virtual display: a trace of 30
# hops that ran 24 hours saved as a session and opened again; the file's size, the time to take
# its bytes, to save it and to open it (tools/bench/session_bench.cpp).
#   tools/bench/session.sh [ROUNDS]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/in-lab.sh"
export WINEPREFIX=$build/wineprefix
cd "$build/tools/bench" # its INI file and bench.rls
"$repo/tools/wine-run" "$build/tools/bench/session_bench.exe" "${1:-5}"
