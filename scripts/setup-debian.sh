#!/usr/bin/env bash
# Installs what the build, the tests, the cross builds and the fuzzers need on
# Debian 12. Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  zlib1g-dev libpng-dev
  libfreetype-dev libfontconfig-dev fonts-nanum
  libssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  libcups2-dev cups
  clang libclang-rt-14-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix googletest
  wine wine64 xvfb locales
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The Windows dialog tests run Wine in a Korean locale, so that its ANSI code
# page is 949.
if ! locale -a 2>/dev/null | grep -qix 'ko_KR.utf8'; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Generating the ko_KR.UTF-8 locale"
  $sudo localedef -i ko_KR -f UTF-8 ko_KR.UTF-8
fi
