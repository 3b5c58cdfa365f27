#!/bin/bash
# Installs what is missing, builds everything and runs every test: the native unit tests, then
# the Windows tests under Wine in a private Xvfb display and a fresh Wine prefix, then the
# packages (installer, portable zip, version information) in a prefix of their own, so that the
# installer meets a user who never had the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/install-deps.sh
tools/build.sh

echo "== native tests"
ctest --test-dir build/native --output-on-failure -j2

echo "== Windows tests under Wine"
. tools/winebox.sh
trap winebox_stop EXIT
winebox_start
ctest --test-dir build/win32 --output-on-failure -LE packages
winebox_stop

echo "== packages under Wine"
winebox_start
ctest --test-dir build/win32 --output-on-failure -L packages
