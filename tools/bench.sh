#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs them against a private Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/setup.sh
. tools/xvfb.sh
start_private_xvfb
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTINTFALL_TESTS=OFF >/dev/null
cmake --build build-release -j "$(nproc)" --target bench_batch
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy build-release/bench_batch "$@"
