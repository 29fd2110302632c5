#!/usr/bin/env bash
# The settings round trip with the real game: the volume list changes the level of the mixed
# sound at once (heard through SDL's disk audio driver), another resolution re-creates the window
# at the new size when the screen is left, with menus and board intact, settings.ini holds the
# choices, and closing the window ends the program with exit code 0.
# Usage: e2e_settings.sh <tintfall binary> <data folder> <close_window binary>
set -euo pipefail
. "$(dirname "$0")/e2e_lib.sh"
game=$1
data=$2
closer=$3

fresh_data
rm -f players.ini settings.ini debug.log
# A large background board, so that its computer players keep moving (and clicking) for the
# whole test.
awk 'BEGIN {
    rows = 30; cols = 46;
    printf "[General]\nMapType = Board\nNumRows = %d\nNumCols = %d\nNumPlayers = 4\n", rows, cols;
    for (r = 0; r < rows; r++) for (c = 0; c < cols; c++) {
        printf "[r%dc%d]\nRow = %d\nCol = %d\n", r, c, r, c;
        p = -1;
        if (r == 0 && c == 0) p = 0; if (r == 0 && c == cols - 1) p = 1;
        if (r == rows - 1 && c == cols - 1) p = 2; if (r == rows - 1 && c == 0) p = 3;
        if (p >= 0) printf "Type = PlayerStart\nPlayer = %d\n", p;
    } }' > map.ini
open_game SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/sound.raw"
width=1024

# The loudest sample of the sound written from byte $1 to byte $2.
peak() {
    dd if="$work/sound.raw" bs=65536 iflag=skip_bytes,count_bytes skip="$1" count="$(($2 - $1))" \
        2>/dev/null | od -An -v -td2 -w2 |
        awk '{ v = $1 < 0 ? -$1 : $1; if (v > m) m = v } END { print m + 0 }'
}

# Waits until the sound written since byte $1 holds a click (the background game's moves), then
# a little longer so the click is whole; prints the size of the sound then.
heard_since() {
    for _ in $(seq 1 60); do
        sleep 0.5
        if [ "$(peak "$1" "$(stat -c %s "$work/sound.raw")")" -gt 1000 ]; then
            sleep 0.5
            break
        fi
    done
    stat -c %s "$work/sound.raw"
}

click 0.5 0.325 1                  # Settings
loud_end=$(heard_since 0)          # the background game's clicks at full volume
click 0.5 0.3515 0.5               # Volume: 50 % (taken in the next frame)
# Only sound mixed after the change counts: what was mixed before has been written by now.
quiet_start=$(stat -c %s "$work/sound.raw")
quiet_end=$(heard_since "$quiet_start")
loud=$(peak 0 "$loud_end")
quiet=$(peak "$quiet_start" "$quiet_end")
[ "$loud" -gt 1000 ] || fail "no clicks were heard at full volume (peak $loud)"
awk -v l="$loud" -v q="$quiet" 'BEGIN { r = q / l; exit !(r > 0.35 && r < 0.65) }' ||
    fail "half the volume gave a peak of $quiet after $loud"
echo "ok: the volume list halves the mixed sound at once (peak $loud, then $quiet)"

click 0.28 0.2055                  # Window size: 800 x 600
click 0.28 0.496 2                 # Back: the window is made again
width=800
[ "$(window_size)" = 800x600 ] || window=$(find_game_window)
[ "$(window_size)" = 800x600 ] || fail "the window is $(window_size) after choosing 800 x 600"
import -window "$window" "$work/shot.png"
[ "$(identify -format '%wx%h' "$work/shot.png")" = "800x600" ] || fail "the picture is not 800 by 600"
menu=$(pixel_in "$work/shot.png" 400 316)
near "$menu" 56 76 127 1 || fail "no main menu after the new window ($menu)"
colours=$(convert "$work/shot.png" -crop 640x40+80+100 -unique-colors -format '%w' info:)
[ "$colours" -gt 20 ] || fail "the board is not drawn after the new window ($colours colours)"
echo "ok: a new 800 by 600 window with the menu and the board"

grep -q 'width = "800"' settings.ini && grep -q 'height = "600"' settings.ini &&
    grep -q 'MasterVolume = "64"' settings.ini || fail "settings.ini: $(cat settings.ini)"
echo "ok: settings.ini holds the choices"

end_game close 50 || fail "closing the window did not end the game"
[ "$status" -eq 0 ] || fail "exit code $status"
[ ! -s debug.log ] || fail "debug.log is not empty"
echo "settings round trip: all passed"
