#!/bin/bash
# Builds and runs every benchmark and prints their summary lines, with the machine's load before
# and after (figures from a loaded machine are ratios within one run, not absolute speeds). The
# Windows benchmarks run in a Wine box of their own, whose desktop is larger than the largest lens
# (1280 x 1024) so that every lens can follow the pointer. To add a benchmark, add a step.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/install-deps.sh
tools/build.sh
out=build/bench
mkdir -p "$out"

echo "== load before: $(uptime)"

# The packed-YUV routines: a native build of their own, without the tests' sanitizers.
if [ ! -f build/bench-native/build.ninja ]; then
    cmake -S . -B build/bench-native -G Ninja -DVX_SANITIZE=OFF >/dev/null
fi
cmake --build build/bench-native --target yuv_bench
echo "== packed-YUV conversion"
build/bench-native/bench/yuv_bench | tee "$out/yuv_bench.txt"

. tools/winebox.sh
trap winebox_stop EXIT
VX_SCREEN_SIZE=1920x1200 winebox_start
bin=build/win32/bin
# One Windows benchmark under Wine, with a time limit.
wine_bench() { timeout -k 5 900 wine "$@" </dev/null; }

echo "== renderer: the Direct3D frame by stage, next to a bare GDI stretch"
wine_bench "$bin/renderer_bench.exe" | tee "$out/renderer_bench.txt"

echo "== shipped filters next to the engine's Direct3D frame at the same lens size"
wine_bench "$bin/filter_bench.exe" | tee "$out/filter_bench.txt"

echo "== lens: the running lens next to a plain GDI magnifier, frame wait 0"
# The helper moves the pointer through the X server when the benchmark asks it to.
wine_bench "$bin/lens_bench.exe" | python3 tools/xtest_pointer.py | tee "$out/lens_bench.txt"

winebox_stop
trap - EXIT

# The caret locator, called as the engine calls it once per frame, and the wheel zoom's hooks,
# timed around each call under a stream of injected input, under Wine in a box of the usual size.
echo "== caret locator and wheel hook"
(
    . tools/winebox.sh
    trap winebox_stop EXIT
    winebox_start
    tools/wine-run.sh build/win32/bin/caret_bench.exe | tr -d '\r' | tee build/win32/caret_bench.txt
    tools/wine-run.sh build/win32/bin/wheel_hook_bench.exe | tr -d '\r' |
        tee "$out/wheel_hook_bench.txt"
)

# The soak: what every switch of the lens leaves behind, through the real tray program and in one
# process that loads and frees the engine, VX_SOAK_CYCLES times each (1000 by default; well over
# an hour on a loaded machine).
echo "== soak, ${VX_SOAK_CYCLES:-1000} switches"
(
    . tools/winebox.sh
    trap winebox_stop EXIT
    winebox_start
    VX_WINE_TIMEOUT=14400 tools/wine-run.sh build/win32/bin/vexlume_soak.exe both \
        "${VX_SOAK_CYCLES:-1000}" | tr -d '\r' | tee "$out/soak.txt"
)

# The fault campaign with settings files of every size from 0 to 200 bytes.
echo "== fault campaign, every settings file size"
(
    . tools/winebox.sh
    trap winebox_stop EXIT
    winebox_start
    VX_WINE_TIMEOUT=14400 tools/wine-run.sh build/win32/bin/fault_campaign.exe long |
        tr -d '\r' | tee "$out/fault_campaign.txt"
)

echo "== load after: $(uptime)"
echo "== summary"
grep -h '^yuv \|^filter \|^lens ' "$out/yuv_bench.txt" "$out/filter_bench.txt" \
    "$out/lens_bench.txt" || true
grep -E '^(qxGetCaretPos|one look)' build/win32/caret_bench.txt || true
grep -E '^wheel hook' "$out/wheel_hook_bench.txt" || true
grep -E '^(soak |\| |time per cycle|notifications|the lens came up)' "$out/soak.txt" || true
grep -E '^fault campaign' "$out/fault_campaign.txt" || true
