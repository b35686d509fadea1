# Sourced by the end-to-end scripts of the X programs, once they have set
# $case_name: a scratch folder $work, removed at the exit together with the
# processes in $app_pid, $helper_pid, $daemon_pid and $server_pid (and the
# Wine server, once a Wine prefix is in use); an X server of their own;
# polling, waiting for the program to end, and counting pixels of screenshots.
work=$(mktemp -d)
app_pid='' helper_pid='' daemon_pid='' server_pid='' wine_used=''
cleanup() {
  [ -n "$wine_used" ] && stop_wine
  for pid in $app_pid $helper_pid $daemon_pid $server_pid; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL ($case_name): $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }

# Runs "$@" every 0.1 s until it succeeds or $1 seconds have passed.
poll() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}

# Starts the X server "$@" on a display number it picks, sets $server_pid
# and DISPLAY; skips the case when the server does not start.
start_x() {
  exec 3>"$work/display"
  "$@" -displayfd 3 -nolisten tcp >"$work/x.log" 2>&1 &
  server_pid=$!
  exec 3>&-
  started() { [ -s "$work/display" ] || ! kill -0 "$server_pid" 2>/dev/null; }
  poll 20 started
  [ -s "$work/display" ] || skip "$1 did not start: $(tail -n 3 "$work/x.log")"
  export DISPLAY=":$(head -n1 "$work/display")"
}
# Xvfb with screen $1 (default 1280x720x24).
start_xvfb() {
  command -v Xvfb >/dev/null || skip "Xvfb is not installed"
  start_x Xvfb -screen 0 "${1:-1280x720x24}"
}

# Waits for the program ($app_pid) to end after $1 (what happened) with the
# status $2: a number, or a signal's name (TERM) for a death by that signal.
ends_as() {
  local start want=$2
  start=$(date +%s%N)
  poll 10 eval '! kill -0 $app_pid 2>/dev/null' || fail "the program goes on after $1"
  wait "$app_pid"
  exit_code=$?
  app_pid=''  # ended: nothing for the cleanup to stop
  [[ $want =~ ^[0-9]+$ ]] || want=$((128 + $(kill -l "$want")))
  [ "$exit_code" -eq "$want" ] || fail "exit code $exit_code after $1, not $want: $(cat "$work/err.log" 2>/dev/null)"
  echo "ended $((($(date +%s%N) - start) / 1000000)) ms after $1"
}
ends_with_0() { ends_as "$1" 0; }

# Clearly coloured pixels (chroma, the largest channel less the smallest,
# above 30%) of a picture, or of its crop WxH+X+Y. Grey, white and the dark
# backgrounds count nothing; the scene's particles are saturated colours.
coloured() {
  convert "$1" ${2:+-crop "$2" +repage} -colorspace HCL -channel G -separate +channel -threshold 30% \
    -format '%[fx:round(mean*w*h)]' info:
}
# Pixels of a crop whose blue is above 40 and above their red: the logo.
bluish() { convert "$1" -crop "$2" +repage -fx 'b > 40/255 && b > r ? 1 : 0' -format '%[fx:int(mean*w*h+0.5)]' info:; }
# Pixels of a crop that are exactly the colour R,G,B.
pixels_of() {
  convert "$1" -crop "$2" +repage -fx "abs(r*255-$3) < 0.5 && abs(g*255-$4) < 0.5 && abs(b*255-$5) < 0.5 ? 1 : 0" \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}
