#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR as a package would, checks the installed tree,
# validates the desktop entry and the software-centre description, and starts the installed
# program offscreen to see that it finds its shipped files there.
# Usage: check_install.sh <build folder> <the sound module's path from the program's folder>
set -euo pipefail
build="$1"
sound_module="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
dest="$work/dest"

DESTDIR="$dest" cmake --install "$build" --prefix /usr > "$work/install.log"

expected=(
  usr/bin/tarvo
  usr/bin/tesvik
  usr/bin/lanvire
  usr/share/applications/org.tarvo.Tarvo.desktop
  usr/share/doc/tarvo/changelog.gz
  usr/share/doc/tarvo/copyright
  usr/share/icons/hicolor/scalable/apps/tarvo.svg
  usr/share/man/man1/tarvo.1.gz
  usr/share/metainfo/org.tarvo.Tarvo.metainfo.xml
  usr/share/tarvo/Structure.dat
  usr/share/tarvo/Tarvo-1.html
  usr/share/tarvo/Tarvo.vsn
  usr/share/tarvo/Sounds/claves.wav
  usr/share/tarvo/Sounds/cork_pop.wav
  usr/share/tarvo/Sounds/metal_clang.wav
)
for size in 16 24 32 48 64 128 256; do expected+=("usr/share/icons/hicolor/${size}x${size}/apps/tarvo.png"); done
missing=0
for file in "${expected[@]}"; do
  if [ ! -s "$dest/$file" ]; then echo "missing from the installed tree: $file"; missing=1; fi
done
for size in 16 256; do
  file "$dest/usr/share/icons/hicolor/${size}x${size}/apps/tarvo.png" | grep -q "PNG image data, $size x $size" \
    || { echo "the ${size}px icon is not a ${size}x${size} PNG"; missing=1; }
done
[ -s "$dest/usr/bin/$sound_module" ] || { echo "the sound module is not where the program looks: usr/bin/$sound_module"; missing=1; }
# Sounds are loaded when the first one plays: the program itself starts without them.
needed="$(readelf -d "$dest/usr/bin/tarvo")"
if grep -q 'NEEDED.*Multimedia' <<<"$needed"; then
  echo "the installed program loads the sound library at start"; missing=1
fi
[ "$missing" -eq 0 ]

desktop-file-validate "$dest/usr/share/applications/org.tarvo.Tarvo.desktop"
appstreamcli validate --no-net "$dest/usr/share/metainfo/org.tarvo.Tarvo.metainfo.xml"
version="$(XDG_RUNTIME_DIR="$work" "$dest/usr/bin/tarvo" --version | awk '{print $2}')"
grep -q "release version=\"$version\"" \
  "$dest/usr/share/metainfo/org.tarvo.Tarvo.metainfo.xml" || { echo "the metainfo's release is not the program's version"; exit 1; }

# The installed program, started without --program-folder, makes a data folder from the
# shipped structure it finds in ../share/tarvo.
mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
HOMEDRIVE="$work/home" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen \
  "$dest/usr/bin/tarvo" --report-startup > "$work/started.txt"
grep -q '^shown-at-ms=' "$work/started.txt" || { echo "the installed program did not show its window"; exit 1; }
# Saved again at the close, so it is compared by its topics rather than byte for byte.
for caption in "Getting started" "Plan the week" "Colleagues"; do
  grep -q "^text=$caption" "$work/home/\$Tarvo/Structure.dat" \
    || { echo "the data folder did not get the shipped structure (no \"$caption\")"; exit 1; }
done
echo "installed tree, validators and the installed program: all good"
