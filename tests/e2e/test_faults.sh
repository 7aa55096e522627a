#!/usr/bin/env bash
# Faults while copying and restoring: a missing source, a destination that cannot be made,
# a destination gone before Restore, a full file system. Whatever happens, no original
# changes except by a completed restore of its own copy, the program keeps running and
# the buttons keep their rules.
. "$(dirname "$0")/lib.sh"

C='C:\vbt-faults'

settings() {  # dest, then "name|copy|restore"... (files under src\)
    local dest="$1" e entries=()
    shift
    for e in "$@"; do entries+=("$C\\src\\$e"); done
    vb_ini_text 0 0 0 1 1 "$dest" "${entries[@]}" | vb_settings
}

# Presses a button, waits for the operation to end, answers an overwrite question with
# Yes and the program's own messages with OK (their texts go to the file $MESSAGES);
# prints the number of windows still open besides the main one.
MESSAGES="$VB_RUN_DIR/faults-messages.txt"
press() {
    : >"$MESSAGES"
    vb_drive pclick "$1" \; sleep 300 \; settle >/dev/null
    local i text
    for i in 1 2 3 4; do
        [ "$(vb_ask dialogs)" = 0 ] && break
        text="$(vb_ask message 2000)"
        if [[ "$text" == VellumBox* ]]; then
            echo "$text" >>"$MESSAGES"
            vb_drive press ok 2000 \; sleep 300 \; settle >/dev/null
        else
            vb_drive press yes 2000 \; sleep 300 \; settle >/dev/null
        fi
    done
    vb_ask settle \; dialogs | sed 's/^ok //'
}

# The program is alive and the buttons follow their rules (a destination and files:
# Copy and Restore on; nothing changed: Set off; room in the table: Select File on).
assert_alive() {
    assert_eq "ok 1 1 1 0 1" "$(vb_ask settle \; enabled 1001 \; enabled 1004 \; enabled 1005 \; enabled 1007 \; enabled 1006)" \
        "$1: alive, buttons as their rules say"
}

# Contents of the given files, or ABSENT: "name=content ...".
contents() {
    local dir="$1" f out=""
    shift
    for f in "$@"; do
        if [ -f "$dir/$f" ]; then out+="$f=$(cat "$dir/$f") "; else out+="$f=ABSENT "; fi
    done
    echo "${out% }"
}

# --- a ticked source that does not exist, first, in the middle or last ------------------
#   label   table (missing.txt does not exist)
cases=(
    "first |missing.txt|1|1,a.txt|1|1,b.txt|1|1"
    "middle|a.txt|1|1,missing.txt|1|1,b.txt|1|1"
    "last  |a.txt|1|1,b.txt|1|1,missing.txt|1|1"
)
for row in "${cases[@]}"; do
    where="${row%%|*}"
    where="${where%% *}"
    label="missing source $where"
    IFS=, read -r -a table <<<"${row#*|}"
    vb_setup "missing-$where"
    vb_file "$VB_C/src/a.txt" "alpha"
    vb_file "$VB_C/src/b.txt" "beta"
    settings "$C\\dst\\" "${table[@]}"
    vb_start
    vb_drive wait >/dev/null
    assert_eq 0 "$(press 1004)" "[$label] Copy leaves no window open"
    assert_eq "a.txt=alpha b.txt=beta missing.txt=ABSENT" "$(contents "$VB_C/dst" a.txt b.txt missing.txt)" \
        "[$label] the other files are copied"
    assert_eq "VellumBox	$(vb_id IDS_NOT_FOUND)|C:\\vbt-faults\\src\\missing.txt" \
        "$(cat "$MESSAGES")" "[$label] Copy names the missing file"
    assert_alive "[$label] after Copy"
    vb_file "$VB_C/src/a.txt" "alpha-edited"
    vb_file "$VB_C/src/b.txt" "beta-edited"
    assert_eq 0 "$(press 1005)" "[$label] Restore leaves no window open"
    assert_eq "a.txt=alpha b.txt=beta missing.txt=ABSENT" "$(contents "$VB_C/src" a.txt b.txt missing.txt)" \
        "[$label] Restore brings the others back and makes nothing up"
    assert_eq "VellumBox	$(vb_id IDS_COPY_NOT_FOUND)|C:\\vbt-faults\\src\\missing.txt" \
        "$(cat "$MESSAGES")" "[$label] Restore names the file whose copy is missing"
    assert_alive "[$label] after Restore"
done

