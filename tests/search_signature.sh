#!/usr/bin/env bash
# The search still makes the same choices: the quick benchmark's signature is the recorded one.
# Usage: search_signature.sh <tintfall-sim binary> <board folder> <signature file>
set -euo pipefail
recorded=$(awk '$1 == "quick" {print $2}' "$3")
output=$("$1" bench --quick --boards "$2")
actual=$(awk '$1 == "signature:" {print $2}' <<< "$output")
[ "$actual" = "$recorded" ] || { printf '%s\nFAIL: search signature %s, recorded %s\n' "$output" "$actual" "$recorded"; exit 1; }
echo "search signature $actual as recorded"
