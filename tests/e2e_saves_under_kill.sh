#!/usr/bin/env bash
# Saves that survive a kill: the real game leaves the settings and new-game screens over and over,
# writing settings.ini and players.ini with other choices each round, and is killed (SIGKILL) at
# a random moment, half of the times just as it writes a file. After every kill each file must
# be whole, holding one round's choices (or the first ones), and the game must start with it:
# the window at the stored size. At the end no temporary file may be left once the game has
# saved again, and leaving the screens untouched writes back what was read.
# Usage: e2e_saves_under_kill.sh <tintfall> <close_window> <data folder> [kills, 100]
set -euo pipefail
tests=$(cd "$(dirname "$0")" && pwd)
. "$tests/e2e_lib.sh"
game=$1
closer=$2
data=$3
kills=${4:-100}
work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
python=/usr/bin/python3
[ -x "$python" ] || python=python3

cp -r "$data" "$work/data"
cd "$work/data/game"
rm -f settings.ini players.ini debug.log
# A tiny background board: its game is soon over and leaves the processors to the menus.
printf '[General]\nNumRows = 1\nNumCols = 2\nNumPlayers = 2\n[a]\nType = PlayerStart\nPlayer = 0\n[b]\nType = PlayerStart\nPlayer = 1\n' >map.ini

# The two sets of choices, "list:value" on the settings and the new-game screens.
choices_settings=("lstResolution:800 600;lstVolume:64;lstBlackTiles:0.1"
    "lstResolution:1024 768;lstVolume:25;lstBlackTiles:0.35")
choices_players=("lstPlayers:2;lstFirstPlayer:0" "lstPlayers:3;lstFirstPlayer:1")

