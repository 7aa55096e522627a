#!/usr/bin/env bash
# Builds the release zips from the two built executables:
#   dist/VellumBox-<version>-win32.zip and -win64.zip
# Each holds VellumBox.exe, the user guides and the licence. Entries go in a
# fixed order with a fixed time stamp and no Unix extras, so the same inputs
# give the same bytes.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

# The version comes from the version resource, so the zip names cannot drift.
version="$(sed -n 's/^ *FILEVERSION *\([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\).*/\1.\2.\3.\4/p' \
    res/vellumbox.rc | head -n 1)"
[ -n "$version" ] || { echo "dist: no FILEVERSION in res/vellumbox.rc" >&2; exit 1; }

for f in build/win32/VellumBox.exe build/win64/VellumBox.exe \
         docs/USER-GUIDE.en.md docs/USER-GUIDE.ja.md LICENSE; do
    [ -f "$f" ] || { echo "dist: missing $f (run make build first)" >&2; exit 1; }
done
command -v zip >/dev/null || { echo "dist: zip is missing (make setup installs it)" >&2; exit 1; }

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT

# Windows line ends for Notepad; the Japanese guide also gets a UTF-8 BOM,
# since Notepad before Windows 10 1903 reads a file without one as ANSI.
crlf() { sed -e 's/\r$//' -e 's/$/\r/' "$1"; }
crlf docs/USER-GUIDE.en.md > "$stage/USER-GUIDE.en.txt"
{ printf '\357\273\277'; crlf docs/USER-GUIDE.ja.md; } > "$stage/USER-GUIDE.ja.txt"
crlf LICENSE > "$stage/LICENSE.txt"

mkdir -p dist
for arch in win32 win64; do
    cp "build/$arch/VellumBox.exe" "$stage/VellumBox.exe"
    chmod 644 "$stage"/*
    TZ=UTC touch -d '2026-01-01 00:00:00' "$stage"/*
    out="$root/dist/VellumBox-$version-$arch.zip"
    rm -f "$out"
    (cd "$stage" && TZ=UTC zip -q -X -D -9 "$out" \
        VellumBox.exe USER-GUIDE.en.txt USER-GUIDE.ja.txt LICENSE.txt)
    echo "$out"
done
