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
# screenshot to build/demo/settings.png and ends the program. It then starts the program again
# over a longer text in "Show all" mode in the docked view, writes build/demo/docked.png, switches
# to the full-screen view and writes build/demo/fullscreen.png, ends the program and takes the box
# down.
# ("Show one window" because Wine includes the lens window in every screen copy: in "Show all"
# mode the lens would magnify its own image from its second frame on, and a copy of another
# program's window covered by the lens comes back black. The demo therefore switches the lens on
# with the pointer away from the text, waits until its first frame has placed it there, and then
# moves the pointer onto the text: the next frame, 6 s later, copies the text with the lens still
# elsewhere and brings the lens over it, and the screenshot is taken then, before the frame after
# it: what a user sees on Windows every frame. The docked strip never lies in the part of the
# screen it magnifies, so every docked frame is clean; the full-screen view takes its first frame
# with the pointer low enough that it magnifies only the screen below the strip.)
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

# The views: docked along the top edge, then full screen, at zoom 2 over a page of text.
tools/demo_settings.py "$settings/settings.dat" displayMode=1
printf 'view=docked\r\nfullscreen_tracking=centred\r\n' >"$settings/options.ini"
for part in 1 2 3 4 5 6; do
    printf '%s\r\n' "Part $part of the page." "" \
        "The docked view shows a strip along the top of the screen with the area around the" \
        "pointer, magnified; the shell keeps windows out from under it while it is shown." "" \
        "The full-screen view fills the whole monitor with the magnified area and pans as the" \
        "pointer moves: it keeps the pointer centred, moves proportionally, or is pushed along." ""
done >"$demo/views.txt"
timeout -k 5 120 wine notepad "$demo/views.txt" </dev/null >/dev/null 2>&1 &
notepad_pid=$!
timeout -k 5 120 wine "$bin/Vexlume.exe" </dev/null >/dev/null 2>&1 &
vexlume_pid=$!
VX_WINE_TIMEOUT=90 tools/wine-run.sh "$bin/vexlume_remote.exe" \
    wait pointin Notepad 330 330 send 8002 lens pause 2500
VX_WINE_TIMEOUT=30 tools/wine-run.sh "$bin/screenshot.exe" "$demo/docked.bmp" 0 0 1280 1024
tools/bmp_to_png.py "$demo/docked.bmp" "$demo/docked.png"
echo "Screenshot of the docked view: $demo/docked.png"
VX_WINE_TIMEOUT=90 tools/wine-run.sh "$bin/vexlume_remote.exe" \
    wait pointin Notepad 330 520 pause 1000 send 9102 pause 1500
VX_WINE_TIMEOUT=30 tools/wine-run.sh "$bin/screenshot.exe" "$demo/fullscreen.bmp" 0 0 1280 1024
tools/bmp_to_png.py "$demo/fullscreen.bmp" "$demo/fullscreen.png"
echo "Screenshot of the full-screen view: $demo/fullscreen.png"
VX_WINE_TIMEOUT=60 tools/wine-run.sh "$bin/vexlume_remote.exe" wait exit
wait "$vexlume_pid"
vexlume_pid=
kill "$notepad_pid" 2>/dev/null || true
wait "$notepad_pid" 2>/dev/null || true
echo "Done."
