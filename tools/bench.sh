#!/bin/bash
# Builds, starts a Wine box of its own and runs every benchmark in it, then stops the box.
# The summary lines are the benchmarks' own; figures are ratios measured in this one run, so the
# machine's load is printed first. The desktop is larger than the largest lens (1280 x 1024), so
# that every lens can follow the pointer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/install-deps.sh
tools/build.sh

. tools/winebox.sh
trap winebox_stop EXIT
VX_SCREEN_SIZE=1920x1200 winebox_start
bin=build/win32/bin

echo "== load: $(uptime)"

# One step per benchmark; each runs under Wine with a time limit.
bench() { timeout -k 5 900 wine "$@" </dev/null; }

echo "== renderer: the Direct3D frame by stage, next to a bare GDI stretch"
bench "$bin/renderer_bench.exe"

echo "== lens: the running lens next to a plain GDI magnifier (frame wait 0)"
bench "$bin/lens_bench.exe" | python3 tools/xtest_pointer.py

echo "== load: $(uptime)"
