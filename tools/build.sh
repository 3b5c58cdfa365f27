#!/bin/bash
# Configures and builds both trees: build/native (Windows-free logic and its unit tests) and
# build/win32 (the product and its Windows tests, cross-built with MinGW-w64). Given targets of
# build/win32 (tools/build.sh lens_bench ...), it builds only those, and there only.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

if [ $# -eq 0 ]; then
    if [ ! -f build/native/build.ninja ]; then
        cmake -S . -B build/native -G Ninja >/dev/null
    fi
    cmake --build build/native -j "$(nproc)"
fi

if [ ! -f build/win32/build.ninja ]; then
    cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
fi
cmake --build build/win32 -j "$(nproc)" ${1:+--target "$@"}
