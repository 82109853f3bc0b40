#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# End-to-end runs of the real program on a private X server, driven only as a player would:
# keys through xdotool, the windows it maps, the screenshots it shows and the data.ini it leaves.
#
# Usage: e2e.sh CASE PROGRAM_DIR ARTIFACT_DIR [CLOSE_REQUEST]
#   CASE: first_run | second_run | large_resolution | esc_then_no | close_requests |
#         big_screen | big_screen_wm | small_screen_wm | wayland | scaled_screen (on a 1920 by 1080 screen) |
#         wayland_panel | wayland_boxes | screen_reader | play_by_ear |
#         installed_package (PROGRAM_DIR is then the build folder, which cpack packs)
#   CLOSE_REQUEST: the helper that sends a window a window-system close request
set -euo pipefail

case_name=$1
program_dir=$2
artifacts="$3/$case_name"
close_request=${4:-}
convert=/usr/bin/convert  # ImageMagick itself, whatever else is on the PATH

rm -rf "$artifacts"
mkdir -p "$artifacts"
work=$(mktemp -d)
# No session bus. Where dbus-launch is installed, Qt would start a bus of its own for the
# program, which outlives it and keeps a tracer (strace -f) waiting.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus"
xvfb_pid=""
game_pid=""

helpers=()  # other programs a run starts: a window manager, a compositor, another window

cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
    for pid in "${helpers[@]}"; do kill "$pid" 2>/dev/null || true; done
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL ($case_name): $*" >&2
    shot "failure" || true
    [ -f "$work/game/data.ini" ] && cp "$work/game/data.ini" "$artifacts/data.ini"
    if [ -f "$work/game.log" ]; then
        cp "$work/game.log" "$artifacts/game.log"
        echo "What the program printed:" >&2
        tail -n 20 "$work/game.log" >&2
    fi
    echo "Screenshots and data.ini of this run: $artifacts" >&2
    exit 1
}

# --- the X server and the program ------------------------------------------------------------

start_x() {  # [SIZE]: 1024x768 unless given
    local fd_file="$work/display"
    # -noreset: by default the server resets when its last client leaves, and a program started
    # right after another one ended is then refused the display now and then.
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp -noreset 3>"$fd_file" \
        >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$fd_file" ] && break
        sleep 0.05
    done
    [ -s "$fd_file" ] || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$fd_file")"
}

# A fresh program folder with the program, its music and (optionally) a data.ini.
make_folder() {
    mkdir -p "$work/game"
    cp "$program_dir/kelvo-snake" "$program_dir/bck.wav" "$work/game/"
    if [ $# -gt 0 ]; then
        printf '%b' "$1" >"$work/game/data.ini"
    fi
}

start_game() {
    (cd "$work/game" && QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work" exec ./kelvo-snake) \
        >>"$work/game.log" 2>&1 &
    game_pid=$!
}

# Waits for the program to end; checks its exit status.
expect_exit() {
    local status=0
    for _ in $(seq 100); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.05
    done
    kill -0 "$game_pid" 2>/dev/null && fail "the program is still running"
    wait "$game_pid" || status=$?
    game_pid=""
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
}

# --- windows ---------------------------------------------------------------------------------

visible_windows() {  # NAME: the ids of the visible windows with exactly that name
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true
}

wait_window() {  # NAME [COUNT]: waits until COUNT windows of that name are visible
    local want=${2:-1}
    for _ in $(seq 300); do
        if [ "$(visible_windows "$1" | wc -l)" -ge "$want" ]; then
            visible_windows "$1" | head -n1
            return 0
        fi
        sleep 0.05
    done
    fail "no window \"$1\" appeared"
}

wait_gone() {  # NAME COUNT: waits until fewer than COUNT windows of that name are visible
    for _ in $(seq 100); do
        [ "$(visible_windows "$1" | wc -l)" -lt "$2" ] && return 0
        sleep 0.05
    done
    fail "window \"$1\" did not go away"
}

# Waits until exactly COUNT windows of that name are visible; false after five seconds.
wait_count() {  # NAME COUNT
    for _ in $(seq 100); do
        [ "$(visible_windows "$1" | wc -l)" -eq "$2" ] && return 0
        sleep 0.05
    done
    return 1
}

geometry() {  # ID: "X Y WIDTH HEIGHT"
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}'
}

expect_geometry() {  # NAME "X Y W H"
    local id got
    id=$(wait_window "$1")
    got=$(geometry "$id")
    [ "$got" = "$2" ] || fail "\"$1\" is at $got, expected $2"
}

keys() { xdotool key --delay 60 "$@"; }

# Runs CHECK (a command and its arguments) every 50 ms until it succeeds: true, or false after
# five seconds (or after TRIES tries of it, for poll_for).
poll() { poll_for 100 "$@"; }
poll_for() {  # TRIES CHECK...
    local tries=$1
    shift
    for _ in $(seq "$tries"); do
        "$@" && return 0
        sleep 0.05
    done
    return 1
}

has_focus() {  # NAME: a visible window of that name holds the keyboard's focus
    local focus
    focus=$(xdotool getwindowfocus 2>/dev/null) || return 1
    visible_windows "$1" | grep -qx "$focus"
}

# Waits until the window is up and holds the keyboard's focus, so that keys reach it; prints
# its id.
wait_ready() {  # NAME
    local id
    id=$(wait_window "$1")
    poll has_focus "$1" || fail "\"$1\" did not take the keyboard's focus"
    echo "$id"
}

# --- screenshots -----------------------------------------------------------------------------

shot() { import -window root "$artifacts/$1.png"; }

# A screenshot cut to one window, for the README.
shot_window() {  # NAME SHOT
    local x y w h
    read -r x y w h < <(geometry "$(wait_window "$1")")
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$artifacts/$2.png"
}

# The game's field on the screen: where its top-left corner is and its whole-number enlargement.
# The game covers the screen and centres the field in it; pixel checks below are in the field's
# own pixels, measured from that corner and enlarged as the field is.
fx=0 fy=0 fk=1
find_field() {  # RES_WIDTH RES_HEIGHT [SCREEN_GEOMETRY]: from the game window's place and size
    local x y w h
    if [ $# -gt 2 ]; then
        read -r x y w h <<<"$3"
    else
        read -r x y w h < <(geometry "$(wait_window "Kelvo Snake")")
    fi
    fk=$((w / $1 < h / $2 ? w / $1 : h / $2))
    ((fk >= 1)) || fk=1
    fx=$((x + (w - $1 * fk) / 2))
    fy=$((y + (h - $2 * fk) / 2))
}

on_screen() {  # WxH+X+Y in the field: the same on the screen
    local size=${1%%+*} rest=${1#*+}
    echo "$((${size%x*} * fk))x$((${size#*x} * fk))+$((fx + ${rest%%+*} * fk))+$((fy + ${rest#*+} * fk))"
}

pixel() {  # SHOT X Y: "R G B"
    "$convert" "$artifacts/$1.png" -crop "1x1+$((fx + $2 * fk))+$((fy + $3 * fk))" -depth 8 txt:- |
        sed -n '2s/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p'
}

expect_pixel() {  # SHOT X Y "R G B"
    local got
    got=$(pixel "$1" "$2" "$3")
    [ "$got" = "$4" ] || fail "$1.png at $2,$3 is $got, expected $4"
}

# The pixel's colour leans to one channel: "blue", "red" or "green" is 40 above the others.
tinted() {  # SHOT X Y CHANNEL
    local r g b
    read -r r g b < <(pixel "$1" "$2" "$3")
    case $4 in
        red) ((r > g + 40 && r > b + 40)) ;;
        green) ((g > r + 40 && g > b + 40)) ;;
        blue) ((b > r + 40 && b > g + 40)) ;;
    esac
}

