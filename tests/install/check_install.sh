#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks that the installed
# programs run from bin/ and find the composition library, and that the
# desktop file and MIME type are there.
set -euo pipefail
build="$1"; sample_pdf="$2"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null
for file in bin/tessel bin/tessel-cli share/applications/tessel.desktop \
            share/mime/packages/tessel.xml share/icons/hicolor/scalable/apps/tessel.svg; do
    [ -e "$prefix/$file" ] || { echo "missing after install: $file"; exit 1; }
done
# Through the link in bin/, as a user would call it; the command loads the library.
out="$("$prefix/bin/tessel-cli" pdf info "$sample_pdf")"
echo "$out" | grep -Eq ": [0-9]+ pages?, PDF" || { echo "installed tessel-cli could not read a PDF: $out"; exit 1; }
grep -q '^MimeType=application/x-tessel-plate;' "$prefix/share/applications/tessel.desktop"
grep -q 'pattern="\*.tzmp"' "$prefix/share/mime/packages/tessel.xml"
echo "install into $prefix: ok"
