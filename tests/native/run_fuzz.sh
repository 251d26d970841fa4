#!/usr/bin/env bash
# Runs one fuzz target over its committed seeds and on: run_fuzz.sh FUZZER CORPUS WORK [OPTIONS].
# A short run (-runs=N) with a fixed seed repeats exactly. The seeds are only read: new inputs
# go to WORK/new, a finding to WORK/findings/ (crash-..., timeout-...), where it can be replayed
# with "FUZZER FILE". Exits non-zero on any finding.
set -euo pipefail
fuzzer=$1 corpus=$2 work=$3
shift 3
rm -rf "$work"
mkdir -p "$work/new" "$work/findings"
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
exec "$fuzzer" -seed=1 -timeout=10 -artifact_prefix="$work/findings/" -print_final_stats=1 \
    "$@" "$work/new" "$corpus"
