#!/usr/bin/env bash
# The test command: installs what is missing, builds, and runs every test under Wine inside a
# fresh lab network. CTest's summary is the last thing it prints; it exits non-zero on any failure.
#   tools/test.sh               everything
#   tools/test.sh --build-only  install and build only (tools/run.sh uses it)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$repo/build

now() { date +%s.%N; }
took() { awk -v a="$2" -v b="$(now)" -v what="$1" 'BEGIN { printf "%s: %.1f s\n", what, b - a }'; }

# Inside the lab's client namespace: display, Wine server, then CTest.
if [ "${1:-}" = --in-lab ]; then
    . "$repo/tests/lab/session.sh"
    took "lab network" "$2"
    trap session_stop EXIT
    start=$(now)
    session_start "$build/wineprefix" "$build/logs"
    took "display and Wine prefix" "$start"
    rc=0
    ctest --test-dir "$build" --output-on-failure -j2 || rc=$?
    exit "$rc"
fi

start=$(now)
"$repo/tools/install-deps.sh"
took install "$start"

start=$(now)
mkdir -p "$build"
if ! cmake -G Ninja -S "$repo" -B "$build" >"$build/configure.log" 2>&1; then
    cat "$build/configure.log" >&2
    exit 1
fi
ninja -C "$build" --quiet
took build "$start"
[ "${1:-}" != --build-only ] || exit 0
[ $# -eq 0 ] || { echo "usage: tools/test.sh [--build-only]" >&2; exit 2; }

# The platform-free code built natively with the sanitizers: its unit tests, short fuzz runs.
start=$(now)
"$repo/tests/native/check.sh" "$build/native"
took "native checks" "$start"

"$repo/tests/lab/lab.sh" cleanup --stale
exec "$repo/tests/lab/lab.sh" run -- "$repo/tools/test.sh" --in-lab "$(now)"
