#!/usr/bin/env bash
# The search still makes the same choices: the quick benchmark's signature is the recorded one.
# Usage: search_signature.sh <tintfall-sim binary> <board folder> <signature file>
set -euo pipefail
sim=$1
boards=$2
recorded=$(awk '$1 == "quick" {print $2}' "$3")
output=$("$sim" bench --quick --boards "$boards")
actual=$(printf '%s\n' "$output" | awk '$1 == "signature:" {print $2}')
if [ "$actual" != "$recorded" ]; then
    printf '%s\n' "$output"
    echo "FAIL: search signature $actual, recorded $recorded"
    exit 1
fi
echo "search signature $actual as recorded"
