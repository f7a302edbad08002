#!/usr/bin/env bash
# Runs the libFuzzer targets for longer than the test run does, one after another:
#   tools/fuzz.sh [-t SECONDS] [-n RUNS] [TARGET...]
# Each target (default: every tests/fuzz/fuzz_*.cpp) starts from its committed corpus and runs
# for SECONDS (default 600) or RUNS inputs, whichever ends first. An input that makes it fail
# is kept in tests/fuzz/corpus/<target>/ as a regression case, which every test run replays.
# The build tree is build/host-fuzz (preset host-fuzz); the scratch corpora live there too.
set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"

seconds=600
runs=-1
while getopts "t:n:h" opt; do
    case $opt in
    t) seconds=$OPTARG ;;
    n) runs=$OPTARG ;;
    *)
        sed -n '2,7p' "$0"
        exit 2
        ;;
    esac
done
shift $((OPTIND - 1))

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for src in tests/fuzz/fuzz_*.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi

source tools/deps.sh
build=build/host-fuzz
# A tree from before the switch to Ninja is made anew, as the test script does.
if [ ! -f "$build/CMakeCache.txt" ] || ! grep -qx 'CMAKE_GENERATOR:INTERNAL=Ninja' "$build/CMakeCache.txt"; then
    tnvexa_configure host-fuzz >/dev/null || exit 1
fi
cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null || {
    echo "build of ${targets[*]} failed" >&2
    exit 1
}

failed=0
for target in "${targets[@]}"; do
    corpus="tests/fuzz/corpus/$target"
    work="$build/fuzz-work/$target"
    artifacts="$work.artifacts"
    mkdir -p "$corpus" "$work" "$artifacts"
    # The scratch corpus grows from run to run; the committed one seeds it.
    cp -n "$corpus"/* "$work"/ 2>/dev/null
    log="$work.log"
    "$build/tests/fuzz/$target" -max_total_time="$seconds" -runs="$runs" -max_len=4096 -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "$work" >"$log" 2>&1
    rc=$?
    done_runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    kept=0
    for input in "$artifacts"/crash-* "$artifacts"/leak-* "$artifacts"/timeout-* "$artifacts"/oom-*; do
        [ -f "$input" ] || continue
        mv "$input" "$corpus/"
        kept=$((kept + 1))
    done
    if [ $rc -eq 0 ]; then
        echo "$target: ${done_runs:-?} runs, no failure"
    else
        failed=1
        echo "$target: failed (exit $rc) after ${done_runs:-?} runs; $kept input(s) kept in $corpus; log $log"
    fi
done
exit $failed
