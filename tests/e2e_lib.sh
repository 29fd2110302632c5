# Shared by the end-to-end tests, which drive the real game ($game, closed with $closer) through
# the X server, each in a scratch folder $work removed at the end.
e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; chmod -R u+w "$work"; rm -rf "$work"' EXIT
# A fault the test cannot go on after; the files named in $fail_shows are printed with it.
fail_shows="debug.log $work/out.txt"
fail() {
    echo "FAIL: $*"
    cat $fail_shows 2>/dev/null || true
    exit 1
}

# The system's python3 (tools/setup.sh installs it): a version manager's shim first on the PATH
# would add a good part of a second to each call.
python=/usr/bin/python3
[ -x "$python" ] || python=python3

# A fresh copy of the data folder $data in $work/data, and its game folder the current one.
fresh_data() {
    rm -rf "$work/data"
    cp -r "$data" "$work/data"
    cd "$work/data/game"
}

# Prints the id of the game's window once it is there (up to 30 s: a busy machine may take a while
# to open it); nothing if it never comes. With a process id as $1, gives up as soon as that
# process has ended.
find_game_window() {
    local window=""
    for _ in $(seq 1 300); do
        window=$(xdotool search --name '^Tintfall$' 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        if [ -n "${1:-}" ] && ! kill -0 "$1" 2>/dev/null; then
            break
        fi
        sleep 0.1
    done
    printf '%s' "$window"
}

# Starts the game in the current folder (the arguments: more environment); sets pid and window
# (empty when no window came).
start_game() {
    env SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$@" "$game" >>"$work/out.txt" 2>&1 &
    pid=$!
    window=$(find_game_window "$pid")
}

# Waits up to $1 tenths of a second (100) for the game to end and sets status to its exit code;
# false, the game killed, when it does not end. With "close" first, closes its window the way a
# window manager's close button does.
end_game() {
    if [ "${1:-}" = close ]; then
        "$closer" "$window"
        shift
    fi
    for _ in $(seq 1 "${1:-100}"); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    local running=0
    if kill -0 "$pid" 2>/dev/null; then
        kill -9 "$pid"
        running=1
    fi
    status=0
    wait "$pid" || status=$?
    pid=""
    [ "$running" = 0 ]
}

# Starts the game like start_game and fails without a window; then lets it draw a few frames.
open_game() {
    start_game "$@"
    [ -n "$window" ] || fail "no window appeared"
    sleep 1
}

# Closes the game's window and fails unless the game then ends with exit code 0.
close_game() {
    "$closer" "$window"
    wait "$pid" || fail "the game ended with $?"
    pid=""
}

window_size() {
    xdotool getwindowgeometry "$window" 2>/dev/null | awk '/Geometry/ { print $2 }'
}

# The colour of pixel (x, y) of a picture, as "r,g,b".
pixel_in() {
    convert "$1" -crop "1x1+$2+$3" -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info:
}

# Screen units (fractions of the window's width, $width pixels) to whole pixels.
to_pixels() {
    awk -v u="$1" -v w="$width" 'BEGIN { printf "%d", u * w }'
}

# Clicks at (x, y) in screen units in $window, then waits $3 seconds (0.4 when not given).
click() {
    xdotool mousemove --window "$window" "$(to_pixels "$1")" "$(to_pixels "$2")" click 1
    sleep "${3:-0.4}"
}

near() {  # near "r,g,b" r g b [tolerance]: every channel within the tolerance (11)
    awk -v got="$1" -v r="$2" -v g="$3" -v b="$4" -v t="${5:-11}" 'BEGIN {
        split(got, c, ","); d1 = c[1] - r; d2 = c[2] - g; d3 = c[3] - b;
        exit !(d1 * d1 <= t * t && d2 * d2 <= t * t && d3 * d3 <= t * t) }'
}

# Clicks the middle of the widget of section $2 of menu file $1 (the row holding value $3 of a
# list, when not empty) in the game's window as it is now, then waits $4 seconds (0.4 when not
# given). False when there is no window. Places are looked up once.
declare -A widget_places=()
click_widget() {
    local place=${widget_places["$1 $2 ${3:-}"]:-} x y
    if [ -z "$place" ]; then
        place=$("$python" "$e2e_dir/e2e_look.py" where "$1" "$2" ${3:+"$3"}) || return 1
        widget_places["$1 $2 ${3:-}"]=$place
    fi
    window=$(xdotool search --name '^Tintfall$' 2>/dev/null | head -n 1)
    width=$(window_size | cut -dx -f1)
    [ -n "$width" ] || return 1
    read -r x y _ <<<"$place"
    xdotool mousemove --window "$window" "$(to_pixels "$x")" "$(to_pixels "$y")" click 1 \
        2>/dev/null || return 1
    sleep "${4:-0.4}"
}
