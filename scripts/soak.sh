#!/usr/bin/env bash
# Soak: the whole program for a long time under load (tests/bench/soak_bench.cpp), printed,
# not a pass/fail test. The real window, offscreen, against ostrel-sim at 8000 frames/s with a
# looped transmit list at a 10 ms gap; it reports frames both ways, resident memory and the
# longest event-loop stall.
#
#   scripts/soak.sh [minutes, default 10]
#   BUILD_DIR   build folder (default build-soak)
#   JOBS        parallel build jobs (default 2)
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=${1:-10}
build=${BUILD_DIR:-build-soak}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRANNOX_BENCHMARKS=ON >/dev/null
cmake --build "$build" -j "${JOBS:-2}" --target soak_bench ostrel-sim
QT_QPA_PLATFORM=offscreen "$build/tests/bench/soak_bench" $((minutes * 60))
