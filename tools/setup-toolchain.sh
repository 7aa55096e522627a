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
