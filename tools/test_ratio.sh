#!/usr/bin/env bash
# Lines of tests against lines of code: non-blank lines that are not comment-only, in tracked
# C++ and shell files; tests are everything under tests/, code everything else outside data/.
# Prints "code N, tests M, ratio R"; exits 1 when R is above the limit (default 0.35).
set -u
limit=${1:-0.35}
cd "$(dirname "$0")/.." || exit 2
count() {
    git ls-files -- "$@" | grep -E '\.(cpp|cc|h|hpp|sh)$' | while read -r f; do
        [ -f "$f" ] && cat "$f"
        echo
    done | grep -c -v -E '^\s*(//.*|#([ !].*)?)?$'
}
tests=$(count 'tests/*')
code=$(count ':!tests/*' ':!data/*')
ratio=$(awk -v t="$tests" -v c="$code" 'BEGIN { if (c == 0) print "inf"; else printf "%.2f", t / c }')
echo "code $code, tests $tests, ratio $ratio"
awk -v r="$ratio" -v m="$limit" 'BEGIN { exit (r == "inf" || r > m) }'
