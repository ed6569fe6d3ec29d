#!/usr/bin/env bash
# Builds Quorvel and its tests into ./build (or $QUORVEL_BUILD_DIR) and runs every test under
# wine on a private Xvfb. Exits with ctest's status. Extra arguments go to ctest (for example
# -R MainList).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
build="${QUORVEL_BUILD_DIR:-build}"
cmake -S . -B "$build"
cmake --build "$build" -j2

BUILD="$build"
. scripts/wine-env.sh

status=0
ctest --test-dir "$build" --output-on-failure --timeout 120 "$@" || status=$?
exit "$status"