start() {
    SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$game" >>"$work/out.txt" 2>&1 &
    pid=$!
    window=$(find_game_window "$pid")
    [ -n "$window" ] || fail "no window after $round kills: $(cat "$work/out.txt")"
}
alive() { kill -0 "$pid" 2>/dev/null; }
# Clicks a section (a list's row with "section:value") of a menu file in the window as it is.
press() {
    local menu=$1 section=${2%%:*} value="" place
    [[ "$2" == *:* ]] && value=${2#*:}
    alive || return 1
    place=$("$python" "$tests/e2e_look.py" where "Menus/$menu" "$section" ${value:+"$value"})
    window=$(xdotool search --name '^Tintfall$' 2>/dev/null | head -n 1) || return 1
    width=$(xdotool getwindowgeometry "$window" 2>/dev/null |
        awk '/Geometry/ { split($2, s, "x"); print s[1] }') || return 1
    [ -n "$width" ] || return 1
    read -r x y _ <<<"$place"
    xdotool mousemove --window "$window" "$(to_pixels "$x")" "$(to_pixels "$y")" click 1 \
        2>/dev/null || return 1
    sleep "${3:-0.1}"
}
# One round of choices: set $1 (0 or 1) on both screens, leaving each.
choose() {
    local item items
    press mainMenu.ini settings 0.25 || return 0
    IFS=';' read -ra items <<<"${choices_settings[$1]}"
    for item in "${items[@]}"; do
        press options.ini "$item" || return 0
    done
    press options.ini back 0.4 || return 0
    press mainMenu.ini newGame 0.25 || return 0
    IFS=';' read -ra items <<<"${choices_players[$1]}"
    for item in "${items[@]}"; do
        press newGame.ini "$item" || return 0
    done
    press newGame.ini back 0.3 || return 0
}
# The value of a key in a written ini file.
stored() { sed -n "s/^$1 = \"\(.*\)\"$/\1/p" "$2" | head -n 1; }

# The first round is not killed: the files the game writes then are the pattern every later
# file must follow, with only the chosen values changed.
round=0
start
sleep 0.5
choose 0
"$closer" "$window"
wait "$pid" || fail "exit code $? of the first round"
pid=""
cp settings.ini "$work/settings.pattern"
cp players.ini "$work/players.pattern"
grep -q 'width = "800"' settings.ini || fail "the first round did not save: $(cat settings.ini)"

# Every line as in the pattern, values of the chosen keys from either set, the resolution whole.
check_files() {
    "$python" - "$work" <<'EOF' || fail "after $round kills: $(cat "$work/check.txt")"
import re, sys
work = sys.argv[1]
allowed = {"width": {"800", "1024"}, "height": {"600", "768"}, "MasterVolume": {"64", "25"},
           "blackTiles": {"0.1", "0.35"}, "players": {"2", "3"}, "randomFirstPlayer": {"0", "1"}}
problems = []
for name in ("settings.ini", "players.ini"):
    pattern = open(f"{work}/{name[:-4]}.pattern").read().split("\n")
    try:
        lines = open(name, "rb").read().decode().split("\n")
    except Exception as error:
        problems.append(f"{name}: {error}")
        continue
    values = {}
    if len(lines) != len(pattern):
        problems.append(f"{name} has {len(lines)} lines, not {len(pattern)}")
    for want, got in zip(pattern, lines):
        key = re.match(r'^(.*) = "(.*)"$', want)
        found = re.match(r'^(.*) = "(.*)"$', got)
        if key and found and key[1] == found[1] and key[1] in allowed:
            values[key[1]] = found[2]
            if found[2] not in allowed[key[1]]:
                problems.append(f"{name}: {got!r}")
        elif want != got:
            problems.append(f"{name}: {got!r} where {want!r} was written")
    if name == "settings.ini" and (values.get("width"), values.get("height")) not in (
            ("800", "600"), ("1024", "768"), (None, None)):
        problems.append(f"settings.ini: a torn window size {values}")
open(f"{work}/check.txt", "w").write("\n".join(problems))
sys.exit(1 if problems else 0)
EOF
}

# The killer: after a random time or, half of the times, as soon as a file is being written
# (its temporary file is there) or has just been.
killer() {
    "$python" - "$pid" "$1" <<'EOF'
import os, random, signal, sys, time
pid, seed = int(sys.argv[1]), int(sys.argv[2])
random.seed(seed)
watch = random.random() < 0.5
deadline = time.monotonic() + (4.0 if watch else random.uniform(0.1, 2.5))
names = ("settings.ini", "players.ini")
def mark():
    return [(os.path.exists(n + ".new"), os.stat(n).st_mtime_ns) for n in names]
before = mark()
seen = "random"
while time.monotonic() < deadline:
    if not watch:
        time.sleep(0.01)
        continue
    now = mark()
    if now != before:
        seen = "writing" if any(new for new, _ in now) else "written"
        break
os.kill(pid, signal.SIGKILL)
print(seen)
EOF
}

writing=0
written=0
leftovers=0
for round in $(seq 1 "$kills"); do
    # The shell's word on each killed game goes to a file, not between the test's lines.
    exec 3>&2 2>>"$work/shell.txt"
    start
    # The window opens at the size the file holds.
    size=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ { print $2 }')
    [ "$size" = "$(stored width settings.ini)x$(stored height settings.ini)" ] ||
        fail "round $round: a $size window with $(tr '\n' ' ' <settings.ini)"
    killer $((round * 7919)) >"$work/killer.txt" &
    killer_pid=$!
    sleep 0.2
    choose $((round % 2)) || true
    wait "$killer_pid"
    status=0
    { wait "$pid"; } 2>/dev/null || status=$?
    pid=""
    [ "$status" = 137 ] || fail "round $round: the game ended with $status before the kill"
    case $(cat "$work/killer.txt") in
        writing) writing=$((writing + 1)) ;;
        written) written=$((written + 1)) ;;
    esac
    exec 2>&3 3>&-
    ls ./*.new >/dev/null 2>&1 && leftovers=$((leftovers + 1))
    check_files
done
echo "ok: $kills kills ($writing while a file was being written, $written just after," \
    "a temporary file left after $leftovers): every file whole"

# One more round, the screens left untouched: what was read is written back as it was, and no
# temporary file is left.
cp settings.ini "$work/settings.before"
cp players.ini "$work/players.before"
start
sleep 0.5
press mainMenu.ini settings 0.3
press options.ini back 0.5
press mainMenu.ini newGame 0.3
press newGame.ini back 0.3
"$closer" "$window"
wait "$pid" || fail "exit code $? of the last round"
pid=""
cmp -s settings.ini "$work/settings.before" || fail "settings.ini changed: $(cat settings.ini)"
cmp -s players.ini "$work/players.before" || fail "players.ini changed: $(cat players.ini)"
if ls ./*.new 2>/dev/null; then fail "temporary files left after a save"; fi
[ ! -s debug.log ] || fail "debug.log: $(cat debug.log)"
echo "saves under kill: all passed (${SECONDS} s)"