# --- a destination that cannot be created: a file stands where a folder must be --------
#   label        Directory value (relative)   the blocking file
cases=(
    "file in the way   |dst\\|dst"
    "file on the path  |block\\sub\\|block"
)
n=0
for row in "${cases[@]}"; do
    IFS='|' read -r label rel blocker <<<"$row"
    label="$(sed 's/ *$//' <<<"$label")"
    n=$((n + 1))
    vb_setup "blocked$n"
    vb_file "$VB_C/src/a.txt" "alpha"
    vb_file "$VB_C/src/b.txt" "beta"
    vb_file "$VB_C/$blocker" "user file"
    settings "$C\\$rel" "a.txt|1|1" "b.txt|1|1"
    vb_start
    vb_drive wait >/dev/null
    assert_eq 0 "$(press 1004)" "[$label] Copy leaves no window open"
    assert_file "$VB_C/$blocker" "user file" "[$label] the file in the way is unchanged"
    assert_eq "a.txt=alpha b.txt=beta" "$(contents "$VB_C/src" a.txt b.txt)" "[$label] Copy changes no original"
    assert_alive "[$label] after Copy"
    assert_eq 0 "$(press 1005)" "[$label] Restore leaves no window open"
    assert_eq "a.txt=alpha b.txt=beta" "$(contents "$VB_C/src" a.txt b.txt)" "[$label] Restore changes no original"
    assert_file "$VB_C/$blocker" "user file" "[$label] the file in the way is still unchanged"
    assert_alive "[$label] after Restore"
done

# --- the destination removed (wholly or in part) between Copy and Restore ---------------
# b.txt keeps its copy in the second case: restored, or left alone, but never anything else.
#   label     what is removed     expected originals after Restore (a regex)
cases=(
    "folder removed|dst         |^a.txt=alpha-edited b.txt=beta-edited$"
    "one copy gone |dst/a.txt   |^a.txt=alpha-edited b.txt=(beta|beta-edited)$"
)
n=0
for row in "${cases[@]}"; do
    IFS='|' read -r label gone want <<<"$row"
    label="$(sed 's/ *$//' <<<"$label")"
    gone="${gone%% *}"
    n=$((n + 1))
    vb_setup "removed$n"
    vb_file "$VB_C/src/a.txt" "alpha"
    vb_file "$VB_C/src/b.txt" "beta"
    settings "$C\\dst\\" "a.txt|1|1" "b.txt|1|1"
    vb_start
    vb_drive wait >/dev/null
    assert_eq 0 "$(press 1004)" "[$label] Copy leaves no window open"
    assert_eq "a.txt=alpha b.txt=beta" "$(contents "$VB_C/dst" a.txt b.txt)" "[$label] copies made"
    vb_file "$VB_C/src/a.txt" "alpha-edited"
    vb_file "$VB_C/src/b.txt" "beta-edited"
    rm -rf "${VB_C:?}/$gone"
    assert_eq 0 "$(press 1005)" "[$label] Restore leaves no window open"
    assert_match "$want" "$(contents "$VB_C/src" a.txt b.txt)" "[$label] no original changed but by its own copy"
    assert_alive "[$label] after Restore"
done

# --- a read-only file: its copy is read-only too, yet flushed (the attribute lifted for a
# moment and put back) and counted as made ----------------------------------------------
vb_setup read-only
vb_file "$VB_C/src/a.txt" "alpha"
"$WINE" attrib +r "$C\\src\\a.txt" </dev/null >/dev/null 2>&1
settings "$C\\dst\\" "a.txt|1|1"
vb_start
vb_drive wait >/dev/null
assert_eq "0 |alpha|AR|copy" "$(press 1004) $(cat "$MESSAGES")|$(cat "$VB_C/dst/a.txt")|$("$WINE" attrib "$C\\dst\\a.txt" </dev/null | cut -c1-12 | tr -d ' \r')|$(cut -f1 "$VB_C/dst/VellumBox.state" | tr -d '\r' | sort -u | xargs)" \
    "[read-only] Copy says nothing; the copy, read-only, listed as made and nothing as cut"
"$WINE" attrib -r "$C\\src\\a.txt" </dev/null >/dev/null 2>&1
vb_file "$VB_C/src/a.txt" "alpha-edited"
assert_eq "0 |alpha" "$(press 1005) $(cat "$MESSAGES")|$(cat "$VB_C/src/a.txt")" "[read-only] Restore says nothing and puts the file back"
vb_cleanup

