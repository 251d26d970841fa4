#!/usr/bin/env bash
# Builds the release zip build/release/routelark-<version>.zip: always the 32-bit (i686) program,
# whichever architecture the tests run here, and nothing but the program, its help and the zip.
# Prints the zip's path and SHA-256; the same sources give the same bytes in any folder.
#   tools/release.sh [BUILD_FOLDER]   (default build/release)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$repo/build/release}

"$repo/tools/install-deps.sh"
mkdir -p "$build"
if ! cmake -G Ninja -S "$repo" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchain-mingw-i686.cmake" \
    -DBUILD_TESTING=OFF >"$build/configure.log" 2>&1; then
    cat "$build/configure.log" >&2
    exit 1
fi
ninja -C "$build" --quiet release_zip
version=$(sed -n 's/^project(Routelark VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
sha256sum "$build/routelark-$version.zip"
