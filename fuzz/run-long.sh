#!/usr/bin/env bash
# Usage: fuzz/run-long.sh [seconds per target] [native build tree]
# Fuzzes each target for a while, starting from the committed seeds. What it learns is kept
# in a working corpus inside the build tree (the committed seeds are only read), crashes land
# in the tree's fuzz/artifacts, and each target's executions and findings are summed up.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-300}
tree=$(cd "${2:-$root/build/native}" && pwd)

cmake --build "$tree" --target kest_fuzzers >/dev/null
mkdir -p "$tree/fuzz/artifacts"
status=0
for target in instrument_sets; do
    work="$tree/fuzz/corpus-work/$target"
    log="$tree/fuzz/long-$target.log"
    mkdir -p "$work"
    set +e
    "$tree/fuzz/targets/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$tree/fuzz/artifacts/$target-" \
        "$work" "$root/fuzz/corpus" >"$log" 2>&1
    result=$?
    set -e
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
    rate=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
    coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 || true)
    echo "$target: ${runs:-?} executions (${rate:-?}/s), $coverage, corpus $(ls "$work" | wc -l) inputs, exit $result"
    if [ "$result" -ne 0 ]; then
        status=1
        grep -E 'ERROR|SUMMARY|Test unit written' "$log" || true
    fi
done
exit $status
