#!/bin/bash
# Takes the README's picture of the settings dialog: a private Wine box (Xvfb, fresh prefix,
# virtual desktop), Vexlume.exe on its first run, the dialog opened with the tray menu's command
# "Settings..." (6000), a copy of the dialog's window written to docs/settings-dialog.png, and the
# program ended through Exit.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/build.sh
bin=build/win32/bin

. tools/winebox.sh
vexlume_pid=
finish() {
    if [ -n "$vexlume_pid" ]; then
        kill "$vexlume_pid" 2>/dev/null || true
        wait "$vexlume_pid" 2>/dev/null || true
    fi
    winebox_stop
}
trap finish EXIT
winebox_start

work=build/demo
mkdir -p "$work"
timeout -k 5 120 wine "$bin/Vexlume.exe" </dev/null >/dev/null 2>&1 &
vexlume_pid=$!
place=$(VX_WINE_TIMEOUT=90 tools/wine-run.sh "$bin/vexlume_remote.exe" \
    wait post 6000 window "Vexlume Settings" pause 500 | tr -d '\r' | sed -n 's/^window at //p')
if [ -z "$place" ]; then
    echo "the settings dialog did not open" >&2
    exit 1
fi
# shellcheck disable=SC2086 # x y width height
VX_WINE_TIMEOUT=30 tools/wine-run.sh "$bin/screenshot.exe" "$work/settings-dialog.bmp" $place
tools/bmp_to_png.py "$work/settings-dialog.bmp" docs/settings-dialog.png
VX_WINE_TIMEOUT=60 tools/wine-run.sh "$bin/vexlume_remote.exe" wait exit
wait "$vexlume_pid"
vexlume_pid=
echo "Screenshot of the settings dialog: docs/settings-dialog.png"
