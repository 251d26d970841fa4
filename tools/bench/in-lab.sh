# Sourced by the benchmark scripts: outside the lab, builds and runs the calling script again
# inside a fresh lab; inside it, starts the virtual display and the Wine server there.
# Sets repo and build.
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$repo/build
if [ "${ROUTELARK_BENCH_IN_LAB:-}" != 1 ]; then
    "$repo/tools/test.sh" --build-only >/dev/null
    ROUTELARK_BENCH_IN_LAB=1 exec "$repo/tests/lab/lab.sh" run -- "$repo/tools/bench/$(basename "$0")" "$@"
fi
. "$repo/tests/lab/session.sh"
trap session_stop EXIT
session_start "$build/wineprefix" "$build/logs" >/dev/null
