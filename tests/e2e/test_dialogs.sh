#!/usr/bin/env bash
# The About box and the start-up registration dialog, opened the ways a user opens them,
# in English and Japanese: owner, icon, texts, registry effect, a second start while one
# of them is open, and screenshots for people to look at.
. "$(dirname "$0")/lib.sh"

RUN_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'

# Whatever happens, no start-up value stays behind: Wine would start it at every boot.
# Nor a Run key that nobody may write (runkey-lock prints the DACL to put back).
remove_run_value() { vb_drive runkey-clear >/dev/null 2>&1; }
run_key_dacl=""
unlock_run_key() {
    [ -n "$run_key_dacl" ] && vb_drive runkey-unlock "$run_key_dacl" >/dev/null 2>&1
    run_key_dacl=""
}
trap 'vb_cleanup; unlock_run_key; remove_run_value' EXIT
trap 'exit 130' INT TERM

# The value as Wine's own reg.exe sees it: "<type> <data>", or "none".
reg_value() {
    local line
    line="$("$WINE" reg query "$RUN_KEY" /v VellumBox </dev/null 2>/dev/null | tr -d '\r' |
        grep -E '^\s+VellumBox\s+REG_')"
    if [ -z "$line" ]; then echo none; return; fi
    sed -E 's/^\s+VellumBox\s+(REG_[A-Z_]+)\s+/\1 /' <<<"$line"
}

# Screenshot of the program's open dialog: build/screenshots/<name>-<en|ja>.png.
dialog_screenshot() { LANG=$LANG_FULL vb_dialog_screenshot "$1-$2"; }

# Waits until the program's thread has handled what was posted to it, then describes
# the dialog (see the driver's dlginfo).
info() { LANG=$LANG_FULL vb_drive settle \; dlginfo "$@" | tail -n +2; }

# A second start of the same executable while a dialog is open: it ends by itself, and
# the dialog (not the main window) is in front, with the main window shown.
#   $1 language, $2 label, $3 expected dialog title, $4 how the main window is left (-|min)
second_start() {
    local lang="$1" what="$2" title="$3" how="$4"
    [ "$how" != - ] && LANG=$LANG_FULL vb_drive show "$how" >/dev/null
    LANG=$LANG_FULL vb_second_start "[$lang $what $how]"
    got="$(LANG=$LANG_FULL vb_drive settle \; foreground \; visible \; iconic \; procs \; dialogs |
        tail -n +2 | paste -sd'|')"
    assert_eq "1|0|1|1" "${got#*|}" \
        "[$lang $what $how] main window shown and restored, one process, the dialog still open"
    assert_eq "$(printf '#32770\t%s' "$title")" "${got%%|*}" "[$lang $what $how] the dialog is in front"
}

# The last row: a Japanese display language under a Western code page, where the Japanese
# texts cannot be shown, so the English ones are.
#   LANG         LC_MESSAGES  short       About title                 start-up title
cases=(
    "en_US.UTF-8|en_US.UTF-8|en|About VellumBox|Register in Start-up"
    "ja_JP.UTF-8|ja_JP.UTF-8|ja|VellumBoxのﾊﾞｰｼﾞｮﾝ情報|スタートアップに登録"
    "en_US.UTF-8|ja_JP.UTF-8|ja-display|About VellumBox|Register in Start-up"
)
about_fields="$(printf '%s\n' \
    $'1009\t1\tVellumBox' \
    $'1010\t1\tVer. 1, 0, 1, 2' \
    $'1011\t1\t(C) 2026 VellumBox' \
    $'1012\t1\tVellumBox Project')"

remove_run_value
for row in "${cases[@]}"; do
    IFS='|' read -r LANG_FULL messages lang about_title startup_title <<<"$row"
    export LC_MESSAGES=$messages
    vb_setup "$lang"
    vb_settings <<INI
