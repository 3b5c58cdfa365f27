#!/bin/sh
# Runs one Windows executable under Wine with a hard time limit (VX_WINE_TIMEOUT seconds; by
# default 890, within the 900 s ctest gives a Windows test), for ctest and the scripts.
# Expects the Wine box of tools/winebox.sh (WINEPREFIX, DISPLAY, a running wineserver).
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
    echo "wine-run: no Wine box; run the tests through tools/test.sh" >&2
    exit 2
fi
exec timeout -k 5 "${VX_WINE_TIMEOUT:-890}" wine "$@" </dev/null
