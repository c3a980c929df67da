#!/usr/bin/env bash
# Regenerates the RTF samples written by other programs from note-source.html:
# libreoffice.rtf by LibreOffice Writer and pandoc.rtf by pandoc.
# Needs libreoffice-writer-nogui and pandoc. Usage: tests/content/samples/make-samples.sh
set -euo pipefail
cd "$(dirname "$0")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
profile="file://$work/profile"

# The HTML is loaded as a Writer text document (not a web page), which Writer saves as RTF.
soffice --headless "-env:UserInstallation=$profile" --infilter="HTML (StarWriter)" \
        --convert-to "rtf:Rich Text Format" --outdir "$work" note-source.html >/dev/null
cp "$work/note-source.rtf" libreoffice.rtf

pandoc -f html -t rtf -s note-source.html -o pandoc.rtf
echo "wrote libreoffice.rtf and pandoc.rtf"
