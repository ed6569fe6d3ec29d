#!/usr/bin/env bash
# Builds Quorvel into ./build (or $QUORVEL_BUILD_DIR) and starts it under wine.
#   scripts/run.sh                    on $DISPLAY, or on a private Xvfb when there is none
#   scripts/run.sh --screenshot-only  start, write build/screenshot.png, stop
# On its own Xvfb it also starts Notepad, so that there is a real program to inspect, makes it the
# target (its row clicked, its picture taken, the inspector opened on it) and writes a screenshot
# of the screen to build/screenshot.png; the program then keeps running until it is closed or the
# script is interrupted. On a real display nothing else is started.
# Other arguments are passed to Quorvel.
set -euo pipefail
cd "$(dirname "$0")/.."

screenshot_only=0
args=()
for arg in "$@"; do
  if [ "$arg" = "--screenshot-only" ]; then screenshot_only=1; else args+=("$arg"); fi
done

bash scripts/setup.sh
build="${QUORVEL_BUILD_DIR:-build}"
cmake -S . -B "$build"
cmake --build "$build" -j2 --target Quorvel QuorvelShowcase

on_xvfb=1
if [ -n "${DISPLAY:-}" ] && [ "$screenshot_only" -eq 0 ] &&
   xdotool getdisplaygeometry >/dev/null 2>&1; then
  export QUORVEL_DISPLAY="$DISPLAY"
  on_xvfb=0
fi

BUILD="$build"
# Room for the main dialog, the inspector beside it and Notepad below it.
[ "$on_xvfb" -eq 1 ] && export QUORVEL_SCREEN=1600x1100x24
. scripts/wine-env.sh

notepad_pid=""
if [ "$on_xvfb" -eq 1 ]; then
  sample="$build/notepad-sample.txt"
  printf 'Quorvel inspects this window.\r\n\r\nIts row in the list is the target; the panels show its state,\r\nthe capture view its picture, the inspector its child windows.\r\n' >"$sample"
  # On a 64-bit desktop (QUORVEL_WINEARCH=win64), Wine's 64-bit Notepad.
  notepad=(wine notepad)
  [ "$WINEARCH" = win64 ] && notepad=(/usr/lib/wine/wine64 notepad)
  "${notepad[@]}" "$(winepath -w "$sample")" </dev/null >/dev/null 2>&1 &
  notepad_pid=$!
fi

wine "$build/Quorvel.exe" "${args[@]}" </dev/null &
quorvel_pid=$!
trap 'kill "$quorvel_pid" $notepad_pid 2>/dev/null || true; quorvel_cleanup' EXIT
trap 'exit 130' INT TERM

if [ "$on_xvfb" -eq 1 ]; then
  # Wait for the main dialog rather than a fixed time, then give it a moment to paint.
  for _ in $(seq 100); do
    xdotool search --name '^Tsuravi$' >/dev/null 2>&1 && break
    kill -0 "$quorvel_pid" 2>/dev/null || break
    sleep 0.1
  done
  sleep 1
  wine "$build/tests/e2e/QuorvelShowcase.exe" </dev/null || echo "run.sh: the scene for the screenshot is incomplete" >&2
  sleep 1
  import -window root -display "$DISPLAY" "$build/screenshot.png"
  echo "screenshot: $build/screenshot.png (display $DISPLAY)"
  if [ "$screenshot_only" -eq 1 ]; then
    exit 0
  fi
  echo "Quorvel runs on $DISPLAY; stop it with Ctrl+C."
fi
wait "$quorvel_pid" || true
