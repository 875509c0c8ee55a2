#!/usr/bin/env bash
# Installs a built tree into a temporary prefix and uses it as a user would:
# a C program built with find_package(zeseal) and one built with pkg-config,
# both run; the installed tool, man page, completion and example data are
# there. Then makes the Debian packages with cpack, checks their control
# fields, unpacks them with dpkg-deb -x and builds both programs against the
# unpacked files too.
#
# Usage: scripts/check-install.sh [BUILD_DIR]   (default build/default, built)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build/default}
[ -f "$build/CMakeCache.txt" ] || { echo "check-install: $build is not a configured build" >&2; exit 1; }
build=$(cd "$build" && pwd)

scratch=$(mktemp -d /tmp/zeseal-install.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

fail() { echo "check-install: $*" >&2; exit 1; }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
prefix_of_build=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "$build/CMakeCache.txt")
libdir=${libdir:-lib}

# Builds and runs the two consumers against the files under PREFIX.
consume() {
  local prefix=$1 work=$2
  mkdir -p "$work"
  cmake -S "$root/tests/install" -B "$work/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_FIND_USE_SYSTEM_PACKAGE_REGISTRY=OFF >"$work/configure.log" ||
    { cat "$work/configure.log" >&2; fail "find_package(zeseal) failed under $prefix"; }
  cmake --build "$work/cmake" >"$work/build.log" ||
    { cat "$work/build.log" >&2; fail "the CMake consumer does not build under $prefix"; }
  LD_LIBRARY_PATH="$prefix/$libdir" "$work/cmake/consumer"

  local flags
  flags=$(PKG_CONFIG_LIBDIR="$prefix/$libdir/pkgconfig" pkg-config --cflags --libs zeseal) ||
    fail "pkg-config zeseal failed under $prefix"
  # shellcheck disable=SC2086
  cc -std=c99 -Wall -Wextra -pedantic -Werror "$root/tests/install/consumer.c" $flags \
    -o "$work/pc-consumer"
  LD_LIBRARY_PATH="$prefix/$libdir" "$work/pc-consumer"
  [ "$(PKG_CONFIG_LIBDIR="$prefix/$libdir/pkgconfig" pkg-config --modversion zeseal)" = "$version" ] ||
    fail "zeseal.pc does not give version $version"
}

echo "-- cmake --install into a temporary prefix"
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/zeseal share/man/man1/zeseal.1 share/bash-completion/completions/zeseal \
  "$libdir/cmake/zeseal/zesealConfig.cmake" "$libdir/cmake/zeseal/zesealConfigVersion.cmake" \
  "$libdir/pkgconfig/zeseal.pc" include/zeseal/zeseal.h include/zeseal/zeseal_posix.h \
  share/zeseal/examples/printers.txt share/zeseal/examples/watermark.b64 \
  share/zeseal/examples/system/ZePrintInfoCourt.dat share/zeseal/examples/system/ZeCourtPrtChk.dat; do
  [ -e "$prefix/$file" ] || fail "the install has no $file"
done
[ ! -e "$prefix/share/zeseal/system" ] || fail "the built-in system directory is installed; it must stay empty"
consume "$prefix" "$scratch/installed"
"$prefix/bin/zeseal" --version | grep -qx "zeseal $version" || fail "the installed tool's version"
ZESEAL_SYSTEM_DIR="$prefix/share/zeseal/examples/system" \
  "$prefix/bin/zeseal" catalogue list "$prefix/share/zeseal/examples/system/ZePrintInfoCourt.dat" >/dev/null ||
  fail "the installed tool does not list the example catalogue"
man -l "$prefix/share/man/man1/zeseal.1" >/dev/null 2>&1 || [ ! -x "$(command -v man)" ] ||
  fail "the man page does not format"
bash -n "$prefix/share/bash-completion/completions/zeseal" || fail "the bash completion has a syntax error"

echo "-- cpack -G DEB"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/deb" >"$scratch/cpack.log" ||
  { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
debs=("$scratch"/deb/*.deb)
[ "${#debs[@]}" -eq 3 ] || fail "cpack made ${#debs[@]} packages, not 3"

# field PACKAGE FIELD: one control field of one package.
field() { dpkg-deb -f "$scratch/deb/$1"_*.deb "$2"; }
for package in libzeseal0 libzeseal-dev zeseal; do
  [ -f "$(echo "$scratch/deb/${package}_${version}"_*.deb)" ] || fail "no package $package $version"
  [ "$(field "$package" Package)" = "$package" ] || fail "$package: wrong Package field"
  [ "$(field "$package" Version)" = "$version" ] || fail "$package: wrong Version field"
done
[[ $(field libzeseal-dev Depends) == *"libzeseal0 (= $version)"* ]] ||
  fail "libzeseal-dev must depend on libzeseal0 (= $version): $(field libzeseal-dev Depends)"
for package in libzeseal0 zeseal; do
  depends=$(field "$package" Depends)
  for library in libpng16 libfreetype6 libfontconfig1 libstdc++6; do
    [[ $depends == *"$library"* ]] || fail "$package does not depend on $library: $depends"
  done
  [[ $(field "$package" Recommends) == *fonts-nanum* ]] || fail "$package does not recommend fonts-nanum"
done
[[ $(field libzeseal0 Section) == libs ]] || fail "libzeseal0 is not in section libs"
contents=$(dpkg-deb -c "$scratch"/deb/libzeseal0_*.deb)
[[ $contents == *libzeseal.so.0* ]] || fail "libzeseal0 has no libzeseal.so.0"
[[ $contents == *libzeseal_reader.so.0* ]] || fail "libzeseal0 has no libzeseal_reader.so.0"
[[ $contents != *include/* ]] || fail "libzeseal0 holds headers"
contents=$(dpkg-deb -c "$scratch"/deb/libzeseal-dev_*.deb)
[[ $contents == *zeseal/zeseal.h* && $contents == *zesealConfig.cmake* && $contents == *zeseal.pc* ]] ||
  fail "libzeseal-dev lacks the headers, the CMake package or zeseal.pc"
contents=$(dpkg-deb -c "$scratch"/deb/zeseal_*.deb)
[[ $contents == *bin/zeseal$'\n'* || $contents == *bin/zeseal ]] || fail "the zeseal package has no tool"
[[ $contents == *man1/zeseal.1* ]] || fail "the zeseal package has no man page"
dpkg-deb -I "$scratch"/deb/libzeseal0_*.deb shlibs >/dev/null || fail "libzeseal0 has no shlibs file"

echo "-- the unpacked packages"
for deb in "${debs[@]}"; do dpkg-deb -x "$deb" "$scratch/root"; done
consume "$scratch/root$prefix_of_build" "$scratch/unpacked"
echo "check-install: the install and the packages work"
