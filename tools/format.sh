#!/usr/bin/env bash
# Formats every C++ file of the project with the root .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files --cached --others --exclude-standard '*.cpp' '*.h' | xargs -r clang-format -i
