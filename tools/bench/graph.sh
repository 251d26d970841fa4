#!/usr/bin/env bash
# Benchmark of the hop graph (not a test), in a fresh lab on a virtual display:
#   - the history's bytes per hop, the working set with 40 hops whose rings are full, and the time
#     of a whole repaint of their graph in each span, by the x86_64 build (built into
#     build/x86_64 with cmake/toolchain-mingw-x86_64.cmake) and by the build the tests use;
#   - the program's CPU time during a trace at the default settings with the graph closed and
#     open, in turns, and while stopped with the graph open; the same with the Events window on a
#     full log of 1,000 events.
#   tools/bench/graph.sh [SECONDS]    (default 60: the trace's time with the graph closed, and open)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if [ "${ROUTELARK_BENCH_IN_LAB:-}" != 1 ]; then
    # The x86_64 build of the benchmark, before the lab: its prefix is the tests' own (win64).
    root=$(cd "$here/../.." && pwd)
    mkdir -p "$root/build/x86_64"
    cmake -G Ninja -S "$root" -B "$root/build/x86_64" -DBUILD_TESTING=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake" >/dev/null
    ninja -C "$root/build/x86_64" --quiet graph_bench
fi
. "$here/in-lab.sh"
seconds=${1:-60}
export WINEPREFIX=$build/wineprefix
cd "$build/tools/bench" # its INI file, and the pictures of the timed paints (graph_bench_*.bmp)
# The tests' build is x86_64 too where no 32-bit code runs natively: then it is timed once.
tests_arch=i686
! grep -q '^CMAKE_TOOLCHAIN_FILE:.*x86_64' "$build/CMakeCache.txt" || tests_arch=x86_64
for arch in x86_64 "$tests_arch"; do
    exe=$build/tools/bench/graph_bench.exe
    if [ "$arch" = x86_64 ] && [ "$tests_arch" != x86_64 ]; then exe=$build/x86_64/tools/bench/graph_bench.exe; fi
    echo "== $arch build: 40 hops with full rings"
    "$repo/tools/wine-run" "$exe" --paint 720x560
    "$repo/tools/wine-run" "$exe" --paint 1000x900 | grep paint
    [ "$tests_arch" != x86_64 ] || break
done
echo "== $tests_arch build: a trace of the lab's destination"
"$repo/tools/wine-run" "$build/tools/bench/graph_bench.exe" --cpu "$seconds"
echo "== $tests_arch build: the Events window during that trace"
"$repo/tools/wine-run" "$build/tools/bench/graph_bench.exe" --events "$seconds"
