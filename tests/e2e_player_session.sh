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
. "$(dirname "$0")/e2e_lib.sh"
game=$1
data=$2
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
    cat debug.log 2>/dev/null
    exit 1
}
look() { "$python" "$e2e_dir/e2e_look.py" "$@"; }
screenshot() { import -window "$window" -depth 8 "${1:-$shot}"; }

# The colour of the pixel at a point in screen units of the last screenshot, as "r,g,b".
pixel() { look pixel "$shot" "$1" "$2"; }

# Starts the game in a fresh copy of the data folder; $1 is written to settings.ini if given.
start() {
    fresh_data
    rm -f players.ini settings.ini debug.log
    [ -z "${1:-}" ] || printf '%b' "$1" > settings.ini
    start_game
    [ -n "$window" ] || fail "no window appeared"
}

# Without a window manager the window sits at (0, 0). The pointer is moved by screen position,
# as the window may be in the middle of being made anew.
park_pointer() {
    xdotool mousemove 5 "$(to_pixels 0.54)"
}

# Where the widget of section $2 of menu file $1 is (the row holding value $3 of a list): wx, wy
# in screen units, and wcolour, its fill colour as "r g b". The walk follows the menu files.
widget() {
    local place
    place=$(look where "Menus/$1" "$2" ${3:+"$3"}) || fail "no widget [$2] in $1"
    read -r wx wy wcolour <<<"$place"
    wcolour=${wcolour//,/ }
}

# Clicks a widget and moves the pointer off it, so that nothing is drawn highlighted.
press() {
    widget "$@"
    click "$wx" "$wy" 0
    park_pointer
    sleep 0.2
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
            if near "$value" "$3" "$4" "$5"; then [ "$6" = is ]; else [ "$6" = not ]; fi && return 0
        fi
        sleep 0.2
    done
    fail "$label: no $7 (pixel $value at $1, $2)"
}
# Waits for the screen of a menu file, known by one of its buttons.
shows() {
    widget "$1" "$2"
    until_shown "$wx" "$wy" $wcolour is "${1%.ini} screen"
}

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
    local step screen mark next
    for step in "mainMenu.ini quit howToPlay" "howToPlay.ini back back" "mainMenu.ini quit settings" \
        "options.ini back back" "mainMenu.ini quit newGame" "newGame.ini standard small" \
        "newGameSmall.ini back"; do
        read -r screen mark next <<<"$step"
        shows "$screen" "$mark"
        texts_inside "$screen" $behind
        [ -z "$next" ] || press "$screen" "$next"
    done
    press newGameSmall.ini lstAiControl2 1       # player 2: a computer
    press newGameSmall.ini lstAiDifficulty2 1    # easy
    press newGameSmall.ini start
    # The game: the Start button has gone and the HUD's first colour button shows.
    until_shown "$wx" "$wy" $wcolour not "game"
    shows hud.ini colour1

    look cells Boards/small.ini "$shot" >"$work/look.txt" || problem "$label: $(cat "$work/look.txt")"
    echo "ok: $label: the cells are textured: $(cat "$work/look.txt")"
    # Player 1's start cell turns at 45 degrees a second while player 1 is to move: one full turn
    # takes 8 s.
    local n=0 end=$(($(date +%s%N) / 1000000 + 8500))
    while [ $(($(date +%s%N) / 1000000)) -lt "$end" ]; do
        n=$((n + 1))
        screenshot "$work/turn$n.ppm"
        sleep 0.25
    done
    look starts Boards/small.ini $(seq -f "$work/turn%g.ppm" 1 "$n") >"$work/look.txt" ||
        { cp "$(sed -n 2p "$work/look.txt")" "$shot" && problem "$label: $(head -n 1 "$work/look.txt")"; }
    echo "ok: $label: $(head -n 1 "$work/look.txt")"

    # Click every colour button in turn (taken ones are disabled) until the score screen, with its
    # New game button, appears.
    local finished=0 round colour grey
    widget scores.ini newGame
    local scores_x=$wx scores_y=$wy scores_colour=$wcolour
    for round in $(seq 1 60); do
        for colour in 1 2 3 4 5 6 7; do
            click "${button_x[$colour]}" "${button_y[$colour]}" 0.1
        done
        park_pointer
        sleep 0.5
        screenshot
        if [ "$round" = 1 ]; then
            # Both players have moved: the buttons of the colours they hold are grey.
            grey=0
            for colour in 1 2 3 4 5 6 7; do
                ! near "$(pixel "${button_x[$colour]}" "${button_y[$colour]}")" 128 128 128 ||
                    grey=$((grey + 1))
            done
            [ "$grey" -ge 1 ] || problem "$label: no held colour's button is grey"
        fi
        near "$(pixel "$scores_x" "$scores_y")" $scores_colour && finished=1 && break
    done
    [ "$finished" = 1 ] || fail "$label: the game did not reach its score screen"
    echo "ok: $label: the score screen after $round rounds of clicks"
    texts_inside scores.ini Menus/hud.ini
    [ "$text_problems" -gt 0 ] || echo "ok: $label: no text leaves its panels on the six screens"

    press scores.ini mainMenu
    shows mainMenu.ini quit
    echo "ok: $label: back at the main menu"
}

quit_game() {
    press mainMenu.ini quit
    end_game 50 || fail "the game did not quit"
    [ "$status" -eq 0 ] || { cat "$work/out.txt"; fail "exit code $status"; }
    ! grep -v -e '^Unable to open audio' debug.log 2>/dev/null | grep -q . ||
        fail "unexpected lines in debug.log"
    echo "ok: quit with exit code 0 and a clean debug.log"
}

label="start"
start
width=1024
[ "$(window_size)" = 1024x768 ] || fail "the first window is $(window_size)"
# The colour buttons of the HUD.
button_x=() button_y=()
for colour in 1 2 3 4 5 6 7; do
    widget hud.ini "colour$colour"
    button_x[colour]=$wx
    button_y[colour]=$wy
done
park_pointer
shows mainMenu.ini quit
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

press mainMenu.ini settings
shows options.ini back
press options.ini lstResolution "1280 720"
press options.ini back                 # the window is made again
width=1280
shows mainMenu.ini quit
[ "$(window_size)" = 1280x720 ] || fail "the window is $(window_size) after choosing 1280 x 720"
walk "1280x720 chosen in Settings"
quit_game

label="start at 1280x720"
start '[resolution]\nwidth = 1280\nheight = 720\n'
width=1280
[ "$(window_size)" = 1280x720 ] || fail "the window is $(window_size) with 1280 x 720 set"
walk "1280x720 from the start"
quit_game
[ "$failures" = 0 ] || { echo "player sessions: $failures checks failed (${SECONDS} s)"; exit 1; }
echo "player sessions: all passed (${SECONDS} s)"
