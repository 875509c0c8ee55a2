#!/usr/bin/env bash
# Installs what the build, the tests, the cross builds and the fuzzers need on
# Debian 12, 32-bit Wine among them. Safe to run again: it installs only what
# is missing, adds the i386 architecture once and registers the i386
# emulator only where the kernel cannot run 32-bit programs itself and no
# working registration exists. Refuses any installation after which apt
# would remove or downgrade a package.
#
# ZESEAL_WINE32_EMULATE=1 installs the emulator even where the kernel runs
# 32-bit programs, for scripts/test-wine32.sh's emulated runs (it registers
# nothing then).
set -euo pipefail

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

packages=(
  build-essential cmake ninja-build pkg-config git dpkg-dev file
  zlib1g-dev libpng-dev libdeflate-dev libtiff-dev libjpeg62-turbo-dev
  libfreetype-dev libfontconfig-dev fonts-nanum
  libssl-dev libpixman-1-dev libzxing-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  libcups2-dev cups
  clang libclang-rt-14-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix googletest
  wine wine64 xvfb locales
)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# Installs the named packages after a look at apt's plan: it may upgrade
# (an i386 library must be the very version of its amd64 twin), but it must
# neither remove nor downgrade anything, except the removals named in
# $allowed_removals.
allowed_removals=""
install_checked() {
  local plan removals downgrades
  plan=$(DEBIAN_FRONTEND=noninteractive apt-get install -s --no-install-recommends "$@")
  removals=$(sed -n 's/^Remv \([^ ]*\) .*/\1/p' <<<"$plan" |
    while read -r name; do
      [[ " $allowed_removals " == *" ${name%:amd64} "* ]] || echo "$name"
    done)
  if [ -n "$removals" ]; then
    echo "Refusing to install $*: apt would remove" $removals >&2
    exit 1
  fi
  # "Inst name [installed version] (new version ...": a downgrade if new < installed.
  downgrades=$(sed -n 's/^Inst \([^ ]*\) \[\([^]]*\)\] (\([^ ]*\) .*/\1 \2 \3/p' <<<"$plan" |
    while read -r name old new; do
      if dpkg --compare-versions "$new" lt "$old"; then echo "$name $old -> $new"; fi
    done)
  if [ -n "$downgrades" ]; then
    echo "Refusing to install $*: apt would downgrade:" >&2
    echo "$downgrades" >&2
    exit 1
  fi
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@"
}

updated=0
apt_update() {
  if [ "$updated" -eq 0 ]; then
    $sudo apt-get update -qq
    updated=1
  fi
}

missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  apt_update
  install_checked "${missing[@]}"
fi

# The Windows dialog tests run Wine in a Korean locale, so that its ANSI code
# page is 949.
if ! locale -a 2>/dev/null | grep -qix 'ko_KR.utf8'; then
  echo "Generating the ko_KR.UTF-8 locale"
  $sudo localedef -i ko_KR -f UTF-8 ko_KR.UTF-8
fi

# --- 32-bit programs, for 32-bit Wine ---------------------------------------
# The shipped DLL is 32-bit; its tests run under 32-bit Wine. Where the
# kernel cannot run i386 programs, the user-mode emulator runs them, through
# a binfmt_misc entry for i386 ELF files (Debian's qemu packages leave i386
# out on amd64). 64-bit programs, wine64 among them, are never touched.
#
# The emulator comes from bookworm-backports (10.0): under bookworm's own
# (7.2) every 32-bit Wine process spends about a minute starting, a fresh
# prefix takes half an hour, and threads mix up their Wine data
# (docs/wine32.md).
binfmt=/proc/sys/fs/binfmt_misc

# A static i386 program of 96 bytes that exits with 42. Under a registered
# qemu, QEMU_VERSION makes the emulator print its version instead.
probe=$(mktemp /tmp/zeseal-i386-probe.XXXXXX)
trap 'rm -f "$probe"' EXIT
printf '%b' '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00' \
  '\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00' \
  '\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08' \
  '\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
  '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
chmod +x "$probe"

# native, qemu <major version>, or none.
i386_runner() {
  local out code=0
  out=$(QEMU_VERSION=1 "$probe" 2>&1) || code=$?
  if [ "$code" -eq 42 ]; then
    echo native
  elif [[ $out =~ qemu-i386[^0-9]*version\ ([0-9]+) ]]; then
    echo "qemu ${BASH_REMATCH[1]}"
  else
    echo none
  fi
}

install_emulator() {
  if installed qemu-user &&
    dpkg --compare-versions "$(dpkg-query -W -f='${Version}' qemu-user)" ge 1:10; then
    return 0
  fi
  if ! grep -rqs 'bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    echo "Adding bookworm-backports to apt's sources"
    printf '%s\n' 'Types: deb' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm-backports' \
      'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
      $sudo tee /etc/apt/sources.list.d/bookworm-backports.sources >/dev/null
    updated=0
  fi
  apt_update
  echo "Installing qemu-user from bookworm-backports"
  # It replaces bookworm's qemu-user-static, whose files it takes over.
  allowed_removals="qemu-user-static"
  install_checked qemu-user/bookworm-backports
  allowed_removals=""
}

runner=$(i386_runner)
case "$runner" in
native)
  [ "${ZESEAL_WINE32_EMULATE:-0}" != 1 ] || install_emulator
  ;;
*)
  if [ "$runner" = none ] || [ "${runner#qemu }" -lt 10 ]; then
    install_emulator
    [ -e "$binfmt/register" ] || $sudo mount -t binfmt_misc binfmt_misc "$binfmt"
    # An entry registered with flag F holds the emulator it was given: an
    # older one is taken out before ours goes in.
    for entry in "$binfmt"/*; do
      [ -f "$entry" ] && [ "$entry" != "$binfmt/register" ] && [ "$entry" != "$binfmt/status" ] || continue
      if grep -qx 'magic 7f454c4601010100000000000000000002000300' "$entry"; then
        echo "Removing the binfmt_misc entry $(basename "$entry") ($(sed -n 's/^interpreter //p' "$entry"))"
        echo -1 | $sudo tee "$entry" >/dev/null
      fi
    done
    echo "Registering /usr/bin/qemu-i386 for i386 programs"
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    # Flag F: the kernel opens the emulator now, so it serves every mount
    # namespace and chroot.
    echo ":zeseal-qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386:F" |
      $sudo tee "$binfmt/register" >/dev/null
    runner=$(i386_runner)
    [[ $runner == "qemu "* ]] || { echo "the i386 emulator does not run i386 programs" >&2; exit 1; }
  fi
  ;;
esac
echo "i386 programs: $runner"

# 32-bit Wine, once i386 programs run: some of its libraries' install
# scripts run i386 programs.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "Adding the i386 architecture"
  $sudo dpkg --add-architecture i386
  updated=0
fi
if ! installed wine32:i386; then
  echo "Installing wine32:i386"
  apt_update
  install_checked wine32:i386
fi
