#!/bin/sh
# Runs one Windows program under the 64-bit Wine loader; CTest's emulator for the
# cross-compiled tests. The prefix defaults to one under the build folder.
here=$(cd "$(dirname "$0")/.." && pwd)
: "${WINEPREFIX:=$here/build/wine/prefix}"
: "${WINEDEBUG:=-all}"
: "${WINEDLLOVERRIDES:=mscoree,mshtml=}"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
if [ -x /usr/lib/wine/wine64 ]; then wine=/usr/lib/wine/wine64; else wine=wine; fi
mkdir -p "$WINEPREFIX"
exec "$wine" "$@"
