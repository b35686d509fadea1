#!/usr/bin/env bash
# Runs the Win32 host's test driver under Wine on a virtual X display.
# Usage: run_wine_tests.sh BUILD_DIR DRIVER_EXE SCREEN_SAVER
# Exits 77 (skipped) only when Wine or Xvfb is not installed.
set -euo pipefail
build_dir=$1 driver=$2 scr=$3
. "$(dirname "$0")/wine_env.sh"

find_wine
if ! command -v Xvfb >/dev/null; then
  echo "SKIPPED: Xvfb is not installed (tools/packages.txt lists it)" >&2
  exit 77
fi

# A free display number, and the server on it for this run only.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  stop_wine
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=":$display"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

use_wine_prefix "$build_dir"
place_beside "$scr" "$driver"
"$wine" "$driver"
