#!/usr/bin/env bash
# Benchmark of the report command line (not a test): how long `routelark.exe /report /count N`
# to the lab's destination takes beside what it cannot do without, its discovery (a run of
# /count 1, which ends as discovery does, Wine's start included) and N ping rounds at the
# Setup pauses (each round the hops' average round trips, as the report itself measured them,
# plus Ping delay between hops and Trace delay after the last). The issue's budget is 1.2.
#   tools/bench/report.sh [N] [RUNS]     (default 10 echoes, 3 runs of each)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/in-lab.sh"
count=${1:-10} runs=${2:-3}
folder=$build/bench-report
rm -rf "$folder" && mkdir -p "$folder" && cd "$folder"
cp "$build/routelark.exe" .
now_ms() { date +%s%3N; }
# report COUNT FILE: the run's wall time in ms on stdout.
report() {
    local start
    start=$(now_ms)
    "$repo/tools/wine-run" routelark.exe /report /count "$1" /out "$2" dest.routelark.test >/dev/null
    echo $(($(now_ms) - start))
}
report 1 warm.json >/dev/null # the first start of a prefix loads much that later starts find ready
discovery=() full=()
for ((r = 0; r < runs; r++)); do
    discovery+=("$(report 1 discovery.json)")
    full+=("$(report "$count" full.json)")
done
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
python3 - "$(median "${discovery[@]}")" "$(median "${full[@]}")" "$count" <<'PY'
import json, sys
discovery, full, count = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
hops = [h for h in json.load(open("full.json", encoding="utf-8"))["hops"] if not h["silent"]]
# Setup's pauses at their defaults here (no INI file): 0 ms between hops and after a pass.
round_ms = sum(h["avg_ms"] for h in hops)
budget = discovery + count * round_ms
print(f"discovery (/count 1, Wine's start included): {discovery} ms")
print(f"one ping round of {len(hops)} answering hops: {round_ms} ms (their average round trips)")
print(f"/count {count}: {full} ms; discovery + {count} rounds: {budget} ms; ratio {full / budget:.2f} (budget 1.20)")
print("echoes sent per answering hop: " + " ".join(str(h["sent"]) for h in hops))
PY
