#!/usr/bin/env bash
# Sets up, builds and starts VNTZEL on its demo station.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target VNTZEL FlennTweak
export VNTZEL_WINDIR="${VNTZEL_WINDIR:-$PWD/build/demo-station}"
mkdir -p "$VNTZEL_WINDIR"
# Without arguments the demo station traces every line ("/DEBUG") into its trace log.
if [ "$#" -eq 0 ]; then set -- /DEBUG; fi
exec ./build/VNTZEL "$@"
