#!/bin/bash
# Takes the screenshots of the user's guide (docs/user-guide.md) from the real program under Wine
# and writes them as PNG files into docs/, or into the folder given as the first argument:
#     guide-setup.png            setup's page "Start with Windows"
#     guide-settings.png         the settings dialog with the keys for a keyboard without a keypad
#     guide-lens.png             the lens magnifying a letter in Notepad
#     guide-tray-menu.png        the tray menu with its Plug-Ins submenu open
#     guide-yellow-on-black.png  the lens with the filter "Yellow on Black" switched on
#     guide-internal-cursor.png  the lens drawing its own pointer (the arrow)
#     guide-sharp.png            the lens alone at zoom 4, sharp
#     guide-smooth.png           the same, smooth (switched on through the tray menu's command)
#     guide-invert-lightness.png the lens just after the filter key chose "Invert Lightness",
#                                the filter's name in its corner
#     guide-uninstall.png        the uninstaller's choice to keep or remove settings and plug-ins
# Run tools/build.sh first (with makensis present, as tools/install-deps.sh sees to). The script
# starts a private Wine box (tools/winebox.sh), goes through setup as a user does, runs the
# installed program, and takes the box down at the end. Every step is checked; the script stops
# at the first that fails.
#
# Wine includes the lens window in every copy of the screen, so from its second frame on a lens
# would magnify itself (on Windows 10 version 2004 and later it never does). The lens therefore
# runs with a frame every 6 s and is switched on away from the text: its first frames go by
# there, and only then is the pointer moved onto the text. The next frame magnifies the text
# with the lens still elsewhere, and the screenshot is taken as soon as that frame has brought
# the lens to the pointer, seconds before the frame after it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

