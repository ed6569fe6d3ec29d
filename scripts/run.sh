#!/usr/bin/env bash
# Builds Quorvel into ./build (or $QUORVEL_BUILD_DIR) and starts it under wine.
#   scripts/run.sh                    on $DISPLAY, or on a private Xvfb when there is none
#   scripts/run.sh --screenshot-only  start, write build/screenshot.png, stop
# On Xvfb a screenshot of the screen goes to build/screenshot.png a few seconds after the start;
# the program then keeps running until it is closed or the script is interrupted.
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
cmake --build "$build" -j2 --target Quorvel

on_xvfb=1
if [ -n "${DISPLAY:-}" ] && [ "$screenshot_only" -eq 0 ] &&
   xdotool getdisplaygeometry >/dev/null 2>&1; then
  export QUORVEL_DISPLAY="$DISPLAY"
  on_xvfb=0
fi

BUILD="$build"
. scripts/wine-env.sh

wine "$build/Quorvel.exe" "${args[@]}" </dev/null &
quorvel_pid=$!
trap 'kill "$quorvel_pid" 2>/dev/null || true; quorvel_cleanup' EXIT
trap 'exit 130' INT TERM

if [ "$on_xvfb" -eq 1 ]; then
  # Wait for the main dialog rather than a fixed time, then give it a moment to paint.
  for _ in $(seq 100); do
    xdotool search --name '^Tsuravi$' >/dev/null 2>&1 && break
    kill -0 "$quorvel_pid" 2>/dev/null || break
    sleep 0.1
  done
  sleep 2
  import -window root -display "$DISPLAY" "$build/screenshot.png"
  echo "screenshot: $build/screenshot.png (display $DISPLAY)"
  if [ "$screenshot_only" -eq 1 ]; then
    exit 0
  fi
  echo "Quorvel runs on $DISPLAY; stop it with Ctrl+C."
fi
wait "$quorvel_pid" || true
