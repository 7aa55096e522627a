#!/usr/bin/env bash
# The installer package of the program under test (VB_TARGET) under Wine's msiexec:
# install, the installed program's quiet copy, upgrade, uninstall.
. "$(dirname "$0")/lib.sh"

version="$(cd "$VB_ROOT" && . tools/stage.sh && vb_version)"
newer="${version%.*}.$((${version##*.} + 1))"
files="LICENSE.txt USER-GUIDE.en.txt USER-GUIDE.ja.txt VellumBox.exe VellumBox.ini"
# package | the program's folder | the registry view the package writes the Run value in
# (a 32-bit package can hold 32-bit components only)
case "$VB_TARGET" in
win64) row="x64|Program Files|/reg:64" ;;
win32) row="x86|Program Files (x86)|/reg:32" ;;
win32-xp) row="x86|Program Files|" ;;
esac
IFS='|' read -r arch folder view <<<"$row"
exe="\"C:\\$folder\\VellumBox\\VellumBox.exe\""
# step | msiexec | package | properties | then: installed versions | the program's folder |
# the Run value | the settings file is the ... one
steps=(
    "install  |/i|$version|AUTOSTART=1 SETTINGS|$version|$files      |$exe  |administrator's"
    "upgrade  |/i|$newer  |AUTOSTART=1         |$newer  |$files      |$exe  |changed"
    "uninstall|/x|$newer  |                    |        |VellumBox.ini|ABSENT|changed"
)

state() {  # the machine, as the table's last four columns
    "$WINE" reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall' /s $view </dev/null 2>/dev/null |
        tr -d '\r' | sed -n 's/^ *DisplayVersion *REG_SZ *//p' | xargs
    ls "$app" 2>&1 | xargs
    "$WINE" reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run' /v VellumBox $view </dev/null \
        2>/dev/null | tr -d '\r' | sed -n 's/^ *VellumBox *REG_SZ *//p' | grep . || echo ABSENT
    cmp -s "$app/VellumBox.ini" "$ini" && echo "administrator's"
    cmp -s "$app/VellumBox.ini" "$ini.changed" && echo changed
}

msi_dir="$VB_RUN_DIR/msi"
for v in "$newer" "$version"; do
    msi="$msi_dir/VellumBox-$v-$arch.msi"
    "$VB_ROOT/tools/msi.sh" "$arch" "$v" "$msi" >/dev/null || _vb_result fail "[$arch] building $msi"
    "$WINE" msiexec /x "$(winpath "$msi")" /qn </dev/null >/dev/null 2>&1  # an earlier run's
done
app="$WINEPREFIX/drive_c/$folder/VellumBox" data="$WINEPREFIX/drive_c/vbt-install"
ini="$VB_RUN_DIR/install-$arch.ini"
rm -rf "$app" "$data"
vb_file "$data/src/a.txt" alpha
vb_ini_text 2 1 1 1 1 'C:\vbt-install\dst\' 'C:\vbt-install\src\a.txt|1|1' | sed 's/$/\r/' >"$ini"
printf '[Extra]\r\nKept=1\r\n' | cat "$ini" - >"$ini.changed"

for s in "${steps[@]}"; do
    IFS='|' read -r step action v props want <<<"$(sed 's/ *|/|/g' <<<"$s")"
    args=("$action" "$(winpath "$msi_dir/VellumBox-$v-$arch.msi")" /qn)
    for p in $props; do [ "$p" = SETTINGS ] && p="SETTINGS=$(winpath "$ini")"; args+=("$p"); done
    "$WINE" msiexec "${args[@]}" </dev/null >/dev/null 2>&1
    assert_eq "0|$want" "$?|$(state | paste -sd '|')" "[$arch $step] status and what the machine holds"
    [ "$step" != install ] && continue
    # Emulated, a 32-bit start takes minutes.
    timeout 1200 "$WINE" "C:\\$folder\\VellumBox\\VellumBox.exe" /q </dev/null >/dev/null 2>&1
    assert_eq "0 alpha" "$? $(cat "$data/dst/a.txt")" "[$arch] the installed program's quiet copy"
    kept="$(cat "$data/dst/a.txt" "$data/dst/VellumBox.state")"
    cp "$ini.changed" "$app/VellumBox.ini"  # the administrator changes the settings
done
assert_eq "$kept" "$(cat "$data/dst/a.txt" "$data/dst/VellumBox.state")" "[$arch] the destination untouched"
vb_finish
