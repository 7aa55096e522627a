#!/usr/bin/env bash
# Runs every end-to-end test (test_*.sh) in one Xvfb with one warm Wine prefix, prints
# one line per test and "E2E: N passed, M failed"; exits non-zero when a test failed.
#   VB_TARGET=win32 tests/e2e/run-all.sh copy autorun   (the 32-bit program; two tests)
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
export VB_TARGET="${VB_TARGET:-win64}"
run_dir="$root/build/e2e"
[ "$VB_TARGET" = win64 ] || run_dir="$root/build/e2e-$VB_TARGET"
export WINEPREFIX="${WINEPREFIX:-$run_dir/prefix}"

if [ -z "${VB_IN_XVFB:-}" ]; then
    exec "$root/tools/with-xvfb.sh" "$0" "$@"
fi
. "$root/tools/wine-env.sh"
export VB_E2E_SESSION=1
vb_wine_prepare
trap vb_wine_stop EXIT

tests=("$here"/test_*.sh)
if [ $# -gt 0 ]; then
    tests=()
    for name in "$@"; do tests+=("$here/test_$name.sh"); done
fi
passed=0
failed=0
mkdir -p "$run_dir"
for t in "${tests[@]}"; do
    name="$(basename "$t" .sh)"
    log="$run_dir/$name.log"
    start=$SECONDS
    if timeout 600 bash "$t" >"$log" 2>&1; then
        status=PASS
        passed=$((passed + 1))
    else
        status=FAIL
        failed=$((failed + 1))
    fi
    printf '%-4s %-22s %4ss  %s\n' "$status" "${name#test_}" "$((SECONDS - start))" "$(tail -n 1 "$log")"
    [ "$status" = FAIL ] && grep -E '^  FAIL' "$log" | head -n 20
done
echo "E2E: $passed passed, $failed failed"
((failed == 0))
