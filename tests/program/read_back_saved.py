#!/usr/bin/env python3
"""Reads back the three files that the program test SavedForReadBack wrote for a trace whose
second hop has a hostile reverse name: the CSV with Python's csv module, the web page with its
HTML parser, the text file as bytes. Each must give the name back whole, and nothing more.
    read_back_saved.py FOLDER
"""
import csv
import html.parser
import pathlib
import sys

folder = pathlib.Path(sys.argv[1])
code_page = int((folder / "code-page.txt").read_text())
raw_name = b"a,\"b\"<script>alert('x')</script>&\r\n\xe9\xfc"
name = raw_name.decode(f"cp{code_page}")
hops = 7

# CSV: RFC 4180 with CR LF, UTF-8; every row of 14 fields; the name whole in its field.
data = (folder / "hostile.csv").read_bytes()
assert data.endswith(b"\r\n") and data.count(b"\n") == data.count(b"\r\n"), "CR LF line ends"
rows = list(csv.reader(data.decode("utf-8").splitlines(keepends=True)))
assert rows[0] == ["Target", "Address", "Started", "Hop", "IP Address", "Host Name", "Sent",
                   "Recv", "Last RTT ms", "Avg RTT ms", "Min RTT ms", "Max RTT ms", "Loss %",
                   "Ignored"], rows[0]
assert len(rows) == 1 + hops and all(len(r) == 14 for r in rows), rows
assert rows[2][5] == name, rows[2]
for r in rows[1:]:
    assert r[0] == "dest.routelark.test" and r[1] == "198.18.7.1", r
    assert all(f.isdigit() for f in r[6:13]) and r[13] in ("0", "1"), r


# HTML: valid UTF-8, one table of a header row and a row per hop, no script element, the name as
# text with its control characters shown as U+FFFD.
class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.tags, self.rows, self.cell = [], [], None

    def handle_starttag(self, tag, attrs):
        self.tags.append(tag)
        if tag == "tr":
            self.rows.append([])
        elif tag in ("td", "th"):
            self.cell = ""

    def handle_endtag(self, tag):
        if tag in ("td", "th"):
            self.rows[-1].append(self.cell)
            self.cell = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data


page = Page()
page.feed((folder / "hostile.html").read_bytes().decode("utf-8"))
page.close()
assert "script" not in page.tags, "a script element came through"
assert page.tags.count("table") == 1 and len(page.rows) == 1 + hops, page.rows
assert page.rows[0][:3] == ["Hop", "IP Address", "Host Name"], page.rows[0]
assert page.rows[2][2] == name.replace("\r", "\ufffd").replace("\n", "\ufffd"), page.rows[2]

# Text: the program's own bytes, as Copy gives them.
text = (folder / "hostile.txt").read_bytes()
assert text.startswith(b"Routelark 1.0.0\r\nTarget: dest.routelark.test (198.18.7.1)\r\n"), text[:80]
assert b"2    198.18.2.1       " + raw_name in text, text

print(f"read back: CSV, HTML and text, the hostile name whole in each (code page {code_page})")
