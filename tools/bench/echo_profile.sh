#!/usr/bin/env bash
# Where the UI thread's time goes in the ping cycle to one near hop (not a test): see
# echo_profile.cpp for the buckets.
#   tools/bench/echo_profile.sh [SECONDS]    (default 8; the hop is the lab's first router)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/in-lab.sh"
hop=$(awk '$2 == "LAB_R1_ADDR" { gsub(/"/, "", $3); print $3 }' "$repo/tests/lab/lab_topology.h")
cd "$build/tools/bench"
"$repo/tools/wine-run" echo_profile.exe --seconds "${1:-8}" "$hop"
