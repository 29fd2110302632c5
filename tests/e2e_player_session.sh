#!/usr/bin/env bash
# A player's whole session with the real game and the mouse alone: main menu, new-game screen,
# the small board's screen (the second player a computer), a game played by clicking colour
# buttons until the score screen, back to the main menu, and Quit. The choices made on the
# new-game screen must be in players.ini afterwards, and the program must end with exit code 0.
# Usage: e2e_player_session.sh <tintfall binary> <data folder>
set -euo pipefail
. "$(dirname "$0")/e2e_lib.sh"
game=$1
data=$2
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; [ -f "$work/data/game/debug.log" ] && cat "$work/data/game/debug.log"; exit 1; }

cp -r "$data" "$work/data"
cd "$work/data/game"
rm -f players.ini settings.ini debug.log
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$game" >"$work/out.txt" 2>&1 &
pid=$!

window=$(find_game_window "$pid")
[ -n "$window" ] || fail "no window appeared"
sleep 1

# Screen units are fractions of the window's width (1024 pixels here).
click() {
    local x y
    x=$(awk -v u="$1" 'BEGIN { printf "%d", u * 1024 }')
    y=$(awk -v u="$2" 'BEGIN { printf "%d", u * 1024 }')
    xdotool mousemove --window "$window" "$x" "$y" click 1
    sleep "${3:-0.3}"
}

# The colour of the pixel at a point in screen units, as "r,g,b".
pixel() {
    import -window "$window" "$work/shot.png"
    local x y
    x=$(awk -v u="$1" 'BEGIN { printf "%d", u * 1024 }')
    y=$(awk -v u="$2" 'BEGIN { printf "%d", u * 1024 }')
    pixel_in "$work/shot.png" "$x" "$y"
}

near() {  # near "r,g,b" r g b: every channel within 12
    awk -v got="$1" -v r="$2" -v g="$3" -v b="$4" 'BEGIN {
        split(got, c, ","); d1 = c[1] - r; d2 = c[2] - g; d3 = c[3] - b;
        exit !(d1 * d1 < 144 && d2 * d2 < 144 && d3 * d3 < 144) }'
}

xdotool mousemove --window "$window" 5 700
sleep 0.3
# The main menu's Quit button is where the menu file puts it.
near "$(pixel 0.5 0.465)" 128 46 46 || fail "no main menu (pixel $(pixel 0.5 0.465))"
echo "ok: main menu"
# The background game plays on: the board looks different a few seconds later.
cp "$work/shot.png" "$work/before.png"
sleep 3
pixel 0.5 0.465 > /dev/null
changed=$(compare -metric AE "$work/before.png" "$work/shot.png" null: 2>&1 || true)
[ "${changed%% *}" -gt 1000 ] || fail "the background board does not change ($changed pixels)"
echo "ok: the background game plays ($changed pixels changed)"

click 0.5 0.255 1          # New game
click 0.785 0.49 1         # The small board's own screen
click 0.5 0.24             # Player 2: Computer
click 0.5 0.33             # Player 2: Easy
click 0.63 0.49 2          # Start
echo "ok: game started"

# Click every colour button in turn (taken ones are disabled) until the score screen appears.
finished=0
for round in $(seq 1 60); do
    for colour in 1 2 3 4 5 6 7; do
        click 0.05 "$(awk -v c="$colour" 'BEGIN { print 0.0975 + (c - 1) * 0.065 }')" 0.1
    done
    sleep 0.5
    if [ "$round" = 1 ]; then
        # Both players have moved: the buttons of the two colours they hold are grey.
        import -window "$window" "$work/shot.png"
        grey=0
        for colour in 1 2 3 4 5 6 7; do
            y=$(awk -v c="$colour" 'BEGIN { printf "%d", (0.0975 + (c - 1) * 0.065) * 1024 }')
            value=$(pixel_in "$work/shot.png" 51 "$y")
            if near "$value" 128 128 128; then grey=$((grey + 1)); fi
        done
        [ "$grey" -ge 1 ] || fail "no held colour's button is grey"
        echo "ok: $grey held colours' buttons are grey"
    fi
    if near "$(pixel 0.32 0.475)" 51 115 64; then
        finished=1
        echo "ok: score screen after $round rounds"
        break
    fi
done
[ "$finished" = 1 ] || fail "the game did not reach its score screen"
cp "$work/shot.png" "$work/scores.png"

click 0.6 0.475 1.5        # Menu
xdotool mousemove --window "$window" 5 700
sleep 0.3
near "$(pixel 0.5 0.465)" 128 46 46 || fail "not back at the main menu"
echo "ok: back at the main menu"

click 0.5 0.465 1          # Quit
for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    fail "the game did not quit"
fi
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || { cat "$work/out.txt"; fail "exit code $status"; }
echo "ok: quit with exit code 0"

awk '/^\[2\]/ { s = 1; next } /^\[/ { s = 0 } s && /AI Controlled = "1"/ { c = 1 } s && /difficulty = "1"/ { d = 1 } END { exit !(c && d) }' players.ini ||
    fail "player 2 is not an easy computer in players.ini: $(cat players.ini)"
echo "ok: players.ini holds the choices"
if grep -v -e '^Unable to open audio' debug.log 2>/dev/null | grep -q .; then
    fail "unexpected lines in debug.log"
fi
echo "player session: all passed"
