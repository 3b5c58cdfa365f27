#!/bin/bash
# Builds and runs the benchmarks and prints their summary lines, with the machine's load before
# and after (figures from a loaded machine are ratios within one run, not absolute speeds).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/install-deps.sh

echo "== load before: $(uptime)"

# The packed-YUV routines: a native build of their own, without the tests' sanitizers.
if [ ! -f build/bench-native/build.ninja ]; then
    cmake -S . -B build/bench-native -G Ninja -DVX_SANITIZE=OFF >/dev/null
fi
cmake --build build/bench-native --target yuv_bench
echo "== packed-YUV conversion"
build/bench-native/bench/yuv_bench | tee build/bench-native/yuv_bench.txt

echo "== load after: $(uptime)"
echo "== summary"
grep '^yuv ' build/bench-native/yuv_bench.txt
