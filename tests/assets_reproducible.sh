#!/usr/bin/env bash
# The committed art and sound are exactly what the asset generator makes from code.
# Usage: assets_reproducible.sh <tintfall-assets binary> <data folder>
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/Meshes" "$work/Textures" "$work/Audio"
"$1" "$work"
for file in Meshes/Hex.smf Textures/Hex.bmp Textures/Spark.bmp Textures/Spark_alpha.bmp Audio/click.wav; do
    cmp "$work/$file" "$2/$file" || { echo "FAIL: $file differs from the generator's output"; exit 1; }
done
echo "assets: all reproduced"
