#!/usr/bin/env bash
# Runs a command with DISPLAY set to a private Xvfb, then stops Xvfb and the wineserver
# of the current prefix:  tools/with-xvfb.sh tests/e2e/run-all.sh
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/wine-env.sh"
# A wineserver left by a run that was killed keeps a desktop bound to that run's display,
# on which no window of this run could open.
vb_wine_stop

# Xvfb takes the first free display itself and says which once it is ready, so that runs
# started at the same time never share one.
display_file="$(mktemp)"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
display=""
for _ in $(seq 1 200); do
    if [ "$(wc -l <"$display_file")" -gt 0 ]; then
        display="$(tr -dc 0-9 <"$display_file")"
        break
    fi
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
done
rm -f "$display_file"
[ -n "$display" ] || { kill "$xvfb_pid" 2>/dev/null; echo "with-xvfb: Xvfb did not start" >&2; exit 1; }

cleanup() {
    vb_wine_stop
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
trap 'exit 130' INT TERM

export DISPLAY=":$display"
export VB_IN_XVFB=1
"$@"
