#!/usr/bin/env python3
"""The client namespace's own name server on 127.0.0.1:53 (where an empty resolv.conf points):
names under the slow zone resolve (their A record) only after a delay, so a test can stop a trace while its lookup
is still running, and so do the reverse names of the addresses in --slow-reverse (hop-N.<zone>); every other name
is unknown at once. With --txt, it also holds TXT records (the lab's AS zones), each answered after its own
delay, and logs every TXT query ("txt NAME") so that a test can tell whether one was made. Nothing is ever
forwarded."""
import argparse
import heapq
import select
import signal
import socket
import struct
import sys
import time

TYPE_A = 1
TYPE_PTR = 12
TYPE_TXT = 16
CLASS_IN = 1
NOERROR, FORMERR, NXDOMAIN = 0, 1, 3


def parse_question(packet):
    """(id, flags, question bytes, name, qtype) of a query, or None for anything malformed."""
    if len(packet) < 12:
        return None
    ident, flags, qdcount = struct.unpack("!HHH", packet[:6])
    if flags & 0x8000 or qdcount != 1:
        return None
    labels, pos = [], 12
    while True:
        if pos >= len(packet):
            return None
        length = packet[pos]
        pos += 1
        if length == 0:
            break
        if length > 63 or pos + length > len(packet):
            return None  # no compression in a question, and no overlong label
        labels.append(packet[pos:pos + length].decode("ascii", "replace").lower())
        pos += length
    if pos + 4 > len(packet):
        return None
    qtype, qclass = struct.unpack("!HH", packet[pos:pos + 4])
    return ident, flags, packet[12:pos + 4], ".".join(labels), qtype, qclass


def encode_name(name):
    return b"".join(bytes([len(label)]) + label.encode("ascii") for label in name.split(".")) + b"\0"


def read_txt_records(path):
    """{name: (delay in seconds, text)} from lines of name, TAB, delay in ms, TAB, text."""
    records = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            name, delay, text = line.split("\t", 2)
            records[name.lower().strip(".")] = (int(delay) / 1000.0, text.encode("utf-8"))
    return records


def txt_rdata(text):
    """A TXT record's data: the text in character-strings of at most 255 bytes each."""
    pieces = [text[i:i + 255] for i in range(0, len(text), 255)] or [b""]
    return b"".join(bytes([len(p)]) + p for p in pieces)


def reply(ident, flags, question, rcode, address=None, pointer=None, txt=None):
    answers = 0
    body = question
    if txt is not None:
        answers = 1
        data = txt_rdata(txt)
        body += struct.pack("!HHHIH", 0xC00C, TYPE_TXT, CLASS_IN, 60, len(data)) + data
    elif address is not None:
        answers = 1
        body += struct.pack("!HHHIH", 0xC00C, TYPE_A, CLASS_IN, 60, 4) + socket.inet_aton(address)
    elif pointer is not None:
        answers = 1
        target = encode_name(pointer)
        body += struct.pack("!HHHIH", 0xC00C, TYPE_PTR, CLASS_IN, 60, len(target)) + target
    # response, authoritative, recursion desired copied, recursion available
    out_flags = 0x8000 | 0x0400 | (flags & 0x0100) | 0x0080 | rcode
    return struct.pack("!HHHHHH", ident, out_flags, 1, answers, 0, 0) + body


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--zone", required=True, help="names in this zone resolve slowly")
    parser.add_argument("--answer", required=True, help="the address they resolve to")
    parser.add_argument("--delay-ms", type=int, default=1500)
    parser.add_argument("--slow-reverse", default="",
                        help="first three octets of addresses whose reverse names also come late")
    parser.add_argument("--address", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=53)
    parser.add_argument("--txt", help="a file of TXT records: name, TAB, delay in ms, TAB, text")
    args = parser.parse_args()
    txt_records = read_txt_records(args.txt) if args.txt else {}
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    zone = args.zone.lower().strip(".")
    # N.c.b.a.in-addr.arpa for the slow reverse network a.b.c
    reverse_zone = ".".join(reversed(args.slow_reverse.split("."))) + ".in-addr.arpa"
    server = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    server.bind((args.address, args.port))
    print("listening", flush=True)
    pending = []  # (due time, sequence, packet, peer)
    sequence = 0
    while True:
        timeout = max(0.0, pending[0][0] - time.monotonic()) if pending else None
        readable, _, _ = select.select([server], [], [], timeout)
        if readable:
            packet, peer = server.recvfrom(512)
            query = parse_question(packet)
            if query is None:
                if len(packet) >= 2:
                    server.sendto(struct.pack("!HHHHHH", struct.unpack("!H", packet[:2])[0],
                                              0x8000 | FORMERR, 0, 0, 0, 0), peer)
                continue
            ident, flags, question, name, qtype, qclass = query
            host = name[:-len(reverse_zone) - 1] if args.slow_reverse else ""
            if qtype == TYPE_TXT:
                print("txt %s" % name, flush=True)
            if qtype == TYPE_TXT and name in txt_records:
                delay, text = txt_records[name]
                sequence += 1
                heapq.heappush(pending, (time.monotonic() + delay, sequence,
                                         reply(ident, flags, question, NOERROR, txt=text), peer))
            elif name.endswith("." + reverse_zone) and qtype == TYPE_PTR and host.isdigit():
                sequence += 1
                heapq.heappush(pending, (time.monotonic() + args.delay_ms / 1000.0, sequence,
                                         reply(ident, flags, question, NOERROR,
                                               pointer="hop-%s.%s" % (host, zone)), peer))
                print("slow reverse %s" % name, flush=True)
            elif (name == zone or name.endswith("." + zone)) and qtype != TYPE_A:
                server.sendto(reply(ident, flags, question, NOERROR), peer)  # no other records
            elif name == zone or name.endswith("." + zone):
                address = args.answer if qclass == CLASS_IN else None
                sequence += 1
                heapq.heappush(pending, (time.monotonic() + args.delay_ms / 1000.0, sequence,
                                         reply(ident, flags, question, NOERROR, address), peer))
                print("slow %s type %d" % (name, qtype), flush=True)
            else:
                server.sendto(reply(ident, flags, question, NXDOMAIN), peer)
        while pending and pending[0][0] <= time.monotonic():
            _, _, packet, peer = heapq.heappop(pending)
            server.sendto(packet, peer)


if __name__ == "__main__":
    main()
