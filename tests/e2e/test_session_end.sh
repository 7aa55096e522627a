#!/usr/bin/env bash
# End of the Windows session: the hidden window in automatic mode restores the files
# ticked for Restore, and only when the session really ends.
. "$(dirname "$0")/lib.sh"

# Backups in the destination, changed or deleted originals (one in a folder that is gone).
prepare() {  # mode autoRestore [autoCopy]
    local d="C:\\vbt-$VB_TEST"
    vb_file "$VB_C/dst/a.txt" "A-saved"
    vb_file "$VB_C/dst/b.txt" "B-saved"
    vb_file "$VB_C/dst/c.txt" "C-saved"
    vb_file "$VB_C/dst/d.txt" "D-saved"
    vb_file "$VB_C/src/a.txt" "A-changed"
    vb_file "$VB_C/src/c.txt" "C-changed"
    mkdir -p "$VB_C/src"
    vb_settings <<INI
[AutoVellum]
AutoCopyMode=$1
Copy=${3:-0}
Restore=$2
[OverWrite]
Copy=0
Restore=1
[DestinationDirectory]
Directory=$d\\dst\\
[Files]
File001=$d\\src\\a.txt
Copy001=1
Restore001=1
File002=$d\\src\\b.txt
Copy002=1
Restore002=1
File003=$d\\src\\c.txt
Copy003=1
Restore003=0
File004=$d\\src\\gone\\d.txt
Copy004=1
Restore004=1
INI
}

originals() {
    local f out=""
    for f in a.txt b.txt c.txt gone/d.txt; do
        if [ -f "$VB_C/src/$f" ]; then out+="$(cat "$VB_C/src/$f") "; else out+="- "; fi
    done
    echo "${out% }"
}
RESTORED="A-saved B-saved C-changed D-saved"
UNTOUCHED="A-changed - C-changed -"

# state: how the window stands when the session ends
#   auto     hidden by the automatic mode since start
#   hidden   shown by a second start, then hidden with Hide Window
#   shown    shown by a second start
#   min      shown by a second start, then minimised
# flags: the WM_ENDSESSION flags sent one after another; the files are checked after each.
#   A trailing "c" sends both session messages with ENDSESSION_CLOSEAPP (an installer
#   closing the program through the Restart Manager while the session goes on).
#   state  mode restore flags  expected after each
cases=(
    "auto    1 1 1    yes"
    "auto    2 1 1    yes"
    "hidden  1 1 1    yes"
    "auto    1 0 1    no"
    "auto    2 0 1    no"
    "shown   1 1 1    no"
    "min     1 1 1    no"
    "hidden  0 1 1    no"
    "auto    1 1 0,1  no,yes"
    "auto    2 1 0,0  no,no"
    "auto    1 1 1c   no"
    "auto    2 1 1c,1 no,yes"
)
n=0
for row in "${cases[@]}"; do
    read -r state mode restore flags expect <<<"$row"
    n=$((n + 1))
    label="[$state mode $mode restore $restore flags $flags]"
    vb_setup "case$n"
    prepare "$mode" "$restore"
    vb_start
    vb_drive wait >/dev/null
    case $state in
    hidden | shown | min)
        vb_start
        vb_wait_exit "$VB_LAST_PID" 10
        [ "$mode" = 0 ] || assert_eq "ok 1" "$(vb_ask settle \; visible)" "$label second start shows"
        ;;
    esac
    case $state in
    hidden) vb_drive syscmd 0x1010 \; settle >/dev/null ;;
    min) vb_drive show min \; settle >/dev/null ;;
    esac
    IFS=, read -r -a fl <<<"$flags"
    IFS=, read -r -a ex <<<"$expect"
    for i in "${!fl[@]}"; do
        f="${fl[$i]}"
        lparam=0
        [ "${f%c}" != "$f" ] && lparam=1
        assert_eq "ok 1" "$(vb_ask settle \; endsession "${f%c}" $lparam)" "$label session question answered yes"
        if [ "${ex[$i]}" = yes ]; then want="$RESTORED"; else want="$UNTOUCHED"; fi
        assert_eq "$want" "$(originals)" "$label files after WM_ENDSESSION(${fl[$i]})"
        assert_eq 1 "$(vb_ask find)" "$label window still there after WM_ENDSESSION(${fl[$i]})"
    done
done

# A session end while the log-on copy waits on the shell's overwrite question: no restore
# runs inside the unfinished copy, and none is queued for after it.
vb_setup nested
prepare 1 1 1
vb_start
vb_drive wait >/dev/null
assert_eq "Confirm file overwrite" "$(vb_ask dialog)" "[nested] the log-on copy asks before replacing"
assert_eq 1 "$(vb_ask endsession 1)" "[nested] session question answered during the question"
assert_eq "$UNTOUCHED" "$(originals)" "[nested] nothing restored during the copy"
vb_drive press cancel \; sleep 300 \; settle >/dev/null
assert_eq "ok" "$(vb_ask nodialog 5000)" "[nested] the copy ends"
assert_eq "$UNTOUCHED" "$(originals)" "[nested] nothing restored after the copy either"
assert_file "$VB_C/dst/a.txt" "A-saved" "[nested] the copy kept the answer"

