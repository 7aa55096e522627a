#!/usr/bin/env bash
# Copy and Restore with the real shell file operation, pressed as a user would.
. "$(dirname "$0")/lib.sh"
. "$VB_E2E_DIR/commands-lib.sh"

# One file into a destination that does not exist yet, two levels deep: the program makes
# the folder first (Wine's shell alone would make it and copy nothing).
vb_setup one-file
vb_file "$VB_C/src/only.txt" "only"
prepare "$(D dst)\\new\\" 0 0 0 1 1 <<EOF2
$(D src)\\only.txt 1 1
EOF2
vb_start
assert_eq "ok ok ok" "$(vb_ask wait \; click 1004 \; settle)" "[one file] Copy pressed"
assert_file "$VB_C/dst/new/only.txt" "only" "[one file] copied into the new folder"

# Copy button, then Restore button after the originals changed: ticks decide which.
vb_setup worked
vb_file "$VB_C/src/report.doc" "report"
vb_file "$VB_C/src/notes.txt" "notes"
vb_file "$VB_C/src/sub/data.csv" "data"
prepare "$(D dst)\\" 0 0 0 1 1 <<EOF2
$(D src)\\report.doc 1 1
$(D src)\\notes.txt 1 0
$(D src)\\sub\\data.csv 0 1
EOF2
vb_start
assert_eq "ok ok ok" "$(vb_ask wait \; click 1004 \; settle)" "Copy pressed"
assert_eq "notes.txt report.doc VellumBox.state" "$(ls "$VB_C/dst" | tr '\n' ' ' | sed 's/ $//')" \
    "Copy: the two ticked files, in a new folder, with the record of their copies"
vb_file "$VB_C/dst/data.csv" "data-saved"
vb_file "$VB_C/src/notes.txt" "notes-changed"
rm -rf "$VB_C/src/sub" "$VB_C/src/report.doc"
assert_eq "ok ok" "$(vb_ask click 1005 \; settle)" "Restore pressed"
assert_file "$VB_C/src/report.doc" "report" "Restore recreates a deleted original"
assert_file "$VB_C/src/sub/data.csv" "data-saved" "Restore recreates a missing folder on the path"
assert_file "$VB_C/src/notes.txt" "notes-changed" "a file not ticked for Restore is left alone"

# Overwrite off: the shell asks before replacing; the answer decides.
#   answer  content afterwards
for row in "yes new" "no old"; do
    read -r answer want <<<"$row"
    vb_setup "overwrite-$answer"
    vb_file "$VB_C/src/a.txt" "new"
    vb_file "$VB_C/src/b.txt" "new"
    vb_file "$VB_C/dst/a.txt" "old"
    prepare "$(D dst)\\" 0 0 0 0 0 <<EOF2
$(D src)\\a.txt 1 1
$(D src)\\b.txt 1 1
EOF2
    vb_start
    vb_drive wait \; pclick 1004 >/dev/null
    assert_eq "Confirm file overwrite" "$(vb_ask dialog)" "[$answer] the shell asks before replacing"
    vb_drive press "$answer" \; sleep 300 \; settle >/dev/null
    assert_file "$VB_C/dst/a.txt" "$want" "[$answer] existing copy after the answer"
    assert_file "$VB_C/dst/b.txt" "new" "[$answer] the other file is copied"
done

# A copy edited after Copy made it: Restore names it and asks, No preselected; Yes puts it
# back, and the record takes it as it is (the next Restore asks no more).
for row in "no A-orig" "yes A-edited"; do
    read -r answer want <<<"$row"
    vb_setup "edited-$answer"
    vb_file "$VB_C/src/a.txt" "A-orig"
    printf '%s 1 1\n' "$(D src)\\a.txt" | prepare "$(D dst)\\"
    vb_start
    vb_drive wait \; click 1004 \; settle >/dev/null
    vb_file "$VB_C/dst/a.txt" "A-edited"
    assert_contains "$(vb_id IDS_ASK_RESTORE_EDITED)|$(D src)\\a.txt||" "$(vb_ask pclick 1005 \; sleep 500 \; message)" \
        "[edited $answer] Restore names the edited copy and asks"
    vb_drive press "$answer" \; sleep 500 \; settle \; nodialog 5000 >/dev/null
    assert_file "$VB_C/src/a.txt" "$want" "[edited $answer] the file after the answer"
