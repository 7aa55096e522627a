#!/usr/bin/env bash
# Starts build/win64/VellumBox.exe under Wine. With a DISPLAY it runs there until the
# user closes it; without one it runs in Xvfb, where its main window is photographed,
# the program is closed and the screenshot's path printed.
set -u
# VB_LANG=ja (or any locale name) picks the language: Wine takes it from the locale.
case "${VB_LANG:-}" in
"") ;;
ja) export LANG=ja_JP.UTF-8 ;;
en) export LANG=en_US.UTF-8 ;;
*) export LANG="$VB_LANG" ;;
esac
[ -n "${VB_LANG:-}" ] && unset LC_ALL LC_CTYPE LC_MESSAGES
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
exe="$root/build/win64/VellumBox.exe"
driver="$root/build/win64/vbdrive.exe"
[ -f "$exe" ] || { echo "run: $exe missing; build first" >&2; exit 1; }

if [ -n "${DISPLAY:-}" ] && [ -z "${VB_IN_XVFB:-}" ]; then
    . "$root/tools/wine-env.sh"
    vb_wine_prepare
    exec "$WINE" "$exe" "$@"
fi

if [ -z "${VB_IN_XVFB:-}" ]; then
    exec "$root/tools/with-xvfb.sh" "$0" "$@"
fi
. "$root/tools/wine-env.sh"
vb_wine_prepare
"$WINE" "$exe" "$@" </dev/null >/dev/null 2>&1 &
pid=$!
if ! "$WINE" "$driver" wait 30000 >/dev/null; then
    echo "run: the main window did not appear" >&2
    kill "$pid" 2>/dev/null
    exit 1
fi
case "${LANG:-}" in ja*) lang=ja ;; *) lang=en ;; esac
shot="$root/build/screenshots/run-$lang.png"
mkdir -p "$(dirname "$shot")"
read -r x y w h < <("$WINE" "$driver" rect)
((x < 0)) && x=0
((y < 0)) && y=0
import -window root -crop "${w}x${h}+${x}+${y}" +repage "$shot"
"$WINE" "$driver" close \; gone 15000 >/dev/null
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill "$pid" 2>/dev/null
echo "$shot"
