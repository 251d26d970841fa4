#!/usr/bin/env python3
"""Reads routelark.chm back with a CHM reader of its own (extract_chmLib, Debian's libchm-bin) and
checks it against its Halibut source: every topic in the contents with its page, every index term
in the index, both named in #SYSTEM where HTML Help looks, and each of the program's texts (\\q{})
in double quotes. Prints a FAIL line for each fault and exits 1.
    check_chm.py CHM SOURCE.but
"""
import html
import pathlib
import re
import subprocess
import sys
import tempfile


def sitemap(text):
    """Name -> pages of each entry of a contents (.hhc) or index (.hhk) file."""
    entries = {}
    for entry in re.findall(r"<OBJECT.*?</OBJECT>", text, re.S):
        name = re.search(r'NAME="Name" VALUE="([^"]*)"', entry)
        entries[html.unescape(name.group(1)) if name else None] = \
            re.findall(r'NAME="Local" VALUE="([^"#]*)', entry)
    return entries


chm, source = sys.argv[1], pathlib.Path(sys.argv[2])
# Comment lines (\#) tell about the markup and hold no text of the help.
but = "\n".join(l for l in source.read_text().splitlines() if not l.startswith("\\#"))
topics = re.findall(r"^\\[CHSAU]\{\w+\}\s*(.+)$", but, re.M)
terms = set(re.findall(r"\\[Ii]\{([^{}]+)\}", but))
quoted = {" ".join(q.split()) for q in re.findall(r"\\q\{([^{}]*)\}", but)}

with tempfile.TemporaryDirectory() as folder:
    if subprocess.run(["extract_chmLib", chm, folder], stdout=subprocess.DEVNULL).returncode:
        sys.exit(f"FAIL: extract_chmLib cannot read {chm}")
    files = {p.name: p.read_text(encoding="latin-1") for p in pathlib.Path(folder).iterdir()
             if p.is_file()}
faults = [f"{name} is missing or not named in #SYSTEM" for name in ("contents.hhc", "index.hhk")
          if name not in files or name not in files.get("#SYSTEM", "")]
contents, index = sitemap(files.get("contents.hhc", "")), sitemap(files.get("index.hhk", ""))
for topic in topics:
    page = files.get((contents.get(topic) or [""])[0], "")
    if f"<title>{html.escape(topic, quote=False)}</title>" not in page:
        faults.append(f"topic {topic!r}: not in the contents with its page")
for term in sorted(terms):
    if not index.get(term) or any(page not in files for page in index[term]):
        faults.append(f"index term {term!r}: not in the index with its pages")
pages = " ".join(text for name, text in files.items() if name.endswith(".html"))
text = " ".join(html.unescape(re.sub(r"<[^>]*>", " ", pages)).split())
faults += [f"\u201c{q}\u201d: in no page" for q in sorted(quoted) if f"\u201c{q}\u201d" not in text]

print(f"check_chm: {pathlib.Path(chm).name} against {source.name}: {len(topics)} topics, "
      f"{len(terms)} index terms, {len(quoted)} texts of the program in double quotes")
print("".join(f"FAIL: {fault}\n" for fault in faults), end="")
sys.exit(1 if faults else 0)
