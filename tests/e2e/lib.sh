# Helpers for the end-to-end tests. A test script sources this file first:
#   . "$(dirname "$0")/lib.sh"
#   vb_setup; vb_settings <<EOF ... EOF; out=$(vb_drive wait \; visible); assert_eq 1 "$out" "shown"
#   vb_finish
# Run alone, a test starts its own Xvfb and warm Wine prefix; run-all.sh shares one.

set -u
VB_E2E_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
VB_ROOT="$(cd "$VB_E2E_DIR/../.." && pwd)"
export VB_ROOT
# Each target (tools/wine-env.sh) has a prefix, logs and screenshots of its own.
VB_RUN_DIR="$VB_ROOT/build/e2e"
[ "${VB_TARGET:-win64}" = win64 ] || VB_RUN_DIR="$VB_ROOT/build/e2e-$VB_TARGET"
export WINEPREFIX="${WINEPREFIX:-$VB_RUN_DIR/prefix}"
# Tests name their language; the machine's own locale does not leak in. A test that wants
# the display language apart from the code page sets LC_MESSAGES for the program and the
# driver alike (Wine takes the code page from LC_CTYPE, the UI language from LC_MESSAGES).
export LANG="${VB_LANG:-en_US.UTF-8}"
unset LC_ALL LC_CTYPE LC_MESSAGES
. "$VB_ROOT/tools/wine-env.sh"

VB_TEST="$(basename "$0" .sh)"
VB_TEST="${VB_TEST#test_}"
# The program under test (VB_TARGET, tools/wine-env.sh), and the driver built with it: it
# reads the list view inside the program, so its pointers must be the program's size.
VB_EXE_BUILT="$VB_BUILD/VellumBox.exe"
VB_DRIVER="$VB_BUILD/vbdrive.exe"
VB_SHOTS="$VB_ROOT/build/screenshots${VB_RUN_DIR#"$VB_ROOT/build/e2e"}"

# Not inside Xvfb: run this script again inside one. Alone (not from run-all.sh), warm
# the prefix first.
if [ -z "${VB_IN_XVFB:-}" ]; then
    exec "$VB_ROOT/tools/with-xvfb.sh" bash "$0" "$@"
fi
[ -n "${VB_E2E_SESSION:-}" ] || vb_wine_prepare

for f in "$VB_EXE_BUILT" "$VB_DRIVER" "$VB_BUILD/vbprobe.dll"; do
    [ -f "$f" ] || { echo "missing $f: build first" >&2; exit 2; }
done

VB_PASS=0
VB_FAIL=0
VB_UNIX_PIDS=()
VB_WIN_PIDS=()

# --- folders and paths ----------------------------------------------------------------

# Windows form of a Linux path (Wine's Z: drive is the root).
winpath() { local p="$1"; printf 'Z:%s' "${p//\//\\}"; }

# drive_c of the prefix, which the program sees as C:\.
VB_DRIVE_C="$WINEPREFIX/drive_c"

