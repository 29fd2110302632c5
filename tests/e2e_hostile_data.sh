#!/usr/bin/env bash
# Hostile data folders: the real game starts on a copy of data/ in which one file at a time is
# replaced by a broken one (made here from the good one), clicks through the screen that reads
# it and has its window closed. Every case must end with exit code 0, no sanitizer report, no
# hang, and a debug.log that names the file.
# Usage: e2e_hostile_data.sh <tintfall> <close_window> <tintfall-pack> <data folder> [case filter]
set -euo pipefail
. "$(dirname "$0")/e2e_lib.sh"
game=$1
closer=$2
pack=$3
data=$4
only=${5:-}
good="$work/good"
failures=0
problem() {
    failures=$((failures + 1))
    echo "FAIL: $case_label: $*"
}

# Binary content from Python literals, e.g. bytes_of "b'smf\0' + struct.pack('<H', 3)".
bytes_of() { "$python" -c "import struct, sys; sys.stdout.buffer.write($1)"; }

# The good data folder every case starts from: the game's data, plus a file of every kind the
# game can read that data/ does not use, and a tiny background board whose game is over in a
# few seconds, so that the score screen is read too.
cp -r "$data" "$good"
cd "$good/game"
rm -f debug.log
printf '[resolution]\nwidth = "1024"\nheight = "768"\n[audio]\nMasterVolume = "128"\n[game]\nblackTiles = "0.1"\n' >settings.ini
printf '[General]\nplayers = "2"\nrandomFirstPlayer = "0"\n[2]\nAI Controlled = "1"\ndifficulty = "1"\n' >players.ini
awk 'BEGIN { printf "[General]\nMapType = \"Board\"\nNumRows = 2\nNumCols = 3\nNumPlayers = 4\n";
    for (i = 0; i < 6; i++) {
        printf "[c%d]\nRow = %d\nCol = %d\n", i, int(i / 3), i % 3;
        if (i != 1 && i != 4) printf "Type = PlayerStart\nPlayer = %d\n", (i > 1) + (i > 3) + (i > 4) }
    }' >map.ini
(
    cd ../Textures
    convert Hex.bmp -type TrueColor -compress RLE Stone.tga
    # 2 x 2 pixels, palette-coded: three colours, the last one twice.
    bytes_of "b'txf\0' + struct.pack('<HHIIII', 1, 24, 2, 2, 3, 4) + bytes(range(9)) + b'\1\2\3\3'" >Rock.txf
    "$pack" create pics.txp Hex=Hex.bmp Rock=Rock.txf >/dev/null
)
(cd ../Meshes && "$pack" create cells.smp Hex=Hex.smf >/dev/null)
# A menu package (a panel and a quit button, enabled) and a board package of three cells.
bytes_of "b'\1'" >"$work/quit.bin"
: >"$work/panel.bin"
"$pack" create Menus/extra.menu Panel=17:"$work/panel.bin" Quit=26:"$work/quit.bin" >/dev/null
for i in 0 1 2; do
    bytes_of "struct.pack('<iiif', $((i + 1)), 0, $i, 0.1) + struct.pack('<H', 7) + b'Hex.smf' +
        struct.pack('<H', 7) + b'Hex.bmp' + struct.pack('<6f', 0.3 + 0.1 * $i, 0.3, 0, 1, 1, 1)" \
        >"$work/cell$i.bin"
done
"$pack" create ../Maps/extra.bord "c0=35:$work/cell0.bin" "c1=35:$work/cell1.bin" \
    "c2=35:$work/cell2.bin" >/dev/null
# The how-to-play screen shows the extra textures and leads to the two map packages.
widget_section() {  # name type rectangle(l r t b) key value
    printf '\n[%s]\nType = "%s"\nLeft = %s\nRight = %s\nTop = %s\nBottom = %s\n%s = "%s"\n' "$@"
}
{
    widget_section tga Image 0.02 0.08 0.02 0.08 texture Stone.tga
    widget_section txf Image 0.1 0.16 0.02 0.08 texture Rock.txf
    widget_section txpBmp Image 0.18 0.24 0.02 0.08 texture 'pics.txp>Hex'
    widget_section txpTxf Image 0.26 0.32 0.02 0.08 texture 'pics.txp>Rock'
    widget_section smp Image 0.34 0.4 0.02 0.08 texture 'cells.smp>Hex'
    widget_section menuPackage NewMapButton 0.02 0.1 0.6 0.66 mapToLoad extra.menu
    printf 'useController = 0\n'
    widget_section boardPackage NewMapButton 0.12 0.2 0.6 0.66 mapToLoad extra.bord
    printf 'useController = 0\n'
} >>Menus/howToPlay.ini

