#!/usr/bin/env bash
# Shows every window of the program on a virtual display (Xvfb) and saves one PNG each under
# build/screenshots/.   bash scripts/screenshots.sh [name filter]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target vntzel_screenshots vntzel_demo
# The whole program's picture runs start-up on a demo station of its own.
station=$PWD/build/screenshot-station
if [ ! -s "$station/windows/VNTZEL.INI" ]; then
  VNTZEL_DEMO_CART_SECONDS=20 bash scripts/demo-station.sh "$station" >/dev/null
fi
export VNTZEL_SHOT_STATION=$station
out=build/screenshots
mkdir -p "$out"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export VNTZEL_WINDIR=$scratch/windows VNTZEL_APPDIR=$scratch/app VNTZEL_REGISTRY=$scratch/registry.ini
mkdir -p "$VNTZEL_WINDIR" "$VNTZEL_APPDIR"
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1600x1000x24" build/vntzel_screenshots "$out" "${1:-}"
