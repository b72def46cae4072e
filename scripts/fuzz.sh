#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs each for a while. Not part of the tests.
#   bash scripts/fuzz.sh [seconds per target] [target name filter]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
filter=${2:-}
bash scripts/setup.sh
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DVNTZEL_FUZZ=ON -DVNTZEL_TESTS=OFF >/dev/null
targets=()
for src in fuzz/*.cpp; do
  name=$(basename "$src" .cpp)
  [[ -z "$filter" || "$name" == *"$filter"* ]] && targets+=("$name")
done
[ ${#targets[@]} -gt 0 ] || { echo "fuzz: no targets"; exit 0; }
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]}"
export QT_QPA_PLATFORM=offscreen VNTZEL_HEADLESS=1
export ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
for name in "${targets[@]}"; do
  corpus=build-fuzz/corpus/$name
  mkdir -p "$corpus" "build-fuzz/crashes/$name"
  [ -d "fuzz/seeds/$name" ] && cp -n fuzz/seeds/"$name"/* "$corpus"/ 2>/dev/null || true
  echo "fuzz: $name for ${seconds}s"
  if ! (cd "build-fuzz/crashes/$name" && "../../$name" -max_total_time="$seconds" -max_len=65536 \
        "../../corpus/$name" >"../../$name.log" 2>&1); then
    echo "fuzz: $name FAILED, see build-fuzz/$name.log and build-fuzz/crashes/$name"
    status=1
  else
    echo "fuzz: $name $(grep -o 'Done [0-9]* runs' "build-fuzz/$name.log" | tail -1)"
  fi
done
exit $status
