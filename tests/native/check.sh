#!/usr/bin/env bash
# Configures, builds and runs the native tree (tests/native): the platform-free unit tests and a
# short run of every fuzz target, all under AddressSanitizer and UndefinedBehaviorSanitizer.
# check.sh BUILD_DIR; exits non-zero on any failure or finding.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$1
mkdir -p "$build"
if ! CXX=clang++ cmake -G Ninja -S "$here" -B "$build" >"$build/configure.log" 2>&1; then
    cat "$build/configure.log" >&2
    exit 1
fi
ninja -C "$build" --quiet
ctest --test-dir "$build" --output-on-failure -j2
