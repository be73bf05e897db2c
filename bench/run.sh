#!/bin/sh
# Builds the benchmarks (Release, -DHANAVO_BENCH=ON) in build-bench and runs them.
# Extra arguments go to both benchmark programs, e.g. --benchmark_filter=100000.
# The folders of empty files are made in $TMPDIR (default /tmp); on a real file system that
# takes a while for 100,000 files.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"

generator=
if command -v ninja >/dev/null 2>&1; then
    generator="-G Ninja"
fi
# shellcheck disable=SC2086 # $generator is empty or two words on purpose
cmake -S "$root" -B "$build" $generator -DCMAKE_BUILD_TYPE=Release -DHANAVO_BENCH=ON \
    -DHANAVO_TESTS=OFF >/dev/null
cmake --build "$build" --target bench_scan bench_launch bench_timer bench_order bench_startup \
    bench_empty_dialog hanavo -j2

echo
echo "== Folder listing: first 100 files =="
"$build/bench/bench_scan" --benchmark_color=false "$@"
echo
echo "== Shell launch of 100 executable scripts =="
"$build/bench/bench_launch" --benchmark_color=false "$@"

echo
echo "== OK in the launch order dialog on 100 files =="
"$build/bench/bench_order" --benchmark_color=false
echo
echo "== From Start to the first launched process (10 s and 60 s) =="
"$root/bench/launch_latency.sh" "$build/hanavo"
echo
echo "== The one-second tick over a whole count =="
"$build/bench/bench_timer"
echo
echo "== Start-up to the mapped timer window, against an empty Qt dialog =="
"$root/bench/startup.sh" "$build"

echo
echo "== Hanavo.exe under Wine: start-up beside an empty dialog program, and its size =="
if command -v wine >/dev/null 2>&1 && command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1; then
    win="$root/build-bench-win"
    # shellcheck disable=SC2086
    cmake -S "$root" -B "$win" $generator -DCMAKE_BUILD_TYPE=Release -DHANAVO_TESTS=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" >/dev/null
    cmake --build "$win" --target Hanavo EmptyDialog -j2
    "$root/tests/e2e-win/make-prefix.sh" "$win/wine-template"
    "$root/bench/win_startup.sh" "$win/Hanavo.exe" "$win/EmptyDialog.exe" "$win/wine-template"
else
    echo "(skipped: wine or mingw-w64 is not installed)"
fi
