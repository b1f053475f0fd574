#!/usr/bin/env bash
# Starts install.exe, the setup wizard, under Wine in a prefix of its own (build/wine-setup, made
# anew each time), so that what it installs (files, shortcuts, the uninstall entry) stays there and
# never reaches the host's menus or desktop. With $DISPLAY: on that display, until the wizard ends.
# Without: in a private Xvfb; after $VELMORA_RUN_WAIT seconds (8) saves build/setup-screenshot.png
# and ends it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${VELMORA_BUILD_DIR:-$root/build}" && pwd)
cmake --build "$build" --target Setup
exe="$build/install/install.exe"

. "$root/tools/wine-env.sh"
velmora_keep_display
trap velmora_wine_stop EXIT
velmora_wine_start "$build" setup
cd "$(dirname "$exe")"
if [ -n "$VELMORA_XVFB_PID" ]; then
  wine "$exe" </dev/null >"$build/wine-setup/setup.log" 2>&1 &
  sleep "${VELMORA_RUN_WAIT:-8}"
  xdotool mousemove 5 5 && sleep 0.5
  /usr/bin/import -window root "$build/setup-screenshot.png"
  echo "screenshot: $build/setup-screenshot.png"
else
  wine "$exe"
fi
