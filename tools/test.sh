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
# A clone's folder of up to 800 characters and 48 folders from the root: Wine reaches the clone
# through a drive of its own (R:) however deep it lies, but the Wine prefixes lie up to 38
# characters below the clone and Wine aborts making one in a folder of about 1,000 ("debugstr
# buffer overflow"), and the build tree's paths are up to 7 folders deeper than the clone's,
# while Ninja takes paths of at most 60 folders ("path has too many components").
longest_folder=800
deepest_folder=48
slashes=${repo//[^\/]/}
if [ ${#repo} -gt "$longest_folder" ] || [ ${#slashes} -gt "$deepest_folder" ]; then
    echo "test: the clone's folder is ${#repo} characters long and ${#slashes} folders deep; the test command serves folders of up to $longest_folder characters and $deepest_folder folders: clone it into a shorter one" >&2
    exit 1
fi
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
    # Each program test suite runs in one process: there a process takes seconds to come up,
    # while the x86_64 suite keeps every case in a process of its own.
    configure=(-DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchain-mingw-i686.cmake" -DROUTELARK_TEST_TIMEOUT=900
        -DROUTELARK_RELEASE_DIR="$repo/build/release" -DROUTELARK_BENCHMARKS=OFF
        -DROUTELARK_SUITE_PER_PROCESS=ON)
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

# The platform-free code built natively with the sanitizers: its unit tests, short fuzz runs.
native_checks() {
    local start
    start=$(now)
    "$repo/tests/native/check.sh" "$build/native" || return 1
    took "native checks" "$start"
}

# Beside the x86_64 suite, at the lowest priority (--beside, in a process group of its own), where
# the i686 build of the whole suite follows it: the suite leaves about a third of the machine idle
# while its tests wait on windows, timers and echoes, and the work that does not need the lab
# fills that time instead of coming before or after it. Exit status 1: the native checks failed;
# 2: the i686 build failed (its suite cannot run).
if [ "${1:-}" = --beside ]; then
    checked=0
    native_checks || checked=1
    ROUTELARK_EMULATED_SUITE=1 "$repo/tools/test.sh" --i686-emulated --build-only || exit 2
    # Its Wine prefix is made now as well (15 s under emulation), outside the lab: making it
    # sends nothing, and the suite's session ends this server and starts its own in the lab.
    start=$(now)
    (
        export ROUTELARK_WINE_ARCH=i686-emulated
        . "$repo/tests/lab/session.sh"
        trap session_stop EXIT
        session_start "$build/i686-emulated/wineprefix" "$build/i686-emulated/logs"
    ) || true
    took "i686 Wine prefix" "$start"
    exit "$checked"
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

beside=
if [ -z "${ROUTELARK_EMULATED_SUITE:-}" ] && [ ${#only[@]} -eq 0 ]; then
    if [ "$("$repo/tools/wine-arch")" = i686-emulated ]; then
        beside_log=$build/beside-the-suite.log
        setsid nice -n 19 "$repo/tools/test.sh" --beside >"$beside_log" 2>&1 &
        beside=$!
        trap '[ -z "$beside" ] || kill -- -"$beside" 2>/dev/null || true' EXIT
    else
        native_checks
    fi
fi

"$repo/tests/lab/lab.sh" cleanup --stale
rc=0
ROUTELARK_CTEST_ONLY=${only[1]:-} "$repo/tests/lab/lab.sh" run -- "$repo/tools/test.sh" --in-lab "$(now)" || rc=$?

# Where the suite above was the x86_64 build, the i686 build of the whole suite runs as well,
# under emulation (about 8 minutes on 2 cores): the program users get passes every test too.
if [ -n "$beside" ]; then
    start=$(now)
    status=0
    wait "$beside" || status=$?
    beside=
    # What ran beside the suite above (the native checks, the i686 build and its prefix, with
    # the time each took there), then how long it was waited for once the suite had ended.
    echo "test: beside the x86_64 suite:"
    cat "$beside_log"
    took "waited for the work beside the suite" "$start"
    [ "$status" -eq 0 ] || rc=1
    echo "test: the whole suite again, built for i686 and run under CPU emulation"
    if [ "$status" -le 1 ]; then
        "$repo/tools/test.sh" --i686-emulated || rc=$?
    else
        echo "test: the i686 build failed" >&2
    fi
fi
exit "$rc"
