#!/usr/bin/env bash
# Runs the Win32 host's test driver under Wine on a virtual X display.
# Usage: run_wine_tests.sh BUILD_DIR DRIVER_EXE SCREEN_SAVER
# Exits 77 (skipped) only when Wine or Xvfb is not installed.
set -euo pipefail
build_dir=$1 driver=$2 scr=$3

wine=$(command -v wine64 || true)
[ -z "$wine" ] && [ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64
if [ -z "$wine" ] || ! command -v Xvfb >/dev/null; then
  echo "SKIPPED: wine64 or Xvfb is not installed (tools/packages.txt lists them)" >&2
  exit 77
fi

export WINEDEBUG=-all
export WINEPREFIX="$build_dir/wineprefix"
export WINEDLLOVERRIDES="mscoree,mshtml="  # no offer to install .NET or Gecko

# A free display number, and the server on it for this run only.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  "${wine%64}server" -k >/dev/null 2>&1 || wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=":$display"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

# The prefix is made once per build folder. Without a window manager Wine
# waits about 2 s at every window close unless its windows are unmanaged.
if [ ! -f "$WINEPREFIX/.qv-ready" ]; then
  echo "Creating the Wine prefix in $WINEPREFIX ..."
  "$wine" wineboot -i >/dev/null 2>&1
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  "${wine%64}server" -w 2>/dev/null || wineserver -w 2>/dev/null || true
  touch "$WINEPREFIX/.qv-ready"
fi

# The driver finds the screen saver beside itself.
[ "$(dirname "$scr")" -ef "$(dirname "$driver")" ] || cp -f "$scr" "$(dirname "$driver")/"
"$wine" "$driver"
