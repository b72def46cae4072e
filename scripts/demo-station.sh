#!/usr/bin/env bash
# Makes a demo station in DIR: settings (DIR/windows/VNTZEL.INI), the program folder with the
# source and destination log folders and the serial profile (DIR/app), data folders and an
# audiowall of 40 spoken carts (DIR/audiowall), and advert logs for today and tomorrow.
#   bash scripts/demo-station.sh DIR
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: scripts/demo-station.sh DIR"; exit 2; }
station=$1
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target vntzel_demo >/dev/null
mkdir -p "$station/windows" "$station/app"
station=$(cd "$station" && pwd)
VNTZEL_WINDIR="$station/windows" VNTZEL_APPDIR="$station/app" \
  VNTZEL_REGISTRY="$station/windows/registry.ini" VNTZEL_HEADLESS=1 QT_QPA_PLATFORM=offscreen \
  ./build/vntzel_demo "$station"
