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
