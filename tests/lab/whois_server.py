#!/usr/bin/env python3
"""The lab's WhoIs host: answers each query on TCP port 43 from DIR/<query>.txt, or "No match for"
(and "bulk-N.test" with N bytes of numbered lines)."""
import argparse
import os
import re
import signal
import socketserver
import sys

# A query names a file only when it looks like a domain or handle: no path tricks, no hidden files.
SAFE_QUERY = re.compile(r"[a-z0-9][a-z0-9._-]{0,252}")
MAX_QUERY = 1024
# "bulk-N.test": the first N bytes of numbered lines, for long answers (see lab_topology.h).
BULK_QUERY = re.compile(r"bulk-([0-9]{1,8})\.test")
MAX_BULK = 16 << 20


def bulk(size):
    lines = (b"bulk line %08d abcdefghijklmnopqrstuvwxyz 0123456789\r\n" % i
             for i in range(size // 40 + 1))
    return b"".join(lines)[:size]


def answer(directory, query):
    name = query.strip().lower()
    sized = BULK_QUERY.fullmatch(name)
    if sized and int(sized.group(1)) <= MAX_BULK:
        return bulk(int(sized.group(1)))
    if SAFE_QUERY.fullmatch(name) and ".." not in name:
        try:
            with open(os.path.join(directory, name + ".txt"), "rb") as f:
                return f.read()  # byte for byte, line ends as stored
        except OSError:
            pass
    shown = "".join(c if " " <= c <= "~" else "?" for c in query.strip())
    return ('No match for "%s".\r\n' % shown).encode("ascii")


class Handler(socketserver.StreamRequestHandler):
    timeout = 10  # a client that never sends its line is dropped

    def handle(self):
        line = self.rfile.readline(MAX_QUERY)  # the query ends with CR LF
        query = line.decode("latin-1").rstrip("\r\n")
        self.wfile.write(answer(self.server.directory, query))
        print("query %r from %s" % (query, self.client_address[0]), flush=True)


class Server(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True

    def handle_error(self, request, client_address):
        print("error serving %s: %s" % (client_address[0], sys.exc_info()[1]), flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--dir", required=True, help="folder of answer files <query>.txt")
    parser.add_argument("--port", type=int, default=43)
    parser.add_argument("--address", default="0.0.0.0")
    args = parser.parse_args()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    with Server((args.address, args.port), Handler) as server:
        server.directory = args.dir
        print("listening", flush=True)
        try:
            server.serve_forever(poll_interval=60)  # SIGTERM ends it at once
        except KeyboardInterrupt:
            pass


if __name__ == "__main__":
    main()
