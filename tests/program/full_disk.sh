#!/usr/bin/env bash
# Save As onto a full disk: a 64 KiB tmpfs mounted beside the test program, holding an old
# trace.csv and a filler that takes every byte left, and then the program test that saves over
# trace.csv there. The lab's mount namespace holds the mount (the Wine server shares it); it is
# taken away again whatever happens.
#   full_disk.sh PROGRAM_TESTS FOLDER
set -euo pipefail
tests=$1 folder=$2
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
mkdir -p "$folder"
! mountpoint -q "$folder" || umount "$folder"
mount -t tmpfs -o size=64k routelark-full-disk "$folder"
trap 'umount "$folder"' EXIT
printf 'Target,Address\r\nan older trace,198.18.7.1\r\n' >"$folder/trace.csv"
dd if=/dev/zero of="$folder/filler" bs=4096 2>/dev/null || true # until no byte is left
[ "$(df --output=avail -B1 "$folder" | tail -n1)" -eq 0 ] || { echo "full_disk: room left" >&2; exit 1; }
rc=0
"$repo/tools/wine-run" "$tests" --gtest_filter=SaveAs.OnAFullDisk* >"$folder.log" 2>&1 || rc=$?
cat "$folder.log"
grep -q '^\[  PASSED  \] 1 test' "$folder.log" || rc=1
exit "$rc"
