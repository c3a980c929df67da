#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors under AddressSanitizer
# and UndefinedBehaviorSanitizer, and runs every test offscreen. Ends with ctest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
# libreoffice-writer-nogui lets a test open the notes' RTF in a word processor (about 105 MB to
# download and a minute and a half to install).
scripts/install-deps.sh openssl poppler-utils desktop-file-utils appstream file python3-icalendar python3-dateutil \
  libreoffice-writer-nogui

export QT_QPA_PLATFORM=offscreen
runtime="$(mktemp -d)"
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
trap 'rm -rf "$runtime"' EXIT
# Leaks are checked; Qt's own one-time allocations are not ours to fix.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/cmake/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVO_WERROR=ON -DTARVO_SANITIZE=ON
cmake --build build/test
# The fuzz targets build with clang and run a few seconds each, so none of them rots unseen.
scripts/fuzz.sh all 3 > build/fuzz-smoke.log 2>&1 || { tail -40 build/fuzz-smoke.log; exit 1; }
ctest --test-dir build/test --output-on-failure -j "$(nproc)"
