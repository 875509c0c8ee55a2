#!/usr/bin/env bash
# Runs the Windows test program of a mingw-i686 build, with the shipped
# 32-bit ZEsealWARDEN.dll beside it, under 32-bit Wine (/usr/lib/wine/wine)
# in a fresh win32 prefix (removed afterwards): first everything but the
# dialog tests without a display, then the dialog tests on a private Xvfb
# display in the Korean locale, their screenshots in <build>/screenshots.
# Reports each group's passed, skipped, failed and excluded counts and its time.
#
# Where the kernel runs no 32-bit programs, scripts/setup-debian.sh has
# registered the user-mode emulator for them, and this script runs under it.
# ZESEAL_WINE32_EMULATE=1 runs under the emulator anyway, in a private
# binfmt_misc instance that no other process sees (Linux 6.7 or later).
#
# Usage: scripts/test-wine32.sh [build dir] [test program arguments...]
set -euo pipefail
self=$(realpath "$0")
cd "$(dirname "$0")/.."
repo=$PWD
build=${1:-build/mingw-i686}
program="$(realpath -m "$build/tests/win32/zeseal_win_tests.exe")"
[ -f "$program" ] || {
  echo "no $program: build the mingw-i686 preset first" >&2
  exit 1
}
wine=/usr/lib/wine/wine
[ -x "$wine" ] || {
  echo "no 32-bit Wine ($wine): run scripts/setup-debian.sh" >&2
  exit 1
}
# The program must load the very DLL the build ships and check-dll.sh checks.
if ! cmp -s "$build/src/ZEsealWARDEN.dll" "$build/tests/win32/ZEsealWARDEN.dll"; then
  echo "$build/tests/win32/ZEsealWARDEN.dll is not the build's $build/src/ZEsealWARDEN.dll" >&2
  exit 1
fi

i386_magic=7f454c4601010100000000000000000002000300
qemu=/usr/bin/qemu-i386

if [ "${ZESEAL_WINE32_EMULATE:-0}" = 1 ] && [ -z "${ZESEAL_WINE32_PRIVATE_BINFMT:-}" ]; then
  [ -x "$qemu" ] || { echo "no $qemu: run scripts/setup-debian.sh" >&2; exit 1; }
  # A user and mount namespace gets its own binfmt_misc, with the emulator
  # registered for i386 programs; the script runs again inside it.
  exec unshare --user --map-root-user --mount --fork sh -c '
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc &&
    printf ":zeseal-qemu-i386:M::%s:%s:%s:F" \
      "\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00" \
      "\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff" \
      "$0" >/proc/sys/fs/binfmt_misc/register &&
    ZESEAL_WINE32_PRIVATE_BINFMT=1 exec "$@"' "$qemu" "$self" "$@"
fi

