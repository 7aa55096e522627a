#!/bin/bash
# Prints both programs' sizes and fails when one is above its goal, so that a change that
# pulls a large piece of the runtime back in is seen at once. Not a timed test.
cd "$(dirname "$0")/.." || exit 1
status=0
check() {  # file goal-in-bytes
    local size
    if ! size=$(stat -c %s "$1" 2>/dev/null); then
        echo "sizes: FAIL $1 is missing"
        status=1
    elif ((size > $2)); then
        echo "sizes: FAIL $1 is $size B, above its goal of $2 B"
        status=1
    else
        echo "sizes: $1 is $size B (goal: at most $2 B)"
    fi
}
check build/win64/VellumBox.exe 200000
check build/win32/VellumBox.exe 245000
exit $status
