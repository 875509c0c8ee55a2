#!/usr/bin/env bash
# Runs the Windows test program of a mingw-x64 build under Debian's wine64 in
# a fresh prefix (removed afterwards), with no debug channels, no .NET or
# HTML engine, and no debugger on a crash. Usage: scripts/test-wine.sh [build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/mingw-x64}
program="$(realpath -m "$build/tests/win32/zeseal_win_tests.exe")"
[ -f "$program" ] || { echo "no $program: build the mingw-x64 preset first" >&2; exit 1; }

WINEPREFIX=$(mktemp -d /tmp/zeseal-wine.XXXXXX)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export WINEARCH=win64
trap '/usr/lib/wine/wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT

# The prefix is made once, quietly, before the tests run.
/usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1 || true
/usr/lib/wine/wineserver -w
# Printed documents land in the current directory: run inside the prefix.
cd "$WINEPREFIX"
timeout 900 /usr/lib/wine/wine64 "$program" --gtest_brief=1 "${@:2}"
