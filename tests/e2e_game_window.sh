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

# Each case: what | how the data folder is changed | the window's size | the colour of the main
# menu's "How to play" button ("-": not looked at) | what must hold of debug.log afterwards.
while IFS='|' read -r -u 3 what prepare size menu check; do
    fresh_data
    eval "$prepare"
    start_game
    [ -n "$window" ] || { cat "$work/out.txt"; fail "$what: no window appeared"; }
    sleep 0.5  # a few frames
    import -window "$window" "$work/shot.png"
    got=$(identify -format '%wx%h' "$work/shot.png")
    [ "$got" = "$size" ] || fail "$what: window is $got, expected $size"
    corner=$(pixel_in "$work/shot.png" 3 3)
    near "$corner" 178 178 178 1 || fail "$what: corner pixel is $corner, expected grey 178"
    shown=$(pixel_in "$work/shot.png" $((${got%x*} / 2)) $((${got%x*} * 395 / 1000)))
    [ "$menu" = - ] || near "$shown" ${menu//,/ } 3 || fail "$what: main menu pixel is $shown"
    end_game close || fail "$what: the game did not end after its window was closed"
    [ "$status" -eq 0 ] || { cat "$work/out.txt"; fail "$what: exit code $status"; }
    eval "$check" || fail "$what: debug.log: $(cat debug.log)"
    echo "ok: $what ($got, corner $corner, menu $shown)"
done 3<<'CASES'
default settings, the log appended to|rm -f settings.ini players.ini; printf 'earlier run\n' > debug.log|1024x768|56,76,127|[ "$(head -n 1 debug.log)" = "earlier run" ]
800 by 600 from settings.ini|printf '[resolution]\nwidth = 800\nheight = 600\n' > settings.ini|800x600|56,76,127|true
a size X cannot hold (this used to end the program with an X error)|printf '[resolution]\nwidth = "100000"\nheight = "100000"\n' > settings.ini|1024x768|56,76,127|grep -qx 'Error: Unable to create SDL OpenGL screen (100000 x 100000); opening 1024 x 768 instead' debug.log
garbage settings.ini|head -c 4000 /dev/urandom > settings.ini|1024x768|-|true
unreadable settings.ini|rm -f settings.ini && mkdir settings.ini|1024x768|56,76,127|true
garbage controller.ini|head -c 3000 /dev/urandom > Menus/controller.ini|1024x768|-|true
no data folders at all|rm -rf Menus ../Textures ../Meshes ../Audio ../Maps|1024x768|-|true
CASES

# No X server at all: the failure is logged and the program ends cleanly (it used to crash in
# SDL).
fresh_data
status=0
DISPLAY=:nowhere SDL_VIDEODRIVER=x11 timeout 60 "$game" >"$work/out.txt" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "without an X server: exit code $status"
grep -qx 'Error: Unable to create SDL OpenGL screen (1024 x 768)' debug.log ||
    fail "without an X server, debug.log: $(cat debug.log)"
echo "ok: no X server, a clean end"
echo "end-to-end: all passed"
