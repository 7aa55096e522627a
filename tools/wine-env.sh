# Wine environment for running VellumBox and its tests. Source it:
#   . tools/wine-env.sh; vb_wine_prepare; "$WINE" build/win64/VellumBox.exe
# WINEPREFIX defaults to build/wine/prefix under the repository.
VB_ROOT="${VB_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
export VB_ROOT
export WINEPREFIX="${WINEPREFIX:-$VB_ROOT/build/wine/prefix}"
export WINEDEBUG=-all
# No Mono or Gecko installer prompts on the first start of a prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG="${LANG:-en_US.UTF-8}"
if [ -z "${WINE:-}" ]; then
    if [ -x /usr/lib/wine/wine64 ]; then WINE=/usr/lib/wine/wine64; else WINE=wine; fi
fi
export WINE
if [ -z "${WINESERVER:-}" ]; then
    if [ -x /usr/lib/wine/wineserver64 ]; then WINESERVER=/usr/lib/wine/wineserver64
    elif [ -x /usr/lib/wine/wineserver ]; then WINESERVER=/usr/lib/wine/wineserver
    else WINESERVER=wineserver; fi
fi
export WINESERVER

# Creates the prefix once and keeps a wineserver running for it, so that each later
# Wine process starts warm.
vb_wine_prepare() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        "$WINE" wineboot -i >/dev/null 2>&1
        "$WINESERVER" -w
    fi
    if [ ! -f "$WINEPREFIX/.vb-unmanaged" ]; then
        # Without a window manager (Xvfb) Wine then draws title bars and frames itself,
        # so screenshots show whole windows.
        "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
        touch "$WINEPREFIX/.vb-unmanaged"
    fi
    if [ ! -f "$WINEPREFIX/.vb-fonts" ]; then
        # The Japanese templates name the proportional MS P Gothic; its closest Debian
        # font is IPA P Gothic (the fixed-pitch fallback cuts texts Windows would fit).
        local reg="$WINEPREFIX/vb-fonts.reg"
        printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"\xef\xbc\xad\xef\xbc\xb3 \xef\xbc\xb0\xe3\x82\xb4\xe3\x82\xb7\xe3\x83\x83\xe3\x82\xaf"="IPAPGothic"\r\n' |
            iconv -f UTF-8 -t UTF-16 >"$reg"
        "$WINE" regedit /S "Z:${reg//\//\\}" </dev/null >/dev/null 2>&1
        "$WINESERVER" -w
        touch "$WINEPREFIX/.vb-fonts"
    fi
    "$WINESERVER" -p >/dev/null 2>&1
    # Start the prefix's services now, detached from our output: started later by a test
    # under CTest they would inherit its pipe and keep it waiting.
    "$WINE" cmd /c exit </dev/null >/dev/null 2>&1
}

# Ends the prefix's wineserver and every Wine process in it.
vb_wine_stop() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
}
