#!/usr/bin/env bash
# The data check passes on the game's own data, and names each broken file in a spoilt copy and
# each layout fault in a copy with one menu file moved about. It needs an X display (the stroke
# font's widths come from freeglut) and fails plainly without one.
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
echo "ok: a spoilt data folder is reported file by file"

# Layout faults, one per case: menu file | sed script | what the check must say.
while IFS='|' read -r file script expected; do
    rm -rf "$work/layout"
    cp -r "$data" "$work/layout"
    sed -i "$script" "$work/layout/game/Menus/$file"
    if "$check" "$work/layout" > "$work/layout.txt"; then
        fail "$file after '$script' checked clean"
    fi
    grep -q "Menus\\\\$file: $expected" "$work/layout.txt" ||
        { cat "$work/layout.txt"; fail "$file after '$script': no report matching: $expected"; }
done <<'CASES'
howToPlay.ini|/^\[line6\]/,/^\[/ s/^Text = .*/Text = "When every cell is taken or black, the most cells win."/|text 'When every cell.*' of \[line6\] is drawn at .*, outside its box
scores.ini|/^\[mainMenu\]/,/^\[/ s/^Bottom = .*/Bottom = 0.6/|\[mainMenu\] at .* is not all on a 1366 x 768 screen
options.ini|/^\[lstVolume\]/,/^\[/ s/^Bottom = .*/Bottom = 0.5/|list \[lstVolume\] item 10 '100 %' is not drawn
options.ini|/^\[lstBlackTiles\]/,/^\[/ s/^Right = .*/Right = 0.7/|list \[lstBlackTiles\] item 4 'One in eight' is cut to 'One i'
newGame.ini|/^\[large\]/,/^\[/ s/^Left = .*/Left = 0.49/|\[standard\] and \[large\] overlap
mainMenu.ini|/^\[background\]/,/^\[/ s/^Right = .*/Right = 0.95/|\[background\] is drawn over the HUD's \[panel1\]
hud.ini|/^\[score3\]/,/^\[/ s/^Right = .*/Right = 0.97/|text '[0-9][0-9][0-9]' of \[score3\]
CASES
echo "ok: every kind of layout fault is named"

if env -u DISPLAY "$check" "$data" > "$work/nodisplay.txt" 2>&1; then
    fail "the check passed without an X display"
fi
grep -q "no X display" "$work/nodisplay.txt" || { cat "$work/nodisplay.txt"; fail "no clear message without an X display"; }
echo "ok: without an X display the check fails and says why"

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
