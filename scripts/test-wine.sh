#!/usr/bin/env bash
# Runs the Windows test program of a mingw-x64 build under Debian's wine64 in
# a fresh prefix (removed afterwards), with no debug channels, no .NET or
# HTML engine, and no debugger on a crash. The program runs on a private
# Xvfb display in the Korean locale (ANSI code page 949), so the dialog tests
# can open the DLL's dialogs; their screenshots land in <build>/screenshots.
# Usage: scripts/test-wine.sh [build dir] [test program arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/mingw-x64}
program="$(realpath -m "$build/tests/win32/zeseal_win_tests.exe")"
[ -f "$program" ] || { echo "no $program: build the mingw-x64 preset first" >&2; exit 1; }
screenshots="$(realpath -m "$build/screenshots")"
rm -rf "$screenshots"
mkdir -p "$screenshots"

. scripts/wine-prefix.sh
wine_make_prefix /usr/lib/wine/wine64 win64 "$screenshots"
# Printed documents land in the current directory: run inside the prefix.
cd "$WINEPREFIX"
status=0
env -u DISPLAY timeout 900 /usr/lib/wine/wine64 "$program" --gtest_brief=1 \
  "--gtest_filter=-$wine_dialog_tests" "${@:2}" || status=$?
/usr/lib/wine/wineserver -w

wine_start_display
DISPLAY="$wine_display" ZESEAL_DIALOG_TESTS=1 timeout 600 /usr/lib/wine/wine64 "$program" \
  --gtest_brief=1 "--gtest_filter=$wine_dialog_tests" "${@:2}" || status=$?
echo "dialog screenshots: $(find "$screenshots" -name '*.png' | wc -l) in $screenshots"
exit "$status"
