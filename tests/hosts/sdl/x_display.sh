# Sourced by the desktop program's end-to-end scripts: a virtual X server of
# their own, polling, and waiting for a program to end. The script sets $work
# (a scratch folder) first.

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

# Waits up to $2 seconds for process $1 to end; its exit code lands in
# $exit_code and the time it took after the call in $exit_ms.
wait_for_exit() {
  local pid=$1 limit=$2 start
  start=$(date +%s%N)
  poll "$limit" eval "! kill -0 $pid 2>/dev/null" || return 1
  exit_ms=$((($(date +%s%N) - start) / 1000000))
  wait "$pid"
  exit_code=$?
  app_pid=
  return 0
}
