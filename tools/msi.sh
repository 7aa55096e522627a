#!/usr/bin/env bash
# Builds one Windows Installer package from the built program and tools/vellumbox.wxs:
#   tools/msi.sh x64|x86 VERSION OUT.msi
# x64 packs build/win64/VellumBox.exe, x86 build/win32/VellumBox.exe. wixl builds the
# package; msibuild then adds what wixl cannot express (see the steps below).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
. tools/stage.sh

arch="$1" version="$2" out="$3"
case "$arch" in
x64) exe=build/win64/VellumBox.exe ;;
x86) exe=build/win32/VellumBox.exe ;;
*) echo "msi: architecture x64 or x86, not $arch" >&2; exit 2 ;;
esac
[ -f "$exe" ] || { echo "msi: missing $exe (run make build first)" >&2; exit 1; }
for tool in wixl msibuild msiinfo python3; do
    command -v "$tool" >/dev/null ||
        { echo "msi: $tool is missing (make setup installs it)" >&2; exit 1; }
done

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
vb_stage_docs "$stage"
cp "$exe" "$stage/VellumBox.exe"

# One product code per version and architecture, the same at every build: the same
# package installed twice is then a repair, never a second copy.
upgrade="$(sed -n 's/.*UpgradeCode="\([^"]*\)".*/\1/p' tools/vellumbox.wxs)"
code="$(python3 -c 'import sys, uuid
print("{%s}" % str(uuid.uuid5(uuid.UUID(sys.argv[1]), sys.argv[2])).upper())' "$upgrade" "$version-$arch")"
mkdir -p "$(dirname "$out")"
rm -f "$out"
case "$out" in /*) ;; *) out="$root/$out" ;; esac
# wixl takes file sources relative to the folder it runs in.
(cd "$stage" && wixl -a "$arch" -D Arch="$arch" -D Version="$version" -D ProductCode="$code" \
    -D Stage=. -o "$out" "$root/tools/vellumbox.wxs")

q=()
# wixl ignores Win64: mark every component of the x64 package as 64-bit, so that its Run
# value lands in the 64-bit registry view, where the program's own Set writes it.
if [ "$arch" = x64 ]; then
    q+=("UPDATE \`Component\` SET \`Attributes\` = 256 WHERE \`Attributes\` = 0"
        "UPDATE \`Component\` SET \`Attributes\` = 260 WHERE \`Attributes\` = 4")
fi
# wixl lacks AllowSameVersionUpgrades: Windows Installer compares three fields of a
# version only, so a release that raises the fourth must still find the installed one.
# (513: features migrate, the highest version inclusive.) Attributes is a key column, so
# the table goes back whole: Wine's msi reads only one row of the table as msibuild's
# DELETE and INSERT leave it.
tables="$stage/tables"
mkdir -p "$tables"
msiinfo export "$out" Upgrade | sed 's/\t1\t\tWIX_UPGRADE_DETECTED\r$/\t513\t\tWIX_UPGRADE_DETECTED\r/' \
    >"$tables/Upgrade.idt"
grep -q $'\t513\t\tWIX_UPGRADE_DETECTED' "$tables/Upgrade.idt" ||
    { echo "msi: wixl's upgrade row changed; see tools/msi.sh" >&2; exit 1; }
msibuild "$out" -i "$tables/Upgrade.idt"
# wixl refuses <Condition> in a Feature: AUTOSTART=1 brings the start-up feature down to
# the default install level.
q+=("CREATE TABLE \`Condition\` (\`Feature_\` CHAR(38) NOT NULL, \`Level\` SHORT NOT NULL, \`Condition\` CHAR(255) PRIMARY KEY \`Feature_\`, \`Level\`)"
    "INSERT INTO \`Condition\` (\`Feature_\`, \`Level\`, \`Condition\`) VALUES ('AutoStart', 1, 'AUTOSTART=\"1\"')")
# wixl has no CopyFile: SETTINGS names a file that MoveFiles copies beside the program as
# its settings file. Windows Installer does not own a copied file, so no upgrade or
# uninstall removes it.
q+=("CREATE TABLE \`MoveFile\` (\`FileKey\` CHAR(72) NOT NULL, \`Component_\` CHAR(72) NOT NULL, \`SourceName\` CHAR(255) LOCALIZABLE, \`DestName\` CHAR(255) LOCALIZABLE, \`SourceFolder\` CHAR(72), \`DestFolder\` CHAR(72) NOT NULL, \`Options\` SHORT NOT NULL PRIMARY KEY \`FileKey\`)"
    "INSERT INTO \`MoveFile\` (\`FileKey\`, \`Component_\`, \`DestName\`, \`SourceFolder\`, \`DestFolder\`, \`Options\`) VALUES ('Settings', 'Program', 'VELLUM~1.INI|VellumBox.ini', 'SETTINGS', 'INSTALLDIR', 0)"
    "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('MoveFiles', 3800)")
for s in "${q[@]}"; do msibuild "$out" -q "$s"; done

# What the steps above must have left, read back from the package.
if [ "$arch" = x64 ] && msiinfo export "$out" Component | tail -n +4 | awk -F'\t' '$4 < 256' | grep -q .; then
    echo "msi: a component of $out is not 64-bit" >&2; exit 1
fi
echo "$out"
