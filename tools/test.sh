#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: first a normal build (g++), then the
# same suite built with clang under AddressSanitizer and UndefinedBehaviorSanitizer, then the
# tests of the threaded parts under ThreadSanitizer. The tests that draw run against a private
# Xvfb with Mesa's software OpenGL.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/setup.sh
. tools/xvfb.sh
start_private_xvfb
export LIBGL_ALWAYS_SOFTWARE=1
jobs=$(nproc)

configure_and_build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
}

run_suite() {
    (cd "$1" && ctest -j "$jobs" --timeout 300 --output-on-failure)
}

status=0
echo "== Build (g++) and tests"
configure_and_build build -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_suite build || status=1

echo "== Build (clang, AddressSanitizer + UndefinedBehaviorSanitizer) and tests"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
configure_and_build build-asan -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTINTFALL_SANITIZE=address,undefined -DTINTFALL_FUZZ=ON
run_suite build-asan || status=1

echo "== Build (clang, ThreadSanitizer) and the tests of what runs on several threads"
unset ASAN_OPTIONS
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
# Only what the threaded tests run is built here.
cmake -S . -B build-tsan -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTINTFALL_SANITIZE=thread >/dev/null
cmake --build build-tsan -j "$jobs" --target test_rules_threads test_threads tintfall-sim
(cd build-tsan && ctest -j "$jobs" --timeout 300 --output-on-failure -L threads) || status=1

echo "== Size of the suite (lines of tests against lines of code; at most 0.35)"
if ! tools/test_ratio.sh; then
    echo "FAIL: the tests are more than 0.35 of the code"
    status=1
fi

exit $status
