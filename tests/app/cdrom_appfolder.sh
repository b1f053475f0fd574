#!/usr/bin/env bash
# GetAppFolder when Velmora runs from a CD-ROM. The probe is copied into a folder that becomes a new
# drive; Wine reports it as a CD-ROM once HKLM\Software\Wine\Drives says so and a new wineserver has
# read that. Run from there, the Application folder is Program Files\Velmora on the system drive,
# made on demand; the same file run through Z:, a fixed drive, keeps its own folder.
# Run by CTest in the Wine prefix of tools/test.sh: cdrom_appfolder.sh PROBE_EXE
set -euo pipefail
probe=$1
: "${WINEPREFIX:?run through tools/test.sh}"

work=$(mktemp -d "$(dirname "$WINEPREFIX")/cdrom.XXXXXX")
disc="$work/disc"
mkdir "$disc"
drives='HKLM\Software\Wine\Drives'
velmora="$WINEPREFIX/drive_c/Program Files/Velmora"

fail() { echo "FAIL: $*" >&2; exit 1; }
wine_quiet() { wine "$@" </dev/null >>"$work/wine.log" 2>&1; }
# The Windows path of a Unix path, through drive Z:.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
# A new wineserver, persistent, whose helper processes start detached from our output as in
# tools/wine-env.sh: CTest would otherwise wait for them.
restart_wineserver() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}
# Runs the probe as EXE (a Windows path) and prints what it wrote.
run_probe() {
  rm -f "$work/probe.txt"
  wine_quiet "$1" "$(windows_path "$work/probe.txt")" || { echo "the probe failed as $1"; return 0; }
  tr -d '\r' <"$work/probe.txt"
}
expect_probe() {
  [ "$2" = "$3" ] || fail "$1: expected"$'\n'"$3"$'\n'"got"$'\n'"$2"
}

letter=""
for candidate in r s t u v w x y; do
  if [ ! -e "$WINEPREFIX/dosdevices/$candidate:" ] && [ ! -L "$WINEPREFIX/dosdevices/$candidate:" ]; then
    letter=$candidate
    break
  fi
done
[ -n "$letter" ] || fail "no free drive letter"
if wine_quiet reg query "$drives" /v "$letter:"; then fail "$drives already has a value $letter:"; fi
saved=""
if [ -e "$velmora" ]; then
  saved="$work/Velmora.saved"
  mv "$velmora" "$saved"
fi

undo() {
  local rc=$?
  rm -f "$WINEPREFIX/dosdevices/$letter:"
  wine_quiet reg delete "$drives" /v "$letter:" /f || true
  restart_wineserver
  rm -rf "$velmora"
  if [ -n "$saved" ]; then mv "$saved" "$velmora"; fi
  if [ $rc -eq 0 ]; then rm -rf "$work"; else echo "kept $work" >&2; fi
  exit $rc
}
trap undo EXIT

cp "$probe" "$disc/velmora.exe"
ln -s "$disc" "$WINEPREFIX/dosdevices/$letter:"
wine_quiet reg add "$drives" /v "$letter:" /d cdrom /f || fail "cannot write $drives"
restart_wineserver

expect_probe "run from the CD-ROM" "$(run_probe "${letter^^}:\\velmora.exe")" \
  "drive type 5
C:\\Program Files\\Velmora\\
exists"
[ -d "$velmora" ] || fail "$velmora was not made"

expect_probe "the same file run through Z:" "$(run_probe "$(windows_path "$disc/velmora.exe")")" \
  "drive type 3
$(windows_path "$disc/")
exists"
echo "ok: ${letter^^}: reads as a CD-ROM and its Application folder is C:\\Program Files\\Velmora\\"
