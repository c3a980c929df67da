#!/usr/bin/env bash
# Installs what is missing, builds the program (release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_TESTS=OFF -DTARVO_BENCH=OFF
cmake --build build/release --target tarvo
exec build/release/src/app/tarvo "$@"
