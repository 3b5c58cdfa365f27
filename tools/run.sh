#!/bin/bash
# Installs what is missing, builds, and runs the magnifier.
#
# With a display (DISPLAY set, VX_HEADLESS unset) it starts Vexlume.exe there under Wine: the
# program sits in the notification area; a click on its icon opens the menu ("Show / Hide"
# switches the lens, "Exit" ends the program).
#
# Headless, it starts a private Wine box (Xvfb, fresh prefix, virtual desktop) with a text in
# Notepad, starts Vexlume.exe with a 512 x 256 lens in "Show one window" mode, puts the pointer
# over the text, switches the lens on, writes a screenshot of it magnifying to
# build/demo/lens.png, opens the settings dialog (which switches the lens off), writes its
# screenshot to build/demo/settings.png and ends the program, then takes the box down.
# ("Show one window" because Wine includes the lens window in every screen copy: in "Show all"
# mode the lens would magnify its own image from its second frame on, and a copy of another
# program's window covered by the lens comes back black. The demo therefore switches the lens on
# with the pointer away from the text, waits until its first frame has placed it there, and then
# moves the pointer onto the text: the next frame, 6 s later, copies the text with the lens still
# elsewhere and brings the lens over it, and the screenshot is taken then, before the frame after
# it: what a user sees on Windows every frame.)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/install-deps.sh
tools/build.sh
bin=build/win32/bin

if [ -n "${DISPLAY:-}" ] && [ -z "${VX_HEADLESS:-}" ]; then
    echo "Starting Vexlume.exe on display $DISPLAY; it ends with \"Exit\" in its tray menu."
    export WINEDEBUG=${WINEDEBUG:--all}
    exec wine "$bin/Vexlume.exe"
fi

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

demo=build/demo
mkdir -p "$demo"
settings="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Drelmont/Vexlume"
mkdir -p "$settings"
tools/demo_settings.py "$settings/settings.dat"
printf '%s\r\n' "Vexlume magnifies the screen under the pointer." "" \
    "The lens follows the pointer or the text caret, stays on top and lets clicks through." "" \
    "Zoom, size, brightness, transparency and lock each have a hot key." "" \
    "Capture copies the magnified image to the clipboard." "" \
    "Plug-ins in the plug-in folder can filter every frame." "" \
    "The settings live in a 124-byte file in the application data folder." "" \
    "A lens of 512 x 256 pixels at zoom 2 shows 256 x 128 pixels of the screen." >"$demo/demo.txt"
timeout -k 5 120 wine notepad "$demo/demo.txt" </dev/null >/dev/null 2>&1 &
notepad_pid=$!

echo "Starting Vexlume.exe in a private Wine desktop"
timeout -k 5 120 wine "$bin/Vexlume.exe" </dev/null >/dev/null 2>&1 &
vexlume_pid=$!
VX_WINE_TIMEOUT=90 tools/wine-run.sh "$bin/vexlume_remote.exe" \
    wait point 1100 850 send 8002 lensover pause 1500 pointin Notepad 330 110 lensover
VX_WINE_TIMEOUT=30 tools/wine-run.sh "$bin/screenshot.exe" "$demo/lens.bmp" 0 0 900 500
tools/bmp_to_png.py "$demo/lens.bmp" "$demo/lens.png"
echo "Screenshot of the lens: $demo/lens.png"
place=$(VX_WINE_TIMEOUT=90 tools/wine-run.sh "$bin/vexlume_remote.exe" \
    wait post 6000 window "Vexlume Settings" pause 500 | tr -d '\r' | sed -n 's/^window at //p')
if [ -z "$place" ]; then
    echo "The settings dialog did not open." >&2
    exit 1
fi
# shellcheck disable=SC2086 # x y width height
VX_WINE_TIMEOUT=30 tools/wine-run.sh "$bin/screenshot.exe" "$demo/settings.bmp" $place
tools/bmp_to_png.py "$demo/settings.bmp" "$demo/settings.png"
echo "Screenshot of the settings dialog: $demo/settings.png"
VX_WINE_TIMEOUT=60 tools/wine-run.sh "$bin/vexlume_remote.exe" wait exit
wait "$vexlume_pid"
vexlume_pid=
kill "$notepad_pid" 2>/dev/null || true
wait "$notepad_pid" 2>/dev/null || true
echo "Done."
