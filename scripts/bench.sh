#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs them (all, or those named).
# Usage: scripts/bench.sh [store_bench ...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_TESTS=OFF -DTARVO_BENCH=ON
cmake --build build/release
benches=("$@")
if [ ${#benches[@]} -eq 0 ]; then
  mapfile -t benches < <(find build/release/bench -maxdepth 1 -type f -executable -name '*_bench' -printf '%f\n' | sort)
fi
for bench in "${benches[@]}"; do
  echo "== $bench"
  "build/release/bench/$bench" --benchmark_min_time=1
done
