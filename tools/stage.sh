# What the zips and the installer packages share. Source it:
#   . tools/stage.sh; version=$(vb_version); vb_stage_docs "$dir"
# Expects to run in the repository's root.

# The version resource's version, so that no file name or package can drift from it.
vb_version() {
    local v
    v="$(sed -n 's/^ *FILEVERSION *\([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\).*/\1.\2.\3.\4/p' \
        res/vellumbox.rc | head -n 1)"
    [ -n "$v" ] || { echo "no FILEVERSION in res/vellumbox.rc" >&2; return 1; }
    echo "$v"
}

# The user guides and the licence as users get them, into $1. Windows line ends for
# Notepad; the Japanese guide also gets a UTF-8 BOM, since Notepad before Windows 10 1903
# reads a file without one as ANSI.
vb_stage_docs() {
    local f
    for f in docs/USER-GUIDE.en.md docs/USER-GUIDE.ja.md LICENSE; do
        [ -f "$f" ] || { echo "missing $f" >&2; return 1; }
    done
    _vb_crlf() { sed -e 's/\r$//' -e 's/$/\r/' "$1"; }
    _vb_crlf docs/USER-GUIDE.en.md >"$1/USER-GUIDE.en.txt"
    { printf '\357\273\277'; _vb_crlf docs/USER-GUIDE.ja.md; } >"$1/USER-GUIDE.ja.txt"
    _vb_crlf LICENSE >"$1/LICENSE.txt"
}
