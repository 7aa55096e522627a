#!/usr/bin/env bash
# The main window's commands, used as a person would: the folder browser, the file
# dialog, tick toggling, deleting, the two check boxes, Set, Copy and Restore.
# The Japanese session is test_commands_ja.sh.
. "$(dirname "$0")/lib.sh"
. "$VB_E2E_DIR/commands-lib.sh"

# --- the folder browser -------------------------------------------------------------------

vb_setup browse
vb_file "$VB_C/src/a.txt" "a"
mkdir -p "$VB_C/picked"
prepare 'C:\old\' <<EOF
$(D src)\\a.txt 1 1
EOF
vb_start
assert_eq "ok C:\\old\\ 0 1 1" "$(vb_ask wait \; text 1002 \; enabled 1007 \; enabled 1004 \; enabled 1005)" \
    "browse: loaded destination, Set dark, Copy and Restore lit"
assert_match "	$(vb_id IDS_BROWSE_TITLE)$" "$(vb_ask pclick 1001 \; message)" \
    "browse: the browser shows its title"
shot_dialog browser
# A browse ends with the edit box and the three buttons:
#   choice        edit box            Set Copy Restore
cases=(
    "$(D picked)|$(D picked)\\|1 1 1"
    'C:\|C:\|1 1 1'
    "cancel|none|0 0 0"
)
first=1
for row in "${cases[@]}"; do
    IFS='|' read -r choice shown buttons <<<"$row"
    ((first)) || vb_drive pclick 1001 >/dev/null
    first=0
    got="$(vb_ask browse "$choice" \; nodialog \; text 1002 \; enabled 1007 \; enabled 1004 \; enabled 1005 \; enabled 1006)"
    assert_eq "ok ok $shown $buttons 1" "$got" "browse [$choice]: edit box and buttons"
    if [ "$choice" = "$(D picked)" ]; then
        # Saved once, so that the cancel below has a newer destination to keep.
        vb_drive click 1007 >/dev/null
        assert_eq "Directory=$(D picked)\\" "$(ini_vals DestinationDirectory Directory)" \
            "browse: Set saves the chosen folder with its final backslash"
        assert_eq 0 "$(vb_ask enabled 1007)" "browse: Set dark after saving"
    fi
done
assert_eq "Directory=$(D picked)\\" "$(ini_vals DestinationDirectory Directory)" \
    "browse: a cancelled browse leaves the saved destination in the file"
vb_cleanup
vb_start
assert_eq "ok $(D picked)\\ 0 1 1" "$(vb_ask wait \; text 1002 \; enabled 1007 \; enabled 1004 \; enabled 1005)" \
    "browse: the next start shows the saved destination again"

# With no file in the table a chosen folder lights nothing.
vb_setup browse-nofiles
mkdir -p "$VB_C/picked"
prepare "" </dev/null
vb_start
got="$(vb_ask wait \; text 1002 \; pclick 1001 \; browse "$(D picked)" \; nodialog \; text 1002 \; enabled 1007 \; enabled 1004 \; enabled 1005)"
assert_eq "ok none ok ok ok $(D picked)\\ 0 0 0" "$got" "browse without files: shown, Set, Copy and Restore dark"

# "Ωdest" is not in code page 1252, whose best fit would give "Odest".
refuse_dest Ωdest Odest "a folder outside the code page" \
    "$(vb_id IDS_DEST_NOT_KEPT)"

# --- the file dialog ---------------------------------------------------------------------------

