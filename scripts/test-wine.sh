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

WINEPREFIX=$(mktemp -d /tmp/zeseal-wine.XXXXXX)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export WINEARCH=win64
export LC_ALL=ko_KR.UTF-8
# Wine sees the Unix root as drive Z:.
export ZESEAL_SCREENSHOT_DIR="Z:${screenshots//\//\\}"
trap '/usr/lib/wine/wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT

# The dialog tests need a display; the rest run without one, since Wine asks
# for a file name on a display when a document goes to the port FILE:.
dialog_tests='WineDialogs*:*WineListDialogs*'

# The prefix is made once, quietly, before the tests run.
/usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1 || true
/usr/lib/wine/wineserver -w
# Without a window manager on the display, Wine draws the windows' captions
# and frames itself, so the screenshots show them.
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
/usr/lib/wine/wineserver -w
# Printed documents land in the current directory: run inside the prefix.
cd "$WINEPREFIX"
status=0
env -u DISPLAY timeout 900 /usr/lib/wine/wine64 "$program" --gtest_brief=1 \
  "--gtest_filter=-$dialog_tests" "${@:2}" || status=$?
/usr/lib/wine/wineserver -w

# The display: a private Xvfb server, gone when this script ends.
display_number=$((90 + RANDOM % 400))
while [ -e "/tmp/.X11-unix/X$display_number" ]; do display_number=$((display_number + 1)); done
Xvfb ":$display_number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap '/usr/lib/wine/wineserver -k >/dev/null 2>&1 || true; kill $xvfb 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display_number" ] && break; sleep 0.1; done
DISPLAY=":$display_number" ZESEAL_DIALOG_TESTS=1 timeout 600 /usr/lib/wine/wine64 "$program" \
  --gtest_brief=1 "--gtest_filter=$dialog_tests" "${@:2}" || status=$?
echo "dialog screenshots: $(find "$screenshots" -name '*.png' | wc -l) in $screenshots"
exit "$status"
