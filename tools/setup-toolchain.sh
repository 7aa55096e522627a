#!/bin/sh
# Installs what building and testing need, from Debian's packages only.
# Does nothing (no apt-get update) when everything is present already.
set -e
PKGS="mingw-w64 g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 \
g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix cmake ninja-build make g++ \
wine wine64 wine32:i386 xvfb xauth x11-apps imagemagick locales fonts-ipafont-gothic googletest \
clang libclang-rt-14-dev clang-format zip python3 \
fusefat dosfstools fuse3 wixl msitools"
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if [ -n "$missing" ]; then
  echo "setup: installing$missing"
  # The 32-bit program runs under Wine's 32-bit half, which comes from the i386 archive.
  dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $missing
fi
# Some kernels run no 32-bit x86 code at all (neither 32-bit Linux programs nor 32-bit
# segments inside 64-bit ones), and with them Wine's 32-bit half: there it runs under
# qemu's user-mode emulation, through a binfmt_misc handler registered off, which the
# 32-bit test runs switch on (tools/wine-env.sh, vb_i386).
# qemu before 9.1 ignores MAP_FIXED_NOREPLACE, so every 32-bit Wine process spent about
# a minute probing its address space; the release's backports suite has a newer qemu.
QEMU=/usr/bin/qemu-i386
qemu_new_enough() {
  v=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null) || return 1
  [ -x "$QEMU" ] && dpkg --compare-versions "$v" ge 1:9.1
}
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  if ! qemu_new_enough; then
    echo "setup: this kernel runs no 32-bit code: installing qemu-user (9.1 or later)"
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    suite="$codename-backports"
    list=/etc/apt/sources.list.d/vellumbox-backports.sources
    if [ -n "$codename" ] && ! apt-cache policy 2>/dev/null | grep -q " $suite/"; then
      # The backports suite of the mirror this machine already uses for its release.
      uri=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk -v c="$codename" '
        BEGIN { RS = ""; FS = "\n" }
        { u = ""; ok = 0
          for (i = 1; i <= NF; i++) {
            n = split($i, w, " ")
            if (w[1] == "URIs:") u = w[2]
            if (w[1] == "Suites:") for (j = 2; j <= n; j++) if (w[j] == c) ok = 1
          }
          if (ok && u != "") { print u; exit } }')
      [ -n "$uri" ] || uri=$(sed -n "s/^deb \(\[[^]]*\] \)\?\([^ ]*\) $codename .*/\2/p" \
        /etc/apt/sources.list 2>/dev/null | head -n 1)
      if [ -n "$uri" ]; then
        printf 'Types: deb\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: %s\n' \
          "$uri" "$suite" /usr/share/keyrings/debian-archive-keyring.gpg | $SUDO tee "$list" >/dev/null
        $SUDO apt-get update -q || { $SUDO rm -f "$list"; $SUDO apt-get update -q; }
      fi
    fi
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends \
      -t "$suite" qemu-user ||
      DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends qemu-user-static
  fi
  # The slow older qemu still runs the 32-bit tests, in minutes each.
  qemu_new_enough || QEMU=/usr/bin/qemu-i386-static
  [ -e /proc/sys/fs/binfmt_misc/register ] ||
    $SUDO mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null || true
  handler=/proc/sys/fs/binfmt_misc/qemu-i386
  # A handler left by an older set-up may name an older qemu.
  if [ -e "$handler" ] && ! grep -qx "interpreter $QEMU" "$handler"; then
    echo -1 | $SUDO tee "$handler" >/dev/null || true
  fi
  if [ -e /proc/sys/fs/binfmt_misc/register ] && [ ! -e "$handler" ] && [ -x "$QEMU" ]; then
    # i386 ELF executables; F: qemu is opened now, so it serves in every mount namespace.
    printf '%s' ":qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:$QEMU:F" |
      $SUDO tee /proc/sys/fs/binfmt_misc/register >/dev/null || true
    [ -e "$handler" ] && echo 0 | $SUDO tee "$handler" >/dev/null
  fi
fi
# Locales used by the tests (English and Japanese resources).
need_locale=""
locale -a 2>/dev/null | grep -qi '^en_US.utf8$' || need_locale=1
locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$' || need_locale=1
if [ -n "$need_locale" ]; then
  $SUDO sed -i -e 's/^# *\(en_US.UTF-8 UTF-8\)/\1/' -e 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^en_US.UTF-8 UTF-8' /etc/locale.gen || echo 'en_US.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen
fi
