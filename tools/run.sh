#!/bin/bash
# Installs what is missing, builds, and runs the program's main job in a private Wine box.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/install-deps.sh
tools/build.sh

. tools/winebox.sh
trap winebox_stop EXIT
winebox_start
VX_WINE_TIMEOUT=60 tools/wine-run.sh build/win32/bin/engine_demo.exe
