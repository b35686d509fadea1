# Sourced by the end-to-end scripts of the X programs: a virtual X server of
# their own, polling, waiting for a program to end, and counting pixels of
# screenshots. The script sets $work (a scratch folder) first.

# Runs "$@" every 0.1 s until it succeeds or $1 seconds have passed.
poll() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}

# Starts Xvfb (screen $1, default 1280x720x24) on a display number it picks,
# sets $xvfb_pid and DISPLAY; exits 77 (skipped) when it cannot start.
start_xvfb() {
  if ! command -v Xvfb >/dev/null; then echo "SKIP: Xvfb is not installed"; exit 77; fi
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 "${1:-1280x720x24}" -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  exec 3>&-
  poll 20 test -s "$work/display" || { echo "SKIP: Xvfb did not start: $(cat "$work/xvfb.log")"; exit 77; }
  export DISPLAY=":$(head -n1 "$work/display")"
}

# Waits up to $2 seconds for process $1 to end; its exit code lands in
# $exit_code and the time it took after the call in $exit_ms.
wait_for_exit() {
  local pid=$1 limit=$2 start
  start=$(date +%s%N)
  poll "$limit" eval "! kill -0 $pid 2>/dev/null" || return 1
  exit_ms=$((($(date +%s%N) - start) / 1000000))
  wait "$pid"
  exit_code=$?
  app_pid=''  # ended: nothing for the caller's cleanup to stop
}

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
