#!/usr/bin/env bash
# Builds the Debian package of the program (release build) and checks it with lintian.
# The package lands in build/package/package/tarvo_<version>_<arch>.deb; install it with
#   sudo apt install ./build/package/package/tarvo_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh dpkg-dev lintian file
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVO_TESTS=OFF -DTARVO_BENCH=OFF
cmake --build build/package
(cd build/package && cpack -G DEB)
package="$(ls build/package/package/tarvo_*.deb)"
echo "== $package"
dpkg-deb --info "$package" | sed -n '/Package:/,$p'
# Errors fail the script; warnings and notes are shown.
lintian --fail-on error --tag-display-limit 0 "$package"
echo "lintian: no errors"
