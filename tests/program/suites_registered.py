#!/usr/bin/env python3
"""Checks that the program's test suites are the ones its CMake file read from the sources, where
each suite runs as one CTest test: a suite that reading missed would never run.
    suites_registered.py EMULATOR PROGRAM SUITE...
"""
import subprocess
import sys

emulator, program, registered = sys.argv[1], sys.argv[2], set(sys.argv[3:])
listing = subprocess.run([emulator, program, "--gtest_list_tests"], capture_output=True,
                         text=True, check=True).stdout
# Suites start a line ("Suite." or "Prefix/Suite.", maybe with a "# TypeParam" note); their
# cases follow, indented.
listed = set()
for line in listing.splitlines():
    if line and not line[0].isspace() and "." in line and not line.startswith(("Running", "Note")):
        listed.add(line.split(".")[0].split("/")[-1])
missing = sorted(listed - registered)
unknown = sorted(registered - listed)
if missing or unknown or not listed:
    print(f"suites the program holds but CMake did not read: {missing or 'none'}")
    print(f"suites CMake read but the program does not hold: {unknown or 'none'}")
    sys.exit(1)
print(f"{len(listed)} suites, each registered")
