#!/usr/bin/env bash
# Drives install.exe in a private Xvfb, in a Wine prefix of its own, as a person would, and saves
# into build/screenshots/: setup-welcome.png, setup-custom.png, setup-folder.png (the folder
# picker), setup-finish.png, setup-group.png (the program group's two shortcuts in Explorer) and
# setup-launched.png (Velmora started from the program group's shortcut), uninstall-confirm.png,
# uninstall-preparing.png, uninstall-counting.png, uninstall-complete.png, uninstall-modified.png
# (the temporary copy started by hand) and uninstall-refused.png (given a folder that is no
# installation, "C:\Velmora3\..\", beside the user's C:\Skins). Positions are those of the
# 1024x768 Wine desktop, where the wizard sits centred with its client area from (282, 218).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${VELMORA_BUILD_DIR:-$root/build}" && pwd)
cmake --build "$build" --target Setup
out="$build/screenshots"
mkdir -p "$out"
. "$root/tools/wine-env.sh"
trap velmora_wine_stop EXIT
velmora_wine_start "$build" setup-shots

shot() { sleep "${2:-1}"; /usr/bin/import -window root "$out/$1.png"; echo "screenshot: $out/$1.png"; }
click() { xdotool mousemove "$1" "$2" click 1; }

cd "$build/install"
wine install.exe </dev/null >"$build/wine-setup-shots/setup.log" 2>&1 &
sleep "${VELMORA_RUN_WAIT:-8}"
xdotool mousemove 5 5
shot setup-welcome 0.5
click 420 457                       # "Custom Setup"
click 586 535                       # "&Next"
xdotool mousemove 5 5
shot setup-custom 1
click 683 388                       # "B&rowse": the folder picker, centred on the wizard
xdotool mousemove 5 5
shot setup-folder 1.5
click 567 484                       # "&Cancel"
sleep 1
click 586 535                       # "&Next": installs
xdotool mousemove 5 5
shot setup-finish 3
xdotool mousemove 348 428 click 1   # untick "Launch Velmora When I Click Finish"
# While the wizard still keeps Wine's desktop open: the program group in Explorer, then Velmora
# started from the group's shortcut.
wine explorer 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Velmora 3.1' </dev/null >/dev/null 2>&1 &
shot setup-group 5
click 679 535                       # "&Finish": the wizard ends
sleep 2
xdotool mousemove 200 126 click --repeat 2 --delay 100 1  # the group's "Velmora3" shortcut
xdotool mousemove 5 5
shot setup-launched 6
click 613 547                       # Velmora's "Exit"
sleep 2

# The uninstall, started from the installation folder as the Start menu's shortcut starts it.
(cd "$WINEPREFIX/drive_c/Program Files/Velmora3" && wine Uninstall.exe </dev/null >/dev/null 2>&1 &)
shot uninstall-confirm 4
click 479 413                       # "Yes"
shot uninstall-preparing 3
shot uninstall-counting 6
shot uninstall-complete 14

# The temporary copy started by hand, without a folder, beside the completed one: only the entry goes.
copy=$(find "$WINEPREFIX/drive_c/users" -name vlmuntmp0.exe | head -n 1)
(cd "$(dirname "$copy")" && wine vlmuntmp0.exe </dev/null >/dev/null 2>&1 &)
shot uninstall-modified 16

# Given a folder that resolves to the drive's root: refused, and the user's C:\Skins stays.
mkdir -p "$WINEPREFIX/drive_c/Skins" && echo "a game's save" >"$WINEPREFIX/drive_c/Skins/save.sav"
(cd "$(dirname "$copy")" && wine vlmuntmp0.exe 'C:\Velmora3\..\' </dev/null >/dev/null 2>&1 &)
shot uninstall-refused 16
[ -f "$WINEPREFIX/drive_c/Skins/save.sav" ] && echo "kept: C:\Skins\save.sav" || echo "lost: C:\Skins\save.sav"
