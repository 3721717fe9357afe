#!/usr/bin/env bash
# Makes a fresh Debian 12 machine ready to build and test PathTagger.
# Installs only what is missing, so a second run costs a few seconds.
set -euo pipefail

packages=(
  cmake make g++ clang libclang-rt-14-dev
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine32:i386 wine64 fonts-wine nsis
  xvfb xauth imagemagick x11-apps
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libpcre2-dev kid3-cli
  python3 python3-mutagen python3-pefile
)

sudo_if_needed() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  sudo_if_needed dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if [ "${need_update:-0}" = 1 ] || [ -z "$(ls -A /var/lib/apt/lists 2>/dev/null | grep -v lock)" ]; then
    sudo_if_needed apt-get update -qq
  fi
  if ! sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
    sudo_if_needed apt-get update -qq
    sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
else
  echo "setup: every package is present"
fi

# Some machines refuse to run 32-bit x86 programs at all ("Exec format
# error"), and Wine's 32-bit loader is one. There it runs under qemu's
# user-mode emulation, registered with the kernel through binfmt_misc. The
# registration lasts until the machine restarts, so it is checked every time.
wine32_loader=/usr/lib/wine/wine
if ! "$wine32_loader" --version >/dev/null 2>&1; then
  if ! dpkg-query -W -f='${Status}' qemu-user 2>/dev/null | grep -q 'install ok installed'; then
    echo "setup: 32-bit programs do not run here; installing qemu-user"
    sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends qemu-user
  fi
  binfmt=/proc/sys/fs/binfmt_misc
  if [ ! -e "$binfmt/register" ]; then
    sudo_if_needed mount -t binfmt_misc binfmt_misc "$binfmt"
  fi
  if [ ! -e "$binfmt/qemu-i386" ]; then
    echo "setup: running 32-bit x86 programs through qemu-i386"
    # The ELF header of a 32-bit x86 executable or shared object; F opens
    # the emulator now, so it also serves programs in other mount namespaces.
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":qemu-i386:M::${magic}:${mask}:/usr/bin/qemu-i386:F" |
      sudo_if_needed tee "$binfmt/register" >/dev/null
  else
    echo 1 | sudo_if_needed tee "$binfmt/qemu-i386" >/dev/null
  fi
  "$wine32_loader" --version >/dev/null
fi
