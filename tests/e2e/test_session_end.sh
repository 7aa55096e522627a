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
# Modes, switches and flags one by one are the window rules' table; here each window state
# meets a real session end, and an end called off or closed by an installer comes before one.
#   state  mode restore flags  expected after each
cases=(
    "auto    1 1 1    yes"
    "hidden  1 1 1    yes"
    "shown   1 1 1    no"
    "min     1 1 1    no"
    "auto    1 1 0,1  no,yes"
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
        vb_second_start "$label"
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
    vb_second_start "${label:-}"
    vb_ask sleep 500 \; message
}
INTERRUPTED_RESTORE="$(vb_id IDS_INTERRUPTED_RESTORE)|$C\\dst\\||$(vb_id IDS_INTERRUPTED_RESTORE).more"
INTERRUPTED_COPY="$(vb_id IDS_INTERRUPTED_COPY)|$C\\dst\\||$(vb_id IDS_INTERRUPTED_COPY).more"

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
assert_eq "ok VellumBox	$(vb_id IDS_RUN_START_COPY)||$INTERRUPTED_RESTORE" "$(shown_message)" \
    "[killed restore] the next showing tells what was interrupted"
vb_drive press ok \; sleep 300 \; pclick 1004 >/dev/null
assert_eq "ok VellumBox	$INTERRUPTED_RESTORE||$(vb_id IDS_ASK_COPY_ANYWAY)" \
    "$(vb_ask sleep 300 \; message)" "[killed restore] Copy asks first"
vb_drive key enter \; sleep 500 \; settle >/dev/null
assert_eq "ok 0" "$(vb_ask settle \; dialogs)" "[killed restore] Enter answers No"
assert_eq whole "$(whole "$VB_C/dst/big.bin")" "[killed restore] No copies nothing"
# A Restore of a.txt alone leaves big.bin cut: the next log-on still copies nothing.
vb_drive dblclk 1 2 \; pclick 1005 \; sleep 500 \; settle \; nodialog 60000 >/dev/null
assert_eq cut "$(whole "$VB_C/src/big.bin")" "[killed restore] a partial Restore leaves the cut file"
vb_cleanup
vb_start
vb_drive wait >/dev/null
assert_eq whole "$(whole "$VB_C/dst/big.bin")" "[killed restore] after a partial Restore, the log-on copies nothing over the good copy"
vb_second_start "${label:-}"
vb_drive sleep 500 \; press ok 5000 \; sleep 300 \; settle \; pclick 1005 \; sleep 500 \; settle \; nodialog 60000 >/dev/null
assert_eq whole "$(whole "$VB_C/src/big.bin")" "[killed restore] Restore repairs the original"
assert_eq "" "$(head -n 1 "$VB_C/dst/VellumBox.state" | tr -d '\r')" "[killed restore] and its record lifts the block"
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
assert_eq "ok VellumBox	$(vb_id IDS_RUN_SESSION_RESTORE)||$INTERRUPTED_COPY" "$(shown_message)" \
    "[killed copy] the next showing tells what was interrupted"
# A Copy of a.txt alone leaves big.bin's copy cut: a session end restores nothing. This
# hidden session owes its restore, so Copy asks first.
vb_drive press ok \; sleep 300 \; settle \; dblclk 1 1 \; settle \; pclick 1004 >/dev/null
assert_contains "$(vb_id IDS_RESTORE_DUE)|" "$(vb_ask sleep 500 \; message)|" "[killed copy] Copy asks while this session owes its restore"
vb_drive press yes \; sleep 500 \; settle \; nodialog 60000 >/dev/null
assert_eq "ok ok cut" "$(vb_ask settle \; nodialog 5000) $(whole "$VB_C/dst/big.bin")" "[killed copy] a Copy of a.txt alone leaves big.bin's copy cut"
vb_drive syscmd 0x1010 \; settle \; endsession 1 >/dev/null
assert_eq whole "$(whole "$VB_C/src/big.bin")" "[killed copy] after a partial Copy, the session end restores no cut copy"
vb_second_start "${label:-}"
vb_drive sleep 500 \; press ok 5000 \; sleep 300 \; settle \; dblclk 1 1 \; settle \; pclick 1004 \; sleep 500 \; press yes 5000 \; sleep 500 \; settle \; nodialog 60000 >/dev/null
assert_eq whole "$(whole "$VB_C/dst/big.bin")" "[killed copy] Copy runs from the button and completes"
assert_eq "" "$(head -n 1 "$VB_C/dst/VellumBox.state" | tr -d '\r')" "[killed copy] and its record lifts the block"
vb_cleanup
rm -rf "$VB_C"

