#!/usr/bin/env bash
# Builds Quorvel and its tests into ./build (or $QUORVEL_BUILD_DIR) and runs every test under
# wine on a private Xvfb: first all of them on a 32-bit desktop, then those labelled desktop64
# on a 64-bit one, against 64-bit programs. Exits non-zero when either run failed. Extra
# arguments go to both ctest runs (for example -R MainList).
# Each test runs once, and a test that fails fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
build="${QUORVEL_BUILD_DIR:-build}"
cmake -S . -B "$build"
cmake --build "$build" -j2

BUILD="$build"
status=0
(
  . scripts/wine-env.sh
  run=0
  ctest --test-dir "$build" --output-on-failure --timeout 120 -LE desktop64 "$@" || run=$?
  # Listing runs the tests' discovery under wine, so it is done here.
  ctest --test-dir "$build" -N -L desktop64 "$@" >"$build/desktop64-tests.txt"
  exit "$run"
) || status=$?

# The 64-bit desktop is made (once) and started only when there is something to run on it.
if grep -q '^Total Tests: [1-9]' "$build/desktop64-tests.txt"; then
  (
    export QUORVEL_WINEARCH=win64
    . scripts/wine-env.sh
    ctest --test-dir "$build" --output-on-failure --timeout 120 -L desktop64 "$@"
  ) || status=$?
fi
exit "$status"
