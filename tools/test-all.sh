#!/bin/bash
# Runs every test level against both programs and ends with one summary line. Expects
# `make build build-native`.
#   win64     the 64-bit program on a 64-bit prefix: every Wine test and end-to-end script
#   win32     the 32-bit program on a 64-bit prefix (WOW64)
#   win32-xp  the 32-bit program on a 32-bit prefix that reports Windows XP
# Where this machine runs 32-bit x86 code, natively or under qemu, both 32-bit runs take the
# full set too. Under a qemu older than 9.1 (a minute for each Wine process) win32 takes
# the named subset below and win32-xp, whose every process is 32-bit, is not run; the
# summary says so.
set -u
cd "$(dirname "$0")/.." || exit 1
declare -A result
order=()
status=0

run_level() {  # name, command...
    local name=$1
    shift
    echo "=== $name"
    order+=("$name")
    if "$@"; then result[$name]=passed; else result[$name]=FAILED; status=1; fi
}

# The GoogleTest programs under Wine, then the end-to-end scripts, for one target.
#   $1 target, $2 ctest -R filter ("" for all), $3... end-to-end tests (none: all)
run_target() {
    local target=$1 filter=$2
    shift 2
    run_level "$target wine" env VB_TARGET="$target" ./tools/with-xvfb.sh bash -c \
        '. tools/wine-env.sh && vb_wine_prepare && ctest --test-dir "$VB_BUILD-tests" --output-on-failure ${0:+-R "$0"}' "$filter"
    run_level "$target e2e" env VB_TARGET="$target" ./tools/with-xvfb.sh ./tests/e2e/run-all.sh "$@"
}

run_level native ctest --test-dir build/native --output-on-failure
# Both shipped programs import nothing that Windows XP SP3 lacks, and every delay-load
# slot points to its load thunk.
run_level imports python3 tools/check-imports.py tools/xp-imports.txt \
    build/win64/VellumBox.exe build/win32/VellumBox.exe
# Both shipped programs stay within their size goals.
run_level sizes ./tools/check-sizes.sh

run_target win64 ""
i386="$(. tools/wine-env.sh && vb_i386)"
# The subset where 32-bit code runs slowly: the pure tests and the checks of the 32-bit
# program's resources, built for i686; one quiet start that copies through the DLLs loaded
# on first use and past System32's redirection; the x86 installer package.
subset_wine='^(unit|resources)$'
subset_e2e=(word_size install)
case "$i386" in
native | emulated)
    run_target win32 ""
    run_target win32-xp ""
    ;;
emulated-slow)
    run_target win32 "$subset_wine" "${subset_e2e[@]}"
    result["win32-xp"]="not run (this machine's qemu runs 32-bit code too slowly)"
    order+=(win32-xp)
    ;;
*)
    for t in win32 win32-xp; do
        result[$t]="not run (this machine cannot run 32-bit code)"
        order+=("$t")
    done
    ;;
esac
if [ -x tools/fuzz.sh ]; then run_level fuzz-smoke ./tools/fuzz.sh --smoke; fi

summary="SUMMARY:"
for k in "${order[@]}"; do summary="$summary $k ${result[$k]};"; done
[ "$i386" = emulated ] && summary="$summary (32-bit code ran under qemu's emulation);"
[ "$i386" = emulated-slow ] && summary="$summary (win32: subset wine $subset_wine, e2e ${subset_e2e[*]});"
echo "$summary overall $([ $status -eq 0 ] && echo PASSED || echo FAILED)"
exit $status
