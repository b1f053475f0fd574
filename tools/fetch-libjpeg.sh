#!/usr/bin/env bash
# Unpacks Debian's libjpeg-turbo source package into DEST/libjpeg-turbo (once).
# Usage: tools/fetch-libjpeg.sh DEST
set -euo pipefail
dest=${1:?usage: fetch-libjpeg.sh DEST}
[ -f "$dest/libjpeg-turbo/CMakeLists.txt" ] && exit 0
mkdir -p "$dest"
work=$(mktemp -d "$dest/.fetch.XXXXXX")
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1) || {
  echo "fetch-libjpeg: 'apt-get source libjpeg-turbo' failed (run tools/setup.sh for deb-src entries)" >&2
  exit 1
}
src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n1)
[ -n "$src" ] && [ -f "$src/CMakeLists.txt" ] || { echo "fetch-libjpeg: no source tree unpacked" >&2; exit 1; }
rm -rf "$dest/libjpeg-turbo"
mv "$src" "$dest/libjpeg-turbo"