# The automatic cycle across sessions: what the last log-on copied comes back, whatever
# happens in between. Each row is a label and steps, run in order on a fresh folder whose
# a.txt ("A-known") is listed for Copy and Restore in mode 1 (paths on Z:, which every
# prefix reaches, so that a second prefix can stand for a second session):
#   logon          a start as at log-on; it runs hidden (the last one started is "it")
#   logon2         the same in a second Wine prefix: another session on this settings file
#   edit, editb    the user changes a.txt, or b\a.txt; editc: c.txt; dstedit: a.txt's copy
#   two            the settings list c.txt ("C-known") after a.txt, for Copy only
#   fat            the destination is a FAT image (fusefat keeps local time; it loses a file
#                  written over, so no row does that); clock: mounted again an hour on
#   button N       the shown window's button N is pressed (1004 Copy, 1005 Restore)
#   as NAME        from now on the program is NAME.exe, a copy with NAME.ini of its own
#   kill           it dies (power loss, a crash)
#   end            the session ends: the hidden window restores, then the process dies
#   endno          the same, answering No to the restore's overwrite question
#   ow0            Over Write off from now on (the restore asks)
#   hold F MS [shared]  another program holds F (a.txt, the record or its hold) open for MS
#                  ms, unshared, or shared as an indexer reads it
#   ro             the record is made hidden and read-only
#   show           a second start shows it; the browse is cancelled, then Hide Window
#   list F         the settings now list F (an absolute Windows path) instead of a.txt
#   mode M         Auto Copy mode M from now on
#   src X, dst X   a.txt, or its copy, holds X (ABSENT: none); srcb X: the b\\a.txt beside it;
#                  dstc X: c.txt's copy
#   owed N         the record names N files whose restore is still owed
#   says IDS_X     the next showing of the window tells string IDS_X (one of its messages)
cyc_ini() {  # mode overwriteRestore file
    local more=()
    [ "$two" = 1 ] && more=("$CYC_W\\src\\c.txt|1|0")
    vb_ini_text "$1" 1 1 1 "$2" "$CYC_W\\dst\\" "$3|1|1" "${more[@]}" | vb_settings
}
# The FAT image in the local time of zone $1 ("": unmounted, written whole once its
# fusefat has ended).
FAT_PID=""
fat_mount() {
    [ -n "$FAT_PID" ] && fusermount -u "$CYC/dst" && wait "$FAT_PID"
    FAT_PID=""
    [ -n "$1" ] || return 0
    TZ="$1" fusefat -f -o rw+ "$VB_DIR/fat.img" "$CYC/dst" >/dev/null 2>&1 &
    FAT_PID=$!
    for _ in {1..100}; do mountpoint -q "$CYC/dst" && break; sleep 0.05; done
}
cyc_start() {  # [prefix]
    if [ -n "${1:-}" ]; then
        WINEPREFIX="$1" "$WINE" "$VB_EXE" </dev/null >>"$VB_DIR/wine.log" 2>&1 &
        VB_UNIX_PIDS+=($!)
        sleep 4
    else
        vb_start
        vb_drive wait \; settle >/dev/null
    fi
}
cyc_kill() {
    local p
    for p in "${VB_UNIX_PIDS[@]}"; do kill -9 "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
    VB_UNIX_PIDS=()
}
PREFIX2="$VB_RUN_DIR/prefix2"
cycles=(
    "killed|logon;edit;kill;logon;dst A-known;owed 1;end;src A-known;owed 0;says IDS_OWED_NOT_COPIED"
    "declined|ow0;logon;edit;endno;src A-edited;logon;dst A-known;owed 1;says IDS_NOT_RESTORED"
    "left-out file|two;logon;dstedit;edit;editc;end;src A-edited;logon;dst A-copyedit;dstc C-edited;owed 1;says IDS_OWED_NOT_COPIED"
    "late save|logon;edit;end;src A-known;edit;logon;dst A-known;end;src A-known;says IDS_SAVED_AFTER_RESTORE"
    "FAT by button|fat;mode 0;logon;button 1004;edit;button 1005;src A-known;kill;clock;edit;logon;button 1005;src A-known"
    "FAT by session end|fat;logon;edit;end;src A-known;clock;edit;logon;dst A-known;end;src A-known;owed 0"
    "second session|logon;edit;logon2;dst A-known;end;src A-known"
    "hidden read-only record|logon;edit;ro;end;src A-known;owed 0"
    "source held|edit;hold a.txt 9000;logon;dst ABSENT;says IDS_NOT_COPIED"
    "cancelled browse|logon;edit;show;end;src A-edited;logon;dst A-known;says IDS_SESSION_NO_DEST"
    "record held|logon;edit;hold VellumBox.state 15000;end;src A-edited;owed 1;says IDS_INTERRUPTED_UNKNOWN"
    "record read meanwhile|logon;edit;hold VellumBox.state 1500 shared;end;src A-known;owed 0"
    "record busy at log-on|logon;end;hold VellumBox.state.lock 3000;logon;dst A-known;owed 1;says IDS_RECORD_BUSY"
    "replaced entry|logon;kill;mode 2;list b\\a.txt;logon;end;srcb B-own;says IDS_COPY_OF_OTHER"
    "two programs|as Work;logon;kill;as VellumBox;list b\\a.txt;logon;kill;edit;editb;as Work;mode 2;logon;end;src A-edited;as VellumBox;list b\\a.txt;mode 2;logon;end;srcb B-own;as Work;says IDS_COPY_CHANGED"
)
n=0
for row in "${cycles[@]}"; do
    n=$((n + 1))
    label="[cycle: ${row%%|*}]"
    vb_setup "cycle$n"
    CYC="$VB_DIR/c"
    CYC_W="$(winpath "$CYC")"
    vb_file "$CYC/src/a.txt" "A-known"
    vb_file "$CYC/src/b/a.txt" "B-own"
    vb_file "$CYC/src/c.txt" "C-known"
    mkdir -p "$CYC/dst"
    mode=1 ow=1 file="$CYC_W\\src\\a.txt" two=0
    cyc_ini $mode $ow "$file"
    IFS=';' read -r -a steps <<<"${row#*|}"
    for step in "${steps[@]}"; do
        read -r verb arg rest <<<"$step"
        case $verb in
        logon) cyc_start ;;
        logon2) WINEPREFIX="$PREFIX2" vb_wine_prepare; cyc_start "$PREFIX2" ;;
        edit) vb_file "$CYC/src/a.txt" "A-edited" ;;
        editb) vb_file "$CYC/src/b/a.txt" "B-edited" ;;
        editc) vb_file "$CYC/src/c.txt" "C-edited" ;;
        dstedit) vb_file "$CYC/dst/a.txt" "A-copyedit" ;;
        two) two=1; cyc_ini $mode $ow "$file" ;;
        fat) mkfs.vfat -C "$VB_DIR/fat.img" 8192 >/dev/null && fat_mount UTC ;;
        clock)
            t="$(stat -c %Y "$CYC/dst/a.txt")" && fat_mount Etc/GMT-1
            assert_eq 3600 "$((t - $(stat -c %Y "$CYC/dst/a.txt")))" "$label the clock an hour on" ;;
        button) vb_drive settle \; pclick "$arg" \; sleep 500 \; settle \; nodialog 10000 >/dev/null ;;
        as)
            VB_EXE="$VB_DIR/$arg.exe" VB_INI="$VB_DIR/$arg.ini"
            [ -f "$VB_EXE" ] || cp "$VB_EXE_BUILT" "$VB_EXE"
            mode=1 ow=1 file="$CYC_W\\src\\a.txt"
            cyc_ini $mode $ow "$file" ;;
        kill) cyc_kill ;;
        end | endno)
            if [ $verb = end ]; then
                vb_drive endsession 1 >/dev/null
            else
                (vb_drive endsession 1 >/dev/null 2>&1 &)
                vb_drive sleep 500 \; press no 10000 \; sleep 500 \; settle >/dev/null
            fi
            cyc_kill ;;
        ow0) ow=0; cyc_ini $mode $ow "$file" ;;
        mode) mode=$arg; cyc_ini $mode $ow "$file" ;;
        list) file="$CYC_W\\src\\$arg"; cyc_ini $mode $ow "$file" ;;
        hold)
            f="$CYC/src/$arg"
            [ "${arg#VellumBox.state}" != "$arg" ] && f="$CYC/dst/$arg" && touch "$f"
            : >"$VB_DIR/hold.out"
            # The driver itself, not vb_drive, which prints only once the hold is over.
            ("$WINE" "$VB_DRIVER" hold "$(winpath "$f")" $rest >"$VB_DIR/hold.out" 2>&1 &)
            for _ in $(seq 100); do grep -q held "$VB_DIR/hold.out" && break; sleep 0.1; done ;;
        ro) "$WINE" attrib +h +r "$CYC_W\\dst\\VellumBox.state" </dev/null >/dev/null 2>&1 ;;
        show)
            vb_second_start "${label:-}"
            vb_drive settle \; pclick 1001 \; browse cancel \; sleep 300 \; settle \; syscmd 0x1010 \; settle >/dev/null ;;
        src) assert_file "$CYC/src/a.txt" "$arg" "$label $step" ;;
        srcb) assert_file "$CYC/src/b/a.txt" "$arg" "$label $step" ;;
        dst) assert_file "$CYC/dst/a.txt" "$arg" "$label $step" ;;
        dstc) assert_file "$CYC/dst/c.txt" "$arg" "$label $step" ;;
        owed) assert_eq "$arg" "$(grep -c '^owed' "$CYC/dst/VellumBox.state" 2>/dev/null)" "$label $step" ;;
        says)
            # Every message of the showing: others (a folder open to others, where the
            # checkout lies below one) may come first.
            [ ${#VB_UNIX_PIDS[@]} -gt 0 ] || cyc_start
            vb_second_start "${label:-}"
            told=""
            for _ in 1 2 3 4 5 6; do
                m="$(vb_ask sleep 500 \; message 2000)"
                [[ "$m" == "ok VellumBox"* || "$m" == "ok Work"* ]] || break
                told+="$m|"
                vb_drive press ok >/dev/null
            done
            assert_contains "$(vb_id "$arg")|" "$told" "$label $step" ;;
        esac
    done
    cyc_kill
    fat_mount ""
done
WINEPREFIX="$PREFIX2" "$WINESERVER" -k >/dev/null 2>&1

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
