#!/usr/bin/env bash
# Drives Velmora3.exe in a private Xvfb the way a person would (pointer and keyboard through
# xdotool) and saves a PNG of each window it reaches into build/screenshots/:
#   main.png, select-dialog.png (the file dialog's picture preview), select-stretched.png, select-tiled.png, remove.png, gallery.png,
#   window-title.png, text-color.png, color-dialog.png, text-color-preview.png (the desktop's
#   colours after Preview), about.png, submit.png, submit-comments.png, submit-terms.png,
#   submit-uploading.png (an upload in progress), submit-done.png, tell.png, tell-terms.png,
#   tell-done.png, gallery.png,
#   gallery-downloading.png (the status dialog during a skin download), gallery-applied.png
# Positions are those of the 1024x768 Wine desktop, where the main window sits centred.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${VELMORA_BUILD_DIR:-$root/build}" && pwd)
cmake --build "$build" --target Velmora
exe="$build/app/Velmora3.exe"
out="$build/screenshots"
mkdir -p "$out"

# The sample web site on the port of VELMORA_SITE, as for make run.
site_up=yes
"$root/tools/site.sh" start "$build" screenshots compiled || { echo "screenshots.sh: going on without the site" >&2; site_up=; }
shots_stop() { velmora_wine_stop; [ -z "$site_up" ] || "$root/tools/site.sh" stop "$build" screenshots; }

. "$root/tools/wine-env.sh"
trap shots_stop EXIT
velmora_wine_start "$build" screenshots
# A skin picture for the select dialog: a sunset-like gradient with a pattern, 600 x 150.
/usr/bin/convert -size 600x150 gradient:'#ffcc33'-'#cc3366' \
  \( -size 40x30 pattern:checkerboard -fill '#2040a0' -opaque black \) -compose multiply -composite \
  -quality 90 "$WINEPREFIX/drive_c/sunset.jpg"
# A grainy picture to submit, 172 KB, large enough that its upload can be watched.
/usr/bin/convert -size 560x300 gradient:'#ffcc33'-'#cc3366' \( -size 560x300 xc:gray +noise Random \) \
  -compose overlay -composite -quality 90 "$WINEPREFIX/drive_c/grain.jpg"
wine reg add 'HKCU\Software\Microsoft\Internet Explorer\Toolbar' /f >/dev/null 2>&1

shot() { sleep "${2:-1}"; /usr/bin/import -window root "$out/$1.png"; echo "screenshot: $out/$1.png"; }
click() { xdotool mousemove "$1" "$2" click 1; }

# Empty caches, so that the gallery downloads what it shows.
rm -rf "$build/app/Skins" "$build/app/Previews"
cd "$(dirname "$exe")"
wine "$exe" </dev/null >"$build/wine-screenshots/app.log" 2>&1 &
sleep "${VELMORA_RUN_WAIT:-8}"
xdotool mousemove 5 5
shot main 0.5

# The main window's client area starts at (304, 215); the select dialog lies centred over it,
# 25 pixels up: its client area starts at (294, 271).
click 512 283                       # "Select Your Own Skin"
sleep 1.5
click 378 435                       # "&Select Skin": the file dialog
sleep 2
# Into C:\ by the name box, then the picture chosen in the list with the keyboard (Shift+Tab from
# the name box, its first letter): the preview shows it. Alt+O opens it.
xdotool type --delay 40 'C:\'
xdotool key Return
sleep 1
xdotool key shift+Tab
xdotool type --delay 40 's'
shot select-dialog 1.5
xdotool key alt+o
xdotool mousemove 5 5
shot select-stretched 2
click 559 379                       # "Tiled"
xdotool mousemove 5 5
shot select-tiled 1.5
click 646 435                       # "&Cancel"
sleep 1

click 512 503                       # "Remove Skin", then Yes in the question box
sleep 1.5
xdotool key y
xdotool mousemove 5 5
shot remove 1.5
click 512 435                       # "&OK"
sleep 1

