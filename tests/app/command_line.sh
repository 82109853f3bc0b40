#!/usr/bin/env bash
# The real program's command line, without any display: --help and --version answer, anything
# else is refused in one line, and a missing display is one line and status 1, not a crash.
# Usage: command_line.sh PROGRAM
set -uo pipefail
program=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
bare() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@"; }

out=$(bare --help) || fail "--help exited with $?"
grep -q '^Usage: ' <<<"$out" || fail "--help printed: $out"
grep -q "Settings and the high score: $(dirname "$program")/data.ini" <<<"$out" ||
    fail "--help does not say where the settings are: $out"

out=$(bare --version) || fail "--version exited with $?"
[ "$out" = "kelvo-snake 1.0" ] || fail "--version printed: $out"

for refused in --no-such-option -x surplus; do
    err=$(bare "$refused" 2>&1 >/dev/null)
    status=$?
    [ "$status" -eq 2 ] || fail "$refused: exit status $status, not 2"
    [ "$(wc -l <<<"$err")" -eq 1 ] || fail "$refused: more than one line: $err"
done

err=$(bare 2>&1 >/dev/null)
status=$?
[ "$status" -eq 1 ] || fail "without a display: exit status $status, not 1 ($err)"
[ "$(wc -l <<<"$err")" -eq 1 ] && grep -q 'cannot open a display' <<<"$err" ||
    fail "without a display it said: $err"
echo "PASS"
