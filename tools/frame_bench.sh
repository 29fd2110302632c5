#!/usr/bin/env bash
# The frame benchmark: runs the real game in its window (a private Xvfb, Mesa's software GL) and
# measures the interval between buffer swaps, on the main menu with its background board and on
# the large board played by four computer players. Prints, per case, the frame count, the mean
# interval, the share of intervals over 40 ms and the worst one, with the load average.
# Usage: tools/frame_bench.sh [FRAMES] [WIDTHxHEIGHT] [case...]   (3000 frames, 1024x768,
#        cases "menu" and "board", and on request "expert" (the large board with one Expert among
#        three Hard players); TINTFALL_BUILD names the build folder, default build-release)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
frames=${1:-3000}
size=${2:-1024x768}
shift $(($# > 2 ? 2 : $#))
cases=("$@")
[[ ${#cases[@]} -gt 0 ]] || cases=(menu board)

build=${TINTFALL_BUILD:-build-release}
if [[ -z ${TINTFALL_BUILD:-} ]]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTINTFALL_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target tintfall >/dev/null
game=$root/$build/tintfall

. tools/xvfb.sh
start_private_xvfb
export LIBGL_ALWAYS_SOFTWARE=1 SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"; kill "$TINTFALL_XVFB_PID" 2>/dev/null || true' EXIT

for name in "${cases[@]}"; do
    rm -rf "$scratch/data"
    cp -r data "$scratch/data"
    cd "$scratch/data/game"
    printf '[resolution]\nwidth = %s\nheight = %s\n' "${size%x*}" "${size#*x}" >settings.ini
    case $name in
    menu) ;;
    board | expert)
        # The first screen is the large board itself, four computer players at difficulty 3
        # (with "expert", the first of them Expert).
        cp Boards/large.ini Menus/controller.ini
        {
            printf '[General]\nplayers = 4\n'
            for slot in 1 2 3 4; do
                printf '[%s]\nAI Controlled = 1\nDifficulty = 3\n' "$slot"
                if [[ $name == expert && $slot == 1 ]]; then printf 'Expert = 1\n'; fi
            done
        } >players.ini
        ;;
    *)
        echo "unknown case $name (menu, board, expert)" >&2
        exit 2
        ;;
    esac
    result=$(TINTFALL_FRAME_BENCH=$frames "$game" | sed -n 's/^frame-bench: //p')
    echo "$name $size: ${result:-no figures (see $scratch/data/game/debug.log)}; load average $(cut -d' ' -f1-3 /proc/loadavg)"
    cd "$root"
done
