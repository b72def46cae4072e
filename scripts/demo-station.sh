#!/usr/bin/env bash
# Makes a demo station in DIR: settings (DIR/windows/VNTZEL.INI), the program folder with the
# source and destination log folders and the serial profile (DIR/app), data folders and an
# audiowall of 40 spoken carts (DIR/audiowall), and advert logs for today and the seven days
# after it: a break every quarter of an hour, and one about a minute after the station is made.
#   bash scripts/demo-station.sh [options] DIR
# Options for quick stations (tests, benchmarks):
#   --break-every SECONDS   today's log gets a run of breaks this far apart
#   --breaks N              how many breaks in that run (default 60)
#   --first-break-in SECONDS  the run's (or the single soon break's) first break after now
#   --cart-seconds SECONDS  every cart at most this long
set -euo pipefail
usage() { echo "usage: scripts/demo-station.sh [--break-every S] [--breaks N] [--first-break-in S] [--cart-seconds S] DIR" >&2; exit 2; }
while [ $# -gt 1 ]; do
  case "$1" in
    --break-every) export VNTZEL_DEMO_BREAK_SECONDS=$2 ;;
    --breaks) export VNTZEL_DEMO_BREAKS=$2 ;;
    --first-break-in) export VNTZEL_DEMO_FIRST_BREAK_SECONDS=$2 ;;
    --cart-seconds) export VNTZEL_DEMO_CART_SECONDS=$2 ;;
    *) usage ;;
  esac
  shift 2
done
[ $# -eq 1 ] || usage
station=$1
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target vntzel_demo >/dev/null
mkdir -p "$station/windows" "$station/app"
station=$(cd "$station" && pwd)
VNTZEL_WINDIR="$station/windows" VNTZEL_APPDIR="$station/app" \
  VNTZEL_REGISTRY="$station/windows/registry.ini" VNTZEL_HEADLESS=1 QT_QPA_PLATFORM=offscreen \
  ./build/vntzel_demo "$station"