[AutoVellum]
AutoCopyMode=0
INI
    LANG=$LANG_FULL vb_start
    main_pid=$VB_LAST_PID
    assert_eq "ok 1" "$(LANG=$LANG_FULL vb_ask wait \; visible)" "[$lang] main window shown"

    # ---- About box, from both entry points -------------------------------------------
    #   entry     driver command that opens it   second start with the main window
    entries=(
        "button   pclick 1000    -"
        "sysmenu  syscmd 0x0010  min"
    )
    for entry in "${entries[@]}"; do
        read -r where open arg how <<<"$entry"
        opened="$(LANG=$LANG_FULL vb_drive $open $arg \; dialog | tail -n +2 | cut -f1)"
        assert_eq "$about_title" "$opened" "[$lang about/$where] About box opens with its title"
        got="$(LANG=$LANG_FULL vb_drive dlginfo 1009 1010 1011 1012)"
        assert_match '^owner=main icon=main mainenabled=0 ' "$(head -1 <<<"$got")" \
            "[$lang about/$where] owned by the main window, which it disables; main window's icon"
        assert_eq "$about_fields" "$(tail -n +2 <<<"$got")" "[$lang about/$where] version fields"
        [ "$where" = button ] && dialog_screenshot about "$lang"
        second_start "$lang" "about/$where" "$about_title" "$how"
        LANG=$LANG_FULL vb_drive press ok >/dev/null
        assert_eq "nodialog mainenabled=1" "$(info)" "[$lang about/$where] OK closes it, main window enabled again"
    done

    # ---- start-up dialog: Set, reopen, Clear; refused without write access --------------
    want_value="REG_SZ \"$VB_WEXE\""
    needs_admin="$(LANG=$LANG_FULL vb_id IDS_STARTUP_NEEDS_ADMIN)"
    needs_admin_clear="$(LANG=$LANG_FULL vb_id IDS_STARTUP_CLEAR_NEEDS_ADMIN)"
    #   step            action     buttons Set/Clear after  registry after
    steps=(
        "open           open       1/0                      none"
        "screenshot     shot       1/0                      none"
        "set            press1013  0/1                      set"
        "close          press1     -                        set"
        "reopen         open       0/1                      set"
        "second-start   second     0/1                      set"
        "clear          press1014  1/0                      none"
        "set-again      press1013  0/1                      set"
        "lock           lock       0/1                      set"
        "clear-denied   denied1014 0/1                      set"
        "unlock         unlock     0/1                      set"
        "clear-again    press1014  1/0                      none"
        "lock-again     lock       1/0                      none"
        "set-denied     denied1013 1/0                      none"
        "unlock-again   unlock     1/0                      none"
        "close-again    press1     -                        none"
    )
    for step in "${steps[@]}"; do
        read -r name action buttons reg <<<"$step"
        case "$action" in
        open)
            opened="$(LANG=$LANG_FULL vb_drive syscmd 0x1020 \; dialog | tail -n +2 | cut -f1)"
            assert_eq "$startup_title" "$opened" "[$lang startup/$name] dialog opens with its title"
            assert_match '^owner=main icon=main mainenabled=0 ' "$(LANG=$LANG_FULL vb_drive dlginfo)" \
                "[$lang startup/$name] owned by the main window, which it disables; main window's icon"
            ;;
        shot) dialog_screenshot startup "$lang" ;;
        second) second_start "$lang" startup "$startup_title" - ;;
        press*) LANG=$LANG_FULL vb_drive press "${action#press}" >/dev/null ;;
        lock) run_key_dacl="$(vb_drive runkey-lock)" ;;
        unlock) unlock_run_key ;;
        denied*)
            LANG=$LANG_FULL vb_drive press "${action#denied}" >/dev/null
            # The start-up dialog stays open under the message: wait for the box itself.
            for _ in 1 2 3 4 5 6 7 8 9 10; do
                msg="$(LANG=$LANG_FULL vb_drive settle \; message | tail -n 1)"
                [[ "$msg" == VellumBox$'\t'* ]] && break
            done
            want="$needs_admin"
            [ "${action#denied}" = 1014 ] && want="$needs_admin_clear"
            assert_eq "$(printf 'VellumBox\t%s' "$want")" "$msg" \
                "[$lang startup/$name] a message says that administrator rights are needed"
            [ "$name" = set-denied ] && dialog_screenshot needs-admin "$lang"
            [ "$name" = clear-denied ] && dialog_screenshot needs-admin-clear "$lang"
            LANG=$LANG_FULL vb_drive press ok >/dev/null
            ;;
        esac
        if [ "$buttons" = - ]; then
            assert_eq "nodialog mainenabled=1" "$(info)" "[$lang startup/$name] dialog ended, main window enabled"
        else
            got="$(info 1013 1014 | tail -n +2 | cut -f1,2 | tr '\t\n' ': ')"
            assert_eq "1013:${buttons%/*} 1014:${buttons#*/} " "$got" "[$lang startup/$name] Set/Clear enabled"
        fi
        if [ "$reg" = set ]; then expect="$want_value"; else expect=none; fi
        assert_eq "$expect" "$(reg_value)" "[$lang startup/$name] Run value (reg.exe)"
    done

    # ---- start-up dialog in a folder every user may change: Set asks first ----------
    # Wine gives a folder of mode 0777 an "Everyone: modify" entry; 0755 only read and run.
    chmod 0777 "$VB_DIR"
    folder="$(dospath "$VB_DIR")\\"
    LANG=$LANG_FULL vb_drive syscmd 0x1020 \; dialog >/dev/null
    #   answer  registry after
    for row in "no none" "yes set"; do
        read -r answer reg <<<"$row"
        question="$(LANG=$LANG_FULL vb_drive press 1013 \; sleep 300 \; dialog | tail -n +2)"
        assert_contains "|$folder|" "$question" "[$lang startup/open-folder $answer] Set asks, naming the folder"
        [ "$answer" = no ] && dialog_screenshot startup-open-folder "$lang"
        LANG=$LANG_FULL vb_drive press "$answer" >/dev/null
        if [ "$reg" = set ]; then expect="$want_value"; else expect=none; fi
        assert_eq "$expect" "$(reg_value)" "[$lang startup/open-folder $answer] Run value (reg.exe)"
    done
    LANG=$LANG_FULL vb_drive press 1014 \; settle >/dev/null
    chmod 0755 "$VB_DIR"
    LANG=$LANG_FULL vb_drive press 1013 \; settle >/dev/null
    assert_eq "$want_value" "$(reg_value)" "[$lang startup/folder-0755] Set registers at once"
    assert_eq 1 "$(LANG=$LANG_FULL vb_drive dialogs)" "[$lang startup/folder-0755] no question, only the dialog"
    LANG=$LANG_FULL vb_drive press 1014 \; press 1 \; settle >/dev/null
    assert_eq none "$(reg_value)" "[$lang startup/folder-0755] Clear removes it again"
    # The program file itself open to others in a folder that is not (a file moved within
    # a volume keeps its old access list): Set asks, naming the file.
    chmod 0666 "$VB_EXE"
    question="$(LANG=$LANG_FULL vb_drive syscmd 0x1020 \; dialog \; press 1013 \; sleep 300 \; dialog | tail -n +4)"
    assert_contains "|$VB_WEXE|" "$question" "[$lang startup/open-exe] Set asks, naming the program file"
    LANG=$LANG_FULL vb_drive press no \; press 1 \; settle >/dev/null
    assert_eq none "$(reg_value)" "[$lang startup/open-exe] No registers nothing"
    chmod 0755 "$VB_EXE"

    # ---- an automatic run from a folder every user may change: it runs, and the next
    # showing of the window says so, once
    LANG=$LANG_FULL vb_drive close >/dev/null
    vb_wait_exit "$main_pid" 10
    chmod 0777 "$VB_DIR"
    vb_file "$VB_C/src/a.txt" "alpha"
    mkdir -p "$VB_C/dst"
    vb_ini_text 2 1 1 1 1 "C:\\vbt-$VB_TEST\\dst\\" "C:\\vbt-$VB_TEST\\src\\a.txt|1|1" | vb_settings
    LANG=$LANG_FULL vb_launch 2500 /q
    assert_match "^ended " "$VB_LAUNCH" "[$lang open-folder/quiet] the quiet copy ends at once"
    assert_file "$VB_C/dst/a.txt" "alpha" "[$lang open-folder/quiet] and still copies"
    sed -i 's/^AutoCopyMode=2/AutoCopyMode=0/' "$VB_INI"
    LANG=$LANG_FULL vb_start
    main_pid=$VB_LAST_PID
    told="$(LANG=$LANG_FULL vb_drive wait \; sleep 500 \; message | tail -n 1)"
    settings_open="$(LANG=$LANG_FULL vb_id IDS_AUTO_OPEN_SETTINGS)"
    assert_eq "$(printf 'VellumBox\t%s||%s|%s||%s.more' "$(LANG=$LANG_FULL vb_id IDS_RUN_QUIET_COPY)" \
        "$settings_open" "$folder" "$settings_open")" "$told" \
        "[$lang open-folder/quiet] the next showing names the folder others can change"
    dialog_screenshot auto-open-folder "$lang"
    LANG=$LANG_FULL vb_drive press ok \; sleep 300 >/dev/null
    assert_eq "nodialog mainenabled=1" "$(info)" "[$lang open-folder/quiet] told once"
    chmod 0755 "$VB_DIR"

    LANG=$LANG_FULL vb_drive close >/dev/null
    vb_wait_exit "$main_pid" 10
    assert_eq 0 "$?" "[$lang] program ends on WM_CLOSE"
done
unset LC_MESSAGES

vb_finish
