#!/usr/bin/env bash
# Benchmark of the idle program (not a test): start-up time to the shown main window, the
# working set after start-up, and the CPU time the program uses over 30 s of doing nothing.
# Runs the built program inside a fresh lab on a virtual display.
#   tools/bench/idle.sh [SECONDS]     (default 30)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/in-lab.sh"
seconds=${1:-30}
cd "$build"

ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; } # utime + stime of one process
now_ms() { date +%s%3N; }

# A warm start: the first start of a prefix loads much that later starts find ready.
"$repo/tools/wine-run" routelark.exe & warm=$!
until xdotool search --onlyvisible --name '^Routelark$' >/dev/null 2>&1; do sleep 0.05; done
close() { "$repo/tools/wine-run" taskkill /im routelark.exe >/dev/null 2>&1 || true; } # WM_CLOSE
close
wait "$warm" || true

start=$(now_ms)
"$repo/tools/wine-run" routelark.exe & program=$!
until xdotool search --onlyvisible --name '^Routelark$' >/dev/null 2>&1; do sleep 0.01; done
shown=$(now_ms)
pid=$(pgrep -f '^[A-Z]:.*routelark.exe|^routelark.exe' | head -n1)
sleep 1 # let start-up settle before measuring the idle program
rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status")
before=$(cpu_ticks "$pid")
sleep "$seconds"
after=$(cpu_ticks "$pid")
close
wait "$program" || true

echo "start-up to shown window: $((shown - start)) ms (wine process start included)"
echo "resident set after start-up: $((rss / 1024)) MiB (the whole Wine process)"
awk -v t="$((after - before))" -v hz="$ticks" -v s="$seconds" \
    'BEGIN { printf "CPU time while idle for %d s: %.2f s\n", s, t / hz }'
