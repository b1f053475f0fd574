#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Velmora needs.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

need_pkgs=(
  cmake ninja-build make
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  nasm
  wine wine32:i386
  xvfb x11-apps xdotool imagemagick fonts-wine
  sox icoutils fonts-dejavu-core
  python3 python3-pyftpdlib
  googletest dpkg-dev
  g++ clang libclang-rt-14-dev libgtest-dev
)

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

missing=()
for p in "${need_pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# Source entries for `apt-get source`, made from the machine's own binary entries (no host is named here).
src_list=/etc/apt/sources.list.d/velmora-src.sources
src_legacy=/etc/apt/sources.list.d/velmora-src.list
need_src=0
if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  need_src=1
fi

if [ ${#missing[@]} -eq 0 ] && [ $need_src -eq 0 ]; then
  exec "$here/enable-i386.sh"
fi

export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
if [ $need_src -eq 1 ]; then
  tmp=$(mktemp)
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    [ "$f" = "$src_list" ] && continue
    # Only Debian's own archive entries (those signed by the Debian archive keyring).
    awk 'BEGIN{RS=""; ORS="\n\n"} /debian-archive-keyring/ && /Types:[^\n]*deb/ {gsub(/Types:[^\n]*/, "Types: deb-src"); print}' "$f" >>"$tmp"
  done
  if [ -s "$tmp" ]; then $SUDO cp "$tmp" "$src_list"; fi
  : >"$tmp"
  if [ -f /etc/apt/sources.list ]; then
    grep -E '^deb[[:space:]]' /etc/apt/sources.list | grep -v 'deb-src' | sed -E 's/^deb[[:space:]]/deb-src /' >>"$tmp" || true
  fi
  if [ -s "$tmp" ]; then $SUDO cp "$tmp" "$src_legacy"; fi
  rm -f "$tmp"
fi
# One index that fails to refresh (a mirror mid-sync serves a file of the wrong size) need not stop the
# install: the other indexes, and the lists already on the machine, may still hold every package.
update_log=$(mktemp)
release=()
if ! $SUDO apt-get update -qq >"$update_log" 2>&1; then
  echo "setup: warning: 'apt-get update' failed; installing from the package lists it could read:" >&2
  grep -E '^(E|W|Err):' "$update_log" | sed 's/^/setup:   /' >&2 || cat "$update_log" >&2
  # With one architecture's update index missing, amd64 and i386 would be offered different versions of
  # the libraries both need (and the two must match): prefer the release's own versions then.
  codename=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
  [ -z "$codename" ] || release=(-t "$codename")
fi
rm -f "$update_log"
if [ ${#missing[@]} -gt 0 ]; then
  if ! $SUDO apt-get install -y -qq --no-install-recommends "${release[@]}" "${need_pkgs[@]}"; then
    echo "setup: could not install: ${missing[*]}" >&2
    echo "setup: apt-get's messages above say why (a package its lists do not hold, or a failed download)." >&2
    exit 1
  fi
fi
exec "$here/enable-i386.sh"
