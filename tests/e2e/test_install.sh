#!/usr/bin/env bash
# The installer packages under Wine's msiexec, each on a prefix of its own: a silent
# install with AUTOSTART and SETTINGS, the installed program's quiet copy, an upgrade by a
# newer package that keeps the administrator's settings file, and an uninstall that leaves
# that file and the destination alone.
. "$(dirname "$0")/lib.sh"

version="$(cd "$VB_ROOT" && . tools/stage.sh && vb_version)"
newer="${version%.*}.$((${version##*.} + 1))"
run_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'

# package | its program | Wine loader | prefix kind | registry view of the program's Set
rows=(
    "x64|win64|$WINE|win64|/reg:64"
    "x86|win32|wine|win32|"
)
[ -n "${ONLY:-}" ] && rows=("${rows[@]:$ONLY:1}")

# The Run value's data in the given view, or ABSENT.
run_value() {
    local out
    out="$("$WINE" reg query "$run_key" /v VellumBox $1 </dev/null 2>/dev/null | tr -d '\r' |
        sed -n 's/^ *VellumBox *REG_SZ *//p')"
    echo "${out:-ABSENT}"
}

# DisplayVersion of every installed VellumBox, blank-separated.
installed_versions() {
    "$WINE" reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall' /s </dev/null 2>/dev/null |
        tr -d '\r' | awk '/^HKEY/ { if (name == "VellumBox") print ver; name = ver = "" }
            $1 == "DisplayName" { name = $3 } $1 == "DisplayVersion" { ver = $3 }
            END { if (name == "VellumBox") print ver }' | sort | tr '\n' ' ' | sed 's/ $//'
}

msiexec() { "$WINE" msiexec "$@" </dev/null >/dev/null 2>&1; }

shared_wine="$WINE" shared_prefix="$WINEPREFIX"
for row in "${rows[@]}"; do
    IFS='|' read -r arch program loader kind view <<<"$row"
    label="[$arch]"
    export WINE="$loader" WINEPREFIX="$VB_ROOT/build/e2e/install-$arch"
    pkgs="$VB_ROOT/build/e2e/msi"
    old_pkg="$pkgs/VellumBox-$version-$arch.msi"
    new_pkg="$pkgs/VellumBox-$newer-$arch.msi"
    "$VB_ROOT/tools/msi.sh" "$arch" "$version" "$old_pkg" >/dev/null &&
        "$VB_ROOT/tools/msi.sh" "$arch" "$newer" "$new_pkg" >/dev/null
    assert_eq 0 $? "$label both packages built"
    # A prefix of its own, made once; one whose making was cut short is made again.
    if [ ! -f "$WINEPREFIX/.vb-ready" ]; then
        rm -rf "$WINEPREFIX"
        WINEARCH="$kind" "$WINE" wineboot -i </dev/null >/dev/null 2>&1 && "$WINESERVER" -w &&
            touch "$WINEPREFIX/.vb-ready"
    fi

    # What an earlier run may have left.
    msiexec /x "$(winpath "$new_pkg")" /qn
    msiexec /x "$(winpath "$old_pkg")" /qn
    app="$WINEPREFIX/drive_c/Program Files/VellumBox"
    data="$WINEPREFIX/drive_c/vbt-install"
    rm -rf "$app" "$data"
    vb_file "$data/src/a.txt" alpha
    mkdir -p "$data/dst"
    admin_ini="$VB_ROOT/build/e2e/install-$arch.ini"
    vb_ini_text 2 1 1 1 1 'C:\vbt-install\dst\' 'C:\vbt-install\src\a.txt|1|1' | sed 's/$/\r/' >"$admin_ini"

    msiexec /i "$(winpath "$old_pkg")" /qn AUTOSTART=1 "SETTINGS=$(winpath "$admin_ini")"
    assert_eq 0 $? "$label silent install"
    assert_eq "LICENSE.txt USER-GUIDE.en.txt USER-GUIDE.ja.txt VellumBox.exe VellumBox.ini" \
        "$(ls "$app" | tr '\n' ' ' | sed 's/ $//')" "$label the program, the guides and the settings file"
    assert_eq "$(cat "$admin_ini")" "$(cat "$app/VellumBox.ini")" "$label the administrator's settings file"
    assert_eq "$version" "$(installed_versions)" "$label installed as the version resource's version"
    assert_eq '"C:\Program Files\VellumBox\VellumBox.exe"' "$(run_value "$view")" \
        "$label the Run value as the program's Set writes it"
    [ -n "$view" ] && assert_eq ABSENT "$(run_value /reg:32)" "$label nothing in the 32-bit view"

    timeout 60 "$WINE" 'C:\Program Files\VellumBox\VellumBox.exe' /q </dev/null >/dev/null 2>&1
    assert_eq 0 $? "$label the installed program's quiet copy ends with 0"
    assert_file "$data/dst/a.txt" alpha "$label the quiet copy in mode 2"
    kept="$(cat "$data/dst/a.txt" "$data/dst/VellumBox.state" 2>&1)"

    # The administrator changes the settings; the upgrade keeps them.
    printf '[Extra]\r\nKept=1\r\n' >>"$app/VellumBox.ini"
    changed="$(cat "$app/VellumBox.ini")"
    msiexec /i "$(winpath "$new_pkg")" /qn AUTOSTART=1
    assert_eq 0 $? "$label upgrade"
    assert_eq "$newer" "$(installed_versions)" "$label the newer package replaced the older"
    assert_eq "$changed" "$(cat "$app/VellumBox.ini")" "$label the upgrade kept the changed settings file"
    cmp -s "$VB_ROOT/build/$program/VellumBox.exe" "$app/VellumBox.exe"
    assert_eq 0 $? "$label the program is there after the upgrade"
    assert_eq '"C:\Program Files\VellumBox\VellumBox.exe"' "$(run_value "$view")" "$label registered after the upgrade"

    msiexec /x "$(winpath "$new_pkg")" /qn
    assert_eq 0 $? "$label uninstall"
    assert_eq "" "$(installed_versions)" "$label nothing installed"
    assert_eq VellumBox.ini "$(ls "$app" 2>&1)" "$label only the changed settings file is left"
    assert_eq ABSENT "$(run_value "$view")" "$label the Run value is gone"
    assert_eq "$kept" "$(cat "$data/dst/a.txt" "$data/dst/VellumBox.state" 2>&1)" \
        "$label the destination's copy and record untouched"
    "$WINESERVER" -k >/dev/null 2>&1
done

export WINE="$shared_wine" WINEPREFIX="$shared_prefix"
vb_finish
