#!/usr/bin/env bash
# Runs the Win32 host's test driver under Wine on a virtual X display of its
# own. Usage: run_wine_tests.sh BUILD_DIR DRIVER_EXE SCREEN_SAVER
# Exits 77 (skipped) only when Wine or Xvfb is not installed.
set -uo pipefail
build_dir=$1 driver=$2 scr=$3
here=$(dirname "$0")
work=$(mktemp -d)
xvfb_pid= wine=
. "$here/wine_env.sh"
. "$here/../sdl/x_display.sh"  # start_xvfb
cleanup() {
  [ -n "$wine" ] && stop_wine
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

find_wine
start_xvfb 1280x1024x24
use_wine_prefix "$build_dir"
place_beside "$scr" "$driver"
"$wine" "$driver"
