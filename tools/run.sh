#!/usr/bin/env bash
# Starts Velmora3.exe under Wine. With $DISPLAY: on that display, until the program ends.
# Without: in a private Xvfb; after $VELMORA_RUN_WAIT seconds (8) saves build/screenshot.png (and
# build/screenshot-hover.png, the pointer on a button) and ends it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${VELMORA_BUILD_DIR:-$root/build}" && pwd)
cmake --build "$build" --target Velmora
exe=$(find "$build" -name Velmora3.exe -not -path '*/wine-*' | head -n1)
[ -n "$exe" ] || { echo "run.sh: Velmora3.exe not found in $build" >&2; exit 1; }

# The sample web site, on the port of the address compiled into the program (VELMORA_SITE), when
# that address is on this machine; it stops when the program ends.
site_up=yes
"$root/tools/site.sh" start "$build" run compiled || { echo "run.sh: going on without the site" >&2; site_up=; }
run_stop() { velmora_wine_stop; [ -z "$site_up" ] || "$root/tools/site.sh" stop "$build" run; }

. "$root/tools/wine-env.sh"
velmora_keep_display
trap run_stop EXIT
velmora_wine_start "$build" run
cd "$(dirname "$exe")"
if [ -n "$VELMORA_XVFB_PID" ]; then
  wine "$exe" </dev/null >"$build/wine-run/app.log" 2>&1 &
  sleep "${VELMORA_RUN_WAIT:-8}"
  # At rest (the pointer leaves across the window's left margin, which puts out any lit button),
  # then with the pointer over the top menu button.
  xdotool mousemove 307 300 && sleep 0.5 && xdotool mousemove 5 5 && sleep 0.5
  /usr/bin/import -window root "$build/screenshot.png"
  xdotool mousemove 512 240 && sleep 1
  /usr/bin/import -window root "$build/screenshot-hover.png"
  echo "screenshots: $build/screenshot.png $build/screenshot-hover.png"
else
  wine "$exe"
fi
