#!/usr/bin/env bash
# The desktop program under the real xscreensaver daemon, on its own virtual
# X server, with the README's "programs:" lines.
#   xscreensaver_case.sh PROGRAM README [LIMIT_MS]
# The hack must be gone LIMIT_MS (default 1000) after -deactivate; a
# sanitizer build, whose exit checks the heap, is given longer.
# The daemon will not run hacks as root: it runs as nobody, with a HOME of
# its own. Exit 77 (skipped) when Xvfb or xscreensaver is missing.
set -uo pipefail

program=$1 readme=$2 exit_limit_ms=${3:-1000} case_name=xscreensaver
# shellcheck source=../x_display.sh
. "$(dirname "$0")/../x_display.sh"
for tool in xscreensaver xscreensaver-command setpriv; do command -v "$tool" >/dev/null || skip "$tool is not installed"; done
chmod 755 "$work"
fail() { echo "FAIL (xscreensaver): $*" >&2; tail -n 30 "$work/home/daemon.log" | sed 's/^/daemon: /' >&2; exit 1; }
start_xvfb

# The hack where the daemon finds it (on PATH), and a HOME for nobody whose
# settings hold the README's programs lines.
mkdir -p "$work/bin" "$work/home"
cp "$program" "$work/bin/quorvalent"
lines=$(grep -E '^ +"Quorvalent' "$readme")
[ "$(printf '%s\n' "$lines" | wc -l)" -eq 2 ] || fail "README has no two programs lines for Quorvalent"
cat >"$work/home/.xscreensaver" <<SETTINGS
mode:		one
selected:	0
timeout:	0:30:00
lock:		False
splash:		False
fade:		False
unfade:		False
dpmsEnabled:	False
grabDesktopImages: False
programs:								      \\
$lines
SETTINGS
chown -R nobody:nogroup "$work/home"
chmod -R a+rX "$work/bin"

as_nobody() { setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$work/home" PATH="$work/bin:$PATH" "$@"; }
as_nobody xscreensaver -no-splash -verbose >"$work/home/daemon.log" 2>&1 &
daemon_pid=$!
poll 30 xscreensaver-command -version >/dev/null 2>&1 || fail "the daemon does not answer"

# (A zombie whose parent, the daemon's helper, has gone is not running.)
hack_pids() { ps -u nobody -o pid=,stat=,comm= | awk '$3 == "quorvalent" && $2 !~ /^Z/ { print $1; found = 1 } END { exit !found }'; }
# ... and for line $1 = 2, "Quorvalent (fps)", the white figure top left.
particles_on_screen() {
  import -window root "$work/shot.png" 2>/dev/null && [ "$(coloured "$work/shot.png" 1280x600+0+0)" -gt 50 ] &&
    { [ "$1" -eq 1 ] || [ "$(pixels_of "$work/shot.png" 200x40+0+0 255 255 255)" -gt 50 ]; }
}

# Line 1, then a switch to line 2 while line 1 runs (the daemon stops the
# first hack with SIGTERM), then -deactivate.
for n in 1 2; do  # the list counts from 1
  before=$(hack_pids | tr '\n' ' ')
  xscreensaver-command -select "$n" >/dev/null || fail "-select $n was refused"
  started() { now=$(hack_pids | tr '\n' ' ') && [ "$now" != "$before" ]; }
  poll 40 started || fail "no new quorvalent process after -select $n"
  poll 40 particles_on_screen "$n" ||
    fail "no particles (or no FPS figure) on the screen after -select $n ($(coloured "$work/shot.png" 1280x600+0+0))"
  echo "-select $n: particles on the screen"
done
start=$(date +%s%N)
xscreensaver-command -deactivate >/dev/null || fail "-deactivate was refused"
poll 10 eval '! hack_pids >/dev/null' || fail "the hack is still running after -deactivate"
gone_ms=$((($(date +%s%N) - start) / 1000000))
echo "the hack was gone ${gone_ms} ms after -deactivate"
[ "$gone_ms" -lt "$exit_limit_ms" ] || fail "the hack took $gone_ms ms to go after -deactivate"
# A hack that ends with 0 when stopped is "exited abnormally" to the daemon.
! grep -qiE "exited abnormally|unrecognised option|X Error|BadWindow|BadDrawable" "$work/home/daemon.log" ||
  fail "the daemon's log reports trouble"
grep -q "(quorvalent) exited normally with SIGTERM" "$work/home/daemon.log" ||
  fail "the daemon did not log the switched-off hack as ended by SIGTERM"
echo "PASS (xscreensaver)"
