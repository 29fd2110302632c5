#!/usr/bin/env bash
# A played session under valgrind's memcheck: the real game, in an 800 x 600 window on a private
# Xvfb, through the main menu, how to play, settings and new game, then a whole game on the small
# board against an easy computer to its score screen, back to the main menu and Quit. Only what
# Mesa, X11 (under SDL and GLX) and glibc's loader do on their own is suppressed
# (tools/valgrind.supp), so every error counted is in the game's code. Ends with the error count;
# exit code 1 unless it is 0. Slow: valgrind runs everything some 30 times slower (3 to 5 minutes
# on two cores).
# Usage: tools/valgrind.sh [build dir, default build-valgrind]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${1:-build-valgrind}

tools/setup.sh
if ! command -v valgrind >/dev/null; then
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends valgrind
fi
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" --target tintfall close_window

. tools/xvfb.sh
start_private_xvfb
. tests/e2e_lib.sh
export LIBGL_ALWAYS_SOFTWARE=1
work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; kill "$TINTFALL_XVFB_PID" 2>/dev/null; rm -rf "$work"' EXIT
log="$root/$build/valgrind.log"
fail() { echo "FAIL: $*"; exit 1; }

cp -r data "$work/data"
cd "$work/data/game"
rm -f settings.ini players.ini debug.log
printf '[resolution]\nwidth = "800"\nheight = "600"\n' >settings.ini
width=800
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy valgrind --tool=memcheck --leak-check=full \
    --show-leak-kinds=definite,indirect,possible --errors-for-leak-kinds=definite,indirect,possible \
    --keep-debuginfo=yes --num-callers=40 -s --suppressions="$root/tools/valgrind.supp" \
    --log-file="$log" "$root/$build/tintfall" >"$work/out.txt" 2>&1 &
pid=$!

# The middle of a widget of a menu file: wx, wy in screen units and its fill colour "r g b".
widget() {
    read -r wx wy wcolour <<<"$("$python" "$e2e_dir/e2e_look.py" where "Menus/$1" "$2" ${3:+"$3"})"
    wcolour=${wcolour//,/ }
}
# Waits (up to 10 minutes) until the widget of section $2 of menu $1 shows in its colour.
shows() {
    widget "$1" "$2"
    for _ in $(seq 1 300); do
        window=$(find_game_window "$pid")
        [ -n "$window" ] || fail "the game is gone"
        if import -window "$window" -depth 8 "$work/shot.ppm" 2>/dev/null &&
            near "$("$python" "$e2e_dir/e2e_look.py" pixel "$work/shot.ppm" "$wx" "$wy")" $wcolour; then
            return 0
        fi
        sleep 2
    done
    fail "no ${1%.ini} screen after 10 minutes"
}
# Clicks a widget (a list's row with a value as $3) and moves the pointer off it.
press() {
    click_widget "Menus/$1" "$2" "${3:-}" 2
    xdotool mousemove 5 "$(to_pixels 0.7)"
    sleep 2
}

for _ in $(seq 1 120); do
    window=$(find_game_window "$pid")
    [ -n "$window" ] && break
done
[ -n "$window" ] || fail "no window in 20 minutes"
echo "window after ${SECONDS} s"
shows mainMenu.ini quit
press mainMenu.ini howToPlay
shows howToPlay.ini back
press howToPlay.ini back
shows mainMenu.ini quit
press mainMenu.ini settings
shows options.ini back
press options.ini back
shows mainMenu.ini quit
press mainMenu.ini newGame
shows newGame.ini standard
press newGame.ini small
shows newGameSmall.ini back
press newGameSmall.ini lstAiControl2 1       # player 2: a computer
press newGameSmall.ini lstAiDifficulty2 1    # easy
press newGameSmall.ini start
shows hud.ini colour1
echo "the game starts after ${SECONDS} s"

# Every colour button in turn (taken ones do nothing) until the score screen shows.
widget scores.ini newGame
scores="$wx $wy $wcolour"
finished=0
for round in $(seq 1 150); do
    for colour in 1 2 3 4 5 6 7; do
        widget hud.ini "colour$colour"
        click "$wx" "$wy" 1
    done
    window=$(find_game_window "$pid")
    [ -n "$window" ] || fail "the game is gone"
    import -window "$window" -depth 8 "$work/shot.ppm"
    read -r sx sy sr sg sb <<<"${scores//,/ }"
    if near "$("$python" "$e2e_dir/e2e_look.py" pixel "$work/shot.ppm" "$sx" "$sy")" "$sr" "$sg" "$sb"; then
        finished=1
        break
    fi
done
[ "$finished" = 1 ] || fail "the game did not reach its score screen"
echo "the score screen after ${SECONDS} s ($round rounds of clicks)"
press scores.ini mainMenu
shows mainMenu.ini quit
press mainMenu.ini quit
status=0
wait "$pid" || status=$?
pid=""
[ "$status" = 0 ] || fail "exit code $status"
grep -v -e '^Unable to open audio' debug.log 2>/dev/null | grep -q . && fail "debug.log: $(cat debug.log)"

errors=$(sed -n 's/.*ERROR SUMMARY: \([0-9]*\) errors.*/\1/p' "$log" | tail -n 1)
echo "valgrind: $errors errors in the game's code after ${SECONDS} s (the report: $log)"
[ "$errors" = 0 ]
