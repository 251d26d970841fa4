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
