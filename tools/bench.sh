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

# The soak: what every switch of the lens leaves behind, through the real tray program and in one
# process that loads and frees the engine, VX_SOAK_CYCLES times each (1000 by default; about an
# hour and a half on a loaded machine).
tools/build.sh
. tools/winebox.sh
trap winebox_stop EXIT
winebox_start
echo "== soak, ${VX_SOAK_CYCLES:-1000} switches"
VX_WINE_TIMEOUT=14400 tools/wine-run.sh build/win32/bin/vexlume_soak.exe both \
    "${VX_SOAK_CYCLES:-1000}" | tee build/win32/soak.txt

echo "== load after: $(uptime)"
echo "== summary"
grep '^yuv ' build/bench-native/yuv_bench.txt
grep -E '^(soak |\| |time per cycle|notifications|the lens came up)' build/win32/soak.txt