vb_setup files
vb_file "$VB_C/src/a.txt" "a"
vb_file "$VB_C/src/b.txt" "b"
prepare "$(D dst)\\" <<EOF
$(D src)\\a.txt 0 0
EOF
vb_start
before="$(vb_drive wait >/dev/null; vb_drive rows)"
got="$(vb_ask pclick 1006 \; press cancel \; nodialog \; enabled 1007)"
assert_eq "ok ok ok 0" "$got" "file dialog cancelled: Set stays dark"
assert_eq "$before" "$(vb_drive rows)" "file dialog cancelled: the list is unchanged"
vb_drive pclick 1006 \; open "$(D src)\\b.txt" \; nodialog >/dev/null
want="$(printf '%s\t---\t---\n%s\t---\t---\nrows 2' "$(D src)\\a.txt" "$(D src)\\b.txt")"
assert_eq "$want" "$(vb_drive rows)" "file added: a new last row with '---' twice"
assert_eq "1 1 1 1" "$(vb_ask enabled 1007 \; enabled 1004 \; enabled 1005 \; enabled 1006)" \
    "file added: Set lit, the others stay lit"
assert_eq "File002=<absent>" "$(ini_vals Files File002)" "file added: nothing reaches the file before Set"

# The same path again: its own row (that its ticks are its own is the file table's rule).
vb_drive pclick 1006 \; open "$(D src)\\a.txt" \; nodialog >/dev/null
assert_eq "$(D src)\\a.txt|rows 3" "$(vb_drive rows | tail -n 2 | cut -f1 | paste -sd'|')" \
    "same path twice: a row of its own"

# A name the code page cannot hold is refused, never stored as its look-alike beside it.
refuse_lookalike Ωmega.txt Omega.txt "a name outside the code page" \
    "$(vb_id IDS_NAME_NOT_KEPT)"

# Without a destination a file is added, and nothing lights.
vb_setup files-nodest
vb_file "$VB_C/src/a.txt" "a"
prepare "" </dev/null
vb_start
got="$(vb_ask wait \; pclick 1006 \; open "$(D src)\\a.txt" \; nodialog \; enabled 1007 \; enabled 1004 \; enabled 1005)"
assert_eq "ok ok ok ok 0 0 0" "$got" "file added without a destination: Set, Copy and Restore dark"
assert_eq "$(printf '%s\t---\t---\nrows 1' "$(D src)\\a.txt")" "$(vb_drive rows)" \
    "file added without a destination: the row is there"

# The 32nd file closes the file dialog's button.
vb_setup full
for i in $(seq -w 1 32); do vb_file "$VB_C/src/f$i.txt" "$i"; done
for i in $(seq -w 1 31); do echo "$(D src)\\f$i.txt 0 0"; done | prepare "$(D dst)\\"
vb_start
assert_eq "ok 1" "$(vb_ask wait \; enabled 1006)" "31 files: Select file lit"
vb_drive pclick 1006 \; open "$(D src)\\f32.txt" \; nodialog >/dev/null
assert_eq "0 rows 32" "$(vb_ask enabled 1006 \; rows | sed 's/ C:.* rows/ rows/')" \
    "32nd file added: Select file dark"
# A command that reaches the window anyway must not open the dialog or grow the table.
got="$(vb_ask command 1006 \; sleep 700 \; dialogs \; rows | sed 's/ C:.* rows/ rows/')"
assert_eq "ok ok 0 rows 32" "$got" "32 files: a stray Select file command does nothing"

# --- ticks ------------------------------------------------------------------------------------

vb_setup ticks
vb_file "$VB_C/src/a.txt" "a"
vb_file "$VB_C/src/b.txt" "b"
prepare "$(D dst)\\" <<EOF
$(D src)\\a.txt 0 1
$(D src)\\b.txt 1 0
EOF
vb_start
vb_drive wait >/dev/null
saved="$(ini_vals Files Copy001 Restore001 Copy002 Restore002)"
# Each double click, then row 0 and row 1 as "copy/restore", and Set:
#   where        row 0     row 1     Set
# (which cell toggles what is the window test's table; here the real clicks reach it)
cases=(
    "below|---/ON|ON/---|0"
    "0 1|ON/ON|ON/---|1"
    "1 2|ON/ON|ON/ON|1"
)
for row in "${cases[@]}"; do
    IFS='|' read -r where want0 want1 set <<<"$row"
    if [ "$where" = below ]; then
        vb_drive dblclkbelow left >/dev/null
    else
        vb_drive dblclk $where >/dev/null
    fi
    got="$(vb_drive rows | awk -F'\t' '/^C:/ { printf "%s/%s|", $2, $3 }')$(vb_ask enabled 1007)"
    assert_eq "$want0|$want1|$set" "$got" "double click on [$where]: ticks and Set"
