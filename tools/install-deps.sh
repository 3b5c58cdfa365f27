#!/bin/sh
# Installs everything the build, the tests and the demo need on Debian 12.
# Idempotent: when every package is present it only checks and returns.
set -eu

packages="cmake ninja-build make g++ g++-mingw-w64-i686 mingw-w64-i686-dev
googletest libbenchmark-dev libyuv-dev clang libclang-rt-dev xvfb xdotool libxtst6 x11-utils
python3 locales nsis file
wine wine32:i386 libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386"

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing="$missing $p"
    fi
done

if [ -n "$missing" ]; then
    if [ "$(id -u)" != 0 ]; then
        echo "install-deps: missing packages:$missing (run as root to install them)" >&2
        exit 1
    fi
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi

# The Russian system locale is needed by the tests of the Russian menu texts.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.cp1251$'; then
    if [ "$(id -u)" = 0 ]; then
        if ! grep -q '^ru_RU.CP1251 CP1251' /etc/locale.gen 2>/dev/null; then
            echo 'ru_RU.CP1251 CP1251' >>/etc/locale.gen
        fi
        locale-gen >/dev/null 2>&1 || true
    fi
fi
