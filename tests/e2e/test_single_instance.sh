#!/usr/bin/env bash
# One copy at a time: a second start brings the running copy forward and changes nothing.
. "$(dirname "$0")/lib.sh"

# A settings file that would copy at once if a start read it (mode 2, quiet switch).
write_settings() {
    vb_file "$VB_C/src/a.txt" "alpha"
    vb_file "$VB_C/src/b.txt" "beta"
    mkdir -p "$VB_C/dst"
    local d="C:\\vbt-$VB_TEST"
    vb_ini_text 0 1 1 1 1 "$d\\dst\\" "$d\\src\\a.txt|1|1" "$d\\src\\b.txt|1|1" | vb_settings
}

# Second start while the first one's window is in a given state: the window is shown
# (restored when minimised), comes forward, and the second process ends.
#   state   how the first window is put into it   second start's arguments
cases=(
    "visible  -     -"
    "hidden   hide  -"
    "minimised min  -"
    "hidden   hide  /q"
    "minimised min  /Q"
)
for row in "${cases[@]}"; do
    read -r state how args <<<"$row"
    vb_setup "second-$state-${args//\//}"
    write_settings
    vb_start
    first=$VB_LAST_PID
    assert_eq ok "$(vb_drive wait)" "[$state] first start shows its window"
    [ "$how" != - ] && vb_drive show "$how" >/dev/null
    before="$(vb_ask visible \; iconic)"
    ini_before="$(md5sum <"$VB_INI")"
    if [ "$args" = - ]; then vb_start; else vb_start "$args"; fi
    second=$VB_LAST_PID
    vb_wait_exit "$second" 30
    assert_eq 0 "$?" "[$state $args] second start ends by itself"
    kill -0 "$first" 2>/dev/null
    assert_eq 0 "$?" "[$state $args] first copy still runs"
    assert_eq "1 0 main 1" "$(vb_ask visible \; iconic \; foreground \; procs)" \
        "[$state $args] first window visible, not minimised, in front, one process (was: $before)"
    assert_eq "$ini_before" "$(md5sum <"$VB_INI")" "[$state $args] settings file untouched"
    assert_eq "" "$(ls "$VB_C/dst")" "[$state $args] nothing copied"
    vb_drive close >/dev/null
    vb_wait_exit "$first" 10
    assert_eq 0 "$?" "[$state $args] WM_CLOSE ends the first copy"
done

# Two starts at almost the same moment: exactly one keeps running.
vb_setup together
write_settings
vb_start
a=$VB_LAST_PID
vb_start
b=$VB_LAST_PID
vb_drive wait >/dev/null
sleep 1
running=0
for p in $a $b; do kill -0 "$p" 2>/dev/null && running=$((running + 1)); done
assert_eq 1 "$running" "two starts together: one process left"
assert_eq "1 1" "$(vb_ask find \; procs)" "two starts together: one window"

# WM_CLOSE ends the process and removes the marker; the next start runs normally.
vb_drive close >/dev/null
for p in $a $b; do vb_wait_exit "$p" 10; done
assert_eq "0 0" "$(vb_ask find \; procs)" "after WM_CLOSE: no window, no process"
vb_start
third=$VB_LAST_PID
assert_eq "ok 1" "$(vb_ask wait \; visible)" "a later start shows its window"
vb_drive close >/dev/null
vb_wait_exit "$third" 10
assert_eq 0 "$?" "the later start closes as well"

vb_finish
