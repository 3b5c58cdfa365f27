#!/bin/bash
# Installs what is missing, builds everything and runs every test: the native unit tests, a short
# run of the settings loader's fuzzer, then the Windows tests under Wine in a private Xvfb display
# and a fresh Wine prefix (the soak of 30 switches among them, ctest label "soak", and the fault
# campaign, label "faults"), then the packages (installer, portable zip, version information) in a
# prefix of their own, so that the installer meets a user who never had the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/install-deps.sh
tools/build.sh

echo "== native tests"
ctest --test-dir build/native --output-on-failure -j2

echo "== the settings loader under libFuzzer, 5 s"
mkdir -p build/fuzz
if ! tools/fuzz.sh -max_total_time=5 >build/fuzz/last-run.log 2>&1; then
    tail -n 40 build/fuzz/last-run.log
    exit 1
fi
grep -E "^Done" build/fuzz/last-run.log

echo "== Windows tests under Wine"
. tools/winebox.sh
trap winebox_stop EXIT
winebox_start
ctest --test-dir build/win32 --output-on-failure -LE packages
winebox_stop

echo "== packages under Wine"
winebox_start
ctest --test-dir build/win32 --output-on-failure -L packages
