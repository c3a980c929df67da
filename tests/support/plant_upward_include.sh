#!/usr/bin/env bash
# Copies src/ aside, plants an include of a higher layer into a lower one and expects the
# layer check to fail naming that line.
set -euo pipefail
project="$1"
copy="$(mktemp -d)"
trap 'rm -rf "$copy"' EXIT
cp -r "$project/src" "$project/scripts" "$copy/"
echo '#include "workspace/session.h"' >> "$copy/src/store/pair_list.h"
if output=$(bash "$copy/scripts/check-layers.sh" "$copy" 2>&1); then
  echo "the layer check passed over an upward include:"; echo "$output"; exit 1
fi
echo "$output"
grep -q 'src/store/pair_list.h:[0-9]*: store may not include workspace' <<<"$output"