expect_tint() {  # SHOT X Y CHANNEL
    tinted "$@" || fail "$1.png at $2,$3 is $(pixel "$1" "$2" "$3"), not $4"
}

# Share of orange pixels (the game's text colour) in a region, as a fraction.
orange_share() {  # SHOT WxH+X+Y
    "$convert" "$artifacts/$1.png" -crop "$(on_screen "$2")" +repage -fuzz 12% -fill white \
        -opaque 'rgb(255,128,0)' -fill black +opaque white -format '%[fx:mean]' info:
}

shows_text() {  # SHOT WxH+X+Y
    awk -v s="$(orange_share "$1" "$2")" 'BEGIN { exit !(s > 0.005) }'
}

expect_text() {  # SHOT WxH+X+Y
    shows_text "$1" "$2" || fail "$1.png shows no text in $2"
}

# Takes the screenshot SHOT again until CHECK holds on it; false after about five seconds.
shot_until() {  # SHOT CHECK...
    local name=$1
    shift
    for _ in $(seq 60); do
        shot "$name"
        "$@" && return 0
        sleep 0.05
    done
    return 1
}

# The head of a snake of that colour has passed x (in the field).
head_past() {  # SHOT X "R,G,B"
    (($(head_right "$1" 80 "$3") > $2))
}

# The game's field is painted: its top wall in that colour.
field_shown() {  # SHOT CHANNEL
    tinted "$1" 320 5 "$2"
}

# The game-over lines show: "High Score Is: " and " Press F2 To Restart !".
game_over_shown() {  # SHOT
    shows_text "$1" "440x40+100+160" && shows_text "$1" "300x30+160+274"
}

# Shows the field's screenshot once it is painted, with walls of that colour.
shot_field() {  # SHOT [CHANNEL]
    shot_until "$1" field_shown "$1" "${2:-blue}" || fail "$1: the field was not painted"
}

# The right edge of the head: the rightmost pixel of the head block's centre colour on a row.
head_right() {  # SHOT Y "R,G,B"
    "$convert" "$artifacts/$1.png" -crop "$((640 * fk))x1+$fx+$((fy + $2 * fk))" -depth 8 txt:- |
        awk -F'[:, ]+' -v c="($3)" -v k="$fk" 'index($0, c) { x = $1 } END { print int(x / k) }'
}

# The snake of seven blocks heading right from the middle of a 640-pixel window, in one colour.
expect_snake() {  # SHOT "R G B"
    for i in 0 1 2 3 4 5 6; do
        expect_pixel "$1" $((328 - 24 * i)) 80 "$2"
    done
    # Between the head and the next block's place: not the block colour (black, or the apple
    # should it lie there; blocks are drawn over it).
    [ "$(pixel "$1" 340 80)" != "$2" ] || fail "$1.png: a block right of the head"
}

data() { cat "$work/game/data.ini" 2>/dev/null || true; }

expect_data() {
    local want
    want=$(printf '%b' "$1")
    [ "$(data)" = "$want" ] || fail "data.ini holds:
$(data)
expected:
$want"
}

# --- the runs --------------------------------------------------------------------------------

first_run() {
    make_folder
    start_game
    wait_ready "Select Resolution :" >/dev/null
    shot_window "Select Resolution :" chooser
    keys Return
    # The menu is centred on the screen, 640 by 480.
    expect_geometry "Snake Menu" "192 144 640 480"
    wait_ready "Snake Menu" >/dev/null
    shot menu
    keys Return
    expect_geometry "Kelvo Snake" "0 0 1024 768"  # the whole screen
    wait_ready "Kelvo Snake" >/dev/null
    find_field 640 480
    shot_field game
    expect_tint game 5 240 blue
    expect_tint game 634 240 blue
    expect_tint game 320 474 blue
    expect_snake game "12 0 255"
    expect_text game "440x40+100+216"  # "Press Spacebar TO Start . . ."
    keys Escape
    wait_window "Kelvo Snake" 2 >/dev/null  # the game and the "Exit?" box
    poll has_focus "Kelvo Snake" || fail "\"Exit?\" did not take the focus"
    shot exit_prompt
    keys Return
    expect_exit
    expect_data '[data]\nres=1\nask=1\nlvl=1\nscolor=0\nbcolor=0\n'
}

second_run() {
    make_folder '[data]\nres=1\nask=1\nlvl=1\nscolor=0\nbcolor=0\n'
    start_game
    wait_ready "Snake Menu" >/dev/null  # the chooser passed by itself
    # Level 5, a green snake, red borders.
    keys Down Down Down Down Tab Down Down Tab Down Down Down Down Down
    shot_window "Snake Menu" menu_chosen
    keys Return
    wait_ready "Kelvo Snake" >/dev/null
    find_field 640 480
    shot_field game red
    expect_snake game "30 255 0"
    expect_data '[data]\nres=1\nask=1\nlvl=5\nscolor=2\nbcolor=5\n'
    keys space
    # In play: the prompt has gone.
    shot_until in_play eval '! shows_text in_play "440x40+100+216"' || fail "Space did not start"
    # The head runs into the right wall (at 35 ms a step, in about half a second).
    shot_until game_over game_over_shown game_over || fail "the game did not end"
    expect_text game_over "440x40+100+216"  # "Your Score Is: 0"
    local right
    right=$(head_right game_over 80 "30,255,0")
    ((right > 600)) || fail "the head stopped at x=$right, not at the right wall"
    keys F2
    wait_ready "Snake Menu" >/dev/null
    shot menu_again
    # The menu shows the saved options: Next without changes plays the same game again.
    keys Return
    wait_ready "Kelvo Snake" >/dev/null
    find_field 640 480
    shot_field game_again red
    expect_snake game_again "30 255 0"
    keys space
    shot_until game_over_again game_over_shown game_over_again || fail "the game did not end"
    keys F2
    wait_ready "Snake Menu" >/dev/null
    keys Escape
    expect_exit
    # Esc in the menu wrote nothing; the only other line a run may add is the high score of a
    # game in which the snake happened to find an apple.
    local options
    options=$(data | grep -v '^score=[0-9]*$')
    [ "$options" = "$(printf '[data]\nres=1\nask=1\nlvl=5\nscolor=2\nbcolor=5')" ] ||
        fail "data.ini holds: $(data)"
}

