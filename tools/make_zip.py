#!/usr/bin/env python3
"""Writes a zip whose bytes depend only on what goes into it: entries in the order given, each
with the same date, the same mode (a plain file, rw-r--r--) and the same compression, and no
extra fields. The same files give the same zip with the same Python and zlib.

    make_zip.py --date SECONDS OUTPUT.zip NAME=PATH...

SECONDS (since 1970, UTC) is the date every entry carries.
"""
import argparse
import os
import time
import zipfile


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--date", type=int, required=True)
    parser.add_argument("output")
    parser.add_argument("entries", nargs="+", metavar="NAME=PATH")
    args = parser.parse_args()

    # Zip dates are local wall-clock times without a zone: write the UTC one, never the build
    # machine's.
    stamp = time.gmtime(args.date)[:6]
    partial = args.output + ".partial"
    with zipfile.ZipFile(partial, "w") as archive:
        for entry in args.entries:
            name, sep, path = entry.partition("=")
            if not sep or not name:
                parser.error(f"not NAME=PATH: {entry}")
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.create_system = 3  # Unix, so that the mode below is what unzip applies
            info.external_attr = 0o100644 << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as source:
                archive.writestr(info, source.read(), compresslevel=9)
    # A build stopped half-way leaves no zip that looks whole.
    os.replace(partial, args.output)


if __name__ == "__main__":
    main()