# How a file is broken; each works on the file $f.
half() { head -c "$(($(stat -c %s "$f") / 2))" "$f" >"$f.part" && mv "$f.part" "$f"; }
empty() { : >"$f"; }
garbage() {  # the same size, bytes from a fixed seed
    "$python" -c "import random, sys; random.seed(7); n = int(sys.argv[1]);
sys.stdout.buffer.write(bytes(random.randrange(256) for _ in range(n)))" \
        "$(stat -c %s "$f")" >"$f.part" && mv "$f.part" "$f"
}
# Opens but cannot be read (as root, permissions stop nothing).
folder() { rm -f "$f" && mkdir "$f"; }
# Blocks whoever opens it for reading until a writer comes: none ever does.
fifo() { rm -f "$f" && mkfifo "$f"; }
# Overwrites bytes at an offset: poke OFFSET PYTHON-BYTES.
poke() { bytes_of "$2" | dd of="$f" bs=1 seek="$1" conv=notrunc status=none; }
# Sets every "KEY = ..." line of an ini file to a new value: set_key KEY VALUE.
set_key() { sed -i "s/^$1 *=.*/$1 = \"$2\"/I" "$f"; }

# The screens to walk: clicks on the sections of menu files, "menu:section".
declare -A routes=(
    [start]=""
    [options]="mainMenu.ini:settings options.ini:back"
    [newGame]="mainMenu.ini:newGame newGame.ini:back"
    [small]="mainMenu.ini:newGame newGame.ini:small newGameSmall.ini:start hud.ini:menu"
    [standard]="mainMenu.ini:newGame newGame.ini:standard hud.ini:menu"
    [howTo]="mainMenu.ini:howToPlay howToPlay.ini:back"
    [menuPackage]="mainMenu.ini:howToPlay howToPlay.ini:menuPackage"
    [boardPackage]="mainMenu.ini:howToPlay howToPlay.ini:boardPackage"
)

