#!/usr/bin/env bash
# A player's sessions with the real game and the mouse alone, looked at the way a player looks.
# Every screen is walked (main menu, how to play, settings, new game, the small board's screen, a
# game against an easy computer, its score screen, back to the main menu): at 1024 x 768, again
# after choosing 1280 x 720 in Settings (a new window), and once more in a game started at
# 1280 x 720. On the menu and score screens no text leaves its panels; in the game the cells are
# textured, every start cell stays on screen while the first player's cell turns a full turn, and
# clicking colour buttons ends the game on the score screen. players.ini holds the choices, Quit
# ends the program with exit code 0 and debug.log stays clean.
# Usage: e2e_player_session.sh <tintfall binary> <data folder>
set -euo pipefail
here=$(pwd)
tests=$(cd "$(dirname "$0")" && pwd)
. "$tests/e2e_lib.sh"
game=$1
data=$2
work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
shot="$work/shot.ppm"
rm -f "$here"/e2e_player_session_failure*.png

# What a player would see wrong is reported and the walk goes on, so one run shows every fault;
# the screenshot is kept next to the test's output.
failures=0
problem() {
    failures=$((failures + 1))
    echo "FAIL: $*"
    if [ -f "$shot" ]; then
        convert "$shot" "$here/e2e_player_session_failure$failures.png"
        echo "  screenshot: $here/e2e_player_session_failure$failures.png"
    fi
}
# A fault the walk cannot go on after.
fail() {
    problem "$@"
    [ -f "$work/data/game/debug.log" ] && cat "$work/data/game/debug.log"
    exit 1
}
# The system's python3 (tools/setup.sh installs it): a version manager's shim first on the PATH
# would add a good part of a second to each of the many looks.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
look() { "$python" "$tests/e2e_look.py" "$@"; }
screenshot() { import -window "$window" -depth 8 "${1:-$shot}"; }

near() {  # near "r,g,b" r g b: every channel within 12
    awk -v got="$1" -v r="$2" -v g="$3" -v b="$4" 'BEGIN {
        split(got, c, ","); d1 = c[1] - r; d2 = c[2] - g; d3 = c[3] - b;
        exit !(d1 * d1 < 144 && d2 * d2 < 144 && d3 * d3 < 144) }'
}

# The colour of the pixel at a point in screen units of the last screenshot, as "r,g,b".
pixel() { look pixel "$shot" "$1" "$2"; }

# Starts the game in a fresh copy of the data folder; $1 is written to settings.ini if given.
start_game() {
    rm -rf "$work/data"
    cp -r "$data" "$work/data"
    cd "$work/data/game"
    rm -f players.ini settings.ini debug.log
    [ -z "${1:-}" ] || printf '%b' "$1" > settings.ini
    SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$game" >"$work/out.txt" 2>&1 &
    pid=$!
    window=$(find_game_window "$pid")
    [ -n "$window" ] || fail "no window appeared"
}

window_size() {
    xdotool getwindowgeometry "$window" | awk '/Geometry/ { print $2 }'
}

# Without a window manager the window sits at (0, 0). The pointer is moved by screen position,
# as the window may be in the middle of being made anew.
park_pointer() {
    xdotool mousemove 5 "$(to_pixels 0.54)"
}

# Clicks a menu's button or list entry and moves the pointer off it, so that nothing is drawn
# highlighted.
go() {
    click "$1" "$2" 0
    park_pointer
    sleep "${3:-0.2}"
}

# Takes screenshots until the pixel at ($1, $2) is near the colour ($3, $4, $5), or with "not" as
# $6 until it is not; $7 names the screen that shows then. Leaving the settings re-creates the
# window, then or at the start of the next game, so the window is looked for again each time.
until_shown() {
    local value=""
    for _ in $(seq 1 60); do
        window=$(find_game_window "$pid")
        [ -n "$window" ] || fail "the window is gone"
        if screenshot 2>/dev/null; then
            value=$(pixel "$1" "$2" 2>/dev/null || true)
            if near "$value" "$3" "$4" "$5"; then
                [ "$6" = "is" ] && return 0
            else
                [ "$6" = "not" ] && return 0
            fi
        fi
        sleep 0.2
    done
    fail "$label: no $7 (pixel $value at $1, $2)"
}
main_menu() { until_shown 0.5 0.465 128 46 46 is "main menu"; }  # its Quit button

# The screen shown in the last screenshot keeps its texts inside its panels (and those of the
# HUD and the score screen of the board behind, which the menus are drawn over).
texts_inside() {
    local menu=$1
    shift
    if ! look text "$shot" "Menus/$menu" "$@" >"$work/look.txt"; then
        text_problems=$((text_problems + 1))
        problem "$label, $menu: $(cat "$work/look.txt")"
    fi
}

