#!/usr/bin/env bash
# Builds and runs the benchmarks under wine: ./scripts/bench.sh [window counts...]
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target bench_list_refresh bench_search bench_inspector bench_capture bench_idle bench_message_log bench_hook_cost bench_window_tree bench_snapshot
BUILD=$PWD/build . scripts/wine-env.sh
QUORVEL_FIXTURE=$(ls build/tests/fixtures/QuorvelFixture.exe) wine build/bench/bench_list_refresh.exe "$@"
QUORVEL_FIXTURE=$(ls build/tests/fixtures/QuorvelFixture.exe) wine build/bench/bench_search.exe
QUORVEL_FIXTURE=$(ls build/tests/fixtures/QuorvelFixture.exe) wine build/bench/bench_inspector.exe | grep -v "^CChildInfomationDlg::update"
wine build/bench/bench_capture.exe
QUORVEL_FIXTURE=$(ls build/tests/fixtures/QuorvelFixture.exe) wine build/bench/bench_window_tree.exe
QUORVEL_FIXTURE=$(ls build/tests/fixtures/QuorvelFixture.exe) wine build/bench_snapshot.exe
QUORVEL_FIXTURE=$(ls build/tests/fixtures/QuorvelFixture.exe) wine build/bench/bench_idle.exe | grep -v "^CChildInfomationDlg::update"
QUORVEL_FIXTURE=$(ls build/tests/fixtures/QuorvelFixture.exe) wine build/bench/bench_message_log.exe
# The 64-bit hook, on a 64-bit desktop of its own, through the helper.
(
  export QUORVEL_WINEARCH=win64
  export QUORVEL_DISPLAY="$DISPLAY"
  . scripts/wine-env.sh
  QUORVEL_FIXTURE=$(ls build/x64/QuorvelFixture.exe) wine build/bench/bench_hook_cost.exe
)
