#!/bin/sh
# The window and korbcalc-cli on one folder, and the window ended by a signal:
# - while the window is open, a --session run waits, then refuses with status 1 and leaves the files;
# - SIGTERM and SIGHUP save the window's session exactly as a close does;
# - afterwards a --session run works on the folder again and keeps its entry;
# - a second window on the folder is told, and ended by a signal it saves nothing; the first then
#   keeps the file someone changed meanwhile as SaveStck.dat.bak and says so.
# Usage: session_signals_test.sh KORBCALC_PROBE KORBCALC_CLI (offscreen; in a scratch folder of its
# own). The probe is the program with the same start-up, which says when its window is painted.
set -eu
program=$1
cli=$2
work=$(mktemp -d "$PWD/session-signals.XXXXXX")
trap 'kill -KILL $window $second 2>/dev/null || true; rm -rf "$work"' EXIT
window=
second=
export XDG_CONFIG_HOME="$work/config" HOME="$work" QT_QPA_PLATFORM=offscreen
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }
painted() {
  tries=0
  until grep -q "first paint" "$1"; do
    tries=$((tries + 1))
    [ $tries -lt 600 ] || fail "the window did not start: $(cat "$1")"
    sleep 0.1
  done
}

"$cli" --session >/dev/null 2>&1 || fail "first --session run"
for signal in TERM HUP; do
  # A stack line as a person writes it; the window writes it back in full at close.
  printf '5 m\r\n' > SaveStck.dat
  "$program" 2> window.log &
  window=$!
  painted window.log

  status=0
  "$cli" --session "100 m" > cli.out 2> cli.err || status=$?
  [ $status -eq 1 ] || fail "$signal: --session beside the window ended with $status"
  grep -q "another Meridot program is using the session files" cli.err || fail "$signal: no message: $(cat cli.err)"
  [ "$(cat SaveStck.dat)" = "$(printf '5 m\r')" ] || fail "$signal: the refused run changed the stack file"

  kill -$signal $window
  status=0
  wait $window || status=$?
  window=
  [ $status -eq 0 ] || fail "$signal: the window ended with status $status"
  [ "$(cat SaveStck.dat)" = "$(printf '5.000000000000000 m\r')" ] || fail "$signal: not saved: $(cat SaveStck.dat)"

  "$cli" --session "100 m" > cli.out 2> cli.err || fail "$signal: --session after the window: $(cat cli.err)"
  [ "$(cat SaveStck.dat)" = "$(printf '5.000000000000000 m\r\n100.000000000000000 m\r')" ] \
    || fail "$signal: the entry after the window is not kept: $(cat SaveStck.dat)"
done
printf '5 m\r\n' > SaveStck.dat
"$program" 2> window.log &
window=$!
painted window.log
"$program" 2> second.log &
second=$!
painted second.log
printf '9 m\r\n' > SaveStck.dat.new && mv SaveStck.dat.new SaveStck.dat # someone else's save
kill -TERM $second
status=0
wait $second || status=$?
second=
[ $status -eq 0 ] || fail "second window: ended with status $status"
grep -q "this window's stack, registers and settings were not saved" second.log || fail "second window: $(cat second.log)"
[ "$(cat SaveStck.dat)" = "$(printf '9 m\r')" ] || fail "second window saved: $(cat SaveStck.dat)"
kill -TERM $window
status=0
wait $window || status=$?
window=
[ $status -eq 0 ] || fail "first window: ended with status $status"
[ "$(cat SaveStck.dat)" = "$(printf '5.000000000000000 m\r')" ] || fail "first window: not saved: $(cat SaveStck.dat)"
[ "$(cat SaveStck.dat.bak)" = "$(printf '9 m\r')" ] || fail "first window: the changed file was not kept"
grep -q "was changed by another program after this one loaded it" window.log || fail "first window: $(cat window.log)"
echo "sessions kept across the window, korbcalc-cli and signals"
