#!/usr/bin/env bash
# Measures the desktop program's CPU use on a virtual X server for a while,
# from its user and system time in /proc. Prints the share of one core.
#   tools/measure-sdl-cpu.sh PROGRAM [SECONDS [WxH [WARM-UP]]]          full screen
#   tools/measure-sdl-cpu.sh --hack PROGRAM [SECONDS [WxH [WARM-UP]]]   as an xscreensaver hack:
#     the real daemon (as nobody, with its own HOME) runs "quorvalent --root"
#     (run this as root)
#   tools/measure-sdl-cpu.sh --scr Quorvalent.scr [SECONDS [WxH [WARM-UP]]]   the Windows screen
#     saver under Wine ("/s"), in $WINEPREFIX or a prefix kept in build/measure-wineprefix
# The screen is 1920x1080 unless given; the measurement starts after the
# warm-up (3 s; 60 s lets the cloud fill up first).
set -euo pipefail
hack=false
scr=false
if [ "${1:-}" = "--hack" ]; then hack=true; shift; fi
if [ "${1:-}" = "--scr" ]; then scr=true; shift; fi
program=$1
seconds=${2:-20}
size=${3:-1920x1080}
warmup=${4:-3}
work=$(mktemp -d)
chmod 755 "$work"
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
exec 3>&-
app=
daemon=
# The program ends by the stop signal, so wait reports a failure; under set -e
# that would end the trap before the X server is stopped.
trap 'kill $app $daemon 2>/dev/null || true; wait $app $daemon 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$work/display")"
if $hack; then
  mkdir -p "$work/bin" "$work/home"
  cp "$program" "$work/bin/quorvalent"
  printf '%s\n' "mode: one" "selected: 0" "lock: False" "splash: False" "fade: False" "unfade: False" \
    "dpmsEnabled: False" 'programs: "Quorvalent" quorvalent --root \n\' >"$work/home/.xscreensaver"
  chown -R nobody:nogroup "$work/home"
  setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$work/home" PATH="$work/bin:$PATH" \
    xscreensaver -no-splash >"$work/daemon.log" 2>&1 &
  daemon=$!
  for _ in $(seq 100); do xscreensaver-command -version >/dev/null 2>&1 && break; sleep 0.1; done
  xscreensaver-command -select 1 >/dev/null
  pid=
  for _ in $(seq 100); do pid=$(pgrep -u nobody -x quorvalent || true); [ -n "$pid" ] && break; sleep 0.1; done
  [ -n "$pid" ] || { echo "the daemon started no hack" >&2; exit 1; }
elif $scr; then
  wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
  export WINEPREFIX=${WINEPREFIX:-$PWD/build/measure-wineprefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -d "$WINEPREFIX" ]; then
    "$wine" wineboot -i >/dev/null 2>&1
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  fi
  trap '"${wine%64}server" -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
  "$wine" "$program" /s &
  name=$(basename "$program")
  pid=
  for _ in $(seq 300); do pid=$(pgrep -f "$name /s" | head -n1 || true); [ -n "$pid" ] && break; sleep 0.1; done
  [ -n "$pid" ] || { echo "no $name process" >&2; exit 1; }
else
  "$program" &
  app=$!
  pid=$app
fi
sleep "$warmup"  # start-up is not the paced state
ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
start=$(date +%s%N)
sleep "$seconds"
after=$(ticks)
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
awk -v t=$((after - before)) -v hz="$hz" -v ms="$elapsed_ms" \
  'BEGIN { printf "cpu %.2f s over %.2f s: %.1f%% of one core\n", t / hz, ms / 1000, 100 * t / hz / (ms / 1000) }'
