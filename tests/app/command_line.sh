#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The real program's command line, without any display: --help and --version answer, Qt's own
# options go to Qt, anything else is refused in one line, a missing display is one line and
# status 1, not a crash, and any other reason the window system cannot start is Qt's own word.
# Usage: command_line.sh PROGRAM
set -uo pipefail
program=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
bare() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@"; }

out=$(bare --help) || fail "--help exited with $?"
grep -q '^Usage: ' <<<"$out" || fail "--help printed: $out"
grep -q "Settings and the high score: $(dirname "$program")/data.ini" <<<"$out" ||
    fail "--help does not say where the settings are: $out"

# Installed as a player installs for themselves (~/.local), or put in a folder on PATH, the
# game keeps its settings per user, as an installed one does, not in a folder of programs.
own=$(mktemp -d)
trap 'rm -rf "$runtime" "$own"' EXIT
cmake --install "$(dirname "$program")" --prefix "$own/.local" >/dev/null ||
    fail "cmake --install into $own/.local failed"
installed=$(find "$own/.local" -type f -name "$(basename "$program")" | head -n1)
out=$(env -u XDG_CONFIG_HOME HOME="$own" "$installed" --help) ||
    fail "the ~/.local copy's --help exited with $?"
grep -q "Settings and the high score: $own/.config/kelvo-snake/data.ini" <<<"$out" ||
    fail "installed under ~/.local, the settings are not the player's own: $out"
mkdir -p "$own/tools"
cp "$program" "$own/tools/"
out=$(env -u XDG_CONFIG_HOME HOME="$own" PATH="$own/tools:/usr/bin:/bin" "$own/tools/$(basename "$program")" --help) ||
    fail "the copy on PATH: --help exited with $?"
grep -q "Settings and the high score: $own/.config/kelvo-snake/data.ini" <<<"$out" ||
    fail "in a folder on PATH, the settings are not the player's own: $out"

out=$(bare --version) || fail "--version exited with $?"
[ "$out" = "kelvo-snake 1.0" ] || fail "--version printed: $out"

# Refused with no display (judged apart) and once Qt has started and taken its own options.
for refused in --no-such-option -x surplus "-title T -platform offscreen --bogus"; do
    # shellcheck disable=SC2086 # a case may be several words
    err=$(XDG_RUNTIME_DIR=$runtime bare $refused 2>&1 >/dev/null)
    status=$?
    [ "$status" -eq 2 ] || fail "$refused: exit status $status, not 2"
    [ "$(wc -l <<<"$err")" -eq 1 ] || fail "$refused: more than one line: $err"
done

out=$(bare --help-all) || fail "--help-all exited with $?"
grep -q '^  --platform <' <<<"$out" && grep -q -- '-style <style>' <<<"$out" ||
    fail "--help-all does not list Qt's options: $out"

# Qt's options, with their values, and our own start the game (it is still running when stopped):
# Qt takes its own, whichever they are, and leaves the game the rest.
home=$(mktemp -d)
trap 'rm -rf "$home" "$runtime" "$own"' EXIT
cp "$program" "$home/"
timeout 3 env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$home" "$home/$(basename "$program")" \
    -title T -platform offscreen -style=Fusion --no-gamepad --reverse >"$home/log" 2>&1
status=$?
[ "$status" -eq 124 ] || fail "-platform offscreen: exit status $status: $(cat "$home/log")"

err=$(bare 2>&1 >/dev/null)
status=$?
[ "$status" -eq 1 ] || fail "without a display: exit status $status, not 1 ($err)"
[ "$(wc -l <<<"$err")" -eq 1 ] && grep -q 'cannot open a display' <<<"$err" ||
    fail "without a display it said: $err"
err=$(bare -display :199 2>&1 >/dev/null)
status=$?
[ "$status" -eq 1 ] && [ "$err" = "kelvo-snake: cannot open the display :199" ] ||
    fail "on a display that is not there: status $status, said: $err"
grep -q -- '-reverse are taken' <<<"$(bare --help-all)" ||
    fail "--help-all does not say which of Qt's options change nothing"
err=$(env QT_QPA_PLATFORM=bogus "$program" 2>&1 >/dev/null)
status=$?
[ "$status" -eq 1 ] || fail "on a missing plugin: exit status $status, not 1 ($err)"
grep -q 'platform plugin "bogus"' <<<"$err" && grep -q 'Available platform plugins' <<<"$err" ||
    fail "on a missing plugin it said: $err"
echo "PASS"
