#!/bin/sh
# Runs every fuzz target for a bounded time, from the committed seeds plus what earlier runs
# found (kept in the build folder), and prints how many inputs each one tried.
# Usage: fuzz/run.sh BUILD_DIR SECONDS
set -eu

build=${1:?usage: fuzz/run.sh build-dir seconds}
seconds=${2:?usage: fuzz/run.sh build-dir seconds}
seeds=$(cd "$(dirname "$0")" && pwd)/corpus

for target in entry_name_fuzzer split_arguments_fuzzer settings_text_fuzzer; do
    found="$build/corpus/$target"
    mkdir -p "$found" "$build/artifacts"
    if ! "$build/$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
        -artifact_prefix="$build/artifacts/$target-" "$found" "$seeds/$target" \
        >"$build/$target.log" 2>&1; then
        tail -n 40 "$build/$target.log"
        echo "fuzz: $target failed; the input is in $build/artifacts/" >&2
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/$target.log")
    echo "fuzz: $target: $runs inputs in $seconds s, no fault"
done
