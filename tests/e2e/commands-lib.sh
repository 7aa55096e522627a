# Helpers shared by the tests that fill the list from a table (sourced after lib.sh).

# Windows path of a name under this test's folder on C:.
D() { printf 'C:\\vbt-%s\\%s' "$VB_TEST" "$1"; }

# prepare destination [mode autoCopy autoRestore overwriteCopy overwriteRestore]
# writes the settings file; file entries "path copy restore" come on stdin.
prepare() {
    local entries=() path copy restore
    while read -r path copy restore; do entries+=("$path|$copy|$restore"); done
    vb_ini_text "${2:-0}" "${3:-0}" "${4:-0}" "${5:-1}" "${6:-1}" "$1" "${entries[@]}" | vb_settings
}

# ini_vals section key...: "key=value" for each key of the settings file, blank-separated,
# "key=<absent>" for a missing one. By value: Wine's profile writer rewrites the layout.
# The file is in the program's ANSI code page; VB_INI_CP names it when it is not ASCII.
ini_vals() {
    local section="$1"
    shift
    iconv -f "${VB_INI_CP:-CP1252}" -t UTF-8 <"$VB_INI" | tr -d '\r' |
        awk -v s="[$section]" -v keys="$*" '
            BEGIN { n = split(keys, k, " ") }
            /^\[/ { cur = (tolower($0) == tolower(s)); next }
            cur {
                eq = index($0, "=")
                if (eq == 0) next
                name = tolower(substr($0, 1, eq - 1))
                if (!(name in seen)) seen[name] = substr($0, eq + 1)
            }
            END {
                for (i = 1; i <= n; i++) {
                    v = (tolower(k[i]) in seen) ? seen[tolower(k[i])] : "<absent>"
                    printf "%s%s=%s", (i > 1 ? " " : ""), k[i], v
                }
            }'
}

# Screenshot of the program's newest dialog: build/screenshots/<name>-<en|ja>.png.
shot_dialog() {
    local name="$1" lang out
    case "$LANG" in ja*) lang=ja ;; *) lang=en ;; esac
    mkdir -p "$VB_SHOTS"
    out="$VB_SHOTS/$name-$lang.png"
    # Let the dialog paint (the browser fills its tree after it shows).
    vb_drive sleep 700 >/dev/null
    vb_crop "$out" "$(vb_drive dlgrect)"
    [ -s "$out" ]
    assert_eq 0 $? "screenshot $out written"
}

# refuse_lookalike name lookalike label message: `name`, which the code page cannot hold,
# is chosen in the file dialog while `lookalike` lies beside it; the message naming it
# comes, and no row is added (neither file is stored).
refuse_lookalike() {
    local before got
    vb_file "$VB_C/src/$1" "chosen"
    vb_file "$VB_C/src/$2" "other"
    before="$(vb_drive rows)"
    vb_drive pclick 1006 \; open "$(D src)\\$1" >/dev/null
    # The file dialog closes first; then the message comes.
    got="$(vb_ask sleep 700 \; message)"
    assert_eq "ok VellumBox	$4|$(D src)\\$1" "$got" "$3: a message naming it as chosen"
    shot_dialog name-not-kept
    vb_drive press ok \; nodialog >/dev/null
    assert_eq "$before" "$(vb_drive rows)" "$3: no row added"
}

# refuse_dest name lookalike label message: the folder `name`, which the code page cannot
# hold, is chosen in the folder browser while `lookalike` may be made beside it; the
# message naming it comes, the destination stays empty, and Copy makes no `lookalike`.
refuse_dest() {
    local got
    mkdir -p "$VB_C/$1"
    got="$(vb_ask pclick 1001 \; browse "$(D "$1")" \; sleep 700 \; message)"
    assert_eq "ok ok ok VellumBox	$4|$(D "$1")" "$got" "$3: a message naming it as chosen"
    shot_dialog dest-not-kept
    vb_drive press ok \; nodialog >/dev/null
    assert_eq "none 0 0 0" "$(vb_ask text 1002 \; enabled 1007 \; enabled 1004 \; enabled 1005)" \
        "$3: no destination, Set, Copy and Restore dark"
    vb_drive command 1004 \; settle >/dev/null
    assert_eq "" "$(ls -d "$VB_C/$2" 2>/dev/null)" "$3: no $2 made"
}