large_resolution() {
    make_folder '[data]\nres=3\nask=1\n'
    start_game
    expect_geometry "Snake Menu" "0 0 1024 768"
    wait_ready "Snake Menu" >/dev/null
    shot menu
    keys Return
    expect_geometry "Kelvo Snake" "0 0 1024 768"
    wait_ready "Kelvo Snake" >/dev/null
    find_field 1024 768
    shot_field game
    expect_pixel game 520 80 "12 0 255"  # the head at the middle of 1024 pixels
    expect_pixel game 376 80 "12 0 255"  # the tail, six steps to its left
    expect_tint game 1018 400 blue
    keys Escape
    wait_window "Kelvo Snake" 2 >/dev/null
    keys Return
    expect_exit
}

esc_then_no() {
    make_folder '[data]\nres=1\nask=1\n'
    start_game
    wait_ready "Snake Menu" >/dev/null
    keys Return
    wait_ready "Kelvo Snake" >/dev/null
    find_field 640 480
    shot_field ready
    keys space
    shot_until started head_past started 335 "12,0,255" || fail "the game did not start"
    # A key right after No counts: P 70 ms after N pauses the game.
    keys Escape
    wait_window "Kelvo Snake" 2 >/dev/null
    xdotool key n sleep 0.07 key p
    wait_gone "Kelvo Snake" 2
    shot_until paused_a shows_text paused_a "440x40+100+216" || fail "P right after No was lost"
    sleep 0.5  # what is tested: the paused game does not move
    shot paused_b
    local paused_at
    paused_at=$(head_right paused_a 80 "12,0,255")
    ((paused_at < 600)) && ! game_over_shown paused_a &&
        [ "$paused_at" = "$(head_right paused_b 80 "12,0,255")" ] ||
        fail "P right after No was lost: the game went on"
    keys space
    keys Escape
    wait_window "Kelvo Snake" 2 >/dev/null
    poll has_focus "Kelvo Snake" || fail "\"Exit?\" did not take the focus"
    shot prompt
    local at_prompt
    at_prompt=$(head_right prompt 80 "12,0,255")
    keys Escape  # "Exit?" is answered only by Yes or No: Esc does nothing
    sleep 0.3    # what is tested: nothing happens in that time
    wait_count "Kelvo Snake" 2 || fail "Esc answered \"Exit?\""
    keys n
    wait_gone "Kelvo Snake" 2
    # The game goes on: the head further right, then further again.
    shot_until after_no head_past after_no "$at_prompt" "12,0,255" ||
        fail "the head did not move on after No (it was at $at_prompt)"
    local after
    after=$(head_right after_no 80 "12,0,255")
    shot_until later head_past later "$after" "12,0,255" ||
        fail "the head did not keep moving after $after"
    keys Escape
    wait_window "Kelvo Snake" 2 >/dev/null
    keys Return
    expect_exit
}

# A window-system close request to the game window (as Alt+F4 sends it), answered No: "Exit?"
# must come up over the game, and after No the same game window must still be there.
close_then_no() {  # WINDOW STATE
    "$close_request" "$1"
    wait_count "Kelvo Snake" 2 || fail "a close request in the $2 state did not ask \"Exit?\""
    poll has_focus "Kelvo Snake" || fail "\"Exit?\" did not take the focus in the $2 state"
    shot "exit_$2"
    keys n
    wait_count "Kelvo Snake" 1 || fail "No on \"Exit?\" in the $2 state did not close the box"
    [ "$(visible_windows "Kelvo Snake")" = "$1" ] || fail "after No in the $2 state the game is gone"
}

# The head moves on: a later screenshot shows it further right.
expect_moving() {  # STATE
    shot "moving_$1_a"
    local a
    a=$(head_right "moving_$1_a" 80 "12,0,255")
    shot_until "moving_$1_b" head_past "moving_$1_b" "$a" "12,0,255" ||
        fail "in the $1 state the head did not move on from $a"
}

# Waits for the game-over lines: "High Score Is: " and " Press F2 To Restart !".
expect_game_over_lines() {  # SHOT
    shot_until "$1" game_over_shown "$1" || fail "$1: no game-over lines"
}

close_requests() {
    [ -x "$close_request" ] || fail "no close-request helper given"
    make_folder '[data]\nres=1\nask=1\n'
    start_game
    wait_ready "Snake Menu" >/dev/null
    keys Return  # level 1: a step every 200 ms, about 2.6 s from the start to the right wall
    local game
    game=$(wait_ready "Kelvo Snake")
    find_field 640 480
    shot_field waiting
    close_then_no "$game" waiting
    shot waiting_after_no
    expect_text waiting_after_no "440x40+100+216"  # the prompt stays
    keys space
    expect_moving first_play
    close_then_no "$game" playing
    expect_moving playing_after_no
    expect_game_over_lines game_over
    close_then_no "$game" game_over
    expect_game_over_lines game_over_after_no
    # The next game of the run asks just the same.
    keys F2
    wait_ready "Snake Menu" >/dev/null
    keys Return
    game=$(wait_ready "Kelvo Snake")
    find_field 640 480
    shot_field waiting_again
    close_then_no "$game" waiting_after_f2
    keys space
    expect_moving started_after_f2
    close_then_no "$game" playing_after_f2
    expect_moving playing_after_f2
    expect_game_over_lines second_game_over
    close_then_no "$game" game_over_after_f2
    "$close_request" "$game"
    wait_count "Kelvo Snake" 2 || fail "the last close request did not ask \"Exit?\""
    keys Return  # Yes
    expect_exit
}

# The .deb as a player gets it: unpacked (not installed), read-only, run by a user of its own
# with an empty home, first to the menu and then, skipping the chooser, into a game.
# Waits for a server's socket; fails with what the server printed when none comes in 5 s.
wait_socket() {  # SOCKET NAME LOG
    for _ in $(seq 100); do
        [ -S "$1" ] && return 0
        sleep 0.05
    done
    fail "$2 did not start: $(cat "$3")"
}

# The build folder's install layout (a CMake cache entry), e.g. "games" for the program.

# A private sound server whose streams the test can list; the player's programs reach it
# through PULSE_SERVER.
start_sound_server() {
    mkdir -p "$work/pulse"
    chmod 700 "$work/pulse"
    XDG_RUNTIME_DIR="$work/pulse" pulseaudio -n --daemonize=no --exit-idle-time=-1 \
        -L "module-native-protocol-unix auth-anonymous=1 socket=$work/pulse.socket" \
        -L "module-null-sink sink_name=nullsink" >"$work/pulse.log" 2>&1 &
    helpers+=($!)
    wait_socket "$work/pulse.socket" "the sound server" "$work/pulse.log"
    chmod 777 "$work/pulse.socket"
}

