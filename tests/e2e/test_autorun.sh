#!/usr/bin/env bash
# The decision at start: quiet switch x Auto Copy mode x copy switch gives a copy or not,
# an end at once or not, and a window shown or kept hidden.
. "$(dirname "$0")/lib.sh"

# command-line tail | mode | Copy | files copied | process ends (with its exit status) or
# runs (no) | window ever visible. Every combination and every form of the switch is a row
# of the window rules' table; here each outcome is reached once from a real start (a quiet
# start that copies nothing by its settings ends with 4; "_" stands for a blank).
cases=(
    "/q      |2|1|yes|0  |0"
    "/Q      |2|0|no |4  |0"
    "/q      |1|1|no |4  |0"
    "        |1|1|yes|no |0"
    "        |2|1|no |no |0"
    "        |0|1|no |no |1"
    "/q_     |2|1|no |no |0"
    "-q      |1|1|yes|no |0"
)
[ -n "${ONLY:-}" ] && cases=("${cases[@]:$ONLY:1}")
n=0
for row in "${cases[@]}"; do
    IFS='|' read -r tail mode copy want_copy want_end want_visible <<<"$row"
    tail="${tail%% *}"
    want_copy="${want_copy// /}"
    want_end="${want_end// /}"
    tail="${tail//_/ }"
    n=$((n + 1))
    label="[\"$tail\" mode $mode copy $copy]"
    vb_setup "case$n"
    vb_file "$VB_C/src/a.txt" "alpha"
    vb_file "$VB_C/src/b.txt" "beta"
    vb_file "$VB_C/src/c.txt" "gamma"
    mkdir -p "$VB_C/dst"
    d="C:\\vbt-$VB_TEST"
    vb_ini_text "$mode" "$copy" 1 1 1 "$d\\dst\\" "$d\\src\\a.txt|1|1" \
        "$d\\src\\b.txt|1|1" "$d\\src\\c.txt|0|1" | vb_settings
    vb_launch 2500 "$tail"
    if [ "$want_end" != no ]; then
        assert_match "^ended code=$want_end .* visible=0$" "$VB_LAUNCH" "$label ends at once with $want_end, never visible"
    else
        assert_match "^running .* window=1 visible=$want_visible$" "$VB_LAUNCH" "$label keeps running, visible=$want_visible"
        assert_eq "ok $want_visible" "$(vb_ask settle \; visible)" "$label window state after start"
        if [ "$want_visible" = 0 ]; then
            # Hidden, it holds neither the foreground nor the keyboard: keys reach nothing.
            assert_ne main "$(vb_ask foreground)" "$label hidden window is not the foreground window"
            assert_match "^(ok|nofocus) ok 0 (ok|nofocus) ok 0$" \
                "$(vb_ask key enter focus \; sleep 300 \; dialogs \; key space focus \; sleep 300 \; dialogs)" \
                "$label Enter and Space open nothing"
        fi
    fi
    if [ "$want_copy" = yes ]; then
        assert_eq "a.txt b.txt" "$(ls --ignore=VellumBox.state "$VB_C/dst" | tr '\n' ' ' | sed 's/ $//')" "$label ticked files copied"
        assert_file "$VB_C/dst/b.txt" "beta" "$label copy holds the content"
    else
        assert_eq "" "$(ls --ignore=VellumBox.state "$VB_C/dst")" "$label nothing copied"
    fi
    assert_eq "a.txt b.txt c.txt" "$(ls "$VB_C/src" | tr "\n" " " | sed "s/ $//")" "$label originals untouched"
done

