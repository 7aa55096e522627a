#!/bin/sh
# Runs one Windows program under Wine; CTest's emulator for the cross-compiled tests. The
# loader is tools/wine-env.sh's when that was sourced (a 32-bit prefix needs the 32-bit
# one), else the 64-bit one; the prefix defaults to one under the build folder.
here=$(cd "$(dirname "$0")/.." && pwd)
: "${WINEPREFIX:=$here/build/wine/prefix}"
: "${WINEDEBUG:=-all}"
: "${WINEDLLOVERRIDES:=mscoree,mshtml=}"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
if [ -n "${WINE:-}" ]; then wine=$WINE
elif [ -x /usr/lib/wine/wine64 ]; then wine=/usr/lib/wine/wine64
else wine=wine; fi
mkdir -p "$WINEPREFIX"
exec "$wine" "$@"