done
assert_eq "ok ok 0" "$(vb_ask pclick 1005 \; sleep 500 \; dialogs)" "[edited yes] the next Restore asks no more"

# Presses Copy on a table where a later file shares an earlier one's name: one message
# names the later path, and the folder holds the listed copies, the shared one the first's.
# label left-out-path listing shared-name
copy_with_clash() {
    local label="$1" leftout="$2" listing="$3" shared="$4"
    local clash="$(vb_id IDS_NAME_CLASH)"
    vb_start
    vb_drive wait \; pclick 1004 >/dev/null
    assert_eq "VellumBox	$clash|$leftout" "$(vb_ask message)" "$label: one message naming the left-out path"
    vb_drive press ok \; sleep 300 \; settle >/dev/null
    assert_eq "$listing" "$(ls --ignore=VellumBox.state "$VB_C/dst" | tr '\n' ' ' | sed 's/ $//')" "$label: the left-out file is not copied"
    assert_file "$VB_C/dst/$shared" "first" "$label: the copy of $shared is the first file's"
}

# Two different files of the same name: the later one is left out, with one message.
vb_setup clash
vb_file "$VB_C/one/a.txt" "first"
vb_file "$VB_C/two/A.TXT" "second"
vb_file "$VB_C/one/b.txt" "b"
prepare "$(D dst)\\" 0 0 0 1 1 <<EOF2
$(D one)\\a.txt 1 1
$(D one)\\b.txt 1 1
$(D two)\\A.TXT 1 1
$(D one)\\a.txt 1 1
EOF2
copy_with_clash clash "$(D two)\\A.TXT" "a.txt b.txt" a.txt

# Letters beyond ASCII fold as well: "été.txt" and "ÉTÉ.TXT" are one name on Windows. The
# settings file is in the program's code page (1252).
vb_setup clash-accents
vb_file "$VB_C/one/été.txt" "first"
vb_file "$VB_C/two/ÉTÉ.TXT" "second"
mkdir -p "$VB_C/dst"  # one file into a missing folder fails under Wine
e=$'\xe9' E=$'\xc9'
prepare "$(D dst)\\" 0 0 0 1 1 <<EOF2
$(D one)\\${e}t${e}.txt 1 1
$(D two)\\${E}T${E}.TXT 1 1
EOF2
copy_with_clash clash-accents "$(D two)\\ÉTÉ.TXT" "été.txt" été.txt

# Windows drops a trailing dot: "a.txt." in another folder would meet "a.txt" at one copy.
vb_setup clash-trailing-dot
vb_file "$VB_C/one/a.txt" "first"
vb_file "$VB_C/two/a.txt." "second"
mkdir -p "$VB_C/dst"
prepare "$(D dst)\\" 0 0 0 1 1 <<EOF2
$(D one)\\a.txt 1 1
$(D two)\\a.txt. 1 1
EOF2
copy_with_clash clash-trailing-dot "$(D two)\\a.txt." "a.txt" a.txt

# A name that is another listed file's short name opens the same file in the destination.
vb_setup clash-short-name
vb_file "$VB_C/one/longfilename.txt" "first"
mkdir -p "$VB_C/dst"
short="$(vb_drive shortname "$(D one)\\longfilename.txt")"
vb_file "$VB_C/two/$short" "second"
prepare "$(D dst)\\" 0 0 0 1 1 <<EOF2
$(D one)\\longfilename.txt 1 1
$(D two)\\$short 1 1
EOF2
copy_with_clash "clash-short-name ($short)" "$(D two)\\$short" "longfilename.txt" longfilename.txt

