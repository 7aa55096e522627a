#!/usr/bin/env bash
# The program meets the Windows of its word size at its first copy: the DLLs it loads on
# first use (COM and the shell's file operation) are there when first called, its own path
# finds its settings file, and a file listed in System32 is the one everyone else sees
# there, also from a 32-bit program on 64-bit Windows (through Sysnative). One quiet start
# checks them all, so that it stays affordable where 32-bit code runs only emulated.
. "$(dirname "$0")/lib.sh"

sys32="$VB_DRIVE_C/windows/system32/vb-word-size.txt"
wow64="$VB_DRIVE_C/windows/syswow64/vb-word-size.txt"
trap 'vb_cleanup; rm -f "$sys32" "$wow64"' EXIT
vb_setup
vb_file "$VB_C/src/a.txt" "alpha"
vb_file "$sys32" "seen by everyone"
# Only 64-bit Windows has a SysWOW64, which 32-bit programs are shown instead.
[ -d "$(dirname "$wow64")" ] && vb_file "$wow64" "seen by 32-bit programs only"
mkdir -p "$VB_C/dst"
vb_ini_text 2 1 1 1 1 "C:\\vbt-$VB_TEST\\dst\\" "C:\\vbt-$VB_TEST\\src\\a.txt|1|1" \
    "C:\\Windows\\System32\\vb-word-size.txt|1|1" | vb_settings
# Emulated, a 32-bit start takes minutes.
timeout 1200 "$WINE" "$VB_EXE" /q </dev/null >>"$VB_DIR/wine.log" 2>&1
assert_eq 0 "$?" "[$VB_TARGET] the quiet copy ends with 0: every file copied"
assert_file "$VB_C/dst/a.txt" "alpha" "[$VB_TARGET] a plain file is copied"
assert_file "$VB_C/dst/vb-word-size.txt" "seen by everyone" "[$VB_TARGET] the System32 file is the one everyone sees"
vb_finish
