# Shared by the end-to-end tests, which drive the real game through the X server.

# Prints the id of the game's window once it is there (up to 10 s); nothing if it never comes.
# With a process id as $1, gives up as soon as that process has ended.
find_game_window() {
    local window=""
    for _ in $(seq 1 100); do
        window=$(xdotool search --name '^Tintfall$' 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        if [ -n "${1:-}" ] && ! kill -0 "$1" 2>/dev/null; then
            break
        fi
        sleep 0.1
    done
    printf '%s' "$window"
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

e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

near() {  # near "r,g,b" r g b: every channel within 12
    awk -v got="$1" -v r="$2" -v g="$3" -v b="$4" 'BEGIN {
        split(got, c, ","); d1 = c[1] - r; d2 = c[2] - g; d3 = c[3] - b;
        exit !(d1 * d1 < 144 && d2 * d2 < 144 && d3 * d3 < 144) }'
}

# The system's python3 (tools/setup.sh installs it): a version manager's shim first on the PATH
# would add a good part of a second to each call.
python=/usr/bin/python3
[ -x "$python" ] || python=python3

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
    width=$(xdotool getwindowgeometry "$window" 2>/dev/null |
        awk '/Geometry/ { split($2, s, "x"); print s[1] }')
    [ -n "$width" ] || return 1
    read -r x y _ <<<"$place"
    xdotool mousemove --window "$window" "$(to_pixels "$x")" "$(to_pixels "$y")" click 1 \
        2>/dev/null || return 1
    sleep "${4:-0.4}"
}
