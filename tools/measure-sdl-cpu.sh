#!/usr/bin/env bash
# Measures the desktop program's CPU use: runs it full screen on a virtual X
# server for a while and reads its user and system time from /proc. Prints
# the share of one core.
#   tools/measure-sdl-cpu.sh PROGRAM [SECONDS] [WxH] [WARM-UP SECONDS]
# The screen is 1920x1080 unless given; the measurement starts after the
# warm-up (2 s; 60 s lets the cloud fill up first).
set -euo pipefail
program=$1
seconds=${2:-20}
size=${3:-1920x1080}
warmup=${4:-2}
work=$(mktemp -d)
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
exec 3>&-
trap 'kill $app 2>/dev/null; wait $app 2>/dev/null; kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$work/display")"
"$program" &
app=$!
sleep "$warmup"  # start-up is not the paced state
ticks() { awk '{ print $14 + $15 }' "/proc/$app/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
start=$(date +%s%N)
sleep "$seconds"
after=$(ticks)
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
awk -v t=$((after - before)) -v hz="$hz" -v ms="$elapsed_ms" \
  'BEGIN { printf "cpu %.2f s over %.2f s: %.1f%% of one core\n", t / hz, ms / 1000, 100 * t / hz / (ms / 1000) }'
