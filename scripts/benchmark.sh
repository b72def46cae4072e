#!/usr/bin/env bash
# Runs every benchmark; each prints stable "key value" lines.   bash scripts/benchmark.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
benchmarks=(
  stream_benchmark
  break_benchmark
  players_benchmark
  netcontrol_benchmark
  browse_benchmark
  soak_benchmark
  serial_trigger_benchmark
  net_play_benchmark
)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target "${benchmarks[@]}"
for b in "${benchmarks[@]}"; do
  if [ "$b" = stream_benchmark ]; then ./build/$b "${1:-60}"; else ./build/$b; fi
done
