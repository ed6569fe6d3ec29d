# Sourced by the other scripts: prepares a display, a wine prefix (32-bit unless asked) and a
# warm, persistent wineserver for running Quorvel and its tests.
#
#   BUILD=path/to/build . scripts/wine-env.sh
#
# BUILD defaults to ./build. Works with and without set -e in the sourcing shell. QUORVEL_DISPLAY picks the X display (Xvfb is started on it if
# nothing answers there); without it a free display number from :78 upwards gets a new Xvfb.
# QUORVEL_SCREEN sets the size of a new Xvfb's screen (default 1280x1024x24, as the tests expect).
# QUORVEL_DPI (say 144) runs wine at that DPI in a prefix of its own, $BUILD/wineprefix<dpi>,
# made once per build folder.
# QUORVEL_WINEARCH=win64 makes it a 64-bit desktop instead, where 32-bit and 64-bit programs
# run side by side as on 64-bit Windows: the prefix $BUILD/wineprefix64, made once.
# On exit of the sourcing shell, the wineserver and the Xvfb started here are stopped.

BUILD=${BUILD:-$PWD/build}
mkdir -p "$BUILD"
BUILD=$(cd "$BUILD" && pwd)

export WINEPREFIX="$BUILD/wineprefix"
export WINEARCH=${QUORVEL_WINEARCH:-win32}
case "$WINEARCH" in
  win32) ;;
  win64) WINEPREFIX="$BUILD/wineprefix64" ;;
  *) echo "wine-env.sh: QUORVEL_WINEARCH is win32 or win64, not $WINEARCH" >&2; return 1 2>/dev/null || exit 1 ;;
esac
quorvel_dpi=${QUORVEL_DPI:-96}
if [ "$quorvel_dpi" != 96 ]; then
  [ "$WINEARCH" = win64 ] && WINEPREFIX="$WINEPREFIX-"
  WINEPREFIX="$WINEPREFIX$quorvel_dpi"
fi
export WINEDEBUG=-all,err+module
export WINEDLLOVERRIDES="mscoree,mshtml="
# Gives wine code page 932; the shell itself may lack the locale and would say so.
{ export LC_ALL=ja_JP.UTF-8; } 2>/dev/null

QUORVEL_XVFB_PID=""

quorvel_display_usable() {
  DISPLAY="$1" xdotool getdisplaygeometry >/dev/null 2>&1
}

quorvel_display_taken() {
  local n=${1#:}
  n=${n%%.*}
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]
}

quorvel_start_xvfb() {
  Xvfb "$1" -screen 0 "${QUORVEL_SCREEN:-1280x1024x24}" -nolisten tcp >"$BUILD/xvfb.log" 2>&1 </dev/null &
  QUORVEL_XVFB_PID=$!
  local _
  for _ in $(seq 100); do
    quorvel_display_usable "$1" && return 0
    kill -0 "$QUORVEL_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "wine-env.sh: Xvfb did not come up on $1 (see $BUILD/xvfb.log)" >&2
  return 1
}

quorvel_cleanup() {
  # Only this prefix's server: other prefixes on the machine keep theirs.
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$QUORVEL_XVFB_PID" ]; then
    kill "$QUORVEL_XVFB_PID" 2>/dev/null || true
    wait "$QUORVEL_XVFB_PID" 2>/dev/null || true
    QUORVEL_XVFB_PID=""
  fi
}

if [ -n "${QUORVEL_DISPLAY:-}" ]; then
  export DISPLAY="$QUORVEL_DISPLAY"
  if ! quorvel_display_usable "$DISPLAY"; then
    quorvel_start_xvfb "$DISPLAY" || return 1 2>/dev/null || exit 1
  fi
else
  n=78
  while quorvel_display_taken ":$n"; do n=$((n + 1)); done
  export DISPLAY=":$n"
  quorvel_start_xvfb "$DISPLAY" || return 1 2>/dev/null || exit 1
fi
trap quorvel_cleanup EXIT

mkdir -p "$WINEPREFIX"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine-env.sh: initialising the wine prefix $WINEPREFIX (once)" >&2
  wine wineboot --init </dev/null >/dev/null 2>&1 || true
  # Without a window manager every hide stalls two seconds unless wine manages no windows.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
  if [ "$quorvel_dpi" != 96 ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$quorvel_dpi" /f </dev/null >/dev/null 2>&1 || true
    wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels \
      /t REG_DWORD /d "$quorvel_dpi" /f </dev/null >/dev/null 2>&1 || true
  fi
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  # The set-up's own server and processes end before the persistent server starts.
  wineserver -w </dev/null >/dev/null 2>&1 || true
fi

# The templates' font "ＭＳ Ｐゴシック" is not on this system, and wine's fallback, the monospaced
# IPAGothic, has Latin letters too wide for the captions. Ume P Gothic (fonts-horai-umefont) is
# drawn to the same metrics as the font the templates were laid out for.
quorvel_font="Ume P Gothic"
if [ "$(cat "$WINEPREFIX/.quorvel-font" 2>/dev/null)" != "$quorvel_font" ]; then
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"ＭＳ Ｐゴシック"="%s"\r\n' \
    "$quorvel_font" | iconv -f UTF-8 -t UTF-16 >"$BUILD/quorvel-font.reg"
  wine regedit /S "$(winepath -w "$BUILD/quorvel-font.reg" 2>/dev/null)" </dev/null >/dev/null 2>&1 &&
    echo "$quorvel_font" >"$WINEPREFIX/.quorvel-font"
fi

# A persistent server before the programs run: without it each process pays for a new one.
wineserver -p </dev/null >/dev/null 2>&1 || true

# Start wine's services now, detached from the caller's pipes (ctest would wait on them).
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
# Keep the desktop, and with it wine's explorer, open until the server stops: otherwise each
# test program that starts after a pause opens a new explorer holding ctest's pipes.
if [ -f "$BUILD/DesktopKeeper.exe" ]; then
  wine "$BUILD/DesktopKeeper.exe" </dev/null >/dev/null 2>&1 &
  sleep 0.5
fi
