#!/usr/bin/env bash
# The data check passes on the game's own data, and names each broken file and each layout fault
# in a copy of the data spoilt in one way at a time. It needs an X display (the stroke font's
# widths come from freeglut) and fails plainly without one.
# Usage: data_check.sh <tintfall-check binary> <data folder>
set -euo pipefail
check=$1
data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$check" "$data" > "$work/clean.txt" || { cat "$work/clean.txt"; fail "the game's own data does not check clean"; }
echo "ok: the game's data checks clean"

if env -u DISPLAY "$check" "$data" > "$work/nodisplay.txt" 2>&1; then
    fail "the check passed without an X display"
fi
grep -q "no X display" "$work/nodisplay.txt" || { cat "$work/nodisplay.txt"; fail "no clear message without an X display"; }
echo "ok: without an X display the check fails and says why"

island() {  # one row, cut by holes into three islands left of the two start cells
    printf '[General]\nNumRows = 1\nNumCols = 17\nNumPlayers = 2\n'
    for c in 0 1 4 5 6 8 9 11 12 13 14 15 16; do
        printf '[c%s]\nRow = 0\nCol = %s\n' "$c" "$c"
        case $c in 11) printf 'Type = PlayerStart\nPlayer = 0\n' ;; 16) printf 'Type = PlayerStart\nPlayer = 1\n' ;; esac
    done
}
# Each case: how a fresh copy of the data is spoilt | exit status | a line the check must print.
# Broken files, layout faults and what the check cannot check fail; a board with cells nobody
# can reach only warns.
while IFS='|' read -r -u 3 spoil status expected; do
    rm -rf "$work/case" && cp -r "$data" "$work/case"
    (cd "$work/case/game" && eval "$spoil")
    actual=0
    "$check" "$work/case" > "$work/case.txt" 2>&1 || actual=$?
    [ "$actual" = "$status" ] || { cat "$work/case.txt"; fail "$spoil: exit status $actual, not $status"; }
    grep -q -- "$expected" "$work/case.txt" || { cat "$work/case.txt"; fail "$spoil: no line matching: $expected"; }
    echo "ok: $spoil"
done 3<<'CASES'
printf '\n[typo]\nType = Buton\n' >> Menus/howToPlay.ini|1|Menus\\howToPlay.ini: section \[typo\] has Type
sed -i 's/mapToLoad = "Boards\\small.ini"/mapToLoad = "Boards\\tiny.ini"/' Menus/newGameSmall.ini|1|Menus\\newGameSmall.ini: button \[start\] leads to 'Boards\\tiny.ini'
sed -i 's/value0 = "2"/value0 = "two"/' Menus/newGame.ini|1|Menus\\newGame.ini: list lstPlayers item 0 has value 'two'
head -c 100 ../Textures/Spark.bmp > spark.bmp && mv spark.bmp ../Textures/Spark.bmp|1|Textures\\Spark.bmp
printf '[General]\nNumRows = 0\n' > Boards/broken.ini|1|Boards\\broken.ini: debug log: GameBoard: invalid board size
sed -i '/^\[line6\]/,/^\[/ s/^Text = .*/Text = "When every cell is taken or black, the most cells win."/' Menus/howToPlay.ini|1|Menus\\howToPlay.ini: text 'When every cell.*' of \[line6\] is drawn at .*, outside its box
sed -i '/^\[mainMenu\]/,/^\[/ s/^Bottom = .*/Bottom = 0.6/' Menus/scores.ini|1|Menus\\scores.ini: \[mainMenu\] at .* is not all on a 1366 x 768 screen
sed -i '/^\[lstVolume\]/,/^\[/ s/^Bottom = .*/Bottom = 0.5/' Menus/options.ini|1|Menus\\options.ini: list \[lstVolume\] item 10 '100 %' is not drawn
sed -i '/^\[lstBlackTiles\]/,/^\[/ s/^Right = .*/Right = 0.7/' Menus/options.ini|1|Menus\\options.ini: list \[lstBlackTiles\] item 4 'One in eight' is cut to 'One i'
sed -i '/^\[large\]/,/^\[/ s/^Left = .*/Left = 0.49/' Menus/newGame.ini|1|Menus\\newGame.ini: \[standard\] and \[large\] overlap
sed -i '/^\[background\]/,/^\[/ s/^Right = .*/Right = 0.95/' Menus/mainMenu.ini|1|Menus\\mainMenu.ini: \[background\] is drawn over the HUD's \[panel1\]
sed -i '/^\[score3\]/,/^\[/ s/^Right = .*/Right = 0.97/' Menus/hud.ini|1|Menus\\hud.ini: text '[0-9][0-9][0-9]' of \[score3\]
rm -r ../game|2|^no game folder in
rm -r Menus|1|^error Menus: the game needs this folder
rm Menus/controller.ini|1|^error Menus\\controller.ini: the game needs this file
rm Menus/scores.ini|1|^error Menus\\scores.ini: the game needs this file
rm -r ../Meshes|1|^error \.\.\\Meshes: the game needs this folder
rm -r ../Audio && echo not a folder > ../Audio|1|^error \.\.\\Audio: cannot read the folder
rm map.ini|1|^error map.ini: the board does not exist
printf '[General]\nNumRows = 1\nNumCols = 2\nNumPlayers = 1\n[a]\n[b]\n' > Boards/none.ini|1|none.ini: debug log: player slot 0 has no start cell
island > Boards/island.ini|0|^WARNING Boards\\island.ini: 7 cells no start cell can reach
CASES
echo "data check: all passed"
