#!/usr/bin/env bash
# Makes sure this machine can run Wine's 32-bit Linux programs (wine loader, wineserver32).
# Some virtual machines have no 32-bit user mode ("Exec format error"). There we run them
# through qemu-user via binfmt_misc. The qemu of bookworm (7.2) needs ~1 min per Wine process;
# the one from backports (10.x) ~1 s, so that one is installed.
set -euo pipefail
/usr/lib/wine/wine --version >/dev/null 2>&1 && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive

qemu_major() { qemu-i386-static --version 2>/dev/null | sed -n 's/.*version \([0-9]*\)\..*/\1/p' | head -n1; }
. /etc/os-release
if [ "$(qemu_major || true)" = "" ] || [ "$(qemu_major)" -lt 8 ]; then
  bpo=/etc/apt/sources.list.d/velmora-backports.sources
  if [ ! -f "$bpo" ]; then
    # Backports of the machine's own Debian archive entry (no host is named here).
    uri=$(awk -v c="$VERSION_CODENAME" 'BEGIN{RS=""} /debian-archive-keyring/ && $0 ~ ("Suites:[^\n]*" c "([ \n]|$)") {
            if (match($0, /URIs:[ \t]*[^ \t\n]+/)) { u=substr($0, RSTART, RLENGTH); sub(/URIs:[ \t]*/, "", u); print u; exit } }' \
          /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
    [ -n "$uri" ] || uri=$(awk -v c="$VERSION_CODENAME" '$1=="deb" && $3==c {print $2; exit}' /etc/apt/sources.list 2>/dev/null || true)
    [ -n "$uri" ] || { echo "enable-i386: no Debian archive entry found" >&2; exit 1; }
    printf '%s\n' 'Types: deb' "URIs: $uri" "Suites: $VERSION_CODENAME-backports" \
      'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' | $SUDO tee "$bpo" >/dev/null
  fi
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends -t "$VERSION_CODENAME-backports" qemu-user-static
fi

binfmt=/proc/sys/fs/binfmt_misc
[ -e "$binfmt/register" ] || $SUDO mount -t binfmt_misc binfmt_misc "$binfmt"
# Re-register: the F flag pins the interpreter binary that was current at registration.
[ -e "$binfmt/qemu-i386" ] && echo -1 | $SUDO tee "$binfmt/qemu-i386" >/dev/null
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
echo ":qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386-static:F" | $SUDO tee "$binfmt/register" >/dev/null

/usr/lib/wine/wine --version >/dev/null 2>&1 || { echo "enable-i386: still cannot run 32-bit programs" >&2; exit 1; }
