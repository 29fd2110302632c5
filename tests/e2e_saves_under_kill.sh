#!/usr/bin/env bash
# Saves that survive a kill: the real game leaves the settings and new-game screens over and over,
# writing settings.ini and players.ini with other choices each round, and is killed (SIGKILL) at
# a random moment, half of the times just as it writes a file. After every kill each file must
# be whole, the old one or the new one, never a part or a mix, and the game must start with it:
# the window at the stored size. At the end, leaving the screens untouched writes back what was
# read, and no temporary file is left.
# Usage: e2e_saves_under_kill.sh <tintfall> <close_window> <data folder> [kills, 100]
set -euo pipefail
. "$(dirname "$0")/e2e_lib.sh"
game=$1
closer=$2
data=$3
kills=${4:-100}
fresh_data
rm -f settings.ini players.ini debug.log
# A tiny background board: its game is soon over and leaves the processors to the menus.
printf '[General]\nNumRows = 1\nNumCols = 2\nNumPlayers = 2\n[a]\nType = PlayerStart\nPlayer = 0\n[b]\nType = PlayerStart\nPlayer = 1\n' >map.ini

start() {
    start_game
    [ -n "$window" ] || fail "no window after $round kills: $(cat "$work/out.txt")"
}
# Clicks "screen.ini section [value]" if the game still runs; the last word is the wait.
press() { kill -0 "$pid" 2>/dev/null && click_widget "Menus/$1" "$2" "${3:-}" "${4:-0.1}"; }
# The two sets of choices, one per line: screen, list, value.
choices=("options.ini lstResolution 800@600;options.ini lstVolume 64;options.ini lstBlackTiles 0.1"
    "options.ini lstResolution 1024@768;options.ini lstVolume 25;options.ini lstBlackTiles 0.35")
player_choices=("newGame.ini lstPlayers 2;newGame.ini lstFirstPlayer 0"
    "newGame.ini lstPlayers 3;newGame.ini lstFirstPlayer 1")
# Sets choice $1 (0 or 1) on both screens, leaving each (which saves its file); the new-game
# screen first with choice 1, so that either file can be the first one written.
choose() {
    local item items settings players
    settings="mainMenu.ini settings - 0.2;${choices[$1]};options.ini back - 0.3"
    players="mainMenu.ini newGame - 0.2;${player_choices[$1]};newGame.ini back - 0.2"
    if [ "$1" = 0 ]; then
        IFS=';' read -ra items <<<"$settings;$players"
    else
        IFS=';' read -ra items <<<"$players;$settings"
    fi
    for item in "${items[@]}"; do
        read -r screen section value wait <<<"$item"
        value=${value//@/ }
        press "$screen" "$section" "${value#-}" "${wait:-0.05}" || return 0
    done
}
stored() { sed -n "s/^$1 = \"\(.*\)\"$/\1/p" settings.ini; }

# The first round is not killed: the files it writes are the pattern every later file follows,
# with only the chosen values changed.
round=0
start
sleep 0.5
choose 0
end_game close && [ "$status" = 0 ] || fail "exit code $status of the first round"
[ "$(stored width)" = 800 ] || fail "the first round did not save: $(cat settings.ini)"
cp settings.ini "$work/settings.ini"
cp players.ini "$work/players.ini"

# Each file line for line as in the pattern, every value one a list offers (a click that comes
# before its screen may pick another row): a file cut short or mixed from two saves fails.
check_files() {
    "$python" - "$work" <<'EOF' || fail "after $round kills: $(cat "$work/check.txt")"
import re, sys
problems = []
for name in ("settings.ini", "players.ini"):
    lines = open(f"{sys.argv[1]}/{name}").read().split("\n")
    pattern = "\n".join(re.escape(line.split('"')[0]) + r'"[0-9.]+"' if '"' in line
                        else re.escape(line) for line in lines)
    text = open(name, "rb").read().decode("latin-1")
    if not re.fullmatch(pattern, text):
        problems.append(f"{name}: {text!r}")
open(f"{sys.argv[1]}/check.txt", "w").write("\n".join(problems))
sys.exit(1 if problems else 0)
EOF
}

# After a random time or, half of the times, as soon as a file is being written (its temporary
# file is there) or has just been: prints which.
killer() {
    "$python" - "$pid" "$1" <<'EOF'
import os, random, signal, sys, time
random.seed(int(sys.argv[2]))
watch = random.random() < 0.5
deadline = time.monotonic() + (3.0 if watch else random.uniform(0.1, 1.6))
def files():
    return [(os.path.exists(n + ".new"), os.stat(n).st_mtime_ns) for n in ("settings.ini", "players.ini")]
before, seen = files(), "random"
while time.monotonic() < deadline:
    if not watch:
        time.sleep(0.01)
    elif files() != before:
        seen = "writing" if any(new for new, _ in files()) else "written"
        break
os.kill(int(sys.argv[1]), signal.SIGKILL)
print(seen)
EOF
}

writing=0 written=0 leftovers=0
for round in $(seq 1 "$kills"); do
    # The shell's word on each killed game goes to a file, not between the test's lines.
    exec 3>&2 2>>"$work/shell.txt"
    start
    size=$(window_size)
    [ "$size" = "$(stored width)x$(stored height)" ] ||
        fail "round $round: a $size window with $(tr '\n' ' ' <settings.ini)"
    killer $((round * 7919)) >"$work/killer.txt" &
    killer_pid=$!
    sleep 0.1
    choose $((round % 2))
    wait "$killer_pid"
    status=0
    wait "$pid" || status=$?
    pid=""
    exec 2>&3 3>&-
    [ "$status" = 137 ] || fail "round $round: the game ended with $status before the kill"
    case $(cat "$work/killer.txt") in
        writing) writing=$((writing + 1)) ;;
        written) written=$((written + 1)) ;;
    esac
    ! ls ./*.new >/dev/null 2>&1 || leftovers=$((leftovers + 1))
    check_files
done
echo "ok: $kills kills ($writing while a file was being written, $written just after," \
    "a temporary file there after $leftovers): every file whole"

# One more round with the screens left untouched: the same files again, no temporary left.
cp settings.ini "$work/settings.ini"
cp players.ini "$work/players.ini"
start
sleep 0.5
for item in "mainMenu.ini settings" "options.ini back" "mainMenu.ini newGame" "newGame.ini back"; do
    press $item "" 0.4
done
end_game close && [ "$status" = 0 ] || fail "exit code $status of the last round"
cmp settings.ini "$work/settings.ini" && cmp players.ini "$work/players.ini" ||
    fail "the files changed: $(cat settings.ini players.ini)"
! ls ./*.new 2>/dev/null || fail "temporary files left after a save"
[ ! -s debug.log ] || fail "debug.log: $(cat debug.log)"
echo "saves under kill: all passed (${SECONDS} s)"
