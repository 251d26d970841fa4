#!/usr/bin/env bash
# The test command: installs what is missing, builds, and runs every test under Wine inside a
# fresh lab network. CTest's summary is the last thing it prints; it exits non-zero on any failure.
#   tools/test.sh                 everything
#   tools/test.sh --build-only    install and build only (tools/run.sh uses it)
#   tools/test.sh --i686-emulated the whole suite built for i686 and run under CPU emulation, in
#                                 build/i686-emulated, also where 32-bit code runs natively; the
#                                 plain command runs it too where it tests the x86_64 build
#   tools/test.sh --only REGEX    only the CTest tests whose names match REGEX (ctest -R), in the
#                                 lab, without the native checks and the emulated suite
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$repo/build
configure=()
only=()
if [ "${1:-}" = --only ] && [ $# -eq 2 ]; then
    only=(-R "$2")
    set --
fi
if [ "${1:-}" = --i686-emulated ]; then
    export ROUTELARK_EMULATED_SUITE=1 # also for the run inside the lab
    shift
fi
if [ -n "${ROUTELARK_EMULATED_SUITE:-}" ]; then
    # Every Windows program of the suite is 32-bit and goes through the emulator, which runs
    # Windows calls several times slower: a hung test is given more time before it counts as one.
    export ROUTELARK_WINE_ARCH=i686-emulated
    build=$repo/build/i686-emulated
    # It tours the release zip of the build folder above (the same sources give the same zip).
    configure=(-DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchain-mingw-i686.cmake" -DROUTELARK_TEST_TIMEOUT=900
        -DROUTELARK_RELEASE_DIR="$repo/build/release")
fi

# Two tests at a time on the machine's 2 cores. Under emulation the tests kept them busy 87% of
# the time (each waits on the Wine server and the display now and then), and a third at a time
# ran them 12% sooner.
jobs=2
[ -z "${ROUTELARK_EMULATED_SUITE:-}" ] || jobs=3

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
    ctest --test-dir "$build" --output-on-failure -j"$jobs" ${ROUTELARK_CTEST_ONLY:+-R "$ROUTELARK_CTEST_ONLY"} || rc=$?
    exit "$rc"
fi

start=$(now)
"$repo/tools/install-deps.sh"
took install "$start"
[ "${ROUTELARK_WINE_ARCH:-}" != i686-emulated ] || [ "$("$repo/tools/wine-arch")" = i686-emulated ] || {
    echo "test: the i686 emulation could not be set up (tools/i686-emulation.sh)" >&2
    exit 1
}

start=$(now)
mkdir -p "$build"
if ! cmake -G Ninja -S "$repo" -B "$build" "${configure[@]}" >"$build/configure.log" 2>&1; then
    cat "$build/configure.log" >&2
    exit 1
fi
ninja -C "$build" --quiet
took build "$start"
[ "${1:-}" != --build-only ] || exit 0
[ $# -eq 0 ] || { echo "usage: tools/test.sh [--build-only | --i686-emulated | --only REGEX]" >&2; exit 2; }

# The program users get, as tools/release.sh builds it: i686, stripped, in its zip. The tests
# tour it, natively or under emulation, whichever build they test themselves.
start=$(now)
"$repo/tools/release.sh" "$repo/build/release" >/dev/null
took "release build (i686)" "$start"

# Where the i686 build of the whole suite follows (this machine runs no 32-bit code), its build
# starts now, at the lowest priority, in a process group of its own: the native checks and the
# x86_64 suite below leave much of the machine idle while the tests wait on windows, timers and
# echoes, and the build fills that time instead of coming after them. Its suite runs at the end.
emulated_build=
if [ -z "${ROUTELARK_EMULATED_SUITE:-}" ] && [ ${#only[@]} -eq 0 ] && [ "$("$repo/tools/wine-arch")" = i686-emulated ]; then
    emulated_log=$build/i686-emulated-build.log
    setsid nice -n 19 "$repo/tools/test.sh" --i686-emulated --build-only >"$emulated_log" 2>&1 &
    emulated_build=$!
    trap '[ -z "$emulated_build" ] || kill -- -"$emulated_build" 2>/dev/null || true' EXIT
fi

# The platform-free code built natively with the sanitizers: its unit tests, short fuzz runs.
if [ -z "${ROUTELARK_EMULATED_SUITE:-}" ] && [ ${#only[@]} -eq 0 ]; then
    start=$(now)
    "$repo/tests/native/check.sh" "$build/native"
    took "native checks" "$start"
fi

"$repo/tests/lab/lab.sh" cleanup --stale
rc=0
ROUTELARK_CTEST_ONLY=${only[1]:-} "$repo/tests/lab/lab.sh" run -- "$repo/tools/test.sh" --in-lab "$(now)" || rc=$?

# Where the suite above was the x86_64 build, the i686 build of the whole suite runs as well,
# under emulation (about 8 minutes on 2 cores): the program users get passes every test too.
if [ -n "$emulated_build" ]; then
    echo "test: the whole suite again, built for i686 and run under CPU emulation"
    start=$(now)
    built=0
    wait "$emulated_build" || built=$?
    emulated_build=
    # Its own lines (the time its build took beside the tests above), then how long it was waited for.
    cat "$emulated_log"
    took "waited for the i686 build" "$start"
    if [ "$built" -eq 0 ]; then
        "$repo/tools/test.sh" --i686-emulated || rc=$?
    else
        echo "test: the i686 build failed (exit status $built)" >&2
        rc=1
    fi
fi
exit "$rc"