# Emulated when an enabled binfmt_misc entry takes i386 ELF files: such an
# entry comes before the kernel's own loader.
emulator=""
for entry in /proc/sys/fs/binfmt_misc/*; do
  [ -f "$entry" ] && grep -qx enabled "$entry" 2>/dev/null || continue
  if grep -qx "magic $i386_magic" "$entry"; then
    emulator=$(sed -n 's/^interpreter //p' "$entry")
  fi
done

if [ -n "$emulator" ]; then
  echo "32-bit programs run under the emulator: $("$emulator" --version | head -n 1)"
  # Wine maps its shared user data at 0x7ffe0000, which the emulator gives
  # out only from an address space it reserves for the guest up front.
  export QEMU_RESERVED_VA=0xc0000000
else
  echo "32-bit programs run natively"
fi

screenshots="$(realpath -m "$build/screenshots")"
rm -rf "$screenshots"
mkdir -p "$screenshots"
logs="$(realpath -m "$build/wine32-logs")"
rm -rf "$logs"
mkdir -p "$logs"

. "$repo/scripts/wine-prefix.sh"
started=$SECONDS
wine_make_prefix "$wine" win32 "$screenshots"
echo "prefix made in $((SECONDS - started)) s"
cd "$WINEPREFIX"

# Tests left out, each with its reason. Under an emulator, a small program
# outside the library (scripts/wine32-emulator-check.c) shows what the
# emulator gets wrong (docs/wine32.md).
excluded=()
if [ -n "$emulator" ]; then
  check="$WINEPREFIX/drive_c/wine32-emulator-check.exe"
  i686-w64-mingw32-gcc -O2 -o "$check" "$repo/scripts/wine32-emulator-check.c"
  if ! timeout 300 "$wine" "$check" code; then
    # The emulator hands Wine a SIGSEGV without the page-fault trap number,
    # so Wine reports an access violation as an illegal instruction
    # (C000001D): the unguarded fault's process ends with that code, not
    # C0000005. The fault frame accepts both.
    excluded+=(FaultFrameWin32.AFaultOutsideEveryFrameStillEndsTheProcess)
  fi
  for threads_check in teb threads; do
    if ! timeout 300 "$wine" "$check" "$threads_check"; then
      echo "warning: this emulator mixes up the threads' Wine data: expect failures in tests" \
        "that start threads; scripts/setup-debian.sh installs one that does not" >&2
      break
    fi
  done
  /usr/lib/wine/wineserver -w
fi

status=0

# Runs one group: $1 its name, $2 its gtest filter, then the environment to
# run it in. Counts what the program reports, so a program that dies midway
# shows the tests it never finished as failed.
run_group() {
  local name=$1 filter=$2
  shift 2
  local log=$logs/$name.log tests left=0 skipped=0 test
  tests=$(env "$@" "$wine" "$program" --gtest_list_tests "--gtest_filter=$filter" 2>/dev/null |
    tr -d '\r' | awk '/^[^ ]/ {suite = $1} /^  / {print suite $1}')
  for test in $tests; do
    if [[ " ${excluded[*]} " == *" $test "* ]]; then
      skipped=$((skipped + 1))
    else
      left=$((left + 1))
    fi
  done
  if [ "$left" -eq 0 ]; then
    echo "== $name: the program listed no tests" >&2
    status=1
    return
  fi
  local run_filter=$filter
  if ((${#excluded[@]})); then
    local negative
    negative=$(IFS=:; echo "${excluded[*]}")
    if [[ $filter == -* ]]; then run_filter="$filter:$negative"; else run_filter="$filter-$negative"; fi
  fi
  local begun=$SECONDS code=0
  env "$@" timeout 1200 "$wine" "$program" "--gtest_filter=$run_filter" "${extra_args[@]}" \
    >"$log" 2>&1 || code=$?
  /usr/lib/wine/wineserver -w
  local passed failed gskipped
  passed=$(grep -c '^\[       OK \]' "$log" || true)
  # Tests that skip themselves (GTEST_SKIP) finished too.
  gskipped=$(tr -d '\r' <"$log" | grep -c '^\[  SKIPPED \] [A-Za-z0-9_/]*\.[A-Za-z0-9_/]* (' || true)
  failed=$((left > passed + gskipped ? left - passed - gskipped : 0))
  tr -d '\r' <"$log" | sed -n 's/^\[  FAILED  \] \([A-Za-z0-9_/]*\.[A-Za-z0-9_/]*\).*/  failed: \1/p' |
    sort -u
  grep -a 'wine client error' "$log" | sort -u || true
  echo "== $name: $passed passed, $gskipped skipped, $failed failed, $skipped excluded" \
    "($((SECONDS - begun)) s, exit code $code; log in $log)"
  if [ "$failed" -ne 0 ] || [ "$code" -ne 0 ]; then status=1; fi
}

extra_args=("${@:2}")
run_group without-display "-$wine_dialog_tests" -u DISPLAY

wine_start_display
run_group dialogs "$wine_dialog_tests" DISPLAY="$wine_display" ZESEAL_DIALOG_TESTS=1
echo "dialog screenshots: $(find "$screenshots" -name '*.png' | wc -l) in $screenshots"
echo "32-bit Windows tests took $((SECONDS - started)) s"
exit "$status"
