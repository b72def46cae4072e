#!/usr/bin/env bash
# Builds and runs the benchmarks. Usage: scripts/benchmark.sh [seconds of audio, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target stream_benchmark break_benchmark soak_benchmark \
  serial_trigger_benchmark
./build/stream_benchmark "${1:-60}"
./build/break_benchmark
./build/soak_benchmark
./build/serial_trigger_benchmark
