#!/usr/bin/env bash
# Start-up of the program over a data folder of 100,000 topics: from launch until the window
# is shown, and the memory held then (release build, offscreen).
# Usage: bench/startup.sh [topics] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
topics="${1:-100000}"
runs="${2:-5}"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_TESTS=OFF -DTARVO_BENCH=ON > /dev/null
cmake --build build/release --target tarvo make_structure > /dev/null

home="$(mktemp -d)"
runtime="$(mktemp -d)"
chmod 700 "$runtime"
trap 'rm -rf "$home" "$runtime"' EXIT
mkdir -p "$home/\$Tarvo"
build/release/bench/make_structure "$home/\$Tarvo/Structure.dat" "$topics"
echo "structure: $topics topics, $(du -h "$home/\$Tarvo/Structure.dat" | cut -f1)"

for run in $(seq "$runs"); do
  launched=$(date +%s%3N)
  report=$(HOMEDRIVE="$home" XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen \
           build/release/src/app/tarvo --report-startup 2>/dev/null)
  shown=$(sed -n 's/^shown-at-ms=//p' <<<"$report")
  resident=$(sed -n 's/^resident-kb=//p' <<<"$report")
  echo "run $run: window shown after $((shown - launched)) ms, $((resident / 1024)) MiB resident"
done
