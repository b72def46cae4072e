#!/usr/bin/env bash
# Sets up, builds and starts VNTZEL on its demo station (made on first run), or on the station
# whose folder VNTZEL_STATION names. Without a display it runs headless and says so.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target VNTZEL FlennTweak vntzel_demo
station="${VNTZEL_STATION:-$PWD/build/demo-station}"
if [ ! -s "$station/windows/VNTZEL.INI" ]; then
  echo "run: making the demo station in $station"
  bash scripts/demo-station.sh "$station"
fi
export VNTZEL_WINDIR="$station/windows" VNTZEL_APPDIR="$station/app"
export VNTZEL_REGISTRY="${VNTZEL_REGISTRY:-$station/windows/registry.ini}"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display: VNTZEL runs headless (message boxes answered with their default, printed on standard error)"
  export QT_QPA_PLATFORM=offscreen VNTZEL_HEADLESS=1
fi
echo "run: trace log, reconciliation and error files: $station/windows, $station/app/dest"
# Without arguments the demo station traces every line ("/DEBUG") into its trace log.
if [ "$#" -eq 0 ]; then set -- /DEBUG; fi
exec ./build/VNTZEL "$@"
