#!/usr/bin/env bash
# Starts the real game from a copy of data/, as a player would, and checks the window it opens:
# 1024 by 768, captioned "Tintfall", cleared to grey; closing it ends the program with exit code 0
# and the run's messages appended to debug.log. Then the same with broken settings files, one of
# them asking for a window larger than X can hold, and without any X server.
# Usage: e2e_game_window.sh <tintfall binary> <close_window binary> <data folder>
set -euo pipefail
. "$(dirname "$0")/e2e_lib.sh"
game=$1
closer=$2
data=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Runs the game in a fresh copy of data/; $1 prepares the working directory.
# Sets window_size and centre_colour from a screenshot.
run_game() {
    local prepare=$1
    rm -rf "$work/data"
    cp -r "$data" "$work/data"
    (cd "$work/data/game" && eval "$prepare")
    (cd "$work/data/game" && SDL_VIDEODRIVER=x11 exec "$game" >"$work/out.txt" 2>&1) &
    local pid=$!
    local window
    window=$(find_game_window "$pid")
    [ -n "$window" ] || { kill "$pid" 2>/dev/null || true; cat "$work/out.txt"; fail "no window appeared"; }
    # Let a few frames be drawn before the screenshot.
    sleep 0.5
    import -window "$window" "$work/shot.png"
    window_size=$(identify -format '%wx%h' "$work/shot.png")
    corner_colour=$(pixel_in "$work/shot.png" 3 3)
    # The middle of the main menu's "How to play" button.
    local x y
    x=$(identify -format '%w' "$work/shot.png")
    y=$(awk -v w="$x" 'BEGIN { printf "%d", 0.395 * w }')
    x=$((x / 2))
    menu_colour=$(pixel_in "$work/shot.png" "$x" "$y")
    "$closer" "$window"
    local status=0
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill -9 "$pid"
        fail "the game did not end after its window was closed"
    fi
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || { cat "$work/out.txt"; fail "exit code $status"; }
}

expect_grey_window() {
    local what=$1 size=$2 menu=${3:-}
    [ "$window_size" = "$size" ] || fail "$what: window is $window_size, expected $size"
    case "$corner_colour" in
        178,178,178|179,179,179) ;;
        *) fail "$what: corner pixel is $corner_colour, expected grey 178" ;;
    esac
    if [ -n "$menu" ] && ! awk -v got="$menu_colour" -v want="$menu" 'BEGIN {
            split(got, a, ","); split(want, b, ",");
            for (i = 1; i <= 3; i++) if ((a[i] - b[i]) ^ 2 > 9) exit 1 }'; then
        fail "$what: main menu pixel is $menu_colour, expected about $menu"
    fi
    echo "ok: $what ($window_size, corner $corner_colour, menu $menu_colour)"
}

# A fresh data folder: default size, and the log gains this run's lines after earlier ones. The
# window is cleared to grey around the main menu.
run_game 'rm -f settings.ini players.ini; printf "earlier run\n" > debug.log'
expect_grey_window "default settings" 1024x768 56,76,127
log=$(cat "$work/data/game/debug.log")
case "$log" in
    "earlier run"*) ;;
    *) fail "debug.log was not appended to: $log" ;;
esac

run_game 'printf "[resolution]\nwidth = 800\nheight = 600\n" > settings.ini'
expect_grey_window "800 by 600 from settings.ini" 800x600 56,76,127

# A size X cannot hold: the default window instead, with a line saying so (this used to end the
# program with an X error, on every start).
run_game 'printf "[resolution]\nwidth = \"100000\"\nheight = \"100000\"\n" > settings.ini'
expect_grey_window "100000 by 100000 in settings.ini" 1024x768 56,76,127
grep -qx 'Error: Unable to create SDL OpenGL screen (100000 x 100000); opening 1024 x 768 instead' \
    "$work/data/game/debug.log" || fail "debug.log: $(cat "$work/data/game/debug.log")"

# No X server at all: the failure is logged and the program ends cleanly (it used to crash in
# SDL).
rm -rf "$work/data"
cp -r "$data" "$work/data"
status=0
(cd "$work/data/game" && DISPLAY=:nowhere SDL_VIDEODRIVER=x11 timeout 60 "$game" >"$work/out.txt" 2>&1) ||
    status=$?
[ "$status" -eq 0 ] || fail "without an X server: exit code $status"
grep -qx 'Error: Unable to create SDL OpenGL screen (1024 x 768)' "$work/data/game/debug.log" ||
    fail "without an X server, debug.log: $(cat "$work/data/game/debug.log")"
echo "ok: no X server, a clean end"

run_game 'head -c 4000 /dev/urandom > settings.ini'
[ "$window_size" != "" ] || fail "garbage settings.ini"
echo "ok: garbage settings.ini still opens a window ($window_size)"

run_game 'rm -f settings.ini && mkdir settings.ini'
expect_grey_window "unreadable settings.ini" 1024x768 56,76,127

run_game 'head -c 3000 /dev/urandom > Menus/controller.ini'
expect_grey_window "garbage controller.ini" 1024x768

run_game 'rm -rf Menus ../Textures ../Meshes ../Audio ../Maps'
expect_grey_window "no data folders at all" 1024x768

echo "end-to-end: all passed"
