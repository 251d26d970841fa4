#!/usr/bin/env python3
"""Reads back the files that the program test SavedForReadBack saved for a trace whose second hop
has a hostile reverse name: the CSV with Python's csv module, the web page with its HTML parser,
the text file as bytes. Each gives the name back whole, and nothing more.
    read_back_saved.py FOLDER
"""
import csv
import html.parser
import pathlib
import sys

saved = pathlib.Path(sys.argv[1]) / "hostile"
raw_name = b"a,\"b\"<script>alert('x')</script>&\r\n\xe9\xfc"
name = raw_name.decode(f"cp{int(saved.with_suffix('.code-page').read_text())}")

data = saved.with_suffix(".csv").read_bytes()
assert data.count(b"\n") == data.count(b"\r\n") == 1 + 8, "CR LF line ends, one inside a field"
rows = list(csv.reader(data.decode("utf-8").splitlines(keepends=True)))
assert len(rows) == 8 and all(len(r) == 20 for r in rows) and rows[0][5] == "Host Name", rows
assert rows[2][5] == name and all(r[:2] == ["dest.routelark.test", "198.18.7.1"] for r in rows[1:])


class Page(html.parser.HTMLParser):
    """The tags met, and the texts of the table's cells, row by row."""

    def __init__(self):
        super().__init__()
        self.tags, self.rows, self.cell = [], [], None

    def handle_starttag(self, tag, attrs):
        self.tags.append(tag)
        self.rows += [[]] if tag == "tr" else []
        self.cell = "" if tag in ("td", "th") else self.cell

    def handle_endtag(self, tag):
        if tag in ("td", "th"):
            self.rows[-1].append(self.cell)
            self.cell = None

    def handle_data(self, data):
        self.cell = None if self.cell is None else self.cell + data


page = Page()
page.feed(saved.with_suffix(".html").read_bytes().decode("utf-8"))
assert "script" not in page.tags and page.tags.count("table") == 1 and len(page.rows) == 8, page.rows
assert page.rows[2][2] == name.replace("\r", "\ufffd").replace("\n", "\ufffd"), page.rows[2]

text = saved.with_suffix(".txt").read_bytes()
assert text.startswith(b"Routelark 1.0.0\r\nTarget: dest.routelark.test (198.18.7.1)\r\n"), text
assert b"\r\n2    198.18.2.1       " + raw_name in text, text
print("read back: CSV, HTML and text, the hostile name whole in each")

# The events of a trace (SavedForReadBack.EventsInEveryFormat): the JSON file strictly, the web
# page's events table and the Events window's own CSV, a hostile name in its route change.
import json

events = pathlib.Path(sys.argv[1]) / "events"
event_name = b"a,\"b\"<script>&\r\n\xe9\xfc".decode(f"cp{int(saved.with_suffix('.code-page').read_text())}")
document = json.loads(events.with_suffix(".json").read_bytes().decode("utf-8"))
listed = document["events"]
assert document["events_since_start"] == 3 and document["events_dropped"] == 0, document
assert [e["kind"] for e in listed] == ["loss", "destination_silent", "route_change"], listed
assert [e["hop"] for e in listed] == [2, 7, 3], listed
assert listed[0]["seconds"] == 14 and listed[0]["lost"] == 7 and listed[0]["not_passed_on"] is True
assert listed[1]["open"] is True and listed[1]["sent"] is None, listed[1]
assert listed[2]["old_address"] == "198.18.3.1" and listed[2]["new_address"] == "198.18.9.1"
assert listed[2]["new_name"] == event_name and listed[2]["text"].endswith(event_name + ")")
assert len(document["hops"]) == 7, document["hops"]

page = Page()
page.feed(events.with_suffix(".html").read_bytes().decode("utf-8"))
assert "script" not in page.tags and page.tags.count("table") == 2, page.tags
route = [row for row in page.rows if len(row) == 4 and row[2].startswith("Route changed")]
assert len(route) == 1 and route[0][1] == "3", page.rows
assert route[0][2].endswith(event_name.replace("\r", "\ufffd").replace("\n", "\ufffd") + ")"), route

rows = list(csv.reader((pathlib.Path(sys.argv[1]) / "events.list.csv").read_bytes().decode("utf-8").splitlines(keepends=True)))
assert rows[0] == ["Time", "Hop", "Kind", "Event", "Seconds", "Open"], rows
assert [r[2] for r in rows[1:]] == ["loss", "destination_silent", "route_change"], rows
assert rows[3][3].endswith(event_name + ")") and rows[1][4] == "14" and rows[2][5] == "1", rows
print("read back: the events in JSON, HTML and their own CSV, the hostile name whole in each")