# What an automatic copy left out is told at the window's next showing (a second start),
# once; a quiet copy, which ends at once, leaves it in the destination for a later start.
#   tail  mode  heading
reports=(
    "-  1 $(vb_id IDS_RUN_START_COPY)"
    "/q 2 $(vb_id IDS_RUN_QUIET_COPY)"
)
for row in "${reports[@]}"; do
    read -r tail mode heading <<<"$row"
    [ "$tail" = - ] && tail=""
    label="[missing file, \"$tail\" mode $mode]"
    vb_setup "report-mode$mode"
    vb_file "$VB_C/src/a.txt" "alpha"
    mkdir -p "$VB_C/dst"
    vb_ini_text "$mode" 1 1 1 1 "C:\\vbt-$VB_TEST\\dst\\" "C:\\vbt-$VB_TEST\\src\\a.txt|1|1" \
        "C:\\vbt-$VB_TEST\\src\\gone.txt|1|1" | vb_settings
    vb_launch 2500 "$tail"
    assert_file "$VB_C/dst/a.txt" alpha "$label the other file is copied"
    [ -n "$tail" ] && assert_match "^ended code=1 " "$VB_LAUNCH" "$label a quiet run that left a file out ends with 1"
    [ -n "$tail" ] && vb_start
    assert_eq "ok 0 0" "$(vb_ask wait \; visible \; dialogs)" "$label the hidden start shows nothing"
    vb_second_start "${label:-}"
    assert_eq "ok VellumBox	$heading||$(vb_id IDS_NOT_FOUND)|C:\\vbt-$VB_TEST\\src\\gone.txt" \
        "$(vb_ask sleep 500 \; message)" "$label the second start shows the message naming it"
    vb_drive press ok \; sleep 300 \; syscmd 0x1010 \; settle >/dev/null
    vb_second_start "${label:-}"
    assert_eq "ok 1 0" "$(vb_ask sleep 500 \; visible \; dialogs)" "$label told once: the next showing is quiet"
    assert_eq "a.txt 0" "$(ls --ignore=VellumBox.state "$VB_C/dst") $(grep -c '^[0-9]' "$VB_C/dst/VellumBox.state")" \
        "$label nothing is left in the destination once told"
done

# The quiet copy's exit status for a scheduler, one real run each (mode 2):
#   label | a line in the record before | listed file | its Copy tick | Over Write |
#   window station | copy of a.txt before | exit status | copy of a.txt after
quiet=(
    "nothing ticked    ||a.txt|0|1|seen  ||0|ABSENT"
    "restore owed      |due 1|a.txt|1|1|seen  ||1|ABSENT"
    "copy cut earlier  |cut-restore C:\\vbt-autorun\\src\\a.txt|a.txt|1|1|seen  ||2|ABSENT"
    "unseen, copy there||a.txt|1|0|unseen|old|1|old"
    "unseen, no copy   ||a.txt|1|0|unseen||0|alpha"
)
n=0
for row in "${quiet[@]}"; do
    IFS='|' read -r label record file tick ow station before code after <<<"$row"
    label="[quiet: $(xargs <<<"$label")]"
    station="${station// /}"
    [ "$station" = seen ] && station=""
    n=$((n + 1))
    vb_setup "quiet$n"
    vb_file "$VB_C/src/a.txt" "alpha"
    mkdir -p "$VB_C/dst"
    [ -n "$before" ] && vb_file "$VB_C/dst/a.txt" "$before"
    [ -n "$record" ] && printf '\r\n%s\r\n' "${record/ /$'\t'}" >"$VB_C/dst/VellumBox.state"
    vb_ini_text 2 1 1 "$ow" "$ow" "C:\\vbt-$VB_TEST\\dst\\" "C:\\vbt-$VB_TEST\\src\\$file|$tick|1" | vb_settings
    vb_launch 15000 "/q" "$station"
    assert_match "^ended code=$code .* visible=0$" "$VB_LAUNCH" "$label ends at once with $code"
    assert_file "$VB_C/dst/a.txt" "$after" "$label copy of a.txt afterwards"
done

# Where nobody can see a window, no message box waits for an answer either: a program whose
# own name the code page cannot hold (no settings file, which a visible start says) ends.
vb_setup quiet-unnamed
cp "$VB_EXE" "$VB_DIR/Ωbox.exe"
VB_WEXE="$(dospath "$VB_DIR/Ωbox.exe")"
vb_launch 15000 "/q" unseen
assert_match "^ended code=4 " "$VB_LAUNCH" "[quiet: unseen, no settings file] ends at once, asking nothing"

# A quiet start while a copy runs brings that copy's window forward, and says so with 5.
vb_setup quiet-second
mkdir -p "$VB_C/dst"
vb_ini_text 2 1 1 1 1 "C:\\vbt-$VB_TEST\\dst\\" | vb_settings
vb_start
vb_drive wait >/dev/null
vb_launch 5000 "/q"
assert_match "^ended code=5 " "$VB_LAUNCH" "[quiet: a second start] ends with 5"

vb_finish
