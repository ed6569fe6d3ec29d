#!/usr/bin/env bash
# Builds and runs the benchmarks under wine: ./scripts/bench.sh [window counts...]
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target bench_list_refresh bench_inspector bench_capture bench_message_log
BUILD=$PWD/build . scripts/wine-env.sh
QUORVEL_FIXTURE=$(ls build/tests/fixtures/QuorvelFixture.exe) wine build/bench/bench_list_refresh.exe "$@"
QUORVEL_FIXTURE=$(ls build/tests/fixtures/QuorvelFixture.exe) wine build/bench/bench_inspector.exe | grep -v "^CChildInfomationDlg::update"
wine build/bench/bench_capture.exe
QUORVEL_FIXTURE=$(ls build/tests/fixtures/QuorvelFixture.exe) wine build/bench/bench_message_log.exe
