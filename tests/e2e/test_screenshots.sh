#!/usr/bin/env bash
# The main window with files loaded, in English and Japanese: list texts checked, and
# screenshots written to build/screenshots/ for people to look at.
. "$(dirname "$0")/lib.sh"

# LC_MESSAGES apart from LANG: a Japanese display language under a Western code page, in
# which the Japanese texts cannot be shown, so the English ones are.
#   LANG        LC_MESSAGES  shot       column titles (title width alignment)                 tick on  Set
cases=(
    "en_US.UTF-8|en_US.UTF-8|main|File Path 255 c;Copy 60 c;Restore 60 c|ON|Set"
    "ja_JP.UTF-8|ja_JP.UTF-8|main|ファイルパス 255 c;コピー 60 c;リストア 60 c|する|確定"
    "en_US.UTF-8|ja_JP.UTF-8|main-ja-display|File Path 255 c;Copy 60 c;Restore 60 c|ON|Set"
)
for row in "${cases[@]}"; do
    IFS='|' read -r lang messages shotname columns on set <<<"$row"
    export LC_MESSAGES=$messages
    short="${lang%%_*}-${messages%%_*}"
    vb_setup "$short"
    d="C:\\vbt-$VB_TEST"
    vb_settings <<INI
[AutoVellum]
AutoCopyMode=0
[OverWrite]
Copy=1
Restore=1
[DestinationDirectory]
Directory=$d\\backup\\
[Files]
File001=$d\\work\\report.doc
Copy001=1
Restore001=1
File002=$d\\work\\notes.txt
Copy002=1
Restore002=0
File003=$d\\work\\data.csv
Copy003=0
Restore003=1
INI
    LANG=$lang vb_start
    assert_eq "ok 1" "$(LANG=$lang vb_ask wait \; visible)" "[$short] window shown"
    got="$(LANG=$lang vb_drive columns | tr '\t' ' ' | tr '\n' ';' | sed 's/;$//')"
    assert_eq "$columns" "$got" "[$short] list columns"
    want="$(printf '%s\t%s\t%s\n' "$d\\work\\report.doc" "$on" "$on" "$d\\work\\notes.txt" "$on" "---" \
        "$d\\work\\data.csv" "---" "$on"; echo "rows 3")"
    assert_eq "$want" "$(LANG=$lang vb_drive rows)" "[$short] list rows and ticks"
    assert_eq "$d\\backup\\ 1 1 1 1 0 $set" "$(LANG=$lang vb_ask text 1002 \; checked 1009 \; enabled 1004 \; enabled 1005 \; enabled 1006 \; enabled 1007 \; text 1007)" \
        "[$short] destination, Over Write, buttons and the Set button's text"
    shot="$(LANG=$lang vb_screenshot "$shotname")"
    [ -s "$shot" ]
    assert_eq 0 $? "[$short] screenshot written: $shot"

    # What a start shows after an operation was cut off (a Restore at a session end whose
    # report waits in the destination, a Copy, a record nobody can read) or what automatic
    # runs left to tell: the interruption, then one message per cause under the run's
    # heading (found by two kinds of run: a heading of its own); then the question the
    # blocked button asks, answered No. Each shot for people to look at. Records: their
    # first line, then lines "tag number:text" (no text: a heading), B the destination,
    # R report.doc.
    #   first line|record lines|messages shown at start|button|question|kept as
    records=(
        "Restore|135:;165:R;127:$d\\old\\VellumBox.state;143:B|interrupted-restore report-copy-not-found report-state-name report-open-dest|1004|ask-copy|Restore"
        "Copy|134:;114:R;116:R;117:R;120:R;121:R;122:B;124:R;125:R;126:R;162:R;142:$d\\VellumBox.ini|interrupted-copy report-name-clash report-copy-incomplete report-restore-incomplete report-bad-name report-relative-path report-relative-dest report-changed-while-copied report-own-folder report-path-too-long report-joined-too-long report-open-settings|1005|ask-restore|Copy"
        "Cop||interrupted-unknown|1004|ask-unknown|Cop"
        "|due 1;133:;137:B;138:R;185:R;186:R;135:;138:R;139:R;144:R;145:R;146:B;136:B;163:R;148:R;180:R;181:R;182:B|report-due report-not-copied report-owed-not-copied report-saved-after-restore report-not-restored report-other-copy report-changed-copy report-no-dest report-busy report-system-view report-not-copied-unseen report-not-settled report-cut-copy-kept report-record-not-updated|1004|ask-due|"
    )
    vb_file "$VB_C/work/notes.txt" "n"
    vb_file "$VB_C/work/data.csv" "d"
    vb_file "$VB_C/backup/data.csv" "d"

    # What the buttons say when they are done (report.doc is missing, and so is its copy),
    # and a save that fails (a folder in the settings file's place; clearing Over Write
    # lights Set). Each shot for people to look at.
    #   controls clicked|shot
    results=("1004|copy-result" "1005|restore-result" "1009 1007|save-failed")
    for result in "${results[@]}"; do
        IFS='|' read -r controls name <<<"$result"
        if [ "$name" = save-failed ]; then
            mv "$VB_INI" "$VB_INI.kept"
            mkdir "$VB_INI"
        fi
        clicks=()
        for control in $controls; do clicks+=(pclick "$control" \; sleep 300 \;); done
        got="$(LANG=$lang vb_drive "${clicks[@]}" sleep 500 \; dialog | tail -n 1)"
        assert_match "^VellumBox	.*(report\.doc|VellumBox\.ini)" "$got" "[$short] $name message shown"
        LANG=$lang vb_dialog_screenshot "$name-$short"
        LANG=$lang vb_drive press ok >/dev/null
    done
    rmdir "$VB_INI"
    mv "$VB_INI.kept" "$VB_INI"
    for record in "${records[@]}"; do
        IFS='|' read -r first lines names button question kept <<<"$record"
        LANG=$lang vb_drive close \; gone >/dev/null
        {
            printf '%s\r\n' "$first"
            IFS=';' read -r -a parts <<<"$lines"
            for part in "${parts[@]}"; do
                part="${part//:R/:$d\\work\\report.doc}"
                part="${part//:B/:$d\\backup\\}"
                case "$part" in
                "due "*) printf 'due\t%s\r\n' "${part#due }" ;;
                *) printf '%s\t%s\r\n' "${part%%:*}" "${part#*:}" ;;
                esac
            done
        } >"$VB_C/backup/VellumBox.state"
        LANG=$lang vb_start
        LANG=$lang vb_drive wait >/dev/null
        for name in $names; do
            got="$(LANG=$lang vb_drive sleep 500 \; dialog | tail -n 1)"
            assert_match "^VellumBox	.*\|" "$got" "[$short] $name message shown"
            LANG=$lang vb_dialog_screenshot "$name-$short"
            LANG=$lang vb_drive press ok >/dev/null
        done
        assert_eq "ok 0" "$(LANG=$lang vb_ask sleep 500 \; dialogs)" "[$short $first] each told once"
        LANG=$lang vb_drive pclick "$button" >/dev/null
        assert_contains "|$d\\backup\\||" "$(LANG=$lang vb_drive sleep 500 \; dialog | tail -n 1)" \
            "[$short $first] $button asks, naming the folder"
        LANG=$lang vb_dialog_screenshot "$question-$short"
        LANG=$lang vb_drive press no \; sleep 300 >/dev/null
        assert_eq "$kept" "$(head -n 1 "$VB_C/backup/VellumBox.state" | tr -d '\r')" "[$short $first] No keeps the record"
    done
    # A copy changed since it was made (the record lists another size): Restore asks.
    LANG=$lang vb_drive close \; gone >/dev/null
    printf '\r\ncopy\t9\t9\t%s\r\n' "$d\\work\\data.csv" >"$VB_C/backup/VellumBox.state"
    LANG=$lang vb_start
    LANG=$lang vb_drive wait \; pclick 1005 >/dev/null
    assert_contains "|$d\\work\\data.csv||" "$(LANG=$lang vb_drive sleep 500 \; dialog | tail -n 1)" \
        "[$short] Restore names the changed copy and asks"
    LANG=$lang vb_dialog_screenshot "ask-restore-edited-$short"
    LANG=$lang vb_drive press no \; sleep 300 >/dev/null
done
unset LC_MESSAGES

vb_finish
