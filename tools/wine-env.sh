# Sourced by tools/test.sh and tools/run.sh: one Xvfb, a 32-bit Wine prefix copied from a
# template, a scratch HOME, and a persistent wineserver. Nothing touches the real home.
# velmora_wine_start BUILD_DIR NAME   -> Xvfb + prefix BUILD_DIR/wine-NAME/prefix (fresh copy)
# velmora_wine_stop                   -> wineserver -k, then Xvfb (safe to call twice)

export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES='winemenubuilder.exe=d;mscoree=d;mshtml=d;winealsa.drv,winepulse.drv,wineoss.drv=d'
VELMORA_XVFB_PID=""

velmora_xvfb_start() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    VELMORA_XVFB_PID=$!
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
      kill -0 "$VELMORA_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$VELMORA_XVFB_PID" 2>/dev/null || true
    VELMORA_XVFB_PID=""
  done
  echo "wine-env: no free display for Xvfb" >&2
  return 1
}

# For the scripts that show a program to a person: a given $DISPLAY is used instead of an Xvfb.
velmora_keep_display() {
  if [ -n "${DISPLAY:-}" ]; then
    velmora_xvfb_start() { :; }
  fi
}

# Replace the user folders that Wine links into $HOME with real folders.
velmora_unlink_home() {
  local l
  find "$1/drive_c/users" -maxdepth 2 -type l 2>/dev/null | while read -r l; do
    rm -f "$l" && mkdir -p "$l"
  done
}

# The template is made once per build dir (wineboot -i: ~15 s), then copied (<1 s).
velmora_wine_template() {
  local tpl="$1/wine-template"
  [ -f "$tpl/prefix/system.reg" ] && return 0
  rm -rf "$tpl" && mkdir -p "$tpl/home"
  (export HOME="$tpl/home" WINEPREFIX="$tpl/prefix"
   wine wineboot -i </dev/null >"$tpl/wineboot.log" 2>&1 &&
   # A virtual desktop: windows get frames without a window manager, and hiding one does not
   # wait for a window manager that isn't there.
   wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >>"$tpl/wineboot.log" 2>&1 &&
   wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >>"$tpl/wineboot.log" 2>&1 &&
   wineserver -w) || {
    echo "wine-env: wineboot failed, see $tpl/wineboot.log" >&2; return 1; }
  velmora_unlink_home "$tpl/prefix"
}

velmora_wine_start() {
  local build="$1" dir="$1/wine-$2"
  velmora_xvfb_start
  velmora_wine_template "$build"
  rm -rf "$dir" && mkdir -p "$dir/home"
  cp -a "$build/wine-template/prefix" "$dir/prefix"
  export HOME="$dir/home" WINEPREFIX="$dir/prefix" XDG_CONFIG_HOME="$dir/home/.config" XDG_DATA_HOME="$dir/home/.local/share"
  # Persistent wineserver and helpers started detached from any pipe (see tools/wine-run).
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

velmora_wine_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; wineserver -w >/dev/null 2>&1 || true; fi
  if [ -n "$VELMORA_XVFB_PID" ]; then
    kill "$VELMORA_XVFB_PID" 2>/dev/null || true
    wait "$VELMORA_XVFB_PID" 2>/dev/null || true
    VELMORA_XVFB_PID=""
  fi
}
