# Wine environment for running VellumBox and its tests. Source it:
#   . tools/wine-env.sh; vb_wine_prepare; "$WINE" "$VB_BUILD/VellumBox.exe"
# VB_TARGET names the program and the Windows it meets:
#   win64     the 64-bit program on 64-bit Windows (the default)
#   win32     the 32-bit program on 64-bit Windows (WOW64: Sysnative, two registry views)
#   win32-xp  the 32-bit program on 32-bit Windows that reports itself as XP
# VB_BUILD is that program's build folder. WINEPREFIX defaults to build/wine/prefix (with
# the target's name after it for the 32-bit ones) under the repository.
VB_ROOT="${VB_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
export VB_ROOT
export VB_TARGET="${VB_TARGET:-win64}"
case "$VB_TARGET" in
win64) vb_suffix="" ;;
win32 | win32-xp) vb_suffix="-$VB_TARGET" ;;
*) echo "wine-env: unknown VB_TARGET $VB_TARGET" >&2; return 2 ;;
esac
export VB_BUILD="$VB_ROOT/build/${VB_TARGET%-xp}"
export WINEPREFIX="${WINEPREFIX:-$VB_ROOT/build/wine/prefix$vb_suffix}"
if [ "$VB_TARGET" = win32-xp ]; then export WINEARCH=win32; else unset WINEARCH; fi
export WINEDEBUG=-all
# No Mono or Gecko installer prompts on the first start of a prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG="${LANG:-en_US.UTF-8}"
if [ -z "${WINE:-}" ]; then
    # A 32-bit prefix has no 64-bit half; on a 64-bit one the 64-bit loader hands 32-bit
    # programs to the 32-bit one itself.
    if [ "$VB_TARGET" = win32-xp ] && [ -x /usr/lib/wine/wine ]; then WINE=/usr/lib/wine/wine
    elif [ -x /usr/lib/wine/wine64 ]; then WINE=/usr/lib/wine/wine64
    else WINE=wine; fi
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
    # The 32-bit targets need the handler where 32-bit code is emulated. A qemu older than
    # 9.1 would spend many minutes on a new 64-bit prefix's 32-bit half, which the 64-bit
    # program does not need: there that prefix is made with the handler off.
    if [ "$VB_TARGET" != win64 ]; then vb_i386 on
    elif [ ! -f "$WINEPREFIX/system.reg" ] && [ "$(vb_i386)" = emulated-slow ]; then vb_i386 off; fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        "$WINE" wineboot -i >/dev/null 2>&1
        "$WINESERVER" -w
    fi
    if [ "$VB_TARGET" = win32 ] && [ ! -e "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
        # A 64-bit wineboot that could not start 32-bit code leaves SysWOW64 empty, and
        # 32-bit programs then find no kernel32. Debian's copies of Wine's 32-bit DLLs
        # serve (Wine marks them as its own).
        cp -n /usr/lib/i386-linux-gnu/wine/i386-windows/* "$WINEPREFIX/drive_c/windows/syswow64/" 2>/dev/null
    fi
    if [ "$VB_TARGET" = win32-xp ] && [ ! -f "$WINEPREFIX/.vb-winxp" ]; then
        "$WINE" reg add 'HKCU\Software\Wine' /v Version /d winxp /f </dev/null >/dev/null 2>&1
        "$WINESERVER" -w
        touch "$WINEPREFIX/.vb-winxp"
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

# How this machine runs 32-bit x86 code: "native"; "emulated" (through the qemu-i386
# binfmt_misc handler, about a second more for each Wine process); "emulated-slow" (the
# same with a qemu older than 9.1, which ignores MAP_FIXED_NOREPLACE and so spends about a
# minute on each Wine process's address space); or "none". The set-up registers the
# handler switched off; the 32-bit targets switch it on (vb_i386 on|off) and leave it on,
# since it serves the whole machine and another run may be using it.
vb_i386() {
    local handler=/proc/sys/fs/binfmt_misc/qemu-i386
    case "${1:-}" in
    on) [ -e "$handler" ] && echo 1 >"$handler" 2>/dev/null; return 0 ;;
    off) [ -e "$handler" ] && echo 0 >"$handler" 2>/dev/null; return 0 ;;
    esac
    if [ -e "$handler" ] && head -n 1 "$handler" | grep -qx enabled; then
        echo 0 >"$handler" 2>/dev/null
        /usr/lib/wine/wine --version >/dev/null 2>&1 && local native=1
        echo 1 >"$handler" 2>/dev/null
    else
        /usr/lib/wine/wine --version >/dev/null 2>&1 && local native=1
    fi
    if [ -n "${native:-}" ]; then echo native
    elif [ -e "$handler" ]; then
        local qemu version
        qemu=$(sed -n 's/^interpreter //p' "$handler")
        version=$("$qemu" --version 2>/dev/null | sed -n '1s/.*version \([0-9]*\)\.\([0-9]*\).*/\1 \2/p')
        set -- $version
        if [ "${1:-0}" -gt 9 ] || { [ "${1:-0}" -eq 9 ] && [ "${2:-0}" -ge 1 ]; }; then echo emulated
        else echo emulated-slow; fi
    else echo none; fi
}

# Ends the prefix's wineserver and every Wine process in it.
vb_wine_stop() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
}
