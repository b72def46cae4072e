#!/usr/bin/env bash
# Runs every benchmark; each prints stable "key value" lines.   bash scripts/benchmark.sh [seconds]
# PROCESS_SOAK_SECONDS (default 600) sets how long the program itself plays its breaks.
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

# Start-up of the program itself: from process start to the main window shown and to the end
# of start-up, on the demo audiowall and on one of 10,000 carts, with the peak memory of each.
cmake --build build -j "$(nproc)" --target VNTZEL vntzel_demo
for carts in 40 10000; do
  station=$PWD/build/bench-station-$carts
  if [ ! -s "$station/windows/VNTZEL.INI" ]; then
    VNTZEL_DEMO_CART_SECONDS=2 VNTZEL_DEMO_CARTS=$carts bash scripts/demo-station.sh "$station" >/dev/null
  fi
  python3 - "$station" "$carts" <<'PY'
import glob, os, resource, signal, subprocess, sys, time
station, carts = sys.argv[1], sys.argv[2]
env = dict(os.environ, VNTZEL_WINDIR=station + "/windows", VNTZEL_APPDIR=station + "/app",
           VNTZEL_SYSTEMDRIVE=station + "/windows", VNTZEL_REGISTRY=station + "/windows/registry.ini",
           VNTZEL_HEADLESS="1", QT_QPA_PLATFORM="offscreen", VNTZEL_PORT_OFFSET="25500",
           VNTZEL_WAVE_OUT_DEVICES="null,null,null,null")
for log in glob.glob(station + "/windows/VNTZEL.*.log"):
    os.remove(log)
def trace():
    return "".join(open(f, errors="replace").read() for f in glob.glob(station + "/windows/VNTZEL.*.log"))
start = time.monotonic()
program = subprocess.Popen(["build/VNTZEL", "/DEBUG"], env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
shown = done = None
while done is None and time.monotonic() - start < 120:
    text = trace()
    now = time.monotonic()
    if shown is None and "Pre-Initialise Audio" in text: shown = now
    if "Start-up complete" in text: done = now
    time.sleep(0.002)
program.send_signal(signal.SIGTERM)
program.wait()
peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
name = "demo" if carts == "40" else "carts_" + carts
print(f"startup_{name}_main_window_ms {(shown - start) * 1000:.0f}")
print(f"startup_{name}_complete_ms {(done - start) * 1000:.0f}")
print(f"startup_{name}_peak_rss_kb {peak}")
PY
done

# The program itself plays a break every minute of short carts for PROCESS_SOAK_SECONDS.
soak_seconds=${PROCESS_SOAK_SECONDS:-600}
station=$PWD/build/bench-soak-station
rm -rf "$station"
bash scripts/demo-station.sh --break-every 60 --breaks $((soak_seconds / 60 + 2)) \
  --first-break-in 45 --cart-seconds 3 "$station" >/dev/null
python3 benchmarks/process_soak.py "$station" "$soak_seconds" 25500

# The program itself, tracing, flooded on each TCP door for TRACE_FLOOD_SECONDS (default 60): how
# many MB each flood adds to the trace.
station=$PWD/build/bench-station-40
python3 benchmarks/trace_flood.py "$station" "${TRACE_FLOOD_SECONDS:-60}" 25600
