#!/usr/bin/env bash
# The keyboard, the hint, the undo and the colour symbols with the real game, as a player uses
# them against three computer players: Escape leaves a menu screen and the game, 1 to 7 press the
# colour buttons (a held colour is greyed), U and Ctrl+Z take a move back (the colours are free
# again), H marks one free colour's button and pressing its key plays it, and with "Colour
# symbols" on every colour button carries its digit and the board shows many more of them.
# Usage: e2e_assist.sh <tintfall binary> <data folder>
set -euo pipefail
. "$(dirname "$0")/e2e_lib.sh"
game=$1 data=$2 here=$(pwd) width=1024
shot="$work/shot.ppm"
fail() {
    echo "FAIL: $*"
    [ -f "$shot" ] && convert "$shot" "$here/e2e_assist_failure.png" && echo "  see it there"
    cat "$work/data/game/debug.log" 2>/dev/null
    exit 1
}
look() { "$python" "$e2e_dir/e2e_look.py" "$@"; }

stop_game() {  # the game ends cleanly (SIGTERM is a window close to SDL), without sanitizer reports
    kill "$pid" && wait "$pid" || fail "the game did not end cleanly"
    pid=""
    ! grep -E 'Sanitizer|runtime error' "$work/out.txt" || fail "a sanitizer report"
}
start() {  # $1: settings.ini
    fresh_data
    printf '%b' "$1" >settings.ini
    printf '[General]\nplayers = 4\n[1]\nAI Controlled = 0\n' >players.ini
    for slot in 2 3 4; do printf '[%s]\nAI Controlled = 1\nDifficulty = 1\n' $slot >>players.ini; done
    : >"$work/out.txt"
    open_game
}
screenshot() {
    xdotool mousemove --window "$window" 5 740
    sleep "${1:-0.3}"
    import -window "$window" -depth 8 "$shot"
}
key() { xdotool key "$1"; sleep "${2:-1.5}"; }
# The colour of the middle of the widget of section $2 of menu $1 in the last screenshot.
colour_at() { look pixel "$shot" $(look where "Menus/$1" "$2" | cut -d' ' -f1,2); }
# True when the last screenshot shows the widget in its own fill colour.
shows() {
    local expected
    read -r _ _ expected <<<"$(look where "Menus/$1" "$2")"
    near "$(colour_at "$1" "$2")" ${expected//,/ }
}
grey() { near "$(colour_at hud.ini "colour$1")" 127 127 127; }
free_colours() { for n in 1 2 3 4 5 6 7; do grey $n || printf %s $n; done; }
enter_game() {
    click_widget Menus/mainMenu.ini newGame || fail "no main menu"
    click_widget Menus/newGame.ini standard "" 2 || fail "no new-game screen"
    window=$(find_game_window "$pid")
}

start '[game]\nblackTiles = 0.1\n'
click_widget Menus/mainMenu.ini howToPlay || fail "no main menu"
screenshot
shows howToPlay.ini back || fail "How to play is not shown"
key Escape
screenshot
shows mainMenu.ini newGame || fail "Escape does not go back from How to play"

# Black and white pixels over the board, which the colour symbols add many of.
black_and_white() {
    convert "$shot" -crop 820x460+100+150 +repage -colorspace gray \
        -fx '(u < 0.02 || u > 0.98)' -format '%[fx:mean]' info:
}
clean_log() { [ ! -s debug.log ] || fail "debug.log is not empty"; }

enter_game
screenshot
cells_plain=$(black_and_white)
[ "$(free_colours)" = 1234567 ] || fail "not every colour is free at the start"
shows hud.ini colour1 || fail "the red button shows more than red without colour symbols"
key 1 && screenshot && { grey 1 || fail "key 1 did not play red"; }
key u && screenshot
[ "$(free_colours)" = 1234567 ] || fail "U did not take the first move back"
key 3 && key ctrl+z && screenshot
[ "$(free_colours)" = 1234567 ] || fail "Ctrl+Z did not take the move back"

# The hint: a white or black frame just outside one free colour's button, for two seconds.
probes=""
for n in 1 2 3 4 5 6 7; do
    read -r _ y _ <<<"$(look where Menus/hud.ini "colour$n")"
    probes="$probes %[fx:int(255*p{16,$(to_pixels "$y")}.intensity)]"
done
key h 0
hinted=""
for _ in $(seq 1 30); do
    import -window "$window" -depth 8 "$shot"
    read -r -a shades <<<"$(convert "$shot" -format "$probes" info:)"
    for n in 1 2 3 4 5 6 7; do
        shade=${shades[$((n - 1))]}
        if [ "$shade" -lt 8 ] || [ "$shade" -gt 247 ]; then hinted="$hinted$n"; fi
    done
    [ -n "$hinted" ] && break
    sleep 0.1
done
[ ${#hinted} = 1 ] || fail "the hint marks '$hinted', not one button"
key "$hinted"
screenshot
grey "$hinted" || fail "the hinted colour $hinted could not be played by its key"
key Escape
screenshot
shows mainMenu.ini newGame || fail "Escape does not leave the game for the main menu"
clean_log
stop_game
start '[game]\nblackTiles = 0.1\nColour symbols = 1\n'
enter_game
screenshot
for n in 1 2 3 4 5 6; do
    ! shows hud.ini "colour$n" || fail "the button of colour $n carries no symbol"
done
cells_marked=$(black_and_white)
awk -v a="$cells_plain" -v b="$cells_marked" 'BEGIN { exit !(b > a + 0.02) }' ||
    fail "the cells carry no symbols (black and white share $cells_plain, then $cells_marked)"
clean_log
stop_game
echo "keys, hint, undo and colour symbols work (black and white over the board: $cells_plain, with symbols $cells_marked)"
