#!/usr/bin/env bash
# The folder picker's drive list with drives of every type: A: and B: floppies, D: a CD-ROM, E: a
# fixed drive and F: a network drive are made in the test prefix (dosdevices links, their types in
# HKLM\Software\Wine\Drives, read by a new wineserver), then the picker's drive test runs.
# Run by CTest in the Wine prefix of tools/test.sh: picker_drives.sh INSTALL_TEST_EXE
set -euo pipefail
test_exe=$1
: "${WINEPREFIX:?run through tools/test.sh}"
work=$(mktemp -d "$(dirname "$WINEPREFIX")/drives.XXXXXX")
drives='HKLM\Software\Wine\Drives'
declare -A types=([a]=floppy [b]=floppy [d]=cdrom [e]=hd [f]=network)

wine_quiet() { wine "$@" </dev/null >>"$work/wine.log" 2>&1; }
restart_wineserver() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}
for letter in "${!types[@]}"; do
  if [ -e "$WINEPREFIX/dosdevices/$letter:" ] || [ -L "$WINEPREFIX/dosdevices/$letter:" ]; then
    echo "FAIL: drive $letter: exists already" >&2; exit 1
  fi
done
undo() {
  local rc=$?
  for letter in "${!types[@]}"; do
    rm -f "$WINEPREFIX/dosdevices/$letter:"
    wine_quiet reg delete "$drives" /v "$letter:" /f || true
  done
  restart_wineserver
  if [ $rc -eq 0 ]; then rm -rf "$work"; else echo "kept $work" >&2; fi
  exit $rc
}
trap undo EXIT
for letter in "${!types[@]}"; do
  mkdir -p "$work/$letter"
  ln -s "$work/$letter" "$WINEPREFIX/dosdevices/$letter:"
  wine_quiet reg add "$drives" /v "$letter:" /d "${types[$letter]}" /f
done
restart_wineserver
fixed="C: E: "
[ -e "$WINEPREFIX/dosdevices/z:" ] && fixed+="Z: "
VELMORA_FIXED_DRIVES="$fixed" wine "$test_exe" --gtest_filter='FolderPicker.OnlyFixedDrivesAreListed' </dev/null