out=${1:-docs}
bin=build/win32/bin
shopt -s nullglob
setups=(build/win32/dist/Vexlume-*-setup.exe)
shopt -u nullglob
if [ ${#setups[@]} -ne 1 ]; then
    echo "guide_shots: no single build/win32/dist/Vexlume-*-setup.exe; run tools/install-deps.sh" \
        "and tools/build.sh first" >&2
    exit 1
fi
for file in vexlume_remote.exe screenshot.exe; do
    if [ ! -f "$bin/$file" ]; then
        echo "guide_shots: $bin/$file is missing; run tools/build.sh first" >&2
        exit 1
    fi
done
mkdir -p "$out"
work=build/guide-shots
rm -rf "$work"
mkdir -p "$work"

# The places of the shots are set for this screen.
export VX_SCREEN_SIZE=1280x1024
. tools/winebox.sh
vexlume_pid=
notepad_pid=
finish() {
    for pid in $vexlume_pid $notepad_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    winebox_stop
}
trap finish EXIT
winebox_start

profile="$WINEPREFIX/drive_c/users/$(id -un)/AppData"
program="$profile/Local/Programs/Vexlume"
user_folder="$profile/Roaming/Drelmont/Vexlume"
plugins="$user_folder/Plug-Ins"

# Steps of tools/vexlume_remote.exe for the windows of any program (the installer's).
any() {
    VX_WINE_TIMEOUT=120 tools/wine-run.sh "$bin/vexlume_remote.exe" "$@" | tr -d '\r'
}

# The same for the running Vexlume.
remote() {
    any wait "$@"
}

# shot NAME X Y WIDTH HEIGHT: that part of the screen as $out/NAME.png.
shot() {
    local name=$1
    shift
    VX_WINE_TIMEOUT=30 tools/wine-run.sh "$bin/screenshot.exe" "$work/$name.bmp" "$@"
    tools/bmp_to_png.py "$work/$name.bmp" "$out/$name.png"
    echo "$out/$name.png"
}

# place PREFIX STEPS...: runs the remote's steps, shows what it says, and prints the "X Y W H" of
# its last line "PREFIX X Y W H" on the last line.
place() {
    local prefix=$1 said status=0
    shift
    said=$("$@") || status=$?
    echo "$said" >&2
    [ "$status" -eq 0 ] || return "$status"
    sed -n "s/^$prefix //p" <<<"$said" | tail -n 1
}

# shot_window NAME CAPTION STEPS...: runs the steps, then shoots the window of that caption.
shot_window() {
    local name=$1 caption=$2 at
    shift 2
    at=$(place "window at" "$@" window "$caption" pause 500)
    # shellcheck disable=SC2086 # x y width height
    shot "$name" $at
}

start_vexlume() {
    timeout -k 5 300 wine "$program/Vexlume.exe" </dev/null >/dev/null 2>&1 &
    vexlume_pid=$!
    remote >/dev/null
}

end_vexlume() {
    remote exit
    if [ -n "$vexlume_pid" ]; then
        wait "$vexlume_pid"
        vexlume_pid=
    fi
}

# lens_shot NAME: the lens on over the letter, then its screenshot with Notepad around it.
lens_shot() {
    remote point 1100 850 send 8002 lensover pause 1500 pointin Notepad 290 190 lensover
    shot "$1" 0 0 760 430
    remote send 8002
}

# lens_alone_shot NAME: the lens on over the letter as for lens_shot, then a screenshot of the lens
# alone.
lens_alone_shot() {
    local at width height x y
    at=$(place "the lens is over the pointer:" remote point 1100 850 send 8002 lensover \
        pause 1500 pointin Notepad 290 190 lensover)
    read -r width _ height _ x y <<<"${at//,/}"
    shot "$1" "$x" "$y" "$width" "$height"
    remote send 8002 >/dev/null
}

# Setup as a user goes through it: the page "Start with Windows" is left unchecked, and the last
# page starts the installed program.
timeout -k 5 300 wine "${setups[0]}" </dev/null >/dev/null 2>&1 &
setup_pid=$!
shot_window guide-setup "Vexlume Setup" any click "Next >" click "Next >"
any click "Install" click "Finish"
wait "$setup_pid"
for name in Grayscale "Invert Colours" "Invert Lightness" "Yellow on Black"; do
    if [ ! -f "$plugins/$name.lib" ]; then
        echo "guide_shots: setup did not put \"$name.lib\" into the plug-in folder" >&2
        exit 1
    fi
done

# The settings dialog with the keys for a keyboard without a keypad, put in from the Options
# dialog: Ctrl+Alt with letters and arrows reads well, where Wine names the keypad's keys by codes.
remote post 6001 click "Use laptop keys" click "OK"
shot_window guide-settings "Vexlume Settings" remote post 6000
end_vexlume

# From here on: a 512 x 256 lens at zoom 2 in "Show all" mode, a frame every 6 s, no sound; a
# letter in Notepad.
tools/demo_settings.py "$user_folder/settings.dat" displayMode=1 frameWait=6000
printf '%s\r\n' "Dear Anna," "" \
    "Thank you for the photographs from the garden. The roses look wonderful this year," \
    "and the new bench under the apple tree must be a fine place to read in the evening." "" \
    "We hope to visit you in June, when the days are long and warm. Tom will bring the" \
    "old camera, so that we can take a picture of all of us together." "" \
    "The children ask every day whether the cat still sleeps in the basket by the stove." \
    "Lucy has drawn a picture of her for you; it is in the envelope with this letter." "" \
    "Our street is being repaired, and the bus stops two corners further away for now." \
    "The walk is good for us, Tom says, though he says it less when it rains." "" \
    "I have started to read the books you sent. The one about the lighthouse keeper is" \
    "my favourite so far; I read a chapter every night before I go to sleep." "" \
    "Please give our love to Peter and tell him that his recipe for plum cake worked" \
    "the very first time." "" "With love," "Mary" >"$work/letter.txt"
timeout -k 5 300 wine notepad "$work/letter.txt" </dev/null >/dev/null 2>&1 &
notepad_pid=$!

start_vexlume
lens_shot guide-lens

# The tray menu with the Plug-Ins submenu open (after Smooth image and the View submenu) and
# "Yellow on Black" lit, which Enter then switches on. The submenu lists the folder as Windows does, in the order of the names.
position=$(find "$plugins" -maxdepth 1 \( -iname '*.dll' -o -iname '*.lib' \) -printf '%f\n' |
    LC_ALL=C sort -f | grep -n '^Yellow on Black\.' | cut -d: -f1)
keys=(menukey down menukey down menukey down menukey down menukey down menukey down menukey down
    menukey right)
for ((i = 1; i < position; i++)); do
    keys+=(menukey down)
done
menu=$(place "menu at" remote tray "${keys[@]}" menu)
read -r x y _ _ <<<"$menu"
shot guide-tray-menu $((x - 16)) $((y - 16)) $((1280 - x + 16)) $((1024 - y + 16))
remote menukey enter
for ((i = 0; i < 50; i++)); do
    [ -f "$plugins/Yellow on Black.dll" ] && break
    sleep 0.1
done
if [ ! -f "$plugins/Yellow on Black.dll" ]; then
    echo "guide_shots: the menu did not switch \"Yellow on Black\" on" >&2
    exit 1
fi
lens_shot guide-yellow-on-black
end_vexlume

# The internal cursor "Arrow", with the filter switched off again by hand, as the lens is off.
mv "$plugins/Yellow on Black.dll" "$plugins/Yellow on Black.lib"
tools/demo_settings.py "$user_folder/settings.dat" displayMode=1 frameWait=6000 internalCursor=1
start_vexlume
lens_shot guide-internal-cursor
end_vexlume

# Sharp and smooth: the lens alone over the same place at zoom 4, smooth switched on between the
# two through the command of the tray menu's "Smooth image".
tools/demo_settings.py "$user_folder/settings.dat" displayMode=1 frameWait=6000 zoom=4
start_vexlume
lens_alone_shot guide-sharp
remote send 9200 >/dev/null
lens_alone_shot guide-smooth
end_vexlume

# The filter key (command 9350) steps through the installed filters in the order of their names:
# twice while the lens is off (Grayscale, Invert Colours), then once as the pointer reaches the
# letter. The change wakes the lens at once, and that frame magnifies the letter through "Invert
# Lightness", with the filter's name in the corner, before the lens itself comes over it.
tools/demo_settings.py "$user_folder/settings.dat" displayMode=1 frameWait=6000
start_vexlume
remote send 9350 send 9350
remote point 1100 850 send 8002 lensover pause 1500 pointin Notepad 290 190 send 9350 lensover
shot guide-invert-lightness 0 0 760 430
remote send 8002
end_vexlume

# The uninstaller's second page, then the uninstall itself (the settings stay).
timeout -k 5 300 wine "$program/uninstall.exe" </dev/null >/dev/null 2>&1 &
uninstall_pid=$!
shot_window guide-uninstall "Vexlume Uninstall" any click "Next >"
any click "Uninstall" click "Close"
wait "$uninstall_pid"

echo "Done."
