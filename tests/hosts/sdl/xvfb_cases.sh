#!/usr/bin/env bash
# End-to-end cases of the desktop program, each on an Xvfb of its own.
#   xvfb_cases.sh CASE PROGRAM HELPER
# Every wait polls for the state it needs with a generous limit (far above
# what an idle machine needs), so the cases hold on a busy machine and in
# the sanitizer builds. Exit 77 (skipped) only when Xvfb cannot start.
set -uo pipefail
# Job control: the program's SIGINT is not ignored as in a background job.
set -m

case_name=$1 program=$2 helper=$3
# shellcheck source=../x_display.sh
. "$(dirname "$0")/../x_display.sh"
FIRST_FRAME_LIMIT=40 CHANGE_LIMIT=20

start_program() {
  "$program" "$@" >"$work/out.log" 2>"$work/err.log" &
  app_pid=$!
}
# Waits for more than $3 clearly coloured pixels in the top 85% (above the
# logo and the legend) of window $1 (root: the screen), shot into $2.
shows_particles() {
  kill -0 "$app_pid" 2>/dev/null || fail "the program ended: $(cat "$work/err.log")"
  import -window "$1" "$2" 2>/dev/null &&
    [ "$(coloured "$2" "$(convert "$2" -format '%[fx:w]x%[fx:int(h*0.85)]+0+0' info:)")" -gt "$3" ]
}
wait_for_particles() {
  poll "$FIRST_FRAME_LIMIT" shows_particles "$@" || fail "no particles in window $1 ($(coloured "$2") coloured pixels)"
}
# A dark grey (0x202020) window of W x H made by the helper; its id in $window.
open_dark_window() {
  "$helper" open "$1" "$2" >"$work/window" &
  helper_pid=$!
  poll 20 test -s "$work/window" || fail "the helper made no window"
  window=$(cat "$work/window")
}
no_x_errors() {
  ! grep -qiE "X Error|BadWindow|BadDrawable|BadMatch" "$work/err.log" || fail "X error: $(cat "$work/err.log")"
}
# -window-id / -root into a dark window of the test's own: particles, the
# window's resize followed, signal $2 ends the program by that signal, and
# the window stays mapped. With -fps (FPS=-fps) the figure shows and the frame is copied into
# the window's image; without, it is drawn straight into it.
foreign_window_case() {
  open_dark_window 480 300
  # shellcheck disable=SC2086
  case "$1" in
    root) XSCREENSAVER_WINDOW=$(printf '0x%x' "$window") start_program -root $FPS ;;
    *) start_program "$1" "$(printf '0x%x' "$window")" $FPS ;;
  esac
  wait_for_particles "$window" "$work/inside.png" 30
  # No controls legend (light grey letters bottom left): the keys are the
  # window owner's.
  legend=$(convert "$work/inside.png" -crop 300x13+24+279 +repage -fx 'r == g && g == b && r > 0.4 ? 1 : 0' \
    -format '%[fx:int(mean*w*h+0.5)]' info:)
  [ "$legend" -lt 20 ] || fail "the controls legend is drawn ($legend light grey pixels bottom left)"
  if [ -n "$FPS" ]; then  # white letters in the top-left corner
    white=$(pixels_of "$work/inside.png" 60x12+0+0 255 255 255)
    [ "$white" -gt 20 ] || fail "no FPS figure in the top-left corner ($white white pixels)"
  fi
  # The grown corner shows the frame's dark clear colour, not the window's grey.
  xdotool windowsize "$window" 640 400
  grown_corner_drawn() {
    import -window "$window" "$work/grown.png" 2>/dev/null &&
      [ "$(convert "$work/grown.png" -format '%w' info:)" = 640 ] &&
      [ "$(pixels_of "$work/grown.png" 40x40+560+300 32 32 32)" -eq 0 ]
  }
  poll "$CHANGE_LIMIT" grown_corner_drawn || fail "the grown part of the window keeps the window's own grey"
  kill -"$2" "$app_pid"
  ends_as "SIG$2" "$2"
  xwininfo -id "$window" | grep -q "IsViewable" || fail "the window was unmapped or destroyed"
  no_x_errors
}

