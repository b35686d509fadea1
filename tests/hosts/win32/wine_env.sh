# Pieces the Wine test scripts share (sourced, not run).
#   find_wine                  sets $wine, or exits 77 (skipped) without Wine
#   use_wine_prefix BUILD_DIR  the environment of that build's test prefix,
#                              made on first use (needs $DISPLAY); its wine
#                              server ends with the script (x_display.sh)
#   place_beside SCR DRIVER    the screen saver beside the driver, which looks there

find_wine() {
  wine=$(command -v wine64 || true)
  [ -z "$wine" ] && [ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64
  [ -n "$wine" ] || skip "wine64 is not installed (tools/packages.txt lists it)"
}

use_wine_prefix() {
  export WINEDEBUG=-all WINEPREFIX="$1/wineprefix" WINEDLLOVERRIDES="mscoree,mshtml="  # no .NET or Gecko offers
  wine_used=1
  [ -f "$WINEPREFIX/.qv-ready" ] && return
  # Without a window manager Wine waits about 2 s at every window close
  # unless its windows are unmanaged.
  echo "Creating the Wine prefix in $WINEPREFIX ..."
  "$wine" wineboot -i >/dev/null 2>&1
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  "${wine%64}server" -w 2>/dev/null || wineserver -w 2>/dev/null || true
  touch "$WINEPREFIX/.qv-ready"
}

place_beside() { [ "$(dirname "$1")" -ef "$(dirname "$2")" ] || cp -f "$1" "$(dirname "$2")/"; }

stop_wine() { "${wine%64}server" -k >/dev/null 2>&1 || wineserver -k >/dev/null 2>&1 || true; }
