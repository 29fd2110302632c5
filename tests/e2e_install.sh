#!/usr/bin/env bash
# The install, as a new player meets it: `cmake --install` into a fresh prefix gives the launcher,
# the simulator, a desktop entry naming the launcher and a 64 x 64 icon. The launcher, started
# from anywhere, opens the game, which copies its default settings into the player's folder
# (~/.config/tintfall), keeps its debug log and saved games there, replays them with the
# installed simulator, and writes nothing into the (read-only) prefix.
# Usage: e2e_install.sh <build folder> <close_window>
set -euo pipefail
. "$(dirname "$0")/e2e_lib.sh"
build=$1
closer=$2
prefix=$work/prefix
user=$work/home/.config/tintfall
fail_shows="$user/debug.log $work/out.txt"
game=$prefix/bin/tintfall
unset XDG_CONFIG_HOME

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
[ -x "$prefix/bin/tintfall" ] && [ -x "$prefix/bin/tintfall-sim" ] || fail "no launcher or simulator"
grep -qx "Exec=$prefix/bin/tintfall" "$prefix/share/applications/tintfall.desktop" ||
    fail "the desktop entry does not start the launcher"
grep -qx "Icon=tintfall" "$prefix/share/applications/tintfall.desktop" || fail "no icon named"
[ "$(identify -format '%m %wx%h' "$prefix/share/icons/hicolor/64x64/apps/tintfall.png")" = \
    "PNG 64x64" ] || fail "no 64 x 64 PNG icon"
chmod -R a-w "$prefix"
listing() { (cd "$prefix" && find . -printf '%p %s %T@\n' | sort); }
listing >"$work/before"

play() {  # starts the launcher from / as a user with only a home; $1: what to do meanwhile
    local here=$PWD
    cd /
    open_game HOME="$work/home"
    cd "$here"
    eval "$1"
    close_game
}

play ""
for file in settings.ini players.ini; do
    cmp "$user/$file" "$prefix/share/tintfall/data/game/$file" || fail "no default $file copied"
done
# Two computers; an unusable difficulty for slot 4 is named in the log.
printf '[General]\nplayers = "2"\n[1]\nAI Controlled = "1"\nDifficulty = "0"\n' >"$user/players.ini"
printf '[2]\nAI Controlled = "1"\nDifficulty = "0"\n[4]\nDifficulty = "-1"\n' >>"$user/players.ini"
cd "$prefix/share/tintfall/data/game"
play 'click_widget Menus/mainMenu.ini newGame "" 1; click_widget Menus/newGame.ini small "" 1
      click_widget Menus/newGameSmall.ini start "" 1
      for _ in $(seq 1 240); do ls "$user"/saves/*.txt >/dev/null 2>&1 && break; sleep 0.5; done'
grep -q "Unusable difficulty" "$user/debug.log" || fail "no debug log in the player's folder"
saved=$(ls "$user"/saves/game-*.txt) || fail "no saved game in the player's folder"
(cd / && "$prefix/bin/tintfall-sim" replay "$saved" | tail -n 1 | grep -q ranking) ||
    fail "the installed simulator cannot replay $saved"
listing | diff "$work/before" - || fail "the game wrote into the prefix"
echo "ok: installed, started from the launcher, files in $user only, the saved game replays"
