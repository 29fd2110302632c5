#!/usr/bin/env bash
# The data check passes on the game's own data, and names each broken file in a spoilt copy.
# Usage: data_check.sh <tintfall-check binary> <data folder>
set -euo pipefail
check=$1
data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$check" "$data" > "$work/clean.txt" || { cat "$work/clean.txt"; fail "the game's own data does not check clean"; }
echo "ok: the game's data checks clean"

cp -r "$data" "$work/data"
menus="$work/data/game/Menus"
printf '\n[typo]\nType = Buton\n' >> "$menus/howToPlay.ini"
sed -i 's/mapToLoad = "Boards\\small.ini"/mapToLoad = "Boards\\tiny.ini"/' "$menus/newGameSmall.ini"
sed -i 's/value0 = "2"/value0 = "two"/' "$menus/newGame.ini"
head -c 100 "$work/data/Textures/Spark.bmp" > "$work/spark.bmp" && mv "$work/spark.bmp" "$work/data/Textures/Spark.bmp"
printf '[General]\nNumRows = 0\n' > "$work/data/game/Boards/broken.ini"

if "$check" "$work/data" > "$work/broken.txt"; then
    cat "$work/broken.txt"
    fail "a spoilt data folder checked clean"
fi
for expected in 'Menus\\howToPlay.ini: section \[typo\] has Type' \
                "Menus\\\\newGameSmall.ini: button \\[start\\] leads to 'Boards\\\\tiny.ini'" \
                "Menus\\\\newGame.ini: list lstPlayers item 0 has value 'two'" \
                'Textures\\Spark.bmp' \
                'Boards\\broken.ini: debug log: GameBoard: invalid board size'; do
    grep -q "$expected" "$work/broken.txt" || { cat "$work/broken.txt"; fail "no report matching: $expected"; }
done

# What the check cannot check fails too; a board with cells nobody can reach only warns.
# Each case: how a fresh copy of the data is spoilt | exit status | a line the check must print.
island() {  # one row, cut by holes into three islands left of the two start cells
    printf '[General]\nNumRows = 1\nNumCols = 17\nNumPlayers = 2\n'
    for c in 0 1 4 5 6 8 9 11 12 13 14 15 16; do
        printf '[c%s]\nRow = 0\nCol = %s\n' "$c" "$c"
        case $c in 11) printf 'Type = PlayerStart\nPlayer = 0\n' ;; 16) printf 'Type = PlayerStart\nPlayer = 1\n' ;; esac
    done
}
while IFS='|' read -r spoil status expected; do
    rm -rf "$work/case" && cp -r "$data" "$work/case"
    (cd "$work/case" && eval "$spoil")
    actual=0
    "$check" "$work/case" > "$work/case.txt" 2>&1 || actual=$?
    [ "$actual" = "$status" ] || { cat "$work/case.txt"; fail "$spoil: exit status $actual, not $status"; }
    grep -q -- "$expected" "$work/case.txt" || { cat "$work/case.txt"; fail "$spoil: no line matching: $expected"; }
    echo "ok: $spoil"
done <<'CASES'
rm -r game|2|^no game folder in
rm -r game/Menus|1|^error Menus: the game needs this folder
rm game/Menus/controller.ini|1|^error Menus\\controller.ini: the game needs this file
rm game/Menus/scores.ini|1|^error Menus\\scores.ini: the game needs this file
rm -r Meshes|1|^error \.\.\\Meshes: the game needs this folder
rm -r Audio && echo not a folder > Audio|1|^error \.\.\\Audio: cannot read the folder
rm game/map.ini|1|^error map.ini: the board does not exist
printf '[General]\nNumRows = 1\nNumCols = 2\nNumPlayers = 1\n[a]\n[b]\n' > game/Boards/none.ini|1|none.ini: debug log: player slot 0 has no start cell
island > game/Boards/island.ini|0|^WARNING Boards\\island.ini: 7 cells no start cell can reach
CASES
echo "data check: all passed"
