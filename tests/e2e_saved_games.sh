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
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; cat debug.log "$work/out.txt" 2>/dev/null || true; exit 1; }

cp -r "$4" "$work/data"
cd "$work/data/game"
printf '[General]\nplayers = "2"\n[1]\nAI Controlled = "1"\nDifficulty = "0"\n' >players.ini
printf '[2]\nAI Controlled = "1"\nDifficulty = "1"\n' >>players.ini
start_game() {
    SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$game" >>"$work/out.txt" 2>&1 &
    pid=$!
    # A busy machine may take a while to open the window.
    for _ in 1 2 3; do
        window=$(find_game_window "$pid")
        [ -n "$window" ] && break
    done
    [ -n "$window" ] || fail "no window appeared"
    sleep 1
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
    local moves
    moves=$(grep -c '"move"' "$work/replay.json")
    [ "$moves" = "$(grep -c '^[0-9]* = ' "$1")" ] || fail "the replay played $moves moves"
    echo "ok: $1 replays, $moves moves: $(tail -n 1 "$work/replay.json")"
}

start_game
finished=$(saved_game 120 finished) || fail "no saved game after the game"
replays "$finished"
close_game() {
    "$closer" "$window"
    wait "$pid" || fail "the game ended with $?"
    pid=
}
close_game

# Player 2 is human this time: the computer's first move, and the game waits.
sed -i '/^\[2\]/,$ s/AI Controlled = "1"/AI Controlled = "0"/' players.ini
start_game
sleep 2
close_game
left=$(saved_game 1 abandoned) || fail "no saved game after the window was closed mid-game"
replays "$left"