done
assert_eq "$saved" "$(ini_vals Files Copy001 Restore001 Copy002 Restore002)" \
    "ticks: the file is unchanged before Set"
assert_eq "ok 0" "$(vb_ask click 1007 \; enabled 1007)" "ticks: Set pressed, then dark"
assert_eq "Copy001=1 Restore001=1 Copy002=1 Restore002=1" "$(ini_vals Files Copy001 Restore001 Copy002 Restore002)" \
    "ticks: Set writes the ticks shown"

# A window shown with a.txt, b.txt and c.txt ticked 1 0, 0 1 and 1 1.
start_abc() {
    vb_setup "$1"
    for f in a b c; do vb_file "$VB_C/src/$f.txt" "$f"; done
    printf '%s 1 0\n%s 0 1\n%s 1 1\n' "$(D src)\\a.txt" "$(D src)\\b.txt" "$(D src)\\c.txt" |
        prepare "$(D dst)\\"
    vb_start
    vb_drive wait >/dev/null
}

# --- deleting ---------------------------------------------------------------------------------

start_abc delete
three="$(vb_drive rows)"
vb_screenshot main-files >/dev/null
assert_eq "ok ok 0 ok ok 0" "$(vb_ask rdblclk 1 1 \; sleep 500 \; dialogs \; dblclkbelow right \; sleep 500 \; dialogs)" \
    "right double click on a tick cell or below the rows asks nothing"
assert_eq "ok VellumBox	$(vb_id IDS_DELETE_QUESTION)|$(D src)\\b.txt" "$(vb_ask rdblclk 1 0 \; message)" \
    "right double click on a path: the question with the path, caption the program's name"
shot_dialog delete-question
vb_drive key enter \; nodialog >/dev/null
# Answers that keep the file; Enter is among them, as No is the default button.
for answer in enter close; do
    [ "$answer" = enter ] || {
        vb_drive rdblclk 1 0 \; dialog >/dev/null
        case $answer in
            close) vb_drive dlgclose \; nodialog >/dev/null ;;
        esac
    }
    assert_eq "$three" "$(vb_drive rows)" "question answered [$answer]: the file stays"
    assert_eq 0 "$(vb_ask enabled 1007)" "question answered [$answer]: nothing to save"
done
vb_drive rdblclk 1 0 \; press yes \; nodialog >/dev/null
want="$(printf '%s\tON\t---\n%s\tON\tON\nrows 2' "$(D src)\\a.txt" "$(D src)\\c.txt")"
assert_eq "$want" "$(vb_drive rows)" "middle of three deleted: the others keep their ticks"

# --- files dropped from Explorer ------------------------------------------------------------------

# Three dropped, one of them a folder: the two files are added in order, unticked.
vb_setup drop
for f in a b c; do vb_file "$VB_C/src/$f.txt" "$f"; done
vb_file "$VB_C/src/Ωmega.txt" "omega"
vb_file "$VB_C/src/Omega.txt" "another file"
mkdir -p "$VB_C/src/folder"
prepare "$(D dst)\\" <<EOF
$(D src)\\a.txt 1 1
EOF
vb_start
vb_drive wait >/dev/null
assert_eq "ok ok VellumBox	$(vb_id IDS_DROP_FOLDERS)|$(D src)\\folder" \
    "$(vb_ask drop "$(D src)\\b.txt" "$(D src)\\folder" "$(D src)\\c.txt" \; sleep 300 \; message)" \
    "drop of two files and a folder: one message names the folder"
