# Sourced by the desktop program's end-to-end scripts: a virtual X server of
# their own, and polling. The script sets $work (a scratch folder) first.

# Runs "$@" every 0.1 s until it succeeds or $1 seconds have passed.
poll() {
  local limit=$1
  shift
  local deadline=$((SECONDS + limit))
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
