#!/usr/bin/env bash
# Runs one libFuzzer harness for a bounded time, starting from its committed seed corpus.
# New inputs go to a scratch copy, so the committed corpus only changes by hand.
# Usage: run_fuzzer.sh <harness> <seed corpus folder> <seconds>
set -euo pipefail
harness=$(realpath "$1")
seeds=$2
seconds=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/play"
cp -r "$seeds"/. "$work/corpus/" 2>/dev/null || true
# Some readers write files under names their input chooses: they land in a folder of their own.
cd "$work/play"
# One process, bounded input size and memory: a crash, leak or sanitizer report fails the test.
"$harness" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=1 "$work/corpus"