# The Windows form a program started from this path sees: C:\... inside drive_c, else Z:.
dospath() {
    local p="$1"
    case "$p" in
    "$VB_DRIVE_C"/*) p="${p#"$VB_DRIVE_C"}"; printf 'C:%s' "${p//\//\\}" ;;
    *) winpath "$p" ;;
    esac
}

# A fresh folder C:\vbp-<test>\<case> holding a copy of the program; sets VB_DIR,
# VB_EXE (Linux), VB_WEXE (Windows) and VB_INI. Also a fresh C:\vbt-<test> as VB_C. The
# program lives on C: so that the folders above it are the prefix's own, wherever this
# checkout is (a world-writable folder above it, such as /tmp, would make every run
# report its folder as open to others).
vb_setup() {
    local case="${1:-main}"
    vb_cleanup
    VB_DIR="$VB_DRIVE_C/vbp-$VB_TEST/$case"
    rm -rf "$VB_DIR"
    mkdir -p "$VB_DIR"
    cp "$VB_EXE_BUILT" "$VB_DIR/VellumBox.exe"
    VB_EXE="$VB_DIR/VellumBox.exe"
    VB_WEXE="$(dospath "$VB_EXE")"
    VB_INI="$VB_DIR/VellumBox.ini"
    VB_C="$VB_DRIVE_C/vbt-$VB_TEST"
    rm -rf "$VB_C"
    mkdir -p "$VB_C"
}

# The settings file from stdin (written with CRLF, as Windows tools would).
vb_settings() { sed 's/$/\r/' >"$VB_INI"; }

# Prints a complete settings text (LF): mode autoCopy autoRestore overwriteCopy
# overwriteRestore dest, then one "path|copy|restore" argument per file entry.
vb_ini_text() {
    local i=0 e p c r
    printf '[AutoVellum]\nAutoCopyMode=%s\nCopy=%s\nRestore=%s\n' "$1" "$2" "$3"
    printf '[OverWrite]\nCopy=%s\nRestore=%s\n' "$4" "$5"
    printf '[DestinationDirectory]\nDirectory=%s\n[Files]\n' "$6"
    shift 6
    for e in "$@"; do
        i=$((i + 1))
        IFS='|' read -r p c r <<<"$e"
        printf 'File%03d=%s\nCopy%03d=%s\nRestore%03d=%s\n' $i "$p" $i "$c" $i "$r"
    done
}

# Writes a file with the given content, creating its folder.
vb_file() { mkdir -p "$(dirname "$1")"; printf '%s' "$2" >"$1"; }

# --- the program ----------------------------------------------------------------------

# Starts the program in the background with the given arguments (Wine quotes them).
vb_start() {
    "$WINE" "$VB_EXE" "$@" </dev/null >>"$VB_DIR/wine.log" 2>&1 &
    VB_UNIX_PIDS+=($!)
    VB_LAST_PID=$!
}

# Runs the driver: vb_drive wait \; text 1002. Its output goes to stdout.
vb_drive() {
    local log="${VB_DIR:-/tmp}/driver.log" out rc
    # launch leaves the program holding the driver's output: no capture there.
    if [ "${1:-}" = launch ]; then
        "$WINE" "$VB_DRIVER" "$@" 2>>"$log"
        return
    fi
    out="$("$WINE" "$VB_DRIVER" "$@" 2>>"$log")"
    rc=$?
    # The driver prints a line for every command or an ERROR line. Nothing at all with a
    # failure status means Wine did not get it running: try once more, and log it.
    if [ -z "$out" ] && [ "$rc" -ne 0 ]; then
        echo "driver ended $rc with no output ($*); running it again" >>"$log"
        out="$("$WINE" "$VB_DRIVER" "$@" 2>>"$log")"
        rc=$?
    fi
    [ -n "$out" ] && printf '%s\n' "$out"
    return "$rc"
}

# Like vb_drive, with the output lines joined by blanks: vb_ask visible \; iconic -> "1 0".
vb_ask() { vb_drive "$@" | tr '\n' ' ' | sed 's/ $//'; }

# A string of the program in the session's language as the driver's `message` shows it:
# vb_id IDS_DELETE_QUESTION -> "#104.en".
vb_id() { echo "#$(awk -v n="$1" '$1 == "#define" && $2 == n { print $3 }' "$VB_ROOT/res/resource.h").${LANG:0:2}"; }

# Starts the program with an exact command line tail ("" for none) through the driver,
# watching it for ms, in a window station nobody sees when $3 is "unseen"; sets VB_LAUNCH
# to the driver's report (ended code=|running pid= window= visible=).
vb_launch() {
    local ms="$1" tail="$2" station="${3:-}" line
    line="\"$VB_WEXE\""
    [ -n "$tail" ] && line="$line $tail"
    # Through a file: the program inherits the driver's output, and a pipe would stay
    # open for as long as the program runs.
    vb_drive launch "$ms" "$line" $station >"$VB_DIR/launch.out"
    VB_LAUNCH="$(cat "$VB_DIR/launch.out")"
    local pid
    pid="$(sed -n 's/.* pid=\([0-9]*\).*/\1/p' <<<"$VB_LAUNCH")"
    [ -n "$pid" ] && VB_WIN_PIDS+=("$pid")
}

# Waits up to $2 seconds (default 15) for a process started by vb_start to end.
vb_wait_exit() {
    local pid="$1" limit="${2:-15}" i
    for ((i = 0; i < limit * 20; i++)); do
        kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null; return 0; }
        sleep 0.05
    done
    return 1
}

# Starts a second copy, which only brings the first forward, and checks that it ends by
# itself; $1 labels the check.
vb_second_start() {
    vb_start
    vb_wait_exit "$VB_LAST_PID" 30
    assert_eq 0 "$?" "$1 second start ends by itself"
}