shot_dialog drop-message
vb_drive press ok \; nodialog >/dev/null
want="$(printf '%s\tON\tON\n%s\t---\t---\n%s\t---\t---\nrows 3' "$(D src)\\a.txt" "$(D src)\\b.txt" "$(D src)\\c.txt")"
assert_eq "$want" "$(vb_drive rows)" "drop: the two files added in order, unticked"
assert_eq "1 1 1 1" "$(vb_ask enabled 1007 \; enabled 1004 \; enabled 1005 \; enabled 1006)" "drop: Set lit"
# A name the code page (1252) cannot hold is refused, never stored as the file it best fits.
assert_eq "ok ok VellumBox	$(vb_id IDS_NAME_NOT_KEPT)|$(D src)\\Ωmega.txt" \
    "$(vb_ask drop "$(D src)\\Ωmega.txt" \; sleep 300 \; message)" "drop of Ωmega.txt: refused by name"
vb_drive press ok \; nodialog >/dev/null
assert_eq "rows 3" "$(vb_drive rows | tail -n 1)" "drop of Ωmega.txt: nothing added (not Omega.txt either)"

# Five dropped onto a table of 30: two added, the other three named; then a drop onto the
# full table adds nothing and says so.
vb_setup drop-full
for i in $(seq -w 1 35); do vb_file "$VB_C/src/f$i.txt" "$i"; done
for i in $(seq -w 1 30); do echo "$(D src)\\f$i.txt 0 0"; done | prepare "$(D dst)\\"
vb_start
vb_drive wait >/dev/null
five=()
for i in 31 32 33 34 35; do five+=("$(D src)\\f$i.txt"); done
assert_eq "ok ok VellumBox	$(vb_id IDS_DROP_LIST_FULL)|${five[2]}|${five[3]}|${five[4]}" \
    "$(vb_ask drop "${five[@]}" \; sleep 300 \; message)" "drop of five onto 30: the last three named"
vb_drive press ok \; nodialog >/dev/null
assert_eq "${five[0]}|${five[1]}|rows 32" "$(vb_drive rows | tail -n 3 | cut -f1 | paste -sd'|')" \
    "drop of five onto 30: the first two added at the end"
assert_eq "0 1" "$(vb_ask enabled 1006 \; enabled 1007)" "drop of five onto 30: Select dark, Set lit"
assert_eq "ok ok VellumBox	$(vb_id IDS_DROP_LIST_FULL)|${five[4]}" \
    "$(vb_ask drop "${five[4]}" \; sleep 300 \; message)" "drop onto the full table: says so"
vb_drive press ok \; nodialog >/dev/null
assert_eq "rows 32" "$(vb_drive rows | tail -n 1)" "drop onto the full table: nothing added"

# --- the list from the keyboard -----------------------------------------------------------------

start_abc keyboard
# A right click opens no menu: the right double click keeps its meaning.
assert_eq "ok ok nomenu" "$(vb_ask rclick 1 0 \; sleep 500 \; menu)" "right click: no menu"
# Shift+F10 on a row: its ticks shown checked; the access key R toggles Restore.
got="$(vb_drive select 1 \; input shift+f10 \; menu 3000 | paste -sd'|')"
assert_eq "ok|ok|-	&Copy|checked	&Restore|-|-	&Delete from list..." "$got" "Shift+F10: the menu at the row"
vb_screenshot list-menu >/dev/null
assert_eq "ok ok nomenu" "$(vb_ask input r \; sleep 300 \; menu)" "menu: Restore chosen"
want="$(printf '%s\tON\t---\n%s\t---\t---\n%s\tON\tON\nrows 3' "$(D src)\\a.txt" "$(D src)\\b.txt" "$(D src)\\c.txt")"
assert_eq "$want" "$(vb_drive rows)" "menu: the row's Restore tick toggled, the others kept"
assert_eq 1 "$(vb_ask enabled 1007)" "menu: Set lit"
# Delete on the second row asks as the right double click does; Yes deletes it.
assert_eq "ok ok ok VellumBox	$(vb_id IDS_DELETE_QUESTION)|$(D src)\\b.txt" \
    "$(vb_ask select 1 \; key delete focus \; sleep 300 \; message)" "Delete key: the question names the file"
