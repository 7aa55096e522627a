#!/bin/bash
# Runs every test level and ends with one summary line. Expects `make build build-native`.
set -u
cd "$(dirname "$0")/.."
declare -A result
status=0

run_level() {  # name, command...
    local name=$1
    shift
    echo "=== $name"
    if "$@"; then result[$name]=passed; else result[$name]=FAILED; status=1; fi
}

run_level native ctest --test-dir build/native --output-on-failure
# Both shipped programs import nothing that Windows XP SP3 lacks.
run_level imports python3 tools/check-imports.py tools/xp-imports.txt \
    build/win64/VellumBox.exe build/win32/VellumBox.exe
# Both shipped programs stay within their size goals.
run_level sizes ./tools/check-sizes.sh
# Everything under Wine shares one display and one warm wine server.
run_level wine ./tools/with-xvfb.sh bash -c \
    '. tools/wine-env.sh && vb_wine_prepare && ctest --test-dir build/win64-tests --output-on-failure'
run_level e2e ./tools/with-xvfb.sh ./tests/e2e/run-all.sh
if [ -x tools/fuzz.sh ]; then run_level fuzz-smoke ./tools/fuzz.sh --smoke; fi

summary="SUMMARY:"
for k in native imports sizes wine e2e fuzz-smoke; do
    [ -n "${result[$k]:-}" ] && summary="$summary $k ${result[$k]};"
done
echo "$summary overall $([ $status -eq 0 ] && echo PASSED || echo FAILED)"
exit $status
