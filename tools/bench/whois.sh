#!/usr/bin/env bash
# Benchmark of the WhoIs client in a fresh lab (not a test): for a 64 KiB and a 1 MiB answer from
# the lab's WhoIs host, the time from the Whois button to the last byte shown, beside the time a
# plain Python client takes to read the same answer from the same server; the CPU time; and the
# longest time the program's message loop kept a message waiting.
#   tools/bench/whois.sh [SIZE...]    (bytes; default 65536 1048576)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/in-lab.sh"

[ $# -gt 0 ] || set -- 65536 1048576

topo() { awk -v n="$1" '$1 == "#define" && $2 == n { v = $3; gsub(/"/, "", v); print v; exit }' \
    "$repo/tests/lab/lab_topology.h"; }
server=$(topo LAB_WHOIS_ADDR)

# The same answers read by a plain client: connect, send the query line, read until the close.
python_client() {
    /usr/bin/python3 - "$server" "$@" <<'PY'
import socket, sys, time
server = sys.argv[1]
for size in sys.argv[2:]:
    started = time.perf_counter()
    with socket.create_connection((server, 43)) as s:
        s.sendall(b"bulk-%s.test\r\n" % size.encode())
        got = 0
        while True:
            piece = s.recv(65536)
            if not piece:
                break
            got += len(piece)
    took = (time.perf_counter() - started) * 1000
    print("%8s bytes: %.1f ms for a Python client to read them (%d bytes)" % (size, took, got))
PY
}

python_client "$@"
cd "$(mktemp -d)"
"$repo/tools/wine-run" "$build/tools/bench/whois_bench.exe" "$@"
python_client "$@"
