#!/bin/bash
# Builds and runs the benchmarks and prints their summary lines, with the machine's load before
# and after (figures from a loaded machine are ratios within one run, not absolute speeds):
#     tools/bench.sh           every benchmark, then the soak of 1000 switches and the long
#                              fault campaign (hours)
#     tools/bench.sh --quick   the benchmarks with summary lines only, printing nothing else
#                              but those lines (minutes)
# The Windows benchmarks run in a Wine box whose desktop is larger than the largest lens
# (1280 x 1024) so that every lens can follow the pointer. To add a benchmark, add a step below
# with the pattern of its summary lines: both modes run it, in the order of the steps.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

quick=0
case ${1:-} in
--quick) quick=1 ;;
"") ;;
*)
    echo "usage: tools/bench.sh [--quick]" >&2
    exit 2
    ;;
esac

out=build/bench
bin=build/win32/bin
# The steps of this run: name, pattern of its summary lines, command. Each writes its output to
# $out/<name>.txt (and to the terminal, unless --quick).
steps=()
patterns=()
commands=()
step() {
    steps+=("$1")
    patterns+=("$2")
    commands+=("$3")
}

# One Windows benchmark under Wine in the current box, with a time limit.
wine_bench() { timeout -k 5 900 wine "$@" </dev/null | tr -d '\r'; }
# A Wine box of its own for one step: `in_box SIZE command...`.
in_box() (
    . tools/winebox.sh
    trap winebox_stop EXIT
    VX_SCREEN_SIZE=$1 winebox_start 2>/dev/null
    shift
    "$@"
)

# The packed-YUV routines: a native build of their own, without the tests' sanitizers.
yuv() { build/bench-native/bench/yuv_bench; }
# The renderer: the Direct3D frame by stage, next to a bare GDI stretch.
renderer() { in_box 1920x1200 wine_bench "$bin/renderer_bench.exe"; }
# The shipped filters next to the engine's Direct3D frame at the same lens size.
filter() { in_box 1920x1200 wine_bench "$bin/filter_bench.exe"; }
# The running lens next to a plain GDI magnifier, frame wait 0; the helper moves the pointer
# through the X server when the benchmark asks it to.
lens_in_box() {
    timeout -k 5 900 wine "$bin/lens_bench.exe" </dev/null | python3 tools/xtest_pointer.py |
        tr -d '\r'
}
lens() { in_box 1920x1200 lens_in_box; }
# The caret locator, called as the engine calls it once a frame, in a box of the usual size.
caret() { in_box 1280x1024 wine_bench "$bin/caret_bench.exe"; }
# The wheel zoom's hooks, timed around each call under a stream of injected input.
wheel() { in_box 1280x1024 wine_bench "$bin/wheel_hook_bench.exe"; }
# What every switch of the lens leaves behind, through the real tray program and in one process
# that loads and frees the engine, VX_SOAK_CYCLES times each (1000 by default; well over an hour
# on a loaded machine).
soak() {
    in_box 1280x1024 env VX_WINE_TIMEOUT=14400 tools/wine-run.sh \
        build/win32/bin/vexlume_soak.exe both "${VX_SOAK_CYCLES:-1000}" | tr -d '\r'
}
# The fault campaign with settings files of every size from 0 to 200 bytes and 1000 plug-ins.
campaign() {
    in_box 1280x1024 env VX_WINE_TIMEOUT=14400 tools/wine-run.sh \
        build/win32/bin/fault_campaign.exe long | tr -d '\r'
}

step yuv '^yuv ' yuv
if [ $quick = 0 ]; then
    step renderer '' renderer
fi
step filter '^filter ' filter
step lens '^(lens|pace) ' lens
step caret '^(qxGetCaretPos|one look)' caret
step wheel '^wheel hook' wheel
if [ $quick = 0 ]; then
    step soak '^(soak |\| |time per cycle|notifications|the lens came up)' soak
    step fault_campaign '^fault campaign' campaign
fi

mkdir -p "$out"
tools/install-deps.sh
# --quick builds only the benchmarks and what they run, and shows the build only when it fails.
build() {
    if [ $quick = 1 ]; then
        tools/build.sh filter_bench lens_bench caret_bench wheel_hook_bench
    else
        tools/build.sh
    fi
    if [ ! -f build/bench-native/build.ninja ]; then
        cmake -S . -B build/bench-native -G Ninja -DVX_SANITIZE=OFF
    fi
    cmake --build build/bench-native --target yuv_bench
}
if [ $quick = 1 ]; then
    build >"$out/build.log" 2>&1 || {
        tail -n 40 "$out/build.log"
        exit 1
    }
else
    build
fi

echo "== load before: $(uptime)"
for i in "${!steps[@]}"; do
    echo "== ${steps[$i]}" >&2
    if [ $quick = 1 ]; then
        ${commands[$i]} >"$out/${steps[$i]}.txt" 2>&1 || true
    else
        ${commands[$i]} 2>&1 | tee "$out/${steps[$i]}.txt" || true
    fi
done
echo "== load after: $(uptime)"
echo "== summary"
for i in "${!steps[@]}"; do
    if [ -n "${patterns[$i]}" ]; then
        grep -E "${patterns[$i]}" "$out/${steps[$i]}.txt" || true
    fi
done