vb_drive press yes \; nodialog >/dev/null
want="$(printf '%s\tON\t---\n%s\tON\tON\nrows 2' "$(D src)\\a.txt" "$(D src)\\c.txt")"
assert_eq "$want" "$(vb_drive rows)" "Delete key, Yes: the other two keep their ticks"
# The menu's last item asks the same question.
vb_drive select 1 \; input shift+f10 \; menu 3000 >/dev/null
assert_eq "ok ok VellumBox	$(vb_id IDS_DELETE_QUESTION)|$(D src)\\c.txt" "$(vb_ask input d \; sleep 300 \; message)" \
    "menu: Delete from list asks"
vb_drive press no \; nodialog >/dev/null
assert_eq "rows 2" "$(vb_drive rows | tail -n 1)" "menu: No keeps the file"

# --- Auto Copy and Over Write -------------------------------------------------------------------

vb_setup auto
vb_file "$VB_C/src/a.txt" "a"
prepare "$(D dst)\\" 0 0 0 1 0 <<EOF
$(D src)\\a.txt 1 1
EOF
vb_start
vb_drive wait >/dev/null
# One click each reaches its handler and Set saves it (the states are the window test's).
assert_eq "ok 1 1" "$(vb_ask click 1008 \; checked 1008 \; enabled 1007)" "Auto Copy click: Set lit"
assert_eq "ok 0" "$(vb_ask click 1009 \; checked 1009)" "Over Write click"
vb_drive click 1007 >/dev/null
assert_eq "AutoCopyMode=1 Copy=1 Restore=1" "$(ini_vals AutoVellum AutoCopyMode Copy Restore)" \
    "Auto Copy saved: mode and both switches"
assert_eq "Copy=0 Restore=0" "$(ini_vals OverWrite Copy Restore)" "Over Write saved to both switches"

# --- Copy and Restore act on unsaved changes ------------------------------------------------------

vb_setup unsaved
vb_file "$VB_C/src/a.txt" "a"
vb_file "$VB_C/src/b.txt" "b"
mkdir -p "$VB_C/dst" "$VB_C/other"
prepare "$(D dst)\\" 0 0 0 1 1 <<EOF
$(D src)\\a.txt 0 0
$(D src)\\b.txt 0 0
EOF
vb_start
assert_eq "ok ok ok 1" "$(vb_ask wait \; dblclk 0 1 \; click 1004 \; enabled 1007)" "Copy after a new tick: Set stays lit"
assert_eq "a.txt" "$(ls --ignore=VellumBox.state "$VB_C/dst" | tr '\n' ' ' | sed 's/ $//')" "Copy after a new tick: the newly ticked file copied"
vb_file "$VB_C/dst/b.txt" "b-saved"
vb_file "$VB_C/src/a.txt" "a-changed"
assert_eq "ok ok 1" "$(vb_ask dblclk 1 2 \; click 1005 \; enabled 1007)" "Restore after a new tick: Set stays lit"
assert_file "$VB_C/src/b.txt" "b-saved" "Restore after a new tick: the newly ticked file restored"
assert_file "$VB_C/src/a.txt" "a-changed" "Restore after a new tick: the other file left alone"
# A destination chosen but not saved is where Copy goes.
got="$(vb_ask pclick 1001 \; browse "$(D other)" \; nodialog \; text 1002 \; click 1004 \; enabled 1007)"
assert_eq "ok ok ok $(D other)\\ ok 1" "$got" "Copy after a new destination: Set stays lit"
assert_file "$VB_C/other/a.txt" "a-changed" "Copy after a new destination: copied there"
assert_eq "Directory=$(D dst)\\ Copy001=0 Restore002=0" \
    "$(ini_vals DestinationDirectory Directory) $(ini_vals Files Copy001 Restore002)" \
    "Copy and Restore saved nothing"

vb_finish
