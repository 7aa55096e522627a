#!/usr/bin/env bash
# Hostile settings files: whatever the file holds, the program starts (and a quiet start
# ends), shows what the profile reader could read, and a Set writes a file that reads
# back to the same values. Entries holding wildcards are listed but never copied.
. "$(dirname "$0")/lib.sh"
. "$VB_E2E_DIR/commands-lib.sh"

C='C:\vbt-hostile'   # the test folder as the program sees it
ON=ON OFF=---
TAB=$'\t'

# Writes a settings file from a python expression over `body` (str) and `raw` (bytes).
py_ini() { python3 -c "$1" >"$VB_INI"; }

# A valid block of settings, CRLF: mode, copy switch, dest, then "path|copy|restore"...
block() {
    local mode="$1" copy="$2" dest="$3"
    shift 3
    vb_ini_text "$mode" "$copy" 0 1 0 "$dest" "$@" | sed 's/$/\r/'
}

# What the window shows: list rows, destination text, Auto Copy and Over Write boxes.
state() { vb_ask rows \; text 1002 \; checked 1008 \; checked 1009; }

# Expected state: dest mode overwrite, then rows as "path|ticks" with ticks 11/10/01/00.
expect() {
    local dest="$1" mode="$2" ow="$3" out="" n=0 e p t
    shift 3
    for e in "$@"; do
        p="${e%|*}"
        t="${e##*|}"
        out+="$p$TAB$([ "${t:0:1}" = 1 ] && echo $ON || echo $OFF)$TAB$([ "${t:1:1}" = 1 ] && echo $ON || echo $OFF) "
        n=$((n + 1))
    done
    echo "${out}rows $n $dest $mode $ow"
}

long() { printf "%${2}s" "" | tr ' ' "$1"; }  # long char count

P259="$C\\$(long p $((259 - ${#C} - 5))).txt"
P300="$C\\$(long q $((300 - ${#C} - 5))).txt"
D259="$C\\$(long d $((259 - ${#C} - 2)))\\"
DIR="$C\\dst\\"

# One case: label, expected state; the settings file is already written. Checks the start,
# a quiet start, then (when Set can be enabled) Set and a restart.
check_case() {
    local label="$1" want="$2" got launch
    vb_launch 15000 "/q"
    assert_match "^ended " "$VB_LAUNCH" "[$label] quiet start ends"
    cp "$VB_INI" "$VB_DIR/before.ini"
    vb_start
    assert_eq "ok" "$(vb_ask wait 20000)" "[$label] starts, window found"
    got="$(state)"
    assert_eq "$want" "$got" "[$label] shows what could be read"
    cmp -s "$VB_INI" "$VB_DIR/before.ini"
    assert_eq 0 $? "[$label] loading leaves the file as it was"
    if [[ "$want" == *"rows 0 "* || "$want" == *" none "* ]]; then
        assert_eq "0" "$(vb_ask enabled 1007)" "[$label] Set stays disabled"
        vb_cleanup
        return
    fi
    # Toggling a tick twice changes nothing but enables Set.
    assert_eq "ok ok 1 ok 0" "$(vb_ask dblclk 0 1 \; dblclk 0 1 \; enabled 1007 \; click 1007 \; enabled 1007)" \
        "[$label] Set enabled after a change, disabled after saving"
    assert_eq "$want" "$(state)" "[$label] the double toggle changed nothing"
    vb_cleanup
    vb_start
    assert_eq "ok" "$(vb_ask wait 20000)" "[$label] restarts after Set"
    assert_eq "$want" "$(state)" "[$label] the saved file reads back to the same values"
    vb_cleanup
}

A="$C\\src\\a.txt"

# --- random bytes ------------------------------------------------------------------------
vb_setup random
py_ini 'import random,sys; random.seed(7); sys.stdout.buffer.write(bytes(random.getrandbits(8) for _ in range(65536)))'
check_case "random bytes" "$(expect none 0 0)"

