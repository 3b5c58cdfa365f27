#!/bin/sh
# The packages as the build machine sees them: `file` names the installer a 32-bit Windows
# installer and the portable package a zip, which holds exactly the program folder.
# Arguments: the installer, the zip, then every file the zip must hold.
setup=$1
zip=$2
shift 2
status=0
fail() {
    echo "FAILED: $*"
    status=1
}

if [ ! -f "$setup" ]; then
    echo "FAILED: $setup was not built; makensis is missing (tools/install-deps.sh installs nsis)"
    exit 1
fi
kind=$(file -b "$setup")
echo "$(basename "$setup"): $kind"
case $kind in
*"PE32 executable (GUI) Intel 80386"*"Nullsoft Installer"*) ;;
*) fail "the installer is not a 32-bit Windows installer" ;;
esac

kind=$(file -b "$zip")
echo "$(basename "$zip"): $kind"
case $kind in
"Zip archive data"*) ;;
*) fail "the portable package is not a zip" ;;
esac
held=$(cmake -E tar tf "$zip" | grep -v '/$' | sort)
expected=$(printf '%s\n' "$@" | sort)
if [ "$held" != "$expected" ]; then
    fail "the zip holds
$held
instead of
$expected"
fi
exit $status
