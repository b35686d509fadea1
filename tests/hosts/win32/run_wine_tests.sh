#!/usr/bin/env bash
# Runs the Win32 host's test driver under Wine on an Xvfb of its own.
#   run_wine_tests.sh BUILD_DIR DRIVER_EXE SCREEN_SAVER
# Exits 77 (skipped) only when Wine or Xvfb is not installed.
set -uo pipefail
here=$(dirname "$0")
work=$(mktemp -d)
xvfb_pid='' wine=''
. "$here/wine_env.sh"
. "$here/../sdl/x_display.sh"  # start_xvfb
trap '[ -n "$wine" ] && stop_wine; [ -n "$xvfb_pid" ] && kill "$xvfb_pid"; rm -rf "$work"' EXIT
find_wine
start_xvfb 1280x1024x24
use_wine_prefix "$1"
place_beside "$3" "$2"
"$wine" "$2"
