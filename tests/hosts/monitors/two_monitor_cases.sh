#!/usr/bin/env bash
# End-to-end cases on two monitors side by side (two_monitors.conf), on an
# Xorg of our own whose white desktop shows a monitor left uncovered.
#   two_monitor_cases.sh sdl-covers|sdl-follow|sdl-close PROGRAM HELPER
#   two_monitor_cases.sh wine-covers|wine-follow BUILD_DIR DRIVER SCREEN_SAVER
# Exit 77 (skipped) only when Xorg cannot start here.
set -uo pipefail

case_name=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
PRIMARY=1024x768+0+0 SECOND=800x600+1024+0 DARK="Quorvalent dark display"
# shellcheck source=../x_display.sh
. "$here/../x_display.sh"

start_server() {
  [ -x /usr/lib/xorg/Xorg ] || skip "Xorg is not installed (tools/packages.txt lists xserver-xorg-core)"
  [ -e /usr/lib/xorg/modules/drivers/dummy_drv.so ] || skip "the dummy video driver is not installed"
  start_x /usr/lib/xorg/Xorg -config "$here/two_monitors.conf" -noreset -sharevts -novtswitch \
    -logfile "$work/xorg.log"
  xsetroot -solid white
}

# The geometry (WxH+X+Y) of the viewable top-level window named $1, if any.
window_geometry() {
  local id
  for id in $(xwininfo -root -children 2>/dev/null | awk -v name="\"$1\":" 'index($0, name) { print $1 }'); do
    xwininfo -id "$id" 2>/dev/null | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
      /Width:/ { w = $2 } /Height:/ { h = $2 } /Map State: IsViewable/ { shown = 1 }
      END { if (shown) printf "%sx%s+%s+%s\n", w, h, x, y; else exit 1 }' && return
  done
}
# Whether the window named $1 stands at $2 (empty: is gone).
window_at() { [ "$(window_geometry "$1")" = "$2" ]; }

# Brightest grey level of the second monitor in a screenshot (0: all black).
second_brightest() { convert "$1" -crop 800x600+1024+0 +repage -colorspace Gray -format '%[fx:maxima]' info:; }
second_black() { import -window root "$work/second.png" 2>/dev/null && [ "$(second_brightest "$work/second.png")" = 0 ]; }
# The animation on the primary monitor: particles above the overlays (some,
# but not the white of a window not painted yet), and the logo 32 pixels
# from that monitor's right edge and 8 above its bottom, so the frame has
# that monitor's size. Leaves the screenshot in $work/shot.png.
animation_shown() {
  local lit
  import -window root "$work/shot.png" 2>/dev/null || return 1
  lit=$(convert "$work/shot.png" -crop 1024x640+0+0 +repage -colorspace Gray -threshold 13% \
    -format '%[fx:int(mean*w*h+0.5)]' info:)
  [ "$lit" -gt 50 ] && [ "$lit" -lt 200000 ] && [ "$(bluish "$work/shot.png" 159x12+833+748)" -gt 100 ]
}

# The animation on the primary monitor, the second one black. $1 and $2 are
# the names of the animation's window and of the dark one. (The limits: far
# above what an idle machine needs.)
check_covers() {
  poll 60 window_at "$1" "$PRIMARY" || fail "the animation's window is not at $PRIMARY: '$(window_geometry "$1")'"
  poll 30 window_at "$2" "$SECOND" || fail "no dark window at $SECOND: '$(window_geometry "$2")'"
  poll 60 animation_shown || fail "no animation with its logo on the primary monitor"
  poll 30 second_black || fail "the second monitor is not black (brightest $(second_brightest "$work/second.png"))"
}

case "$case_name" in
  sdl-*)
    start_server
    "$1" >"$work/out.log" 2>"$work/err.log" &
    app_pid=$!
    check_covers Quorvalent "$DARK"
    ;;&
  sdl-covers)
    # Enter swaps the colour sets: brush 1 of the starting set is green
    # (0x79FF00) from the first frame; the other set (light blue, orange,
    # red) has no green at all, nor have its sums. Then Escape.
    green() {
      import -window root "$work/$1.png" 2>/dev/null && convert "$work/$1.png" -crop 1024x640+0+0 -sample 33% \
        -fx '(g > r + 0.16 && g > b + 0.16) ? 1 : 0' -format '%[fx:round(mean * w * h)]' info:
    }
    some_green() { before=$(green before) && [ "$before" -gt 20 ]; }
    poll 30 some_green || fail "no green particles before Enter"
    xdotool key Return
    green_gone() { after=$(green after) && [ "$((after * 10))" -lt "$before" ]; }
    poll 20 green_gone || fail "green particles are still there after Enter ($before before, $after after)"
    # Escape, after a click on the second monitor as a user would make.
    xdotool mousemove 1400 300 click 1
    xdotool key Escape
    ends_with_0 "Escape on the second monitor"
    ;;
  sdl-follow)
    # The second monitor unplugged and plugged in again, as its clients see
    # it (a non-desktop output counts as disconnected).
    xrandr --output DUMMY1 --set non-desktop 1
    poll 30 window_at "$DARK" "" || fail "the dark window stays after its monitor went"
    before=$(md5sum <"$work/shot.png")
    poll 30 animation_shown || fail "no animation after the second monitor went"
    [ "$(md5sum <"$work/shot.png")" != "$before" ] || fail "the animation stopped"
    xrandr --output DUMMY1 --set non-desktop 0
    poll 30 window_at "$DARK" "$SECOND" || fail "no dark window after the monitor came back"
    poll 30 second_black || fail "the second monitor is not black again"
    # Gone again while its window had the keyboard.
    xrandr --output DUMMY1 --set non-desktop 1
    poll 30 window_at "$DARK" "" || fail "the dark window stays after its monitor went again"
    xdotool key Escape
    ends_with_0 "Escape after the monitor went"
    ;;
  sdl-close)
    "$2" close "$(xwininfo -root -children | awk -v name="\"$DARK\":" 'index($0, name) { print $1; exit }')"
    ends_with_0 "closing the dark window"
    ;;
  wine-*)
    build_dir=$1 driver=$2 scr=$3
    . "$here/../win32/wine_env.sh"
    find_wine
    start_server
    use_wine_prefix "$build_dir"
    place_beside "$scr" "$driver"
    ;;&
  wine-covers)
    "$wine" "$scr" /s >"$work/out.log" 2>"$work/err.log" &
    app_pid=$!
    check_covers Quorvalent QuorvalentDarkMonitor
    xdotool mousemove 1400 300 click 1
    xdotool key Escape
    ends_with_0 "Escape on the second monitor"
    ;;
  wine-follow)
    # The screen saver following a monitor detached and attached again.
    "$wine" "$driver" monitors || fail "$? check(s) failed"
    ;;
  *)
    fail "unknown case"
    ;;
esac
echo "PASS ($case_name)"
