# Shared by test-wine.sh and test-wine32.sh (sourced, not run): the fresh
# Wine prefix the Windows tests run in, and the private display for the
# dialog tests, made the same way for both architectures.

# The tests that open dialogs, which need a display; the rest run without
# one, since Wine asks for a file name on a display when a document goes to
# the port FILE:.
wine_dialog_tests='WineDialogs*:*WineListDialogs*'

wine_xvfb=""

# Removes the prefix, and stops its wineserver and the display.
wine_cleanup() {
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  [ -z "$wine_xvfb" ] || kill "$wine_xvfb" 2>/dev/null || true
  [ -z "${WINEPREFIX:-}" ] || rm -rf "$WINEPREFIX"
}

# Makes a fresh prefix for $1 (the wine program) of architecture $2 (win32
# or win64), quietly, with no debug channels, no .NET or HTML engine, no
# debugger on a crash, the Korean locale (ANSI code page 949), and the
# dialogs' screenshots going to $3. Removed when the script ends.
wine_make_prefix() {
  local wine=$1 arch=$2 screenshots=$3
  WINEPREFIX=$(mktemp -d "/tmp/zeseal-$arch.XXXXXX")
  export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  export WINEARCH=$arch
  export LC_ALL=ko_KR.UTF-8
  # Wine sees the Unix root as drive Z:.
  export ZESEAL_SCREENSHOT_DIR="Z:${screenshots//\//\\}"
  trap wine_cleanup EXIT
  "$wine" wineboot --init >/dev/null 2>&1 || true
  /usr/lib/wine/wineserver -w
  # Without a window manager on the display, Wine draws the windows'
  # captions and frames itself, so the screenshots show them.
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
}

# Starts a private Xvfb server, stopped when the script ends, and sets
# wine_display to its name (":N").
wine_start_display() {
  local number=$((90 + RANDOM % 400))
  while [ -e "/tmp/.X11-unix/X$number" ]; do number=$((number + 1)); done
  Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  wine_xvfb=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$number" ] && break; sleep 0.1; done
  wine_display=":$number"
}
