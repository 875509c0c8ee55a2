#!/usr/bin/env bash
# Builds and tests everything with warnings as errors: the default and the
# ASan+UBSan builds (unit tests, the C interface test, fuzz corpus replays;
# the default build is also installed, packaged and used as an installed
# library by scripts/check-install.sh),
# the libFuzzer build, and the two Windows cross builds of the DLL, whose
# exports and imports are checked, as the POSIX library's exports are; both
# builds' tests run under Wine, the shipped 32-bit DLL's under 32-bit Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)

# A private CUPS scheduler for the tests labelled cups, on a local socket
# only; stopped by its PID when the script ends, however it ends.
cups_dir=$(mktemp -d /tmp/zeseal-cups.XXXXXX)
trap 'scripts/private-cupsd.sh stop "$cups_dir"; rm -rf "$cups_dir"' EXIT
scripts/private-cupsd.sh start "$cups_dir"
export ZESEAL_TEST_CUPS_DIR="$cups_dir"

for preset in default asan-ubsan fuzz; do
  echo "== $preset"
  cmake --preset "$preset" -DZESEAL_WARNINGS_AS_ERRORS=ON >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
  if [ "$preset" = default ]; then
    scripts/check-so.sh "build/$preset/src/libzeseal.so"
    scripts/check-install.sh "build/$preset"
  fi
done

for preset in mingw-i686 mingw-x64; do
  echo "== $preset"
  cmake --preset "$preset" -DZESEAL_WARNINGS_AS_ERRORS=ON >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  arch=i686
  [ "$preset" = mingw-x64 ] && arch=x86_64
  scripts/check-dll.sh "$arch-w64-mingw32-objdump" "build/$preset/src/ZEsealWARDEN.dll"
done

echo "== Windows tests under Wine"
scripts/test-wine.sh build/mingw-x64
echo "== 32-bit Windows tests under 32-bit Wine (the shipped DLL)"
scripts/test-wine32.sh build/mingw-i686
echo "All builds and tests passed."