# The package as the README makes it: cpack in the build folder, without a tool it needs and
# then with every tool; lintian finds nothing; every file in its place; played as a user would.
installed_package() {
    chmod 755 "$work"
    # Without dpkg-shlibdeps on the PATH, cpack refuses and says why, rather than making a
    # package that depends on nothing.
    mkdir -p "$work/bin"
    ln -s "$(command -v file)" "$work/bin/file"
    local said
    said=$(PATH="$work/bin" "$(command -v cpack)" --config "$program_dir/CPackConfig.cmake" \
        -G DEB -B "$work/nopackage" 2>&1) && fail "cpack made a package without dpkg-shlibdeps"
    grep -q "dpkg-shlibdeps not" <<<"$said" && grep -q "dpkg-dev" <<<"$said" ||
        fail "cpack without dpkg-shlibdeps said: $said"
    ! ls "$work"/nopackage/*.deb >/dev/null 2>&1 || fail "a package was left without Depends"
    # With a dpkg-shlibdeps that is there but finds nothing, the package made is judged by its
    # Depends, and removed.
    printf '#!/bin/sh\nexit 0\n' >"$work/bin/dpkg-shlibdeps"
    chmod +x "$work/bin/dpkg-shlibdeps"
    said=$(PATH="$work/bin:$PATH" "$(command -v cpack)" --config "$program_dir/CPackConfig.cmake" \
        -G DEB -B "$work/brokenpackage" 2>&1) && fail "cpack made a package with a broken dpkg-shlibdeps"
    grep -q "Depends do not name Qt" <<<"$said" || fail "cpack with a broken dpkg-shlibdeps said: $said"
    ! ls "$work"/brokenpackage/*.deb >/dev/null 2>&1 || fail "a package was left without Depends"
    rm "$work/bin/dpkg-shlibdeps"

    cpack --config "$program_dir/CPackConfig.cmake" -G DEB -B "$work/package" >/dev/null ||
        fail "cpack could not make the package"
    local deb
    deb=$(ls "$work"/package/kelvo-snake_*.deb)
    local depends library
    depends=$(dpkg-deb -f "$deb" Depends)
    grep -q libsdl2-2.0-0 <<<"$depends" ||
        fail "the package does not depend on libsdl2-2.0-0, which it links: $depends"
    # The music plays through SDL: nothing of Qt Multimedia (and its media frameworks).
    ! grep -q libqt6multimedia <<<"$depends" || fail "the package depends on Qt Multimedia: $depends"

    local root="$work/root" file
    local bindir=$KELVO_INSTALL_BINDIR datadir=$KELVO_INSTALL_DATADIR
    # A package of the section games holds its program in /usr/games: lintian judges the
    # build folders laid out so, as scripts/setup lays out build/.
    if [ "$bindir" = games ]; then
        local complaints
        complaints=$(lintian -EI --pedantic "$deb" 2>&1 | grep -E '^[EW]: ' || true)
        [ -z "$complaints" ] || fail "lintian: $complaints"
    fi
    dpkg-deb -x "$deb" "$root"
    for file in "$bindir/kelvo-snake" "$datadir/kelvo-snake/bck.wav" \
        share/applications/io.github.kelvo.Snake.desktop \
        share/metainfo/io.github.kelvo.Snake.metainfo.xml share/man/man6/kelvo-snake.6.gz \
        share/doc/kelvo-snake/copyright share/doc/kelvo-snake/changelog.gz \
        share/icons/hicolor/scalable/apps/io.github.kelvo.Snake.svg; do
        [ -f "$root/usr/$file" ] || fail "the package lacks /usr/$file"
    done
    # The licences' texts: beside copyright in the default layout; in Debian's, only copyright
    # (the GPL is one of the system's common licences).
    for file in GPL-3.0-or-later.txt OFL-1.1.txt; do
        if [ "$bindir" = games ]; then
            [ ! -e "$root/usr/share/doc/kelvo-snake/$file" ] || fail "Debian's layout holds $file"
        else
            grep -q "License" "$root/usr/share/doc/kelvo-snake/$file" ||
                fail "the default layout lacks /usr/share/doc/kelvo-snake/$file"
        fi
    done
    local icons="$root/usr/share/icons/hicolor"
    for size in 16 22 24 32 48 64 128 256; do
        file="$icons/${size}x${size}/apps/io.github.kelvo.Snake.png"
        [ "$(identify -format '%wx%h' "$file")" = "${size}x${size}" ] ||
            fail "the package lacks a ${size} pixel icon"
    done
    # The small icon stands on a transparent ground; the scalable one draws the same picture.
    local corner
    for corner in 0,0 15,0 0,15 15,15; do
        [ "$("$convert" "$icons/16x16/apps/io.github.kelvo.Snake.png" \
            -format "%[fx:p{$corner}.a]" info:)" = 0 ] || fail "the 16 pixel icon is opaque at $corner"
    done
    rsvg-convert -w 256 -h 256 "$icons/scalable/apps/io.github.kelvo.Snake.svg" \
        -o "$artifacts/svg.png" || fail "the scalable icon does not render"
    [ "$(compare -metric AE "$artifacts/svg.png" "$icons/256x256/apps/io.github.kelvo.Snake.png" \
        null: 2>&1)" = 0 ] || fail "the scalable icon differs from the 256 pixel one"

    chmod -R a-w "$root"
    local home="$work/home"
    mkdir -p "$home/run"
    chmod 700 "$home/run"
    # As the superuser (CI), play as nobody; otherwise the read-only copy is enough.
    local as_player=()
    if [ "$(id -u)" -eq 0 ]; then
        chown -R nobody:nogroup "$home"
        as_player=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    fi
    local program="$root/usr/$bindir/kelvo-snake"
    [ "$("${as_player[@]}" "$program" --version)" = "kelvo-snake 1.0" ] || fail "--version"
    start_sound_server
    run_installed() {  # [TRACER...]: starts the program, under the tracer if one is given
        "$@" "${as_player[@]}" env -i PATH=/usr/bin:/bin HOME="$home" DISPLAY="$DISPLAY" \
            XDG_RUNTIME_DIR="$home/run" PULSE_SERVER="unix:$work/pulse.socket" \
            QT_QPA_PLATFORM=xcb "$program" >>"$work/game.log" 2>&1 &
        game_pid=$!
    }
    run_installed
    wait_ready "Select Resolution :" >/dev/null
    keys Return
    wait_ready "Snake Menu" >/dev/null
    keys Escape
    expect_exit
    local settings="$home/.config/kelvo-snake/data.ini"
    [ "$(cat "$settings" 2>/dev/null)" = "$(printf '[data]\nres=1\nask=1')" ] ||
        fail "$settings holds: $(cat "$settings" 2>/dev/null)"
    # The second start skips the chooser; the game plays the installed music.
    run_installed strace -f -qq -e trace=openat -o "$work/openat.log"
    wait_ready "Snake Menu" >/dev/null
    keys Return
    local game
    game=$(wait_ready "Kelvo Snake")
    find_field 640 480
    shot_field installed_game
    # Docks tie the window to its launcher by class; mixers show the music as the game's.
    local class
    class=$(sed -n 's/^StartupWMClass=//p' "$root/usr/share/applications/io.github.kelvo.Snake.desktop")
    [ -n "$class" ] && xprop -id "$game" WM_CLASS | grep -q "\"$class\"\$" ||
        fail "WM_CLASS is $(xprop -id "$game" WM_CLASS), the desktop entry's class \"$class\""
    local streams
    for _ in $(seq 50); do
        streams=$(PULSE_SERVER="unix:$work/pulse.socket" pactl list sink-inputs)
        [ -n "$streams" ] && break
        sleep 0.1
    done
    grep -q 'application.name = "Kelvo Snake"' <<<"$streams" &&
        grep -q 'application.icon_name = "io.github.kelvo.Snake"' <<<"$streams" &&
        grep -q 'media.role = "game"' <<<"$streams" || fail "the music stream is: $streams"
    keys Escape
    wait_count "Kelvo Snake" 2 || fail "Esc did not ask \"Exit?\""
    keys Return
    expect_exit
    grep -qE "\"$root/usr/$datadir/kelvo-snake/bck.wav\", O_RDONLY[^)]*\) = [0-9]" "$work/openat.log" ||
        fail "the game did not open the installed bck.wav"
    [ "$(cat "$settings")" = "$(printf '[data]\nres=1\nask=1\nlvl=1\nscolor=0\nbcolor=0')" ] ||
        fail "$settings holds: $(cat "$settings")"
    ! grep -q "cannot write" "$work/game.log" || fail "a write failed: $(cat "$work/game.log")"
}

# A screen pixel, outside the field: "R G B".
screen_pixel() {  # SHOT X Y
    "$convert" "$artifacts/$1.png" -crop "1x1+$2+$3" -depth 8 txt:- |
        sed -n '2s/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p'
}

# Whether the file was opened by the traced program (strace's openat lines).
opened() {  # TRACE FILE
    grep -qE "\"$2\", O_RDONLY[^)]*\) = [0-9]" "$1"
}

# On a 1920 by 1080 screen: the game covers it with the field twice as large in its middle, F11
# gives a window of the field's size, another window taking the focus pauses the game, "Exit?"
# stands over the game, and M holds over a restart.
big_screen_run() {  # with_wm | without_wm
    if [ "$1" = with_wm ]; then
        openbox --sm-disable >/dev/null 2>&1 &
        helpers+=($!)
        # A window manager announces itself on the root window once it runs.
        poll eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
            fail "openbox did not start"
    fi
    make_folder '[data]\nres=1\nask=1\n'
    start_traced() {
        (cd "$work/game" && QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work" \
            exec strace -f -qq -e trace=openat -o "$work/$1" ./kelvo-snake) >>"$work/game.log" 2>&1 &
        game_pid=$!
    }
    start_traced first.trace
    wait_ready "Snake Menu" >/dev/null
    keys Return
    local game
    game=$(wait_ready "Kelvo Snake")
    poll eval '[ "$(geometry "$game")" = "0 0 1920 1080" ]' ||
        fail "the game is at $(geometry "$game")"
    find_field 640 480
    [ "$fx $fy $fk" = "320 60 2" ] || fail "the field stands at $fx,$fy enlarged $fk times"
    shot_field big_game               # the walls, twice as large
    expect_tint big_game 5 240 blue
    expect_tint big_game 634 240 blue
    expect_tint big_game 320 474 blue
    expect_snake big_game "12 0 255"
    local at
    for at in "100 540" "315 540" "1605 540" "960 55" "960 1025"; do
        [ "$(screen_pixel big_game $at)" = "0 0 0" ] || fail "not black around the field at $at"
    done
    # F11: a window of the field's size in the middle of the screen, and back.
    keys F11
    local windowed
    poll eval '[ "$(geometry "$game")" != "0 0 1920 1080" ]' || fail "F11 did not leave full screen"
    # The window manager frames it in its own time: wait until the place holds still.
    if [ "$1" = with_wm ]; then
        poll eval 'xprop -id "$game" _NET_FRAME_EXTENTS | grep -q " = [0-9]*, [0-9]*, [1-9]"' ||
            fail "the window manager did not frame the window"
    else
        poll eval '[ "$(geometry "$game")" = "640 300 640 480" ]'
    fi
    windowed=$(geometry "$game")
    if [ "$1" = with_wm ]; then
        # With the window manager's title bar and frame, which the player can move it by.
        local left right top bottom
        IFS=', ' read -r left right top bottom < <(xprop -id "$game" _NET_FRAME_EXTENTS |
            sed -n 's/.* = //p')
        [ "${windowed#* * }" = "640 480" ] && ((top > 0)) ||
            fail "after F11 the game is at $windowed with frame \"$left $right $top $bottom\""
        # Centred frame and all.
        local wx wy
        read -r wx wy _ < <(geometry "$game")
        poll eval '[ "$(geometry "$game")" = "$(((1920 - 640 - left - right) / 2 + left)) \
$(((1080 - 480 - top - bottom) / 2 + top)) 640 480" ]' ||
            fail "the framed window is at $(geometry "$game"), not centred by its frame"
    else
        [ "$windowed" = "640 300 640 480" ] || fail "after F11 the game is at $windowed"
    fi
    keys F11
    poll eval '[ "$(geometry "$game")" = "0 0 1920 1080" ]' || fail "F11 again"
    poll has_focus "Kelvo Snake" || fail "the game lost the focus after F11"
    # "Exit?" stands over the middle of the game.
    keys Escape
    wait_count "Kelvo Snake" 2 || fail "Esc did not ask \"Exit?\""
    local box x y w h
    box=$(visible_windows "Kelvo Snake" | grep -v "^$game\$" | head -n1)
    read -r x y w h < <(geometry "$box")
    ((x + w / 2 > 900 && x + w / 2 < 1020 && y + h / 2 > 480 && y + h / 2 < 600)) ||
        fail "\"Exit?\" stands at $x,$y (${w}x$h), not over the middle of the game"
    keys n
    wait_count "Kelvo Snake" 1 || fail "No did not close \"Exit?\""
    # Another window taking the focus during play pauses the game.
    poll has_focus "Kelvo Snake" || fail "the game did not get the focus back after No"
    keys space
    shot_until big_started head_past big_started 335 "12,0,255" || fail "Space did not start"
    xmessage -geometry 160x60+10+10 "another program" >/dev/null 2>&1 &
    helpers+=($!)
    # With a window manager a window is activated through it; without, focused directly.
    give_focus() {  # with_wm|without_wm WINDOW
        if [ "$1" = with_wm ]; then xdotool windowactivate --sync "$2"; else xdotool windowfocus --sync "$2"; fi
    }
    give_focus "$1" "$(wait_window "xmessage")"
    shot_until paused_a shows_text paused_a "440x40+100+216" || fail "the prompt did not come back"
    sleep 1  # what is tested: a second in which the paused game does not move
    shot paused_b
    # The head, not the whole screen: the score's flash after an apple ends by its own timer.
    [ "$(head_right paused_a 80 "12,0,255")" = "$(head_right paused_b 80 "12,0,255")" ] ||
        fail "the game went on while another window had the focus"
    kill "${helpers[-1]}"
    give_focus "$1" "$game"
    poll has_focus "Kelvo Snake" || fail "the game did not get the focus back"
    keys space
    shot resumed_a
    local resumed_at
    resumed_at=$(head_right resumed_a 80 "12,0,255")
    shot_until resumed_b head_past resumed_b "$resumed_at" "12,0,255" ||
        fail "Space did not go on with the game"
    # M: the music off, and still off at the next start.
    keys m
    poll grep -q '^mute=1$' "$work/game/data.ini" || fail "M was not kept: $(data)"
    keys Escape
    wait_count "Kelvo Snake" 2 || fail "Esc did not ask \"Exit?\""
    keys Return
    expect_exit
    opened "$work/first.trace" "$work/game/bck.wav" || fail "the music did not play at first"
    start_traced second.trace
    wait_ready "Snake Menu" >/dev/null
    keys Return
    wait_ready "Kelvo Snake" >/dev/null
    shot_field second_game
    keys Escape
    wait_count "Kelvo Snake" 2 || fail "Esc did not ask \"Exit?\""
    keys Return
    expect_exit
    ! opened "$work/second.trace" "$work/game/bck.wav" || fail "the music played after M and a restart"
}
# On a 1024 by 768 screen with a window manager, 1024 by 768 does not fit in a window with its
# frame: the game covers the screen whatever is stored, and F11 offers no window.
small_screen_wm() {
    openbox --sm-disable >/dev/null 2>&1 &
    helpers+=($!)
    poll eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
        fail "openbox did not start"
    make_folder '[data]\nres=3\nask=1\nfull=0\n'
    start_game
    wait_ready "Snake Menu" >/dev/null
    keys Return
    local game
    game=$(wait_ready "Kelvo Snake")
    poll eval '[ "$(geometry "$game")" = "0 0 1024 768" ]' ||
        fail "the game is at $(geometry "$game") with frame $(xprop -id "$game" _NET_FRAME_EXTENTS)"
    keys F11
    sleep 1.2  # what is tested: no window in that time, framed or not
    [ "$(geometry "$game")" = "0 0 1024 768" ] || fail "F11 made a window at $(geometry "$game")"
    keys Escape
    wait_count "Kelvo Snake" 2 || fail "Esc did not ask \"Exit?\""
    keys Return
    expect_exit
    grep -q '^full=0$' "$work/game/data.ini" || fail "the stored choice was overwritten: $(data)"
}

big_screen() { big_screen_run without_wm; }
big_screen_wm() { big_screen_run with_wm; }

# Under Wayland, in a Weston nested in the X server (its X11 back end turns xdotool's keys into
# Wayland key events): chooser, menu, a full-screen game, Esc, Yes.
# A nested Weston on the X server, with its desktop shell (and its 32 pixel panel at the top),
# the keyboard's focus on its window. Sets `output` to that window.
start_weston() {  # WIDTH HEIGHT
    runtime="$work/runtime"
    mkdir -p "$runtime"
    chmod 700 "$runtime"
    XDG_RUNTIME_DIR="$runtime" weston --backend=x11-backend.so --use-pixman --width="$1" \
        --height="$2" --socket=wayland-e2e --idle-time=0 >"$work/weston.log" 2>&1 &
    helpers+=($!)
    wait_socket "$runtime/wayland-e2e" "Weston" "$work/weston.log"
    # Weston names its window in a way xdotool's search does not read; xwininfo does.
    output=""
    for _ in $(seq 100); do
        output=$(xwininfo -root -tree | awk '/"Weston Compositor/ { print $1; exit }')
        [ -n "$output" ] && break
        sleep 0.05
    done
    [ -n "$output" ] || fail "no Weston window"
    xdotool windowfocus --sync "$output"
}

# Under Wayland the test cannot see the program's windows from X, only the screen: takes the
# screenshot AFTER until it differs from BEFORE and then holds still for two shots in a row
# (a window opening is animated); false after about ten seconds.
settled_after() {  # BEFORE AFTER
    local seen=""
    for _ in $(seq 60); do
        shot "$2"
        if ! cmp -s "$artifacts/$1.png" "$artifacts/$2.png"; then
            [ -n "$seen" ] && cmp -s "$seen" "$artifacts/$2.png" && return 0
            seen="$work/settling.png"
            cp "$artifacts/$2.png" "$seen"
        fi
        sleep 0.05
    done
    return 1
}

start_wayland_game() {
    (cd "$work/game" && QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=wayland-e2e \
        XDG_RUNTIME_DIR="$runtime" exec ./kelvo-snake) >>"$work/game.log" 2>&1 &
    game_pid=$!
}

wayland() {
    local runtime output
    start_weston 1920 1080
    settled_after nothing wayland_desktop || fail "Weston showed nothing"
    make_folder
    start_wayland_game
    settled_after wayland_desktop wayland_chooser || fail "no chooser"
    keys Return
    settled_after wayland_chooser wayland_menu || fail "no menu after Enter"
    keys Return
    settled_after wayland_menu wayland_game || fail "no game after Enter"
    find_field 640 480 "$(geometry "$output")"
    expect_tint wayland_game 320 5 blue
    expect_snake wayland_game "12 0 255"
    # Full screen: black to the output's edges, no panel at its top.
    for at in "100 540" "960 10" "1900 1070"; do
        [ "$(screen_pixel wayland_game $at)" = "0 0 0" ] || fail "the game is not full screen at $at"
    done
    keys Escape
    settled_after wayland_game wayland_exit || fail "Esc showed nothing"
    # "Exit?" inside the game, in its middle: a light box on the black.
    local r g b
    read -r r g b < <(screen_pixel wayland_exit 960 520)
    ((r > 150 && g > 150 && b > 150)) || fail "no \"Exit?\" in the middle of the game ($r $g $b)"
    # While the box is up, only the box takes keys: F11, P and M do nothing to the game.
    keys F11 p m n
    settled_after wayland_exit wayland_after_no || fail "No changed nothing"
    for at in "100 540" "960 10" "1900 1070"; do
        [ "$(screen_pixel wayland_after_no $at)" = "0 0 0" ] ||
            fail "a key pressed during \"Exit?\" left full screen ($at)"
    done
    keys Escape
    settled_after wayland_after_no wayland_exit_again || fail "Esc showed nothing"
    keys Return
    expect_exit
    expect_data '[data]\nres=1\nask=1\nlvl=1\nscolor=0\nbcolor=0\n'
}

# Weston follows the X pointer's moves, not its place: the pointer is taken into the top-left
# corner first, then moved by the place's own amount.
weston_click() {  # X Y
    local to
    for to in "1919 1079" "0 0" "$1 $2"; do
        # shellcheck disable=SC2086 # two numbers
        xdotool mousemove $to
        sleep 0.3
    done
    xdotool click 1
}

# The same part of two screenshots.
same_area() {  # SHOT SHOT WxH+X+Y
    [ "$("$convert" "$artifacts/$1.png" -crop "$3" +repage rgb:- | md5sum)" = \
        "$("$convert" "$artifacts/$2.png" -crop "$3" +repage rgb:- | md5sum)" ]
}

# Under Wayland a box is drawn inside the window that asks; a second request while it is up
# (Ctrl+H again in the menu, the window's close button again in the game) opens no second one.
wayland_boxes() {
    local runtime output
    start_weston 1920 1080
    settled_after nothing boxes_desktop || fail "Weston showed nothing"
    make_folder '[data]\nres=1\nask=1\nfull=0\n'
    start_wayland_game
    settled_after boxes_desktop boxes_menu || fail "no menu"
    keys ctrl+h
    settled_after boxes_menu boxes_high_score || fail "Ctrl+H showed nothing"
    keys ctrl+h
    sleep 0.3  # what is tested: no second box in that time
    keys Return
    settled_after boxes_high_score boxes_menu_again || fail "Enter did not close the box"
    # Below the panel, whose clock may have moved on.
    same_area boxes_menu boxes_menu_again 1920x1048+0+32 ||
        fail "a second HighScore box stayed over the menu"
    keys Return
    settled_after boxes_menu_again boxes_game || fail "no game after Enter"
    # The window with Qt's own title bar: its close button 17 pixels left of its right edge.
    local w h x y
    # Where the screen changed, below the panel (the crop keeps the screen's places).
    read -r w h x y < <("$convert" "$artifacts/boxes_desktop.png" "$artifacts/boxes_game.png" \
        -crop 1920x1048+0+32 -compose difference -composite -threshold 2% -trim \
        -format '%w %h %X %Y\n' info: | tr -d +)
    ((w > 640 && h > 480)) || fail "no game window found (${w}x$h at $x,$y)"
    weston_click $((x + w - 17)) $((y + 13))
    # "Exit?" in the middle of the field: a light box on the black.
    light_at() {  # SHOT X Y
        local r g b
        read -r r g b < <(screen_pixel "$1" "$2" "$3")
        ((r > 150 && g > 150 && b > 150))
    }
    shot_until boxes_exit light_at boxes_exit $((x + w / 2)) $((y + h / 2 + 10)) ||
        fail "the close button did not ask \"Exit?\""
    weston_click $((x + w - 17)) $((y + 13))
    sleep 0.3  # what is tested: no second box in that time
    keys n
    shot_until boxes_after_no eval '! light_at boxes_after_no $((x + w / 2)) $((y + h / 2 + 10))' ||
        fail "No did not close \"Exit?\""
    sleep 0.3  # a second box would be drawn by now
    shot boxes_after_no
    # The field, below the title bar that the pointer now stands on.
    same_area boxes_game boxes_after_no "${w}x$((h - 40))+$x+$((y + 40))" ||
        fail "a second \"Exit?\" stayed over the game"
    keys Escape
    settled_after boxes_after_no boxes_exit_again || fail "Esc showed nothing"
    keys Return
    expect_exit
    expect_data '[data]\nres=1\nask=1\nfull=0\nlvl=1\nscolor=0\nbcolor=0\n'
}

# Under Wayland, on a 1024 by 768 output whose top 32 pixels are the panel's: 1024 by 768 does
# not fit. A stored one plays as 800 by 600, said once and not stored.
wayland_panel() {
    local runtime output
    start_weston 1024 768
    settled_after nothing wayland_panel_desktop || fail "Weston showed nothing"
    make_folder '[data]\nres=3\nask=1\n'
    start_wayland_game
    for _ in $(seq 100); do
        grep -q "does not fit" "$work/game.log" && break
        sleep 0.05
    done
    grep -q "1024 \* 768 does not fit" "$work/game.log" || fail "1024 * 768 was taken as fitting"
    settled_after wayland_panel_desktop wayland_panel_menu || fail "no menu"
    keys Escape
    expect_exit
    expect_data '[data]\nres=3\nask=1\n'
}

# The desktop scaled by 1.5 on 1920 by 1080: 1280 by 720 for windows. 1024 by 768 does not fit;
# a stored one plays as 800 by 600 without being overwritten, and the chooser does not offer it.
scaled_screen() {
    make_folder '[data]\nres=3\nask=1\n'
    export QT_SCALE_FACTOR=1.5
    start_game
    local menu
    menu=$(wait_ready "Snake Menu")
    read -r x y w h < <(geometry "$menu")
    [ "$w $h" = "1200 900" ] || fail "the menu is ${w}x$h, not 800 by 600 at 1.5"
    ((x >= 0 && y >= 0 && x + w <= 1920 && y + h <= 1080)) || fail "the menu lies off the screen"
    grep -q "1024 \* 768 does not fit this screen; playing 800 \* 600" "$work/game.log" ||
        fail "no line said the size was replaced: $(cat "$work/game.log")"
    keys Escape
    expect_exit
    grep -q '^res=3$' "$work/game/data.ini" || fail "the stored size was overwritten: $(data)"
    sed -i 's/^ask=1$/ask=0/' "$work/game/data.ini"
    start_game
    local chooser
    chooser=$(wait_ready "Select Resolution :")
    read -r x y w h < <(geometry "$chooser")
    ((x >= 0 && y >= 0 && x + w <= 1920 && y + h <= 1080)) || fail "the chooser lies off the screen"
    # The option texts, 1.5 times their places 16, 48 and 80 pixels down: 640 and 800 in
    # orange, 1024 dimmed.
    fx=$((x + 24)) fy=$((y + 24)) fk=1
    shot_until scaled_chooser shows_text scaled_chooser "100x40+20+0" ||
        fail "the chooser shows no 640 * 480"
    expect_text scaled_chooser "100x40+20+48"
    local share
    share=$(orange_share scaled_chooser "100x40+20+96")
    awk -v s="$share" 'BEGIN { exit !(s < 0.001) }' || fail "1024 * 768 is offered ($share)"
    keys Return
    wait_window "Snake Menu" >/dev/null
    keys Escape
    expect_exit
    grep -q '^res=3$' "$work/game/data.ini" || fail "the stored size was overwritten: $(data)"
}

# A session bus of the run's own, with the desktop's accessibility bus on it, as under Orca.
start_accessibility_bus() {
    DBUS_SESSION_BUS_ADDRESS=$(dbus-daemon --session --fork --print-address=1 --print-pid=3 \
        3>"$work/bus.pid")
    export DBUS_SESSION_BUS_ADDRESS
    helpers+=("$(cat "$work/bus.pid")")
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    helpers+=($!)
}

# The program as a screen reader reads it, over AT-SPI on a private session bus.
screen_reader() {
    make_folder '[data]\nres=2\n'
    start_accessibility_bus
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 start_game
    /usr/bin/python3 "$(dirname "$0")/screen_reader.py" || fail "read over AT-SPI"
}

# Play by ear. A screen reader running turns the cues on; S switches them off (silence, with the
# music off) and on again, and data.ini keeps that. What the game plays is recorded from the
# private sound server: with the apple left of the head the left channel is the louder, right of
# it the right one. The apple lies where it falls: the games go on until one has had it clearly
# on each side of the head.
the_apple() {  # SHOT: "LEFT TOP RIGHT BOTTOM" of the apple's red, in the field
    local box
    box=$("$convert" "$artifacts/$1.png" -crop "$(on_screen 612x452+14+14)" +repage -fuzz 15% \
        -fill white -opaque 'rgb(214,16,24)' -fill black +opaque white -format '%@' info:)
    # WxH+X+Y of what is left once the black is trimmed, X and Y from the crop's corner
    awk -v b="$box" -v k="$fk" 'BEGIN { split(b, v, /[x+]/)
        printf "%d %d %d %d\n", 14 + v[3] / k, 14 + v[4] / k, 14 + (v[3] + v[1]) / k, 14 + (v[4] + v[2]) / k }'
}

# Everything the sound server plays, as 16-bit stereo at 48 kHz, from when the server starts:
# a recording started on an idle server first waits a second or two, so it is started once, and
# a stretch of it is the bytes it gained meanwhile.
start_recording() {
    PULSE_SERVER="unix:$work/pulse.socket" parec -d nullsink.monitor --raw --format=s16le \
        --channels=2 --rate=48000 --latency-msec=10 >"$artifacts/played.raw" &
    helpers+=($!)
    local size=0 grown=0
    for _ in $(seq 100); do  # until it grows steadily: ten times in a row
        sleep 0.05
        if (($(stat -c %s "$artifacts/played.raw") > size)); then grown=$((grown + 1)); else grown=0; fi
        size=$(stat -c %s "$artifacts/played.raw")
        ((grown >= 10)) && return 0
    done
    fail "the recording of the sound server did not start"
}

record() {  # FILE SECONDS: what the server plays in the next SECONDS
    local from
    from=$(($(stat -c %s "$artifacts/played.raw") / 4 * 4))
    sleep "$2"
    tail -c +$((from + 1)) "$artifacts/played.raw" | head -c $(($(stat -c %s "$artifacts/played.raw") - from)) >"$1"
}

loudness() {  # FILE: "LEFT RIGHT", each channel's root mean square
    /usr/bin/python3 -c '
import array, math, sys
raw = open(sys.argv[1], "rb").read()
data = array.array("h", raw[: len(raw) // 4 * 4])
n = max(1, len(data) // 2)
print("%.1f %.1f" % tuple(math.sqrt(sum(v * v for v in data[c::2]) / n) for c in (0, 1)))' "$1"
}

cue_stream() {  # the sound server plays the cues
    PULSE_SERVER="unix:$work/pulse.socket" pactl list sink-inputs | grep -q 'media.name = "Play-by-ear cues"'
}

music_lowered() {
    PULSE_SERVER="unix:$work/pulse.socket" pactl list sink-inputs |
        awk '/^Sink Input/ {v = ""} /Volume:/ {v = $0} /media.name = "Music"/ {print v}' |
        grep -q '/ *[0-9] *%\|/ *[0-9][0-9] *%'
}

play_by_ear() {
    make_folder '[data]\nres=1\nask=1\nlvl=2\nmute=1\n'
    start_accessibility_bus
    poll dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:ScreenReaderEnabled \
        variant:boolean:true >/dev/null || fail "no accessibility bus"
    start_sound_server
    start_recording
    PULSE_SERVER="unix:$work/pulse.socket" start_game
    wait_ready "Snake Menu" >/dev/null
    poll cue_stream || fail "a screen reader runs, and no cues play"
    keys s
    poll eval '! cue_stream' || fail "S left the cues on"
    expect_data '[data]\nres=1\nask=1\nlvl=2\nmute=1\ncues=0\n'
    keys Return
    wait_ready "Kelvo Snake" >/dev/null
    find_field 640 480
    keys space
    record "$artifacts/off.raw" 0.6
    [ "$(loudness "$artifacts/off.raw")" = "0.0 0.0" ] ||
        fail "cues and music off, and the game played: $(loudness "$artifacts/off.raw")"
    local heard_left="" heard_right="" side left top right bottom
    for attempt in $(seq 10); do
        shot_until "over$attempt" game_over_shown "over$attempt" || fail "the game did not end"
        sleep 0.7  # the game-over sound ends
        keys F2
        wait_ready "Snake Menu" >/dev/null
        if [ "$attempt" = 1 ]; then
            keys s
            poll cue_stream || fail "S did not switch the cues on"
        fi
        keys Return
        wait_ready "Kelvo Snake" >/dev/null
        shot_field "apple$attempt"
        read -r left top right bottom < <(the_apple "apple$attempt")
        # The head starts at x=320 to 344, y=72 to 88, heading right. An apple left of it: the
        # snake runs on right, away from it. An apple right of it: the snake steps down (y=96
        # to 112) and turns left, away from it. Either way the apple stays on its side, clear
        # of the rows the head takes.
        side=""
        if ((top > 116 || bottom < 68)); then
            if ((right < 300)); then side=left; elif ((left > 364)); then side=right; fi
        fi
        [ -n "$side" ] && [ -n "$(eval echo "\$heard_$side")" ] && side=""  # heard already
        if [ "$side" = right ]; then keys space Down Left; else keys space; fi
        if [ -n "$side" ]; then
            record "$artifacts/$side.raw" 0.35
            eval "heard_$side=\$(loudness \"\$artifacts/\$side.raw\")"
        fi
        [ -n "$heard_left" ] && [ -n "$heard_right" ] && break
    done
    [ -n "$heard_left" ] && [ -n "$heard_right" ] || fail "no game had the apple on both sides"
    # The music, switched on while the cues sound, plays lower than full.
    keys m
    poll music_lowered || fail "the music is not lower under the cues"
    echo "apple left of the head: L R = $heard_left; right of it: $heard_right"
    awk -v l="$heard_left" -v r="$heard_right" 'BEGIN { split(l, a); split(r, b)
        exit !(a[1] > 1.2 * a[2] && a[1] > 50 && b[2] > 1.2 * b[1] && b[2] > 50) }' ||
        fail "the louder channel is not the apple's side: left $heard_left, right $heard_right"
    grep -q '^cues=1$' "$work/game/data.ini" || fail "data.ini did not keep S: $(data)"
}

case $case_name in
    big_screen | big_screen_wm | wayland | wayland_boxes | scaled_screen) start_x 1920x1080 ;;
    *) start_x ;;
esac
"$case_name"
echo "PASS ($case_name)"
