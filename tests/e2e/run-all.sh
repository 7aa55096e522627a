#!/usr/bin/env bash
# Runs every end-to-end test (test_*.sh) in one Xvfb with one warm Wine prefix, prints
# one line per test and "E2E: N passed, M failed"; exits non-zero when a test failed.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$root/build/e2e/prefix}"

if [ -z "${VB_IN_XVFB:-}" ]; then
    exec "$root/tools/with-xvfb.sh" "$0" "$@"
fi
. "$root/tools/wine-env.sh"
export VB_E2E_SESSION=1
vb_wine_prepare
trap vb_wine_stop EXIT

passed=0
failed=0
mkdir -p "$root/build/e2e"
for t in "$here"/test_*.sh; do
    name="$(basename "$t" .sh)"
    log="$root/build/e2e/$name.log"
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
