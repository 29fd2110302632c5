#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it from its working directory, data/game.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target tintfall

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    echo "Tintfall needs a display to open its window on, and there is none here"
    echo "(DISPLAY is '${DISPLAY:-}'). Run this on a desktop, or under a virtual X server:"
    echo "  xvfb-run -a -s '-screen 0 1920x1200x24 -noreset' tools/play.sh"
    exit 1
fi

cd data/game
SDL_VIDEODRIVER=x11 exec ../../build/tintfall
