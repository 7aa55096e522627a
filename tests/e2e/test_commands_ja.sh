#!/usr/bin/env bash
# The main window's commands in a Japanese session: tick texts, the question, the
# browser's title, a file with a Japanese name through the file dialog, the list and the
# settings file (code page 932); screenshots of the window, the question and the browser.
export VB_LANG=ja_JP.UTF-8
. "$(dirname "$0")/lib.sh"
. "$VB_E2E_DIR/commands-lib.sh"
export VB_INI_CP=CP932

vb_setup ja
vb_file "$VB_C/src/a.txt" "a"
vb_file "$VB_C/src/b.txt" "b"
vb_file "$VB_C/src/報告書.txt" "report"
mkdir -p "$VB_C/dst" "$VB_C/保存先"
prepare "$(D dst)\\" <<EOF
$(D src)\\a.txt 1 0
$(D src)\\b.txt 0 1
EOF
jp="$(D src)\\報告書.txt"

vb_start
want="$(printf '%s\tする\t---\n%s\t---\tする\nrows 2' "$(D src)\\a.txt" "$(D src)\\b.txt")"
vb_drive wait >/dev/null
assert_eq "$want" "$(vb_drive rows)" "loaded ticks show する"
vb_drive pclick 1006 \; open "$jp" \; nodialog \; dblclk 2 1 >/dev/null
want="$(printf '%s\tする\t---\n%s\t---\tする\n%s\tする\t---\nrows 3' "$(D src)\\a.txt" "$(D src)\\b.txt" "$jp")"
assert_eq "$want" "$(vb_drive rows)" "a Japanese file name added and ticked"
vb_drive dblclk 0 1 \; dblclk 1 2 >/dev/null
got="$(vb_drive rows | awk -F'\t' '/^C:/ { printf "%s/%s|", $2, $3 }')"
assert_eq "---/---|---/---|する/---|" "$got" "double clicks turn する back into ---"
vb_drive dblclk 0 1 \; dblclk 1 2 >/dev/null
vb_screenshot main-files >/dev/null

# "ü" is not in code page 932: the file is refused, not stored as "Muller.txt".
refuse_lookalike Müller.txt Muller.txt "a name outside code page 932" \
    "$(vb_id IDS_NAME_NOT_KEPT)"

refuse_dest Müdest Mudest "a folder outside code page 932" \
    "$(vb_id IDS_DEST_NOT_KEPT)"

# The browser, its Japanese title and a Japanese folder name.
got="$(vb_ask pclick 1001 \; message)"
assert_match "	$(vb_id IDS_BROWSE_TITLE)$" "$got" "the browser's title"
shot_dialog browser
got="$(vb_ask browse "$(D 保存先)" \; nodialog \; text 1002 \; enabled 1007)"
assert_eq "ok ok $(D 保存先)\\ 1" "$got" "a Japanese folder chosen, with its final backslash"

# The question, with the Japanese path.
assert_eq "ok VellumBox	$(vb_id IDS_DELETE_QUESTION)|$jp" "$(vb_ask rdblclk 2 0 \; message)" "the Japanese question"
shot_dialog delete-question
vb_drive press no \; nodialog >/dev/null
assert_eq "rows 3" "$(vb_drive rows | tail -n 1)" "No keeps the file"
vb_drive rdblclk 1 0 \; press yes \; nodialog \; click 1007 >/dev/null
want="$(printf '%s\tする\t---\n%s\tする\t---\nrows 2' "$(D src)\\a.txt" "$jp")"
assert_eq "$want" "$(vb_drive rows)" "Yes deletes the middle file"
assert_eq "File001=$(D src)\\a.txt Copy001=1 File002=$jp Copy002=1 Restore002=0 File003=" \
    "$(ini_vals Files File001 Copy001 File002 Copy002 Restore002 File003)" \
    "Set saves the Japanese path in the program's code page"
assert_eq "Directory=$(D 保存先)\\" "$(ini_vals DestinationDirectory Directory)" \
    "Set saves the Japanese destination"
assert_eq "ok 1" "$(vb_ask click 1004 \; enabled 1004)" "Copy pressed"
assert_file "$VB_C/保存先/報告書.txt" "report" "Copy copies the Japanese file into the Japanese folder"

# A drop and the keyboard menu, in Japanese.
assert_eq "ok ok VellumBox	$(vb_id IDS_DROP_FOLDERS)|$(D 保存先)" \
    "$(vb_ask drop "$(D src)\\b.txt" "$(D 保存先)" \; sleep 300 \; message)" "drop: the message names the folder"
shot_dialog drop-message
vb_drive press ok \; nodialog >/dev/null
got="$(vb_drive select 2 \; input shift+f10 \; menu 3000 | paste -sd'|')"
assert_eq "ok|ok|-	コピー(&C)|-	リストア(&R)|-|-	リストから削除(&D)..." "$got" "the keyboard menu of the dropped file"
vb_screenshot list-menu >/dev/null
assert_eq "ok ok nomenu" "$(vb_ask input c \; sleep 300 \; menu)" "menu: コピー chosen"
want="$(printf '%s\tする\t---\n%s\tする\t---\n%s\tする\t---\nrows 3' "$(D src)\\a.txt" "$jp" "$(D src)\\b.txt")"
assert_eq "$want" "$(vb_drive rows)" "menu: the dropped file's Copy tick on"

# A name and a folder that end in byte 0x5C (ソ is 0x83 0x5C in code page 932): copied
# twice, then restored, each time without a word.
vb_setup ja-5c
vb_ini_text 0 0 0 1 1 "$(D 保存ソ)\\" "$(D src)\\表ソ.txt|1|1" | iconv -t CP932 | vb_settings
vb_start
vb_drive wait >/dev/null
for row in "1004 v1 v1/v1" "1004 v2 v2/v2" "1005 edited v2/v2"; do  # button, file before, copy/file after
    read -r button before want <<<"$row"
    vb_file "$VB_C/src/表ソ.txt" "$before"
    assert_eq "ok ok ok 0 $want" "$(vb_ask pclick "$button" \; sleep 500 \; settle \; dialogs) $(cat "$VB_C/保存ソ/表ソ.txt")/$(cat "$VB_C/src/表ソ.txt")" \
        "0x5C name, $button on $before: no message; the copy/the file"
done

# The destination followed by a name beyond 259 bytes: that file is left out, named.
vb_setup ja-joined
deep="$(printf '%0*d' $((259 - ${#VB_TEST} - 18)) 0)"
vb_file "$VB_C/src/ab.txt" "b"
prepare "$(D dst)\\$deep\\" <<EOF
$(D src)\\ab.txt 1 1
EOF
vb_start
vb_drive wait \; pclick 1004 >/dev/null
assert_eq "VellumBox	$(vb_id IDS_JOINED_TOO_LONG)|$(D src)\\ab.txt" \
    "$(vb_ask message)" "joined too long: the Japanese message"
shot_dialog joined-too-long
vb_drive press ok \; nodialog >/dev/null

# A program whose own name the code page cannot hold keeps no settings file, and says so.
vb_cleanup
mkdir -p "$VB_C/app"
cp "$VB_EXE" "$VB_C/app/Müllerbox.exe"
VB_EXE="$VB_C/app/Müllerbox.exe"
vb_start
vb_drive wait 20000 >/dev/null
assert_eq "$(vb_id IDS_PROGRAM_PATH_UNNAMED)|$(D app)\\Müllerbox.exe" \
    "$(vb_drive message | cut -f2-)" "a program name outside code page 932: said at start"
shot_dialog program-path-unnamed
vb_drive press ok \; nodialog >/dev/null

vb_finish
