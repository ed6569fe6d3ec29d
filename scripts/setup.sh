#!/usr/bin/env bash
# Installs what building, running and testing Quorvel needs on a Debian machine.
# Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(wine wine32:i386 wine64 fonts-wine
          g++-mingw-w64-i686-posix binutils-mingw-w64-i686
          g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 cmake make googletest
          xvfb xdotool imagemagick fonts-ipafont-gothic fonts-horai-umefont zip locales
          nlohmann-json3-dev libcli11-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
if [ ${#missing[@]} -ne 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# wine-env.sh runs wine under ja_JP.UTF-8: without that locale wine cannot turn Japanese file
# names into the system's bytes, and saving "(無題) - メモ帳.png" fails.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
  $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
