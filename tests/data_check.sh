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
echo "data check: all passed"
