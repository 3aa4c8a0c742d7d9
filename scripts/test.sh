#!/usr/bin/env bash
# Builds Quillpress and runs every test (installing what is missing):
#   1. everything under the address and undefined-behaviour sanitizers;
#   2. the thread tests again under the thread sanitizer;
#   3. the Windows backend, cross-built with mingw-w64, under Wine;
#   4. the fuzz targets, built with clang, each run briefly over its seed inputs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test

jobs="$(nproc)"
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/tsan-suppressions.txt"

echo "== asan: build and run every test"
cmake --preset asan >/dev/null
cmake --build --preset asan -j"$jobs"
ctest --preset asan -j"$jobs"

echo "== tsan: build and run the thread tests"
cmake --preset tsan >/dev/null
# Only the thread tests run here, so only they are built.
thread_tests=$(ctest --test-dir build/tsan -N -L thread | awk '/Test +#/ {print $3}')
cmake --build --preset tsan -j"$jobs" --target $thread_tests
ctest --preset tsan -j"$jobs"

if [ -f tests/win32/CMakeLists.txt ]; then
    echo "== mingw: cross-build the Windows backend and run its test under Wine"
    cmake --preset mingw >/dev/null
    cmake --build --preset mingw -j"$jobs"
    tests/win32/run-under-wine.sh build/mingw/tests/win32/test_win32_platform.exe
fi

echo "== fuzz: build the fuzz targets and run each over its seed inputs"
# Fixed runs, a few seconds a target; fuzz/corpus stays as it is (what a
# run finds goes to a scratch folder), and a crash fails the command.
fuzz_runs=20000
fuzz_script_runs=2000  # a run's thread per input: slower
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$jobs" --target qp_fuzzers
fuzz_scratch="$(mktemp -d)"
trap 'rm -rf "$fuzz_scratch"' EXIT
for seeds in fuzz/corpus/*/; do
    target="$(basename "$seeds")"
    runs=$fuzz_runs
    [ "$target" = fuzz_script_arguments ] && runs=$fuzz_script_runs
    mkdir -p "$fuzz_scratch/$target"
    echo "-- $target: $runs runs"
    if ! build/fuzz/fuzz/"$target" "$fuzz_scratch/$target" "$seeds" -runs="$runs" -seed=1 \
            -artifact_prefix=build/fuzz/"$target"- >"$fuzz_scratch/$target.log" 2>&1; then
        tail -n 60 "$fuzz_scratch/$target.log"
        echo "fuzz: $target failed; its input is in build/fuzz/$target-*" >&2
        exit 1
    fi
done