vb_setup random-tail
py_ini 'import random,sys; random.seed(8); sys.stdout.buffer.write(bytes(random.getrandbits(8) for _ in range(65536)))'
block 0 0 "$DIR" "$A|1|1" "$C\\src\\b.txt|0|1" >>"$VB_INI"
check_case "random bytes, then settings" "$(expect "$DIR" 0 1 "$A|11" "$C\\src\\b.txt|01")"

# --- a 10 MB file: unrelated keys first -------------------------------------------------
vb_setup big
py_ini 'import sys
w=sys.stdout.buffer; w.write(b"[Junk]\r\n")
line=b"=" + b"j"*200 + b"\r\n"
for i in range(10*1024*1024//(len(line)+8)): w.write(b"k%07d" % i + line)'
block 0 0 "$DIR" "$A|1|0" >>"$VB_INI"
check_case "10 MB file" "$(expect "$DIR" 0 1 "$A|10")"
assert_match "^[0-9]{8}$" "$(stat -c %s "$VB_INI")" "[10 MB file] unrelated keys kept by Set"

# --- UTF-16 with a byte order mark ------------------------------------------------------
vb_setup utf16
block 2 0 "$DIR" "$C\\src\\café.txt|1|0" "$A|0|1" | iconv -f UTF-8 -t UTF-16 >"$VB_INI"
assert_eq "fffe" "$(head -c 2 "$VB_INI" | od -An -tx1 | tr -d ' \n')" "[UTF-16] file starts with its mark"
check_case "UTF-16 file" "$(expect "$DIR" 2 1 "$C\\src\\café.txt|10" "$A|01")"

# --- repeated sections and keys: the first section of a name and its first key count ----
vb_setup repeated
{
    printf '[AutoVellum]\r\nAutoCopyMode=1\r\nAutoCopyMode=2\r\nCopy=0\r\n[OverWrite]\r\nCopy=1\r\n'
    printf '[DestinationDirectory]\r\nDirectory=%s\r\nDirectory=C:\\other\\\r\n' "$DIR"
    printf '[Files]\r\nFile001=%s\r\nFile001=%s\r\nCopy001=1\r\nCopy001=0\r\n' "$A" "$C\\twice.txt"
    printf '[Files]\r\nFile002=%s\r\nCopy002=1\r\n' "$C\\later.txt"
    printf '[AutoVellum]\r\nAutoCopyMode=2\r\n[DestinationDirectory]\r\nDirectory=C:\\other\\\r\n'
} >"$VB_INI"
check_case "repeated sections and keys" "$(expect "$DIR" 1 1 "$A|10")"

# --- long paths: Restore leaves a cut entry out ----------------------------------------
vb_setup long-paths
block 0 0 "$D259" "$P259|1|0" "$P300|0|1" >"$VB_INI"
TOOLONG="$(vb_id IDS_PATH_TOO_LONG)"
vb_start
vb_drive wait \; pclick 1005 >/dev/null
assert_eq "ok VellumBox	$TOOLONG|${P300:0:259}" "$(vb_ask sleep 300 \; message)" \
    "[paths of 259 and 300 bytes] Restore leaves the cut entry out and names it"
vb_drive press ok \; sleep 300 \; settle >/dev/null
vb_cleanup

# --- the program in a folder the code page cannot name ("Ωapp", beside "Oapp", which
# the "A" functions' best fit would give): it reads and writes its own settings file, and
# registers its own path; named "Ωbox.exe" it has no settings file and says so -----------
vb_setup own-path
mkdir -p "$VB_C/Ωapp" "$VB_C/Oapp"
cp "$VB_EXE" "$VB_C/Ωapp/VellumBox.exe"
VB_EXE="$VB_C/Ωapp/VellumBox.exe"
VB_INI="$VB_C/Ωapp/VellumBox.ini"
block 0 0 "$C\\mine\\" "$A|1|1" >"$VB_INI"
block 0 0 "$C\\other\\" "$A|1|1" >"$VB_C/Oapp/VellumBox.ini"
cp "$VB_C/Oapp/VellumBox.ini" "$VB_DIR/other.ini"
vb_start
assert_eq "ok $C\\mine\\" "$(vb_ask wait 20000 \; text 1002)" "[Ωapp] reads its own settings file"
vb_drive click 1009 \; click 1007 >/dev/null
assert_eq "Copy=0 Restore=0" "$(ini_vals OverWrite Copy Restore)" "[Ωapp] Set writes its own settings file"
cmp -s "$VB_C/Oapp/VellumBox.ini" "$VB_DIR/other.ini"
assert_eq 0 $? "[Ωapp] the other folder's settings file is untouched"
vb_drive syscmd 0x1020 \; dialog \; press 1013 \; settle >/dev/null
assert_eq "\"$C\\Ωapp\\VellumBox.exe\"" "$(vb_ask runkey)" "[Ωapp] Set registers the exact path"
vb_drive press 1 \; syscmd 0x1020 \; dialog >/dev/null
assert_eq "1013:0 1014:1 " "$(vb_drive dlginfo 1013 1014 | tail -n +2 | cut -f1,2 | tr '\t\n' ': ')" \
    "[Ωapp] reopened, the dialog knows the registration"
vb_drive press 1014 \; press 1 \; settle >/dev/null
assert_eq none "$(vb_ask runkey)" "[Ωapp] Clear removes it"
vb_cleanup
mv "$VB_C/Ωapp/VellumBox.exe" "$VB_C/Ωapp/Ωbox.exe"
VB_EXE="$VB_C/Ωapp/Ωbox.exe"
vb_start
vb_drive wait 20000 >/dev/null
assert_eq "$(vb_id IDS_PROGRAM_PATH_UNNAMED)|$C\\Ωapp\\Ωbox.exe" \
    "$(vb_drive message | cut -f2-)" "[Ωbox.exe] says so at start"
shot_dialog program-path-unnamed
vb_drive press ok \; settle >/dev/null
assert_eq "none 0" "$(vb_ask text 1002 \; enabled 1007)" "[Ωbox.exe] no settings read"
vb_cleanup

# --- a Directory value naming an existing file ------------------------------------------
#   dest value             label
n=0
for dest in "$C\\user.dat" "$C\\user.dat\\"; do
    n=$((n + 1))
    vb_setup "dest-file$n"
    vb_file "$VB_C/user.dat" "user data"
    vb_file "$VB_C/src/a.txt" "alpha"
    block 0 0 "$dest" "$A|1|1" >"$VB_INI"
    check_case "Directory '$dest' is a file" "$(expect "$dest" 0 1 "$A|11")"
    vb_start
    vb_ask wait \; pclick 1004 \; sleep 1500 \; settle >/dev/null
    [ "$(vb_ask dialogs)" != 0 ] && vb_drive press no \; sleep 500 >/dev/null
    assert_eq "ok" "$(vb_ask settle)" "[Directory '$dest' is a file] alive after Copy"
    assert_file "$VB_C/user.dat" "user data" "[Directory '$dest' is a file] Copy leaves the user's file alone"
    assert_file "$VB_C/src/a.txt" "alpha" "[Directory '$dest' is a file] original unchanged"
    vb_cleanup
done

# --- File values Windows cannot use as they stand (wildcards, streams, devices): listed,
# never copied or restored ---------------------------------------------------------------
BAD="$(vb_id IDS_BAD_NAME)"
wild_files() {
    vb_file "$VB_C/src/a.txt" "alpha"
    vb_file "$VB_C/src/b.txt" "beta"
    mkdir -p "$VB_C/dst"
}
vb_setup wildcards
wild_files
block 0 0 "$DIR" "$C\\src\\*.txt|1|1" "$C\\src\\?.txt|1|1" "$C\\src\\b.txt|1|1" \
    "$C\\src\\a.txt:x|1|1" "$C\\src\\Nul.txt|1|1" "$C\\src\\com7|1|1" "$C\\src\\ ..|1|1" >"$VB_INI"
check_case "wildcards" "$(expect "$DIR" 0 1 "$C\\src\\*.txt|11" "$C\\src\\?.txt|11" "$C\\src\\b.txt|11" \
    "$C\\src\\a.txt:x|11" "$C\\src\\Nul.txt|11" "$C\\src\\com7|11" "$C\\src\\ ..|11")"
want="VellumBox	$BAD|$C\\src\\*.txt|$C\\src\\?.txt|$C\\src\\a.txt:x|$C\\src\\Nul.txt|$C\\src\\com7|$C\\src\\ .."
vb_start
vb_drive wait \; pclick 1004 >/dev/null
assert_eq "$want" "$(vb_ask message)" "[wildcards] Copy names the left-out entries"
vb_drive press ok \; sleep 500 \; settle >/dev/null
assert_eq "0" "$(vb_ask dialogs)" "[wildcards] one message only"
assert_eq "b.txt" "$(ls --ignore=VellumBox.state "$VB_C/dst" | tr '\n' ' ' | sed 's/ $//')" "[wildcards] Copy takes only the plain entry"
# Restore: a.txt has a copy in the folder, but no entry names it; only b.txt comes back.
vb_file "$VB_C/dst/a.txt" "from-dst"
vb_file "$VB_C/src/a.txt" "alpha-edited"
vb_file "$VB_C/src/b.txt" "beta-edited"
# Over Write is off for Restore: the shell asks about b.txt only, and the program reports
# the left-out entries once the work is done.
assert_eq "ok Confirm file overwrite" "$(vb_ask pclick 1005 \; dialog)" "[wildcards] Restore asks before replacing b.txt"
vb_drive press yes \; sleep 500 >/dev/null
assert_eq "$want" "$(vb_ask message)" "[wildcards] Restore names the left-out entries"
vb_drive press ok \; sleep 500 \; settle >/dev/null
assert_file "$VB_C/src/a.txt" "alpha-edited" "[wildcards] Restore leaves what the wildcard matches alone"
assert_file "$VB_C/src/b.txt" "beta" "[wildcards] Restore brings the plain entry back"
assert_eq "a.txt b.txt" "$(ls "$VB_C/src" | tr '\n' ' ' | sed 's/ $//')" "[wildcards] no file created in the sources' folder"
vb_cleanup

# Quiet mode 2 copies at start with no message (the start ends) and nothing from a wildcard;
# what it left out waits in its record in the destination for the next showing.
vb_setup wildcards-quiet
wild_files
block 2 1 "$DIR" "$C\\src\\*.txt|1|1" "$C\\src\\b.txt|1|1" >"$VB_INI"
vb_launch 15000 "/q"
assert_match "^ended .* visible=0$" "$VB_LAUNCH" "[wildcards quiet] ends without a message"
assert_eq "b.txt VellumBox.state" "$(ls "$VB_C/dst" | tr '\n' ' ' | sed 's/ $//')" "[wildcards quiet] only the plain entry copied"
assert_eq "$(printf '\r\n134\t\r\n120\t%s\r\n' "$C\\src\\*.txt")" "$(grep -v '^copy' "$VB_C/dst/VellumBox.state")" \
    "[wildcards quiet] the record holds the left-out entry for the next showing"
assert_match "^copy	4	[0-9]+	C:.*\\b\.txt" "$(grep '^copy' "$VB_C/dst/VellumBox.state" | tr -d '\r')" \
    "[wildcards quiet] and the copy it made"

# A wildcard alone: Copy shows the message and makes no shell call.
vb_setup wildcard-only
wild_files
block 0 0 "$DIR" "$C\\src\\?.txt|1|1" >"$VB_INI"
vb_start
vb_drive wait \; pclick 1004 >/dev/null
assert_eq "VellumBox	$BAD|$C\\src\\?.txt" \
    "$(vb_ask message)" "[wildcard only] Copy names it"
vb_drive press ok \; sleep 500 \; settle >/dev/null
assert_eq "" "$(ls "$VB_C/dst")" "[wildcard only] nothing copied"
assert_eq "ok 0" "$(vb_ask settle \; dialogs)" "[wildcard only] program alive, no other window"

vb_finish
