#!/usr/bin/env bash
# Installs what building, running and testing Quorvel needs on a Debian machine.
# Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(wine wine32:i386 wine64 fonts-wine
          g++-mingw-w64-i686-posix binutils-mingw-w64-i686 cmake make googletest
          xvfb xdotool imagemagick fonts-ipafont-gothic fonts-horai-umefont zip)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
