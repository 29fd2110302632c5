#!/usr/bin/env bash
# Checks that every file includes only from its own floor or below: platform, resources, render,
# game, menus, engine, tools (bench counts as tools; tests may include anything). Prints each
# include that reaches up, and exits 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
floors=(platform resources render game menus engine tools)
floor_of() {
    local i
    for i in "${!floors[@]}"; do
        [ "${floors[$i]}" = "$1" ] && echo "$i" && return
    done
    [ "$1" = bench ] && echo 6 && return
    echo -1
}
status=0
while read -r file; do
    own=$(floor_of "${file%%/*}")
    [ "$own" -lt 0 ] && continue
    while IFS=: read -r line include; do
        target=$(floor_of "${include%%/*}")
        if [ "$target" -gt "$own" ]; then
            echo "$file:$line includes $include"
            status=1
        fi
    done < <(grep -n '^#include "' "$file" | sed -E 's/^([0-9]+):#include "([^"]+)".*/\1:\2/')
done < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h')
[ $status -eq 0 ] && echo "every include stays on its floor or below"
exit $status