# file (from the data folder) | how it is broken | route | what debug.log must name ("-": the
# good folder, whose walks leave debug.log empty)
cases() {
    cat <<'EOF'
- | true | howTo | -
- | true | menuPackage | -
- | true | boardPackage | -
game/settings.ini | garbage | options | settings.ini
game/settings.ini | fifo | options | settings.ini
game/settings.ini | folder | options | settings.ini
game/settings.ini | set_key width -5; set_key height 2147483647; set_key MasterVolume -999999; set_key blackTiles 1e308 | options | settings.ini
game/players.ini | garbage | newGame | players.ini
game/players.ini | folder | small | players.ini
game/players.ini | set_key players -3; set_key difficulty 2147483647; printf '[1]\nAI Controlled = 1\ndifficulty = 9999\n' >>"$f" | small | players.ini
game/Menus/controller.ini | half | start | controller.ini
game/Menus/mainMenu.ini | garbage | start | mainMenu.ini
game/Menus/options.ini | folder | options | options.ini
game/Menus/newGame.ini | fifo | newGame | newGame.ini
game/Menus/hud.ini | garbage | small | hud.ini
game/Menus/scores.ini | garbage | howTo | scores.ini
game/Menus/newGameSmall.ini | set_key MaxItems 2147483647; set_key itemHeight 0; set_key mapToLoad 'Boards\\nowhere.bord' | small | nowhere.bord
game/Menus/howToPlay.ini | empty | howTo | howToPlay.ini
game/map.ini | set_key NumPlayers 5 | start | map.ini
game/map.ini | garbage | start | map.ini
game/Boards/small.ini | half | small | small.ini
game/Boards/small.ini | set_key NumPlayers 1000000; set_key Player -1 | small | small.ini
game/Boards/standard.ini | folder | standard | standard.ini
Textures/Hex.bmp | half | start | Hex.bmp
Textures/Hex.bmp | poke 18 "struct.pack('<ii', 0x7fffffff, 0x7fffffff)" | start | Hex.bmp
Textures/Hex.bmp | folder | start | Hex.bmp
Textures/Spark.bmp | garbage | start | Spark.bmp
Textures/Spark_alpha.bmp | poke 18 "struct.pack('<ii', 3, 3)" | start | Spark_alpha.bmp
Textures/Stone.tga | poke 12 "struct.pack('<HH', 65535, 65535)" | howTo | Stone.tga
Textures/Stone.tga | fifo | howTo | Stone.tga
Textures/Rock.txf | poke 16 "struct.pack('<II', 0xffffffff, 0xffffffff)" | howTo | Rock.txf
Meshes/Hex.smf | poke 6 "struct.pack('<HHHH', 65535, 65535, 65535, 65535)" | start | Hex.smf
Meshes/Hex.smf | fifo | start | Hex.smf
Audio/click.wav | poke 40 "struct.pack('<I', 0xffffffff)" | start | click.wav
Audio/click.wav | half | start | click.wav
Audio/click.wav | fifo | start | click.wav
Textures/pics.txp | poke 6 "struct.pack('<H', 65535)" | howTo | pics.txp
Textures/pics.txp | poke 12 "struct.pack('<I', 0xfffffff0)" | howTo | pics.txp
Textures/pics.txp | half | howTo | pics.txp
Meshes/cells.smp | garbage | howTo | cells.smp
Meshes/cells.smp | poke 25 "struct.pack('<HHHH', 65535, 0, 65535, 65535)" | howTo | cells.smp
game/Menus/extra.menu | poke 6 "struct.pack('<H', 1000)" | menuPackage | extra.menu
Maps/extra.bord | poke 34 "struct.pack('<I', 999)" | boardPackage | extra.bord
Maps/extra.bord | folder | boardPackage | extra.bord
EOF
}

run_case() {
    local file=$1 how=$2 route=$3 name=$4 step
    rm -rf "$work/run"
    cp -r "$good" "$work/run"
    (cd "$work" && f="$work/run/$file" && eval "$how")
    cd "$work/run/game"
    : >"$work/out.txt"
    start_game
    if [ -z "$window" ]; then
        problem "no window within 30 s"
    else
        # By the last click the background game on the tiny board is over: its score screen is
        # read.
        sleep 0.6
        for step in ${routes[$route]}; do
            click_widget "$good/game/Menus/${step%%:*}" "${step#*:}" "" 0.6 || break
        done
        sleep 0.6
        window=$(find_game_window "$pid")
        [ -z "$window" ] || "$closer" "$window"
    fi
    end_game || problem "still running 10 s after its window was closed"
    [ "$status" -eq 0 ] || problem "exit code $status"
    if grep -E -m 3 'Sanitizer|runtime error' "$work/out.txt" | grep -v -e 'Suppressions used' \
        -e '^ *count *bytes template' | grep -q .; then
        problem "sanitizer report:"
        cat "$work/out.txt"
    fi
    if [ "$name" = - ]; then
        [ ! -s debug.log ] || { problem "debug.log is not empty:" && head -c 2000 debug.log; }
    elif ! grep -q -F -- "$name" debug.log 2>/dev/null; then
        problem "debug.log does not name $name:"
        head -c 2000 debug.log 2>/dev/null || echo "(no debug.log)"
    fi
    [ -z "${HOSTILE_SHOW_LOG:-}" ] || { echo "--- $case_label" && head -c 3000 debug.log; echo; }
}

count=0
while IFS='|' read -r file how route name; do
    file=$(echo $file) route=$(echo $route) name=$(echo $name)
    how=$(echo "$how" | sed 's/^ *//; s/ *$//')
    case_label="$file ($how)"
    [[ -z "$only" || "$case_label" == *$only* ]] || continue
    count=$((count + 1))
    before=$failures
    run_case "$file" "$how" "$route" "$name"
    [ "$failures" != "$before" ] || echo "ok: $case_label"
done < <(cases)
[ "$failures" = 0 ] || { echo "hostile data: $failures of $count cases failed (${SECONDS} s)"; exit 1; }
echo "hostile data: all $count cases passed (${SECONDS} s)"
