#!/bin/bash
# Installs what is missing, builds, and runs the magnifier.
#
# With a display (DISPLAY set, VX_HEADLESS unset) it starts Vexlume.exe there under Wine: the
# program sits in the notification area; a click on its icon opens the menu ("Show / Hide"
# switches the lens, "Exit" ends the program).
#
# Headless, it starts a private Wine box (Xvfb, fresh prefix, virtual desktop), starts
# Vexlume.exe, switches the lens on, checks that it is on the screen, switches it off and ends
# the program, then takes the box down.
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

echo "Starting Vexlume.exe in a private Wine desktop"
timeout -k 5 120 wine "$bin/Vexlume.exe" </dev/null >/dev/null 2>&1 &
vexlume_pid=$!
VX_WINE_TIMEOUT=90 tools/wine-run.sh "$bin/vexlume_remote.exe" \
    wait send 8002 pause 2000 lens send 8002 exit
wait "$vexlume_pid"
vexlume_pid=
echo "Done."
