#!/bin/bash
# libFuzzer runs over the pure code, built with clang in build/fuzz.
#   tools/fuzz.sh            each target for FUZZ_SECONDS (default 60) on a working corpus in
#                            build/fuzz/corpus, seeded from tests/fuzz/corpus
#   tools/fuzz.sh --smoke    each target briefly over the committed corpus only (make test)
# Prints one line per target; exits non-zero when any target finds a crash.
set -u
cd "$(dirname "$0")/.."
mode=full
[ "${1:-}" = "--smoke" ] && mode=smoke
targets="fuzz_command_line fuzz_path_split fuzz_settings fuzz_request fuzz_table_ops"
out=build/fuzz
mkdir -p "$out"

if ! CC=clang CXX=clang++ cmake -G Ninja -S . -B "$out" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVB_FUZZ=ON >"$out/configure.log" 2>&1; then
    cat "$out/configure.log"; echo "fuzz: configure failed"; exit 1
fi
if ! cmake --build "$out" --target fuzz_all -j "$(nproc)" >"$out/build.log" 2>&1; then
    tail -40 "$out/build.log"; echo "fuzz: build failed"; exit 1
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p "$out/logs" "$out/artifacts"
status=0
for t in $targets; do
    seeds=tests/fuzz/corpus/$t
    log=$out/logs/$t.log
    if [ $mode = smoke ]; then
        # Fixed seed and run count: the same inputs every time, so a failure is no fluke.
        # New inputs go to a scratch folder, never into the committed seeds.
        rm -rf "$out/smoke/$t"
        mkdir -p "$out/smoke/$t"
        args=(-seed=1 -runs="${FUZZ_RUNS:-4000}" "$out/smoke/$t" "$seeds")
    else
        mkdir -p "$out/corpus/$t"
        cp -n "$seeds"/* "$out/corpus/$t"/ 2>/dev/null
        args=(-max_total_time="${FUZZ_SECONDS:-60}" "$out/corpus/$t" "$seeds")
    fi
    start=$(date +%s%N)
    "$out/tests/fuzz/$t" -artifact_prefix="$out/artifacts/$t-" -max_len=4096 -timeout=10 \
        -print_final_stats=1 "${args[@]}" >"$log" 2>&1
    rc=$?
    ms=$(( ($(date +%s%N) - start) / 1000000 ))
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    if [ $rc -eq 0 ]; then
        printf 'fuzz %-18s passed  %8s runs  %d.%03ds\n' "$t" "${runs:-?}" $((ms / 1000)) $((ms % 1000))
    else
        status=1
        printf 'fuzz %-18s FAILED  (rc %d, log %s)\n' "$t" "$rc" "$log"
        grep -m3 -E 'invariant failed|ERROR: |runtime error|Test unit written' "$log" | sed 's/^/    /'
    fi
done
exit $status