# The main menu, how to play, settings (left unchanged), new game and the small board's screen,
# then a game with player 2 an easy computer played to its score screen, and back to the main menu.
walk() {
    label=$1
    text_problems=0
    local behind="Menus/hud.ini Menus/scores.ini"
    park_pointer
    main_menu
    texts_inside mainMenu.ini $behind
    go 0.5 0.395                   # How to play; its Back button shows
    until_shown 0.5 0.4825 56 76 128 is "How to play screen"
    texts_inside howToPlay.ini $behind
    go 0.5 0.4825                  # Back
    main_menu
    go 0.5 0.325                   # Settings
    until_shown 0.5 0.5 56 76 128 is "settings screen"
    texts_inside options.ini $behind
    go 0.5 0.5                     # Back
    main_menu
    go 0.5 0.255                   # New game; its Standard button shows
    until_shown 0.415 0.49 51 115 64 is "new-game screen"
    texts_inside newGame.ini $behind
    go 0.785 0.49                  # The small board's own screen; its Back button shows
    until_shown 0.37 0.49 56 76 128 is "small board's new-game screen"
    texts_inside newGameSmall.ini $behind
    go 0.5 0.24                    # Player 2: Computer
    go 0.5 0.33                    # Player 2: Easy
    go 0.63 0.49                   # Start: the Start button goes, the HUD's red button shows
    until_shown 0.63 0.49 51 115 64 not "game"
    until_shown 0.05 0.0975 255 0 0 is "game"

    if look cells Boards/small.ini "$shot" >"$work/look.txt"; then
        echo "ok: $label: the cells are textured: $(cat "$work/look.txt")"
    else
        problem "$label: $(cat "$work/look.txt")"
    fi

    # Player 1's start cell turns at 45 degrees a second while player 1 is to move: one full turn
    # takes 8 s.
    local n=0 end=$(($(date +%s%N) / 1000000 + 8500))
    while [ $(($(date +%s%N) / 1000000)) -lt "$end" ]; do
        n=$((n + 1))
        screenshot "$work/turn$n.ppm"
        sleep 0.25
    done
    if look starts Boards/small.ini $(seq -f "$work/turn%g.ppm" 1 "$n") >"$work/look.txt"; then
        echo "ok: $label: $(cat "$work/look.txt")"
    else
        cp "$(sed -n 2p "$work/look.txt")" "$shot"
        problem "$label: $(head -n 1 "$work/look.txt")"
    fi

    # Click every colour button in turn (taken ones are disabled) until the score screen, with its
    # New game button, appears.
    local finished=0 round colour grey
    button() { awk -v c="$1" 'BEGIN { print 0.0975 + (c - 1) * 0.065 }'; }
    for round in $(seq 1 60); do
        for colour in 1 2 3 4 5 6 7; do
            click 0.05 "$(button "$colour")" 0.1
        done
        park_pointer
        sleep 0.5
        screenshot
        if [ "$round" = 1 ]; then
            # Both players have moved: the buttons of the colours they hold are grey.
            grey=0
            for colour in 1 2 3 4 5 6 7; do
                if near "$(pixel 0.05 "$(button "$colour")")" 128 128 128; then
                    grey=$((grey + 1))
                fi
            done
            [ "$grey" -ge 1 ] || problem "$label: no held colour's button is grey"
        fi
        if near "$(pixel 0.32 0.475)" 51 115 64; then
            finished=1
            break
        fi
    done
    [ "$finished" = 1 ] || fail "$label: the game did not reach its score screen"
    echo "ok: $label: the score screen after $round rounds of clicks"
    texts_inside scores.ini Menus/hud.ini
    [ "$text_problems" -gt 0 ] || echo "ok: $label: no text leaves its panels on the six screens"

    go 0.6 0.475                   # Menu
    main_menu
    echo "ok: $label: back at the main menu"
}

quit_game() {
    go 0.5 0.465                   # Quit
    for _ in $(seq 1 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "the game did not quit"
    local status=0
    wait "$pid" || status=$?
    pid=""
    [ "$status" -eq 0 ] || { cat "$work/out.txt"; fail "exit code $status"; }
    if grep -v -e '^Unable to open audio' debug.log 2>/dev/null | grep -q .; then
        fail "unexpected lines in debug.log"
    fi
    echo "ok: quit with exit code 0 and a clean debug.log"
}

label="start"
start_game
width=1024
[ "$(window_size)" = 1024x768 ] || fail "the first window is $(window_size)"
park_pointer
main_menu
# The background game plays on: the board looks different a few seconds later.
cp "$shot" "$work/before.ppm"
sleep 2
screenshot
changed=$(compare -metric AE "$work/before.ppm" "$shot" null: 2>&1 || true)
[ "${changed%% *}" -gt 1000 ] || fail "the background board does not change ($changed pixels)"
echo "ok: the background game plays ($changed pixels changed)"
walk "1024x768"
awk '/^\[2\]/ { s = 1; next } /^\[/ { s = 0 } s && /AI Controlled = "1"/ { c = 1 } s && /difficulty = "1"/ { d = 1 } END { exit !(c && d) }' players.ini ||
    fail "player 2 is not an easy computer in players.ini: $(cat players.ini)"
echo "ok: players.ini holds the choices"

go 0.5 0.325                       # Settings
until_shown 0.5 0.5 56 76 128 is "settings screen"
go 0.28 0.274                      # Window size: 1280 x 720
go 0.5 0.5                         # Back: the window is made again
width=1280
main_menu
[ "$(window_size)" = 1280x720 ] || fail "the window is $(window_size) after choosing 1280 x 720"
walk "1280x720 chosen in Settings"
quit_game

label="start at 1280x720"
start_game '[resolution]\nwidth = 1280\nheight = 720\n'
width=1280
[ "$(window_size)" = 1280x720 ] || fail "the window is $(window_size) with 1280 x 720 set"
walk "1280x720 from the start"
quit_game
[ "$failures" = 0 ] || { echo "player sessions: $failures checks failed (${SECONDS} s)"; exit 1; }
echo "player sessions: all passed (${SECONDS} s)"