# An operation cut off (the process killed halfway through a large file) leaves its record
# in the destination, and the next runs keep the other operation from spreading the damage.
BIG=600000000
C="C:\\vbt-$VB_TEST"
big_settings() {  # mode autoCopy
    vb_ini_text "$1" "$2" 1 1 1 "$C\\dst\\" "$C\\src\\a.txt|1|1" "$C\\src\\big.bin|1|1" | vb_settings
}
big_file() { mkdir -p "$(dirname "$1")"; { head -c $BIG /dev/zero; printf END; } >"$1"; }
whole() { [ "$(stat -c %s "$1" 2>/dev/null)" = $((BIG + 3)) ] && [ "$(tail -c 3 "$1")" = END ] && echo whole || echo cut; }
# Kills the program once $1 has appeared but is not yet whole.
kill_while_writing() {
    local i s
    for ((i = 0; i < 1500; i++)); do
        s=$(stat -c %s "$1" 2>/dev/null) || s=-1
        if ((s >= 0 && s < BIG)); then
            kill -9 "$VB_LAST_PID" 2>/dev/null
            wait "$VB_LAST_PID" 2>/dev/null
            echo killed
            return
        fi
        sleep 0.02
    done
    echo "never seen being written"
}
# The window a second start shows, with the message waiting for it.
shown_message() {
    vb_start
    vb_wait_exit "$VB_LAST_PID" 10
    vb_ask sleep 500 \; dialog
}
INTERRUPTED_RESTORE="A Restore from this folder was interrupted earlier, so the restored files may be incomplete; the copies in this folder are intact. No automatic Copy runs until a Restore has completed:|$C\\dst\\"
INTERRUPTED_COPY="A Copy into this folder was interrupted earlier, so its copies may be incomplete. No automatic Restore runs until a Copy has completed:|$C\\dst\\"

# A session-end restore killed halfway, then a log-on copy (mode 1): the copy is whole.
vb_setup killed-restore
vb_file "$VB_C/dst/a.txt" "A-saved"
big_file "$VB_C/dst/big.bin"
mkdir -p "$VB_C/src"
big_settings 2 1
vb_start
vb_drive wait >/dev/null
(vb_drive endsession 1 >/dev/null 2>&1 &)
assert_eq killed "$(kill_while_writing "$VB_C/src/big.bin")" "[killed restore] the restore is cut off halfway"
assert_eq cut "$(whole "$VB_C/src/big.bin")" "[killed restore] the original is left cut"
assert_eq Restore "$(head -n 1 "$VB_C/dst/VellumBox.state" | tr -d '\r')" "[killed restore] its record stays in the destination"
big_settings 1 1
vb_start
vb_drive wait >/dev/null
assert_eq whole "$(whole "$VB_C/dst/big.bin")" "[killed restore] the mode 1 start copies nothing over the good copy"
assert_eq "ok VellumBox	While copying at start, VellumBox found this:||$INTERRUPTED_RESTORE" "$(shown_message)" \
    "[killed restore] the next showing tells what was interrupted"
vb_drive press ok \; sleep 300 \; pclick 1004 >/dev/null
assert_eq "ok VellumBox	$INTERRUPTED_RESTORE||Copy all the same? The copies in this folder would be replaced by the files as they are now." \
    "$(vb_ask sleep 300 \; dialog)" "[killed restore] Copy asks first"
vb_drive key enter \; sleep 500 \; settle >/dev/null
assert_eq "ok 0" "$(vb_ask settle \; dialogs)" "[killed restore] Enter answers No"
assert_eq whole "$(whole "$VB_C/dst/big.bin")" "[killed restore] No copies nothing"
vb_drive pclick 1005 \; sleep 500 \; settle \; nodialog 60000 >/dev/null
assert_eq whole "$(whole "$VB_C/src/big.bin")" "[killed restore] Restore repairs the original"
assert_eq absent "$([ -e "$VB_C/dst/VellumBox.state" ] && echo present || echo absent)" "[killed restore] and its record goes"
vb_cleanup

# A log-on copy killed halfway, then a session end: no original is touched.
vb_setup killed-copy
vb_file "$VB_C/src/a.txt" "A-orig"
big_file "$VB_C/src/big.bin"
mkdir -p "$VB_C/dst"
big_settings 1 1
vb_start
assert_eq killed "$(kill_while_writing "$VB_C/dst/big.bin")" "[killed copy] the copy is cut off halfway"
assert_eq Copy "$(head -n 1 "$VB_C/dst/VellumBox.state" | tr -d '\r')" "[killed copy] its record stays in the destination"
vb_file "$VB_C/src/a.txt" "A-edited"
big_settings 2 1
vb_start
vb_drive wait >/dev/null
assert_eq "ok 1" "$(vb_ask settle \; endsession 1)" "[killed copy] session question answered yes"
assert_file "$VB_C/src/a.txt" "A-edited" "[killed copy] the session end restores no old copy"
assert_eq whole "$(whole "$VB_C/src/big.bin")" "[killed copy] nor a cut one"
assert_eq "ok VellumBox	While restoring at the end of a session, VellumBox found this:||$INTERRUPTED_COPY" "$(shown_message)" \
    "[killed copy] the next showing tells what was interrupted"
vb_drive press ok \; sleep 300 \; pclick 1004 \; sleep 500 \; settle \; nodialog 60000 >/dev/null
assert_eq whole "$(whole "$VB_C/dst/big.bin")" "[killed copy] Copy runs from the button and completes"
assert_eq absent "$([ -e "$VB_C/dst/VellumBox.state" ] && echo present || echo absent)" "[killed copy] and its record goes"
vb_cleanup
rm -rf "$VB_C"

# The real thing: Wine's own end of session reaches the program, which restores and is
# then ended by the system.
vb_setup wineboot
prepare 1 1
vb_start
pid=$VB_LAST_PID
vb_drive wait >/dev/null
"$WINE" wineboot -e -s </dev/null >/dev/null 2>&1
vb_wait_exit "$pid" 20
assert_eq 0 $? "[wineboot -e -s] process ended by the session end"
assert_eq "$RESTORED" "$(originals)" "[wineboot -e -s] files restored"
vb_wine_prepare

vb_finish