# Over the main window's client area: the window title dialog from (390, 302), the text colour
# dialog from (331, 234), the about box from (344, 265).
click 512 371                       # "Change Window Title"
sleep 1.5
xdotool type --delay 40 'Velmora Browser'
xdotool mousemove 5 5
shot window-title 0.5
xdotool key Return                  # stores the title and closes

click 512 327                       # "Change Text Color"
shot text-color 1.5
click 434 368                       # "Select &Text Color": the colour dialog
xdotool mousemove 5 5
shot color-dialog 2
click 443 327                       # yellow
click 444 555                       # OK
sleep 1
click 590 368                       # "Select &Background Color"
sleep 2
click 563 396                       # navy
click 444 555                       # OK
sleep 1
click 405 514                       # "&Preview": every button of the desktop takes the colours
xdotool mousemove 5 5
shot text-color-preview 1.5
click 615 514                       # "&Cancel": the old colours come back
sleep 1

click 410 547                       # "Help/About"
xdotool mousemove 5 5
shot about 1.5
click 571 473                       # "&OK"
sleep 1

if [ -n "$site_up" ]; then
  port=$(cat "$build/site-screenshots/http-port")
  site_get() { /usr/bin/python3 -c 'import sys, urllib.request; urllib.request.urlopen(sys.argv[1]).read()' "http://127.0.0.1:$port$1"; }
  # The submit form lies over the main window's client area from (334, 239), its comments from
  # (388, 308); the tell form from (334, 256).
  click 512 415                     # "Submit A Skin"
  sleep 1.5
  xdotool type --delay 30 'Jane Doe'
  xdotool key Tab
  xdotool type --delay 30 'Jane@Example.com'
  xdotool key Tab End
  xdotool type --delay 30 'jane.example'
  click 637 383                     # "&Browse": the file dialog
  sleep 2
  xdotool type --delay 40 'C:\grain.jpg'
  xdotool key Return
  sleep 1
  click 512 513                     # "Co&mments"
  sleep 1
  xdotool type --delay 30 'A sunset over the toolbars.'
  xdotool mousemove 5 5
  shot submit-comments 0.5
  click 512 450                     # "&OK"
  xdotool mousemove 5 5
  shot submit 1
  click 409 513                     # "&Submit": the agreement
  xdotool mousemove 5 5
  shot submit-terms 1.5
  site_get /_test/ftprate/4000      # the upload now takes most of a minute
  click 462 508                     # "&OK"
  xdotool mousemove 5 5
  shot submit-uploading 2
  site_get /_test/reset
  shot submit-done 4
  click 512 513                     # "&Close"
  sleep 1

  click 512 459                     # "Tell A Friend"
  sleep 1.5
  xdotool type --delay 30 'Friend@Example.com'
  xdotool key Tab
  xdotool type --delay 30 'jane'
  xdotool key Tab
  xdotool type --delay 30 'jane@example.com'
  xdotool key Tab
  xdotool type --delay 30 'Have a look at this!'
  xdotool mousemove 5 5
  shot tell 0.5
  click 459 498                     # "&Submit": the agreement
  xdotool mousemove 5 5
  shot tell-terms 1.5
  click 462 491                     # "&OK"
  xdotool mousemove 5 5
  shot tell-done 3
  click 512 496                     # "&Close"
  sleep 1
fi

# The gallery lies centred on the desktop: its client area starts at (273, 172).
click 512 239                       # "Get Skins!": connects to the sample site
xdotool mousemove 5 5
shot gallery 4
if [ -n "$site_up" ]; then
  port=$(cat "$build/site-screenshots/http-port")
  site_get() { /usr/bin/python3 -c 'import sys, urllib.request; urllib.request.urlopen(sys.argv[1]).read()' "http://127.0.0.1:$port$1"; }
  site_get /_test/pace/100          # skins now arrive slowly
  xdotool mousemove 500 210         # over the first preview: the apply frame
  sleep 0.5
  click 500 210
  sleep 1
  xdotool key y                     # "Do you want to apply this skin?"
  shot gallery-downloading 1.5
  site_get /_test/reset
  shot gallery-applied 4
fi
