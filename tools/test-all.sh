#!/bin/bash
# Runs every test level against both programs and ends with one summary line. Expects
# `make build build-native`.
#   win64     the 64-bit program on a 64-bit prefix: every Wine test and end-to-end script
#   win32     the 32-bit program on a 64-bit prefix (WOW64)
#   win32-xp  the 32-bit program on a 32-bit prefix that reports Windows XP
# Where this machine runs 32-bit x86 code natively, both 32-bit runs take the full set too.
# Where qemu runs it (about a second more for each Wine process, so the whole set would
# take an hour), they take every Wine test and the named end-to-end subsets below. Under
# a qemu older than 9.1 (a minute for each process) win32 takes a smaller subset and
# win32-xp, whose every process is 32-bit, is not run. The summary says which ran. The
# two 32-bit targets run their end-to-end scripts at the same time.
set -u
cd "$(dirname "$0")/.." || exit 1
declare -A result
order=()
status=0

run_level() {  # name, command...
    local name=$1
    shift
    local start=$SECONDS
    echo "=== $name"
    order+=("$name")
    if "$@"; then result[$name]=passed; else result[$name]=FAILED; status=1; fi
    echo "=== $name: ${result[$name]} in $((SECONDS - start)) s"
}

# The GoogleTest programs under Wine for one target: $1 target, $2 ctest -R filter ("" for all)
run_wine_tests() {
    run_level "$1 wine" env VB_TARGET="$1" ./tools/with-xvfb.sh bash -c \
        '. tools/wine-env.sh && vb_wine_prepare && ctest --test-dir "$VB_BUILD-tests" --output-on-failure ${0:+-R "$0"}' "$2"
}

# The end-to-end scripts for one target: $1 target, $2... the scripts (none: all)
run_e2e() {
    local target=$1
    shift
    run_level "$target e2e" env VB_TARGET="$target" ./tools/with-xvfb.sh ./tests/e2e/run-all.sh "$@"
}

# The end-to-end scripts of several targets at once, each on its own prefix and display:
# they mostly wait, so together they take little longer than the longest. Each target's
# output is printed when all have ended, and its result joins the summary.
#   each argument: a target, ":", its scripts (space-separated; none: all)
run_e2e_together() {
    local log=build/test-all spec target outcome
    mkdir -p "$log"
    for spec in "$@"; do
        target=${spec%%:*}
        # shellcheck disable=SC2086 # one word per script
        run_e2e "$target" ${spec#*:} >"$log/$target.out" 2>&1 &
    done
    wait
    for spec in "$@"; do
        target=${spec%%:*}
        cat "$log/$target.out"
        outcome="$(sed -n "s/^=== $target e2e: \([A-Za-z]*\) in .*/\1/p" "$log/$target.out")"
        order+=("$target e2e")
        result["$target e2e"]=${outcome:-FAILED}
        [ "$outcome" = passed ] || status=1
    done
}

run_level native ctest --test-dir build/native --output-on-failure
# Both shipped programs import nothing that Windows XP SP3 lacks, and every delay-load
# slot points to its load thunk.
run_level imports python3 tools/check-imports.py tools/xp-imports.txt \
    build/win64/VellumBox.exe build/win32/VellumBox.exe
# Both shipped programs stay within their size goals.
run_level sizes ./tools/check-sizes.sh

run_wine_tests win64 ""
i386="$(. tools/wine-env.sh && vb_i386)"
# Under emulation: what differs with the word size and the Windows the program meets.
# Both: one quiet start that copies through the DLLs loaded on first use and reaches a
# System32 file (past the redirection on 64-bit Windows), and the x86 installer package.
# win32: registration for log-on in the 64-bit view, the dialogs read through the probe.
# win32-xp: the session's end and the log-on's key, and one instance per session. (Its
# dialogs, with one registry view and no Run key until Set makes it, are the Wine tests'.)
e2e_win32=(word_size install autorun dialogs)
e2e_xp=(word_size install session_end single_instance)
# Under the slow qemu: the pure tests and the resources, built for i686.
slow_wine='^(unit|resources)$'
slow_e2e=(word_size install)
# The Wine tests one target after the other (both 32-bit ones read build/win32-tests),
# then the end-to-end scripts: the 64-bit program's alone, the two 32-bit targets'
# together (with all three at once, 32-bit runs met their time limits only now and then).
case "$i386" in
native | emulated)
    run_wine_tests win32 ""
    run_wine_tests win32-xp ""
    run_e2e win64
    if [ "$i386" = native ]; then
        run_e2e_together win32: win32-xp:
    else
        run_e2e_together "win32:${e2e_win32[*]}" "win32-xp:${e2e_xp[*]}"
    fi
    ;;
emulated-slow)
    run_wine_tests win32 "$slow_wine"
    run_e2e win64
    run_e2e win32 "${slow_e2e[@]}"
    result["win32-xp"]="not run (this machine's qemu runs 32-bit code too slowly)"
    order+=(win32-xp)
    ;;
*)
    run_e2e win64
    for t in win32 win32-xp; do
        result[$t]="not run (this machine cannot run 32-bit code)"
        order+=("$t")
    done
    ;;
esac
if [ -x tools/fuzz.sh ]; then run_level fuzz-smoke ./tools/fuzz.sh --smoke; fi

summary="SUMMARY:"
for k in "${order[@]}"; do summary="$summary $k ${result[$k]};"; done
case "$i386" in
emulated) summary="$summary (32-bit under qemu; e2e win32: ${e2e_win32[*]}; win32-xp: ${e2e_xp[*]});" ;;
emulated-slow) summary="$summary (win32: wine $slow_wine, e2e ${slow_e2e[*]});" ;;
esac
echo "$summary overall $([ $status -eq 0 ] && echo PASSED || echo FAILED)"
exit $status
