#!/usr/bin/env bash
# Saved games with the real game: a game of two computers on the small board, played to its end,
# leaves a saved game that `tintfall-sim replay` plays again to the same scores; its score screen
# shows the chart of both territories in the players' colours. A game left by closing the window
# is saved as well and replays to where it was left.
# Usage: e2e_saved_games.sh <tintfall> <tintfall-sim> <close_window> <data folder>
set -euo pipefail
. "$(dirname "$0")/e2e_lib.sh"
game=$1
sim=$2
closer=$3

cp -r "$4" "$work/data"
cd "$work/data/game"
printf '[General]\nplayers = "2"\n[1]\nAI Controlled = "1"\nDifficulty = "0"\n' >players.ini
printf '[2]\nAI Controlled = "1"\nDifficulty = "1"\n' >>players.ini
start_small_game() {
    open_game
    click_widget Menus/mainMenu.ini newGame "" 1 || fail "no main menu"
    click_widget Menus/newGame.ini small "" 1
    click_widget Menus/newGameSmall.ini start "" 1
}
# Waits up to $1 seconds for a saved game whose result is $2; prints its name.
saved_game() {
    for _ in $(seq 1 "$(($1 * 2))"); do
        grep -l "Result = \"$2\"" saves/*.txt 2>/dev/null && return 0
        sleep 0.5
    done
    return 1
}
replays() {
    "$sim" replay "$1" >"$work/replay.json" || fail "the replay of $1 failed: $(cat "$work/replay.json")"
    echo "ok: $1 replays: $(tail -n 1 "$work/replay.json")"
}

# True when a pixel within 3 of (x, y) (screen units) of shot $1 is near the colour r g b.
drawn_near() {
    local x y
    x=$(to_pixels "$2")
    y=$(to_pixels "$3")
    convert "$1" -depth 8 -crop "7x7+$((x - 3))+$((y - 3))" txt:- | awk -F'[(),]+' -v r="$4" \
        -v g="$5" -v b="$6" 'NR > 1 && ($3-r)^2 < 900 && ($4-g)^2 < 900 && ($5-b)^2 < 900 { f = 1 }
        END { exit !f }'
}

start_small_game
finished=$(saved_game 120 finished) || fail "no saved game after the game"
replays "$finished"
# The chart: each player's line ends at the right of the plot, as high as the final score is
# of the highest, in the colour the player chose last (a lighter blue for blue).
sleep 1
xdotool mousemove --window "$window" 0 0
sleep 0.5
import -window "$window" "$work/scores.png"
width=1024
read -r top bottom right < <(awk -F' *= *' '/^\[/ { c = $0 == "[chart]" } c { v[$1] = $2 }
    END { print v["Top"], v["Bottom"], v["Right"] }' Menus/scores.ini)
ranking=$(tail -n 1 "$work/replay.json" | grep -o '"slot":[0-9]*,"player":[0-9]*,"score":[0-9]*' |
    tr -dc '0-9\n,' | sed 's/,/ /g')
most=$(head -n 1 <<<"$ranking" | awk '{ print $3 }')
while read -r slot _ score; do
    colour=$(grep "^[0-9]* = \"$slot " "$finished" | tail -n 1 | tr -d '"' | awk '{ print $4 }')
    rgb=$(awk -v c="$colour" 'BEGIN { split("128 128 128,255 0 0,0 255 0,31 51 255,255 255 0," \
        "255 0 255,0 255 255,230 230 230", t, ","); print t[c + 1] }')
    y=$(awk -v t="$top" -v b="$bottom" -v s="$score" -v m="$most" 'BEGIN { h = (b - t) / 8
        h = h < 0.02 ? h : 0.02; pt = t + h / 2; pb = b - 1.5 * h - 0.008
        print pb - (pb - pt) * s / m }')
    drawn_near "$work/scores.png" "$(awk -v r="$right" 'BEGIN { print r - 0.004 }')" "$y" $rgb ||
        fail "slot $slot's line (colour $colour, $score cells) does not end at the chart's y $y"
done <<<"$ranking"
echo "ok: the score screen's chart ends every player's line at its score, in its colour"
close_game

# Player 2 is human this time: the computer's first move, and the game waits.
sed -i '/^\[2\]/,$ s/AI Controlled = "1"/AI Controlled = "0"/' players.ini
start_small_game
sleep 2
close_game
left=$(saved_game 1 abandoned) || fail "no saved game after the window was closed mid-game"
replays "$left"
