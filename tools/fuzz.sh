#!/usr/bin/env bash
# Runs the libFuzzer harnesses of tests/fuzz for a given time each, one after the other, under
# AddressSanitizer and UndefinedBehaviorSanitizer, and merges what they found into the seed
# corpora (only inputs that add coverage; commit them). Prints executions and coverage per
# harness, and keeps every crashing input in fuzz-findings/.
# Usage: tools/fuzz.sh [SECONDS | --runs N] [harness...]   (default 60 seconds, every harness)
# On a shared machine run it niced: nice -n 15 tools/fuzz.sh 3600
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

limit=(-max_total_time=60)
if [[ $# -gt 0 && $1 =~ ^[0-9]+$ ]]; then
    limit=(-max_total_time="$1")
    shift
elif [[ $# -gt 1 && $1 == --runs ]]; then
    limit=(-runs="$2")
    shift 2
fi
harnesses=("$@")
if [[ ${#harnesses[@]} -eq 0 ]]; then
    for source in tests/fuzz/fuzz_*.cpp; do
        name=$(basename "$source" .cpp)
        harnesses+=("${name#fuzz_}")
    done
fi

build=${TINTFALL_FUZZ_BUILD:-build-asan}
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTINTFALL_SANITIZE=address,undefined -DTINTFALL_FUZZ=ON >/dev/null
targets=()
for name in "${harnesses[@]}"; do
    targets+=("fuzz_$name")
done
cmake --build "$build" --target "${targets[@]}" >/dev/null

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
findings=$root/fuzz-findings
summary=()
status=0
for name in "${harnesses[@]}"; do
    harness=$root/$build/tests/fuzz_$name
    corpus=$root/tests/fuzz/corpus/$name
    mkdir -p "$corpus"
    # Some readers write files (and the ini writer syncs them): a memory file system keeps that
    # from setting the pace.
    work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
    # The harness runs in a folder of its own: some readers write files under names their input
    # chooses, and an input once replaced the run's log.
    mkdir "$work/new" "$work/play"
    # New inputs go to the scratch folder; the committed corpus only seeds the run.
    failed=0
    if ! (cd "$work/play" && "$harness" "${limit[@]}" -rss_limit_mb=2048 -timeout=60 \
              -print_final_stats=1 -artifact_prefix="$work/" "$work/new" "$corpus" \
              >"$work/run.log" 2>&1); then
        failed=1
        status=1
        mkdir -p "$findings"
        for artifact in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*; do
            [[ -e $artifact ]] || continue
            cp "$artifact" "$findings/${name}-$(basename "$artifact")"
            echo "$name: FOUND $(basename "$artifact") (kept in fuzz-findings/)"
        done
        grep -m 3 -E 'ERROR|runtime error|SUMMARY' "$work/run.log" || true
    fi
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/run.log" | tail -n 1)
    coverage=$(grep -E '^#[0-9]+.*cov: ' "$work/run.log" | tail -n 1 || true)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$coverage")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$coverage")
    # Keeps only the new inputs that reach code the corpus does not reach yet (edges, not hit
    # counts, so the committed corpus stays small).
    (cd "$work/play" && "$harness" -merge=1 -use_counters=0 -rss_limit_mb=2048 -timeout=60 \
         "$corpus" "$work/new" >"$work/merge.log" 2>&1) || echo "$name: merge failed, see $work/merge.log"
    files=$(find "$corpus" -type f | wc -l)
    summary+=("$name: ${execs:-0} execs, cov ${cov:-?}, ft ${ft:-?}, corpus $files files")
    echo "${summary[-1]}"
    if [[ $failed -eq 0 ]]; then
        rm -rf "$work"
    else
        echo "$name: the run's log and inputs stay in $work"
    fi
done
echo "== Summary"
printf '%s\n' "${summary[@]}"
exit $status
