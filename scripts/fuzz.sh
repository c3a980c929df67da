#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs one (or all) for a number of seconds.
# Usage: scripts/fuzz.sh [target|all] [seconds]     e.g. scripts/fuzz.sh read_pairs 60
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh clang libclang-rt-14-dev
target="${1:-all}"
seconds="${2:-60}"
CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_FUZZ=ON
cmake --build build/fuzz
if [ "$target" = all ]; then
  mapfile -t targets < <(find build/fuzz/fuzz -maxdepth 1 -type f -executable -name 'fuzz_*' -printf '%f\n' | sed 's/^fuzz_//' | sort)
else
  targets=("$target")
fi
for name in "${targets[@]}"; do
  corpus="fuzz-corpus/$name"
  mkdir -p "$corpus"
  echo "== fuzz_$name for ${seconds}s"
  "build/fuzz/fuzz/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 "$corpus"
done