# Ends whatever this test started and removes a start-up entry it may have made.
vb_cleanup() {
    local p
    if ((${#VB_UNIX_PIDS[@]} + ${#VB_WIN_PIDS[@]})); then
        vb_drive close \; gone 3000 >/dev/null 2>&1
        for p in "${VB_WIN_PIDS[@]}"; do vb_drive terminate "$p" >/dev/null 2>&1; done
        for p in "${VB_UNIX_PIDS[@]}"; do
            if kill -0 "$p" 2>/dev/null; then
                kill "$p" 2>/dev/null
                vb_wait_exit "$p" 3 || kill -9 "$p" 2>/dev/null
            fi
            wait "$p" 2>/dev/null
        done
        vb_drive free >/dev/null 2>&1
    fi
    VB_UNIX_PIDS=()
    VB_WIN_PIDS=()
}

# Screenshot of the main window: build/screenshots/<name>-<en|ja>.png. Prints the path.
vb_screenshot() {
    local name="$1" lang rect out
    case "$LANG" in ja*) lang=ja ;; *) lang=en ;; esac
    mkdir -p "$VB_SHOTS"
    out="$VB_SHOTS/$name-$lang.png"
    vb_crop "$out" "$(vb_drive rect)"
    echo "$out"
}

# Writes the screen's part "x y w h" (blanks or commas) to $1; anything else (the driver's
# ERROR line when the window is gone) takes the whole screen, and the checks say why.
vb_crop() {
    local out="$1" x y w h
    IFS=', ' read -r x y w h <<<"$2"
    if [[ "$x $y $w $h" =~ ^-?[0-9]+\ -?[0-9]+\ [0-9]+\ [0-9]+$ ]] && ((w > 0 && h > 0)); then
        ((x < 0)) && x=0
        ((y < 0)) && y=0
        import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out" 2>/dev/null
    else
        import -window root "$out" 2>/dev/null
    fi
}

# Screenshot of the program's newest open dialog: build/screenshots/<name>.png, asserted.
vb_dialog_screenshot() {
    local out="$VB_SHOTS/$1.png" info
    mkdir -p "$VB_SHOTS"
    info="$(vb_drive dlginfo | head -1)"
    vb_crop "$out" "${info##*rect=}"
    [ -s "$out" ]
    assert_eq 0 $? "screenshot $out"
}

# --- assertions -------------------------------------------------------------------------

_vb_result() {
    if [ "$1" = ok ]; then
        VB_PASS=$((VB_PASS + 1))
        [ -n "${VB_VERBOSE:-}" ] && echo "  ok   $2"
    else
        VB_FAIL=$((VB_FAIL + 1))
        echo "  FAIL $2"
    fi
    return 0
}

# assert_eq expected actual message
assert_eq() {
    if [ "$1" == "$2" ]; then
        _vb_result ok "$3"
    else
        _vb_result fail "$3: expected '$1', got '$2'"
    fi
}

# assert_ne unexpected actual message
assert_ne() {
    if [ "$1" != "$2" ]; then
        _vb_result ok "$3"
    else
        _vb_result fail "$3: got '$2'"
    fi
}

# assert_contains text actual message: `text` stands somewhere in `actual`, as it is.
assert_contains() {
    if [[ "$2" == *"$1"* ]]; then
        _vb_result ok "$3"
    else
        _vb_result fail "$3: '$1' not in '$2'"
    fi
}

# assert_match extended-regex actual message
assert_match() {
    if [[ "$2" =~ $1 ]]; then
        _vb_result ok "$3"
    else
        _vb_result fail "$3: '$2' does not match /$1/"
    fi
}

# assert_file path expected-content message; "ABSENT" expects no file.
assert_file() {
    local got
    if [ -e "$1" ]; then got="$(cat "$1")"; else got="ABSENT"; fi
    assert_eq "$2" "$got" "$3"
}

# Ends the test: cleans up, prints the counts, fails when any assertion failed.
vb_finish() {
    vb_cleanup
    vb_drive runkey-clear >/dev/null 2>&1
    echo "$VB_TEST: $VB_PASS passed, $VB_FAIL failed"
    if ((VB_FAIL > 0 || VB_PASS == 0)); then exit 1; fi
    exit 0
}
trap 'vb_cleanup' EXIT
