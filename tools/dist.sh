#!/usr/bin/env bash
# Builds the release zips and installer packages from the two built executables:
#   dist/VellumBox-<version>-win32.zip and -win64.zip
#   dist/VellumBox-<version>-x86.msi and -x64.msi (tools/msi.sh)
# Each zip holds VellumBox.exe, the user guides and the licence. Entries go in a
# fixed order with a fixed time stamp and no Unix extras, so the same inputs
# give the same bytes.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
. tools/stage.sh

version="$(vb_version)"
for f in build/win32/VellumBox.exe build/win64/VellumBox.exe; do
    [ -f "$f" ] || { echo "dist: missing $f (run make build first)" >&2; exit 1; }
done
command -v zip >/dev/null || { echo "dist: zip is missing (make setup installs it)" >&2; exit 1; }

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
vb_stage_docs "$stage"

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
for arch in x86 x64; do
    ./tools/msi.sh "$arch" "$version" "$root/dist/VellumBox-$version-$arch.msi"
done