# The destination followed by a file's name beyond 259 bytes: that file is left out and
# named; the others are copied.
vb_setup joined-too-long
# C:\vbt-<test>\dst\<deep>\a.txt is 259 bytes.
deep="$(printf '%0*d' $((259 - ${#VB_TEST} - 18)) 0)"
vb_file "$VB_C/src/a.txt" "short"
vb_file "$VB_C/src/ab.txt" "one byte too many"
prepare "$(D dst)\\$deep\\" 0 0 0 1 1 <<EOF2
$(D src)\\a.txt 1 1
$(D src)\\ab.txt 1 1
EOF2
vb_start
vb_drive wait \; pclick 1004 >/dev/null
assert_eq "VellumBox	$(vb_id IDS_JOINED_TOO_LONG)|$(D src)\\ab.txt" \
    "$(vb_ask message)" "joined too long: Copy names the file"
shot_dialog joined-too-long
vb_drive press ok \; sleep 300 \; settle >/dev/null
assert_eq "a.txt" "$(ls "$VB_C/dst/$deep")" "joined too long: the other file is copied"

# A destination that is a ticked file's own folder, spelled another way (through Wine's Z:
# drive): that file is left out of both operations, named, and never copied onto itself.
vb_setup own-folder
vb_file "$VB_C/work/a.txt" "alpha"
vb_file "$VB_C/other/b.txt" "beta"
prepare "$(winpath "$VB_C/work")\\" 0 0 0 1 1 <<EOF2
$(D work)\\a.txt 1 1
$(D other)\\b.txt 1 1
EOF2
own="$(vb_id IDS_OWN_FOLDER)|$(D work)\\a.txt"
vb_start
vb_drive wait \; pclick 1004 >/dev/null
assert_eq "ok VellumBox	$own" "$(vb_ask sleep 300 \; message)" "own folder: Copy names the file in the destination"
vb_drive press ok \; sleep 300 \; settle >/dev/null
assert_file "$VB_C/work/a.txt" "alpha" "own folder: the file is unchanged"
assert_file "$VB_C/work/b.txt" "beta" "own folder: the other file is copied"
vb_file "$VB_C/other/b.txt" "beta-edited"
vb_drive pclick 1005 >/dev/null
assert_eq "ok VellumBox	$own" "$(vb_ask sleep 300 \; message)" "own folder: Restore names it too"
vb_drive press ok \; sleep 300 \; settle >/dev/null
assert_file "$VB_C/work/a.txt" "alpha" "own folder: Restore leaves it unchanged"
assert_file "$VB_C/other/b.txt" "beta" "own folder: the other file is restored"

# Quiet mode 2 with no destination, or one that depends on the current folder, copies
# nowhere (not into the current folder).
# The current folder's top level only: below it, other targets' runs write their logs.
listing() { { ls -R "$VB_DIR" "$VB_DRIVE_C"; ls -a "$PWD"; } 2>/dev/null | grep -v -E '^(launch\.out|.*\.log)$'; }
#   label        Directory value
for row in "nodest|" "relative|dst\\" "drive-relative|C:dst\\"; do
    IFS='|' read -r label dest <<<"$row"
    vb_setup "$label"
    vb_file "$VB_C/src/a.txt" "a"
    vb_file "$VB_C/src/b.txt" "b"
    prepare "$dest" 0 0 0 1 1 <<EOF2
$(D src)\\a.txt 1 1
$(D src)\\b.txt 1 1
EOF2
    sed -i 's/AutoCopyMode=0/AutoCopyMode=2\r\nCopy=1/' "$VB_INI"
    before="$(listing | md5sum)"
    vb_launch 5000 "/q"
    assert_match "^ended " "$VB_LAUNCH" "$label: quiet start ends"
    assert_eq "$before" "$(listing | md5sum)" "$label: no file created anywhere"
done

vb_finish
