#!/usr/bin/env bash
# Hiding and showing, the close rules and the system menu of the main window.
. "$(dirname "$0")/lib.sh"

settings() {  # mode copy
    vb_file "$VB_C/src/a.txt" "alpha"
    vb_file "$VB_C/src/b.txt" "beta"
    mkdir -p "$VB_C/dst"
    local d="C:\\vbt-$VB_TEST"
    vb_ini_text "$1" "$2" "$2" 1 1 "$d\\dst\\" "$d\\src\\a.txt|1|1" "$d\\src\\b.txt|1|1" | vb_settings
}

# Starts a second copy; asserts ($2) whether the first is visible ($1) once it has ended.
second_start() {
    vb_second_start "$2:"
    assert_eq "ok $1" "$(vb_ask settle \; visible)" "$2"
}

# Mode 1 with the copy switch: copies, stays hidden; a second start shows it.
vb_setup mode1
settings 1 1
vb_start
assert_eq "ok 0" "$(vb_ask wait \; visible)" "mode 1: window hidden after start"
assert_eq "a.txt b.txt" "$(ls --ignore=VellumBox.state "$VB_C/dst" | tr '\n' ' ' | sed 's/ $//')" "mode 1: files copied at start"
second_start 1 "mode 1: a second start shows the window"

# Mode 0: shown; Hide Window hides it; a second start shows it again.
vb_setup mode0
settings 0 0
vb_start
assert_eq "ok 1" "$(vb_ask wait \; visible)" "mode 0: window shown"
assert_eq "ok ok 0" "$(vb_ask syscmd 0x1010 \; settle \; visible)" "mode 0: Hide Window hides"
second_start 1 "mode 0: a second start shows it again"
assert_eq "" "$(ls "$VB_C/dst")" "mode 0: nothing copied"

# Started in mode 0, switched to mode 1 with one click and hidden: the one suppression
# is used by the next show request, so the next start does not show it; the one after does.
vb_setup switched
settings 0 0
vb_start
assert_eq "ok 1 0" "$(vb_ask wait \; visible \; checked 1008)" "switch: starts shown, Auto Copy clear"
assert_eq "ok 1 1" "$(vb_ask click 1008 \; checked 1008 \; enabled 1007)" "switch: one click sets Auto Copy to 1, Set enabled"
assert_eq "ok ok 0" "$(vb_ask syscmd 0x1010 \; settle \; visible)" "switch: Hide Window hides"
second_start 0 "switch: the next start is swallowed"
second_start 1 "switch: the start after that shows it"
assert_eq "ok ok 0" "$(vb_ask syscmd 0x1010 \; settle \; visible)" "switch: hidden again"
second_start 1 "switch: later starts always show it"

# Keys and close requests: Esc never closes; Enter presses the default button, which
# the template makes the About button, so it opens the About box and does not close;
# WM_CLOSE closes, visible or hidden, and so does the system Close command.
#   mode  how the window is asked to close
cases=(
    "0 close"
    "1 close"
    "0 syscmd"
)
for row in "${cases[@]}"; do
    read -r mode how <<<"$row"
    vb_setup "close-$mode-$how"
    settings "$mode" 0
    vb_start
    pid=$VB_LAST_PID
    vb_drive wait >/dev/null
    assert_eq "ok ok ok 1 0" "$(vb_ask focus 1003 \; key esc \; settle \; find \; dialogs)" \
        "[mode $mode] Esc leaves the window open"
    assert_match "^ok About VellumBox" "$(vb_ask key enter \; dialog)" "[mode $mode] Enter opens the About box"
    assert_eq "ok ok 1 0" "$(vb_ask press ok \; settle \; find \; dialogs)" "[mode $mode] About closed, window open"
    kill -0 "$pid" 2>/dev/null
    assert_eq 0 $? "[mode $mode] process alive after Esc and Enter"
    if [ "$how" = close ]; then vb_drive close >/dev/null; else vb_drive syscmd 0xF060 >/dev/null; fi
    vb_wait_exit "$pid" 10
    assert_eq 0 $? "[mode $mode] $how ends the process"
    assert_eq 0 "$(vb_ask find)" "[mode $mode] marker gone after $how"
done

# The system menu ends with our items, after the system's own, in each language; a
# Japanese display language under a Western code page gets the English ones.
#   LANG        LC_MESSAGES  texts
cases=(
    "en_US.UTF-8 en_US.UTF-8 en"
    "ja_JP.UTF-8 ja_JP.UTF-8 ja"
    "en_US.UTF-8 ja_JP.UTF-8 en"
)
for row in "${cases[@]}"; do
    read -r lang messages texts <<<"$row"
    export LC_MESSAGES=$messages
    if [ "$texts" = ja ]; then
        hide="ウィンドウを隠す" startup="スタートアップに登録..." about="VellumBox のﾊﾞｰｼﾞｮﾝ情報(&A)..."
    else
        hide="Hide Window" startup="Register in Start-up..." about="&About VellumBox..."
    fi
    vb_setup "sysmenu-${lang%%.*}-${messages%%.*}"
    settings 0 0
    LANG=$lang vb_start
    menu="$(LANG=$lang vb_drive wait \; sysmenu | tail -n +2)"
    want="$(printf -- '-\n0x1010\t%s\n-\n0x1020\t%s\n-\n0x0010\t%s' "$hide" "$startup" "$about")"
    assert_eq "$want" "$(tail -n 6 <<<"$menu")" "[$lang $messages] system menu ends with our six items"
    own="$(head -n -6 <<<"$menu" | grep -v -E '^(-|0xF[0-9A-F]{3}\b.*)$' || true)"
    assert_eq "" "$own" "[$lang $messages] only system items above ours"
    assert_match "0xF060" "$(head -n -6 <<<"$menu")" "[$lang $messages] the system's Close item is kept"
done
unset LC_MESSAGES

vb_finish
