#!/usr/bin/env bash
# End-to-end cases of the desktop program under its own virtual X server.
#   xvfb_cases.sh CASE PROGRAM HELPER
# Each case starts Xvfb on a free display number (Xvfb picks it), runs the
# program there and tears the server down. Exit 77 (skipped) only when Xvfb
# cannot start.
set -uo pipefail

case_name=$1
program=$2
helper=$3
work=$(mktemp -d)
xvfb_pid=
app_pid=
helper_pid=

cleanup() {
  for pid in $app_pid $helper_pid $xvfb_pid; do
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL ($case_name): $*" >&2; exit 1; }

start_xvfb() {
  if ! command -v Xvfb >/dev/null; then echo "SKIP: Xvfb is not installed"; exit 77; fi
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 "${1:-1280x720x24}" -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  exec 3>&-
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
  done
  if [ ! -s "$work/display" ]; then echo "SKIP: Xvfb did not start: $(cat "$work/xvfb.log")"; exit 77; fi
  export DISPLAY=":$(head -n1 "$work/display")"
}

# Waits up to $2 seconds for process $1 to end; its exit code lands in $exit_code.
wait_for_exit() {
  local pid=$1 limit=$2 waited=0
  while kill -0 "$pid" 2>/dev/null; do
    sleep 0.05
    waited=$((waited + 1))
    [ "$waited" -ge $((limit * 20)) ] && return 1
  done
  wait "$pid"
  exit_code=$?
  app_pid=
  return 0
}

# Brightest grey level of a picture (0 = all black).
brightest() { convert "$1" -colorspace Gray -format '%[fx:maxima]' info:; }
# Clearly green pixels above the overlays (the legend and the logo sit in the
# bottom rows), counted on every third row and column.
green_pixels() { convert "$1" -crop 100%x85%+0+0 +repage -sample 33% \
  -fx '(g > r + 0.16 && g > b + 0.16) ? 1 : 0' -format '%[fx:round(mean * w * h)]' info:; }
# Pixels of a crop (WxH+X+Y) whose blue is above 40 and above their red.
bluish() { convert "$1" -crop "$2" +repage -fx 'b > 40/255 && b > r ? 1 : 0' -format '%[fx:int(mean*w*h+0.5)]' info:; }
greater() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

start_program() {
  "$program" "$@" >"$work/out.log" 2>"$work/err.log" &
  app_pid=$!
}

# The program's window, once it is mapped.
program_window() {
  for _ in $(seq 200); do
    local id
    id=$(xdotool search --name '^Quorvalent$' 2>/dev/null | head -n1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.05
  done
  return 1
}

case "$case_name" in
  appears)
    start_xvfb
    start_program
    sleep 2
    kill -0 "$app_pid" 2>/dev/null || fail "the program ended: $(cat "$work/err.log")"
    import -window root "$work/shot.png" || fail "no screenshot"
    greater "$(brightest "$work/shot.png")" 0.05 || fail "the screen is black after two seconds"
    geometry=$(xwininfo -id "$(program_window)" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
    [ "$geometry" = "1280x720" ] || fail "the window is $geometry, not the whole 1280x720 screen"
    # The logo (159 x 12, 32 pixels from the right edge and 8 above the
    # bottom) is tinted toward blue; the rows above it hold the particles.
    logo=$(bluish "$work/shot.png" 159x12+1089+700)
    [ "$logo" -gt 100 ] || fail "no logo in the lower right corner ($logo bluish pixels)"
    convert "$work/shot.png" -crop 1280x600+0+0 +repage "$work/cloud.png"
    lit=$(convert "$work/cloud.png" -colorspace Gray -fx 'u > 0.13 ? 1 : 0' -format '%[fx:int(mean*w*h+0.5)]' info:)
    [ "$lit" -gt 50 ] || fail "no particles above the overlays ($lit lit pixels)"
    ;;
  enter)
    # Brush 1 of the starting colour set is green (0x79FF00), and the fountain
    # and trails that draw with it run from the first frame; the other set
    # (light blue, orange, red) has no green at all, nor have its sums.
    start_xvfb
    start_program
    sleep 2
    import -window root "$work/before.png"
    xdotool key Return
    sleep 0.5
    import -window root "$work/after.png"
    before=$(green_pixels "$work/before.png")
    after=$(green_pixels "$work/after.png")
    greater "$before" 20 || fail "no green particles before Enter ($before)"
    greater "$(awk -v b="$before" 'BEGIN { print b / 10 }')" "$after" ||
      fail "green particles are still there after Enter ($before before, $after after)"
    ;;
  escape)
    start_xvfb
    start_program
    sleep 1
    xdotool key Escape
    wait_for_exit "$app_pid" 3 || fail "Escape did not end the program"
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code after Escape"
    ;;
  close)
    start_xvfb
    start_program
    window=$(program_window) || fail "no window"
    sleep 1
    start=$(date +%s%N)
    "$helper" close "$window"
    wait_for_exit "$app_pid" 3 || fail "closing the window did not end the program"
    took=$((($(date +%s%N) - start) / 1000000))
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code after closing"
    [ "$took" -lt 1000 ] || fail "closing took $took ms"
    ;;
  window-id)
    start_xvfb
    "$helper" open 320 200 >"$work/window" &
    helper_pid=$!
    for _ in $(seq 60); do [ -s "$work/window" ] && break; sleep 0.05; done
    window=$(cat "$work/window")
    [ -n "$window" ] || fail "the helper made no window"
    start_program -window-id "$(printf '0x%x' "$window")" -fps
    sleep 1.5
    kill -0 "$app_pid" 2>/dev/null || fail "the program ended: $(cat "$work/err.log")"
    import -window "$window" "$work/inside.png"
    greater "$(brightest "$work/inside.png")" 0.05 || fail "nothing drawn into the window"
    # The frame follows the window to its new size.
    xdotool windowsize "$window" 480 300
    sleep 1
    import -window "$window" "$work/grown.png"
    convert "$work/grown.png" -crop 40x40+440+260 +repage "$work/corner.png"
    greater "$(brightest "$work/corner.png")" 0.05 || fail "the grown part of the window stays empty"
    kill -TERM "$app_pid"
    wait_for_exit "$app_pid" 2 || fail "SIGTERM did not end the program"
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code after SIGTERM"
    ;;
  small-window)
    # A window smaller than the overlays with their distances (a small
    # screen-saver preview): they are clipped, and the program goes on.
    start_xvfb
    "$helper" open 200 150 >"$work/window" &
    helper_pid=$!
    for _ in $(seq 60); do [ -s "$work/window" ] && break; sleep 0.05; done
    window=$(cat "$work/window")
    [ -n "$window" ] || fail "the helper made no window"
    start_program -window-id "$(printf '0x%x' "$window")"
    sleep 1.5
    kill -0 "$app_pid" 2>/dev/null || fail "the program ended: $(cat "$work/err.log")"
    import -window "$window" "$work/a.png"
    sleep 1
    kill -0 "$app_pid" 2>/dev/null || fail "the program ended later: $(cat "$work/err.log")"
    import -window "$window" "$work/b.png"
    greater "$(brightest "$work/b.png")" 0.05 || fail "nothing drawn into the small window"
    kill -TERM "$app_pid"
    wait_for_exit "$app_pid" 2 || fail "SIGTERM did not end the program"
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code after SIGTERM"
    ;;
  fatal-error)
    # PROGRAM is a build without the controls legend.
    start_xvfb
    start_program
    # The box, where the window system keeps it up, is answered with Return.
    for _ in $(seq 40); do
      kill -0 "$app_pid" 2>/dev/null || break
      # (xdotool's name search misses the box: its name is a UTF-8 property.)
      box=$(xwininfo -root -tree 2>/dev/null | awk '/"Process Runtime Error"/ { print $1; exit }')
      [ -n "$box" ] && { xdotool windowfocus --sync "$box" 2>/dev/null; xdotool key Return; }
      sleep 0.1
    done
    wait_for_exit "$app_pid" 5 || fail "the program goes on after the error"
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code after the error"
    grep -q "Process Runtime Error: JPG or BMP Resource Not Found" "$work/err.log" ||
      fail "the error text is missing: $(cat "$work/err.log")"
    ;;
  preview)
    start_xvfb
    "$helper" open 200 150 >"$work/window" &
    helper_pid=$!
    for _ in $(seq 60); do [ -s "$work/window" ] && break; sleep 0.05; done
    window=$(cat "$work/window")
    [ -n "$window" ] || fail "the helper made no window"
    start_program /p "$window"
    sleep 1
    import -window "$window" "$work/preview.png"
    pixel() { convert "$work/preview.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:; }
    [ "$(pixel 0 0)" = "0,0,0" ] || fail "the preview area is not black at its corner: $(pixel 0 0)"
    [ "$(pixel 151 111)" = "0,0,0" ] || fail "the preview area is not black at (151,111)"
    [ "$(pixel 160 120)" = "255,255,255" ] || fail "painted outside the 152 x 112 area"
    for spot in "44 7" "76 7" "44 39" "76 39" "12 71" "44 71" "76 71" "108 71"; do
      set -- $spot
      convert "$work/preview.png" -crop "32x32+$1+$2" +repage "$work/icon.png"
      greater "$(brightest "$work/icon.png")" 0.05 || fail "no icon at $1,$2"
    done
    kill "$helper_pid"; wait "$helper_pid" 2>/dev/null; helper_pid=
    wait_for_exit "$app_pid" 3 || fail "the preview outlived its window"
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code after the window went"
    ;;
  usage)
    unset DISPLAY WAYLAND_DISPLAY
    for args in "/c" "/p" "/p 1 2" "-bogus"; do
      # shellcheck disable=SC2086
      timeout 5 "$program" $args >"$work/out.log" 2>"$work/err.log"
      rc=$?
      [ "$rc" -eq 0 ] || fail "exit code $rc for '$args'"
      grep -q "Exit - key Esc" "$work/err.log" || fail "no usage text for '$args'"
      grep -q "Выход - клавиша Esc" "$work/err.log" || fail "no Russian usage text for '$args'"
    done
    timeout 5 "$program" /p 0 >"$work/out.log" 2>"$work/err.log"
    rc=$?
    [ "$rc" -eq 0 ] && [ ! -s "$work/err.log" ] || fail "'/p 0' must end silently with 0 (rc $rc)"
    ;;
  *)
    fail "unknown case"
    ;;
esac
echo "PASS ($case_name)"
