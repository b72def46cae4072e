#!/usr/bin/env bash
# Benchmark: connect an audiowall of 10,000 carts and read every cart record once; prints the
# time and the peak memory. Not run by CI.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j4 --target test_carts
QT_QPA_PLATFORM=offscreen ./build/test_carts --gtest_also_run_disabled_tests \
  --gtest_filter='AudiowallBench.DISABLED_ConnectAndReadEveryCart' | grep -E '^audiowall:|OK|FAILED'
