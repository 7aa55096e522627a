#!/usr/bin/env bash
# Runs a command with DISPLAY set to a private Xvfb, then stops Xvfb and the wineserver
# of the current prefix:  tools/with-xvfb.sh tests/e2e/run-all.sh
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/wine-env.sh"
# A wineserver left by a run that was killed keeps a desktop bound to that run's display,
# on which no window of this run could open.
vb_wine_stop

display=""
for n in $(seq 90 199); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        display=$n
        break
    fi
done
[ -n "$display" ] || { echo "with-xvfb: no free display" >&2; exit 1; }

Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || { echo "with-xvfb: Xvfb did not start" >&2; exit 1; }
    sleep 0.05
done

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
