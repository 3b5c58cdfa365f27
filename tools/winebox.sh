# Shell functions that start and stop a private Wine box: an Xvfb display, a fresh 32-bit
# WINEPREFIX whose default is a 1280x1024 virtual desktop (another size with VX_SCREEN_SIZE=WxH),
# and a persistent wineserver.
# Source this file, then call winebox_start and, at the end, winebox_stop.

winebox_dir=$(cd "$(dirname "${BASH_SOURCE:-$0}")" && pwd)

winebox_log() { printf 'winebox: %s\n' "$*" >&2; }

winebox_start() {
    n=${VX_DISPLAY_FIRST:-91}
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do
        n=$((n + 1))
    done
    size=${VX_SCREEN_SIZE:-1280x1024}
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    VX_XVFB_PID=$!
    export DISPLAY=":$n"
    i=0
    until xdpyinfo >/dev/null 2>&1; do
        i=$((i + 1))
        if [ $i -gt 100 ]; then
            winebox_log "Xvfb did not start on $DISPLAY"
            return 1
        fi
        sleep 0.1
    done

    WINEPREFIX=$(mktemp -d /tmp/vexlume-wine.XXXXXX)
    export WINEPREFIX
    export WINEARCH=win32
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv="
    export LANG=C.UTF-8

    winebox_log "fresh prefix $WINEPREFIX on display $DISPLAY"
    timeout 120 wineboot -i </dev/null >/dev/null 2>&1 || {
        winebox_log "wineboot failed"
        return 1
    }
    timeout 60 wine regedit /S "$(winepath -w "$winebox_dir/winebox.reg" 2>/dev/null)" \
        </dev/null >/dev/null 2>&1
    if [ "$size" != 1280x1024 ]; then
        timeout 60 wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$size" /f \
            </dev/null >/dev/null 2>&1
    fi
    timeout 30 wineserver -k >/dev/null 2>&1
    winebox_wait_gone
    wineserver -p
    timeout 60 wine wineboot </dev/null >/dev/null 2>&1
    return 0
}

# The wineserver of this prefix has ended when nothing holds the prefix's server lock.
winebox_wait_gone() {
    i=0
    while [ $i -lt 150 ]; do
        if ! winebox_server_running; then
            return 0
        fi
        sleep 0.1
        i=$((i + 1))
    done
    winebox_log "wineserver did not end"
}

winebox_server_running() {
    for pid in $(pgrep -f "wineserver" 2>/dev/null); do
        if { tr "\0" "\n" <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
            return 0
        fi
    done
    return 1
}

winebox_stop() {
    if [ -n "${WINEPREFIX:-}" ]; then
        timeout 30 wineserver -k >/dev/null 2>&1
        winebox_wait_gone
        case "$WINEPREFIX" in
        /tmp/vexlume-wine.*) rm -rf "$WINEPREFIX" ;;
        esac
    fi
    if [ -n "${VX_XVFB_PID:-}" ]; then
        kill "$VX_XVFB_PID" 2>/dev/null
        wait "$VX_XVFB_PID" 2>/dev/null
    fi
}
