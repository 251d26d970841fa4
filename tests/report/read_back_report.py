#!/usr/bin/env python3
"""Reads back the report run's files from the lab's destination with Python's own readers: JSON
(json, strict), CSV (csv), the text report and the web page (html.parser), hop by hop, the
silent hop included.   read_back_report.py FOLDER"""
import csv
import html.parser
import json
import os
import sys

ADDRESSES = ["198.18.%d.1" % k for k in range(1, 8)]
SILENT = 4  # the lab router that forwards but sends no ICMP of its own
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def read_json(path, count):
    with open(path, "rb") as f:
        raw = f.read()
    report = json.loads(raw.decode("utf-8"))  # strict: RFC 8259 in UTF-8
    check(report["format"] == 1 and report["program"] == "Routelark", path + ": header")
    check(report["target"] == {"host": "dest.routelark.test", "address": "198.18.7.1"},
          path + ": target " + repr(report["target"]))
    check(report["count"] == count, path + ": count")
    for key in ("started", "saved"):
        check(len(report[key]) == 25 and report[key][10] == "T", path + ": " + key)
    hops = report["hops"]
    check([h["hop"] for h in hops] == list(range(1, 8)), path + ": hop numbers")
    for h in hops:
        if h["hop"] == SILENT:
            check(h["silent"] is True and h["address"] is None and h["sent"] is None
                  and h["avg_ms"] is None and h["name"] == "[No response]",
                  path + ": silent hop " + repr(h))
            continue
        where = "%s: hop %d" % (path, h["hop"])
        check(h["address"] == ADDRESSES[h["hop"] - 1], where + " address")
        check(h["silent"] is False and h["ignored"] is False, where + " flags")
        check(h["sent"] == count, where + " sent %r, not the count" % h["sent"])
        check(h["received"] >= 1 and 0 <= h["loss_percent"] <= 100, where + " received")
        check(all(isinstance(h[k], int) for k in ("last_ms", "avg_ms", "min_ms", "max_ms")),
              where + " times")
        check(h["min_ms"] <= h["avg_ms"] <= h["max_ms"], where + " min <= avg <= max")
        check(h["name"].endswith("routelark.test"), where + " name " + h["name"])
    check(hops[6]["min_ms"] >= 40, path + ": the slow link's 2 x 20 ms")
    return report


def read_csv(path):
    with open(path, newline="", encoding="utf-8") as f:
        rows = list(csv.DictReader(f))
    check(len(rows) == 7, path + ": 7 rows")
    for row in rows:
        hop = int(row["Hop"])
        if hop == SILENT:
            check(row["IP Address"] == "" and row["Sent"] == "", path + ": silent hop")
        else:
            check(row["IP Address"] == ADDRESSES[hop - 1] and int(row["Sent"]) == 3,
                  "%s: hop %d" % (path, hop))


class Cells(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.cells = []

    def handle_data(self, data):
        self.cells.append(data)


def main(folder):
    os.chdir(folder)
    read_json("report.json", 3)
    read_csv("report.CSV")
    with open("report.txt", "rb") as f:
        text = f.read().decode("latin-1")
    check(text.startswith("Routelark ") and "\r\nTarget: dest.routelark.test (198.18.7.1)\r\n" in text,
          "report.txt: header")
    check(all(a in text for a in ADDRESSES if a != ADDRESSES[SILENT - 1]), "report.txt: hops")
    page = Cells()
    with open("report.htm", encoding="utf-8") as f:
        page.feed(f.read())
    check(all(a in page.cells for a in ADDRESSES if a != ADDRESSES[SILENT - 1]), "report.htm: hops")
    # Standard output, redirected to a file, holds the JSON itself.
    os.replace("stdout.out", "stdout.json")
    read_json("stdout.json", 2)
    hops = json.load(open("hops.json", encoding="utf-8"))["hops"]
    check([h["address"] for h in hops] == ADDRESSES[:3], "hops.json: three hops")
    for what in failures:
        print("FAIL: " + what)
    print("read_back_report: %d failures" % len(failures))
    return 1 if failures else 0


sys.exit(main(sys.argv[1]))