# --- a source written to while it is copied (a log): its copy is kept and named ---------
vb_setup growing
mkdir -p "$VB_C/dst" "$VB_C/src"
head -c 200000000 /dev/zero >"$VB_C/src/log.txt"
vb_file "$VB_C/src/b.txt" "beta"
settings "$C\\dst\\" "log.txt|1|1" "b.txt|1|1"
vb_start
vb_drive wait >/dev/null
(while :; do printf 'one more line\n' >>"$VB_C/src/log.txt"; sleep 0.005; done) &
appender=$!
assert_eq 0 "$(press 1004)" "[growing] Copy leaves no window open"
kill "$appender"
wait "$appender" 2>/dev/null
size="$(stat -c %s "$VB_C/dst/log.txt" 2>/dev/null || echo 0)"
((size >= 200000000))
assert_eq 0 $? "[growing] the copy of the growing file is kept ($size bytes)"
assert_eq "VellumBox	$(vb_id IDS_CHANGED_WHILE_COPIED)|$C\\src\\log.txt" \
    "$(cat "$MESSAGES")" "[growing] Copy names it as changed, not as cut"
assert_file "$VB_C/dst/b.txt" "beta" "[growing] the other file is copied"
assert_alive "[growing] after Copy"
vb_cleanup
rm -rf "$VB_C"

# --- a full file system: a 1 MiB tmpfs as the destination -------------------------------
# Twice: with the sources still, and with b.bin growing while it is copied (a log): a copy
# shorter than its source ever was is cut all the same.
full_done() { mountpoint -q "$VB_C/full" 2>/dev/null && umount "$VB_C/full"; }
for growth in still growing; do
vb_setup "full-$growth"
mkdir -p "$VB_C/full"
if ! mount -t tmpfs -o size=1m tmpfs "$VB_C/full" 2>/dev/null; then
    echo "  skip full file system: cannot mount a tmpfs here (needs root)"
else
    trap 'full_done; vb_cleanup' EXIT
    mkdir -p "$VB_C/src"
    head -c 400000 /dev/urandom >"$VB_C/src/a.bin"
    head -c 900000 /dev/urandom >"$VB_C/src/b.bin"
    head -c 1000 /dev/urandom >"$VB_C/src/c.bin"
    settings "$C\\full\\dst\\" "a.bin|1|1" "b.bin|1|1" "c.bin|1|1"
    vb_start
    vb_drive wait >/dev/null
    grower=""
    if [ $growth = growing ]; then
        (while :; do head -c 4096 /dev/urandom >>"$VB_C/src/b.bin"; sleep 0.002; done) &
        grower=$!
    fi
    before="$(cd "$VB_C/src" && md5sum a.bin c.bin)"
    assert_eq 0 "$(press 1004)" "[full $growth] Copy leaves no window open"
    [ -n "$grower" ] && { kill $grower; wait $grower 2>/dev/null; }
    assert_eq "$before" "$(cd "$VB_C/src" && md5sum a.bin c.bin)" "[full $growth] Copy changes no original"
    before="$(cd "$VB_C/src" && md5sum a.bin b.bin c.bin)"
    assert_alive "[full $growth] after Copy"
    # Copies that are there whole, by name; a cut copy must not be left behind as if whole.
    whole=""
    for f in a.bin b.bin c.bin; do
        [ -f "$VB_C/full/dst/$f" ] || continue
        if cmp -s "$VB_C/src/$f" "$VB_C/full/dst/$f"; then
            whole+="$f "
        else
            assert_eq "whole or absent" "cut: $(stat -c %s "$VB_C/full/dst/$f") bytes" "[full $growth] copy of $f"
        fi
    done
    echo "  full file system ($growth): whole copies: ${whole:-none}"
    assert_match "$(vb_id IDS_COPY_INCOMPLETE)\|.*b.bin" \
        "$(cat "$MESSAGES")" "[full $growth] Copy names the file it could not copy whole"
    # Originals changed after the copy; Restore may bring back only whole copies.
    for f in a.bin b.bin c.bin; do printf 'edited %s' "$f" >"$VB_C/src/$f"; done
    assert_eq 0 "$(press 1005)" "[full $growth] Restore leaves no window open"
    for f in a.bin b.bin c.bin; do
        got="$(md5sum <"$VB_C/src/$f" | cut -d' ' -f1)"
        edited="$(printf 'edited %s' "$f" | md5sum | cut -d' ' -f1)"
        orig="$(grep " $f\$" <<<"$before" | cut -d' ' -f1)"
        if [[ " $whole" == *" $f "* ]]; then
            assert_eq "$orig" "$got" "[full $growth] $f restored from its whole copy"
        else
            assert_eq "$edited" "$got" "[full $growth] $f without a whole copy is left as it was"
        fi
    done
    assert_alive "[full $growth] after Restore"
    vb_cleanup
    full_done
fi
done

vb_finish
