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
# qemu's user-mode emulation, through a binfmt_misc handler that the tests switch on
# only while they run 32-bit programs (tools/wine-env.sh, vb_i386).
if ! /usr/lib/wine/wine --version >/dev/null 2>&1 && [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
  if ! dpkg-query -W -f='${Status}\n' qemu-user-static 2>/dev/null | grep -q "install ok installed"; then
    echo "setup: this kernel runs no 32-bit code: installing qemu-user-static"
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends qemu-user-static
  fi
  [ -e /proc/sys/fs/binfmt_misc/register ] ||
    $SUDO mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null || true
  if [ -e /proc/sys/fs/binfmt_misc/register ]; then
    # i386 ELF executables; F: qemu is opened now, so it serves in every mount namespace.
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' |
      $SUDO tee /proc/sys/fs/binfmt_misc/register >/dev/null || true
    [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && echo 0 | $SUDO tee /proc/sys/fs/binfmt_misc/qemu-i386 >/dev/null
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
