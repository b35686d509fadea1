#!/usr/bin/env bash
# Runs the Win32 host's test driver under Wine on an Xvfb of its own.
#   run_wine_tests.sh BUILD_DIR DRIVER_EXE SCREEN_SAVER
# Exits 77 (skipped) only when Wine or Xvfb is not installed.
set -uo pipefail
here=$(dirname "$0") case_name=wine
. "$here/../x_display.sh"
. "$here/wine_env.sh"
find_wine
start_xvfb 1280x1024x24
use_wine_prefix "$1"
place_beside "$3" "$2"
"$wine" "$2"