[ "$case_name" = options ] || start_xvfb
case "$case_name" in
  window-ends)
    # The full-screen program's window closed as a window manager does,
    # destroyed by another client, and SIGINT; then --root without the
    # screen saver's window (the root window itself) and SIGTERM.
    program_window() { xdotool search --name '^Quorvalent$' 2>/dev/null | head -n1 | grep .; }
    for ending in close destroy INT root; do
      if [ "$ending" = root ]; then start_program --root; else start_program; fi
      wait_for_particles root "$work/shot.png" 30
      [ "$ending" = root ] || window=$(poll "$FIRST_FRAME_LIMIT" program_window) || fail "no window"
      case $ending in
        close) "$helper" close "$window" ;;
        destroy) xdotool windowclose "$window" ;;
        INT) kill -INT "$app_pid" ;;
        root) kill -TERM "$app_pid" ;;
      esac
      case $ending in
        INT) ends_as "$ending" INT ;;
        root) ends_as "$ending" TERM ;;
        *) ends_with_0 "$ending" ;;
      esac
      no_x_errors
    done
    ;;
  closed-early)
    # The full-screen window closed as soon as it exists (destroyed by
    # another client, while SDL still sets it up), and the program's
    # connection killed by the server: a quiet end with 0 each time.
    # (A client of the test's own stays connected: a server whose last client
    # has gone resets, and refuses connections while it does.)
    open_dark_window 100 100
    tries=0
    for ending in $(printf "windowclose %.0s" {1..12}) windowkill windowkill; do
      start_program
      deadline=$((SECONDS + FIRST_FRAME_LIMIT))
      until window=$(xdotool search --name '^Quorvalent$' 2>/dev/null | head -n1 | grep .); do
        kill -0 "$app_pid" 2>/dev/null || fail "the program ended before its window showed: $(cat "$work/err.log")"
        [ "$SECONDS" -lt "$deadline" ] || fail "no window"
      done
      xdotool "$ending" "$window" 2>/dev/null
      ends_with_0 "$ending as the window appeared"
      [ ! -s "$work/err.log" ] || fail "$ending: the program said something: $(cat "$work/err.log")"
      tries=$((tries + 1))
    done
    echo "$tries windows closed or killed as they appeared"
    ;;
  window-id) FPS=-fps foreign_window_case -window-id TERM ;;
  stopped-display)
    # An X server that takes the connection but never answers (stopped): each
    # form says so and exits 1 after about 5 s; a stop signal ends it while
    # it waits (once the thread that opens the display is there).
    kill -STOP "$server_pid"
    fail() { kill -CONT "$server_pid"; echo "FAIL ($case_name): $*" >&2; exit 1; }
    forms=('' --root "--window-id 5" "/p 5")
    for form in "${forms[@]}"; do
      # shellcheck disable=SC2086
      start_program $form
      ends_as "no answer ($form)" 1
      grep -qx "quorvalent: cannot open display $DISPLAY: no answer" "$work/err.log" ||
        fail "$form: $(cat "$work/err.log")"
      # shellcheck disable=SC2086
      start_program $form
      opening() { [ "$(ls "/proc/$app_pid/task" 2>/dev/null | wc -l)" -ge 2 ]; }
      poll 10 opening || fail "$form: no thread opens the display"
      kill -TERM "$app_pid"
      ends_as "SIGTERM while $form waits for the display" TERM
    done
    kill -CONT "$server_pid"
    ;;
  early-signals)
    # A stop signal at any moment of the start (the program's own window,
    # -root, -window-id and the preview) ends the program by that signal,
    # silently. The short sleeps choose the signal's moment; they wait for
    # nothing.
    open_dark_window 200 150
    tries=0
    for delay in 0.005 0.02 0.05 0.1 0.2 0.4; do
      for form in own root window-id preview; do
        case $form in
          own) start_program ;;
          root) start_program --root ;;
          window-id) start_program --window-id "$window" ;;
          preview) start_program /p "$window" ;;
        esac
        signal=$(printf '%s\n' TERM INT HUP | sed -n "$((tries % 3 + 1))p")
        sleep "$delay"
        kill -"$signal" "$app_pid"
        ends_as "SIG$signal after ${delay} s ($form)" "$signal"
        [ ! -s "$work/err.log" ] || fail "$form said something: $(cat "$work/err.log")"
        tries=$((tries + 1))
      done
    done
    echo "$tries signals, each ended the program by itself"
    ;;
  root) FPS='' foreign_window_case root HUP ;;
  window-gone)
    # A window smaller than the overlays with their distances (a small
    # screen-saver preview): they are clipped, and the program goes on; then
    # the owner destroys the window under the program, as the daemon does.
    open_dark_window 200 150
    start_program -window-id "$window"
    wait_for_particles "$window" "$work/inside.png" 5
    kill "$helper_pid"
    ends_with_0 "the window went"
    [ ! -s "$work/err.log" ] || fail "the program said something: $(cat "$work/err.log")"
    ;;
  fatal-error)
    # PROGRAM is a build without the controls legend. The box, where the
    # window system keeps it up, is answered with Return. (xdotool's name
    # search misses the box: its name is a UTF-8 property.)
    start_program
    answer_box() {
      kill -0 "$app_pid" 2>/dev/null || return 0
      box=$(xwininfo -root -tree 2>/dev/null | awk '/"Process Runtime Error"/ { print $1; exit }')
      [ -n "$box" ] && { xdotool windowfocus --sync "$box" 2>/dev/null; xdotool key Return; }
      return 1
    }
    poll "$FIRST_FRAME_LIMIT" answer_box
    ends_with_0 "the error"
    grep -q "Process Runtime Error: JPG or BMP Resource Not Found" "$work/err.log" ||
      fail "the error text is missing: $(cat "$work/err.log")"
    ;;
  preview)
    # The eight icons of the resource folder on a black 152 x 112 area,
    # nothing painted beyond it; the program ends when the window goes.
    open_dark_window 200 150
    start_program /p "$window"
    pixel() { convert "$work/preview.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:; }
    painted() { import -window "$window" "$work/preview.png" 2>/dev/null && [ "$(pixel 0 0)" = "0,0,0" ]; }
    poll "$FIRST_FRAME_LIMIT" painted || fail "the preview area is not black at its corner"
    [ "$(pixel 160 120)" = "32,32,32" ] || fail "painted outside the 152 x 112 area"
    expected=(convert -size 152x112 xc:black)
    n=0
    for spot in +44+7 +76+7 +44+39 +76+39 +12+71 +44+71 +76+71 +108+71; do
      expected+=("$(dirname "$0")/../../../resources/icon/ICON_SSPRVW0$((++n)).ico" -geometry "$spot" -composite)
    done
    "${expected[@]}" "$work/expected.png"
    convert "$work/preview.png" -crop 152x112+0+0 +repage "$work/area.png"
    differing=$(compare -metric AE -fuzz 1% "$work/expected.png" "$work/area.png" null: 2>&1)
    [ "$differing" = 0 ] || fail "the preview differs from the eight icons on black in $differing pixels"
    kill "$helper_pid"
    ends_with_0 "the window went"
    ;;
  options)
    # Without a display: the exit code, and what goes to standard output and
    # to standard error (a pattern a line matches, or - for nothing).
    unset DISPLAY WAYLAND_DISPLAY
    matches() { if [ "$2" = - ]; then [ ! -s "$1" ]; else grep -q -- "$2" "$1"; fi; }
    while IFS='|' read -r args rc out err; do
      # shellcheck disable=SC2086
      timeout 10 "$program" $args >"$work/out.log" 2>"$work/err.log"
      code=$?
      [ "$code" = "$rc" ] && matches "$work/out.log" "$out" && matches "$work/err.log" "$err" ||
        fail "'$args': exit $code; out: $(cat "$work/out.log"); err: $(cat "$work/err.log")"
    done <<'TABLE'
/c|0|-|Exit - key Esc
/c|0|-|Выход - клавиша Esc
/p 0|0|-|-
-fps --help|0|--window-id|-
--root --bogus|1|-|^quorvalent: unrecognised option: --bogus$
--root --bogus|1|-|--window-id
|1|-|^quorvalent: cannot open display$
--root|1|-|^quorvalent: cannot open display$
-window-id 0x200001|1|-|^quorvalent: cannot open display$
--fps --brush ball|1|-|^quorvalent: cannot open display$
--display :1998|1|-|^quorvalent: cannot open display$
TABLE
    ;;
  *)
    fail "unknown case"
    ;;
esac
echo "PASS ($case_name)"
