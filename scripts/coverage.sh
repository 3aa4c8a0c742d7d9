#!/usr/bin/env bash
# Builds the coverage preset, runs every test and prints the line and branch
# coverage of the product (tests, benchmarks and generated files excluded),
# then the tests' size against the product's.
# Usage: scripts/coverage.sh [extra gcovr options, e.g. --html-details out.html]
set -euo pipefail
cd "$(dirname "$0")/.."
command -v gcovr >/dev/null || scripts/setup.sh test

jobs="$(nproc)"
cmake --preset coverage >/dev/null
cmake --build --preset coverage -j"$jobs"
# Counters from an earlier run would add to this one.
find build/coverage -name '*.gcda' -delete
ctest --test-dir build/coverage -j"$jobs" --output-on-failure || echo "coverage: some tests failed; the figures below are still printed"

# gcov runs where each object was compiled: with a compiler cache the objects
# name their sources relative to that folder, which gcovr cannot work out.
find build/coverage -name '*.gcov' -delete
find build/coverage -name '*.gcda' | while read -r data; do
    folder="${data%%/CMakeFiles/*}"
    (cd "$folder" && gcov -p -b -c -o "$(dirname "${data#"$folder"/}")" "${data#"$folder"/}" >/dev/null 2>&1) || true
done

# gcovr replaces its output file by renaming over it: never /dev/null, which
# it would turn into a plain file for everyone.
report="$(mktemp)"
trap 'rm -f "$report"' EXIT
filters=()
for dir in app cli input platform recording script table ui; do filters+=(--filter "$dir/"); done
gcovr --use-gcov-files --root . "${filters[@]}" \
      --exclude 'tests/' --exclude 'bench/' --exclude 'build/' \
      --exclude-unreachable-branches --exclude-throw-branches \
      --print-summary --output "$report" "$@" build/coverage

# The size rule: the tests' non-blank, non-comment lines against the product's.
lines() { grep -E '\.(cpp|cc|cxx|h|hpp|lua)$' | xargs cat | grep -cvE '^\s*(//.*)?$'; }
test_lines=$(git ls-files tests | lines)
product_lines=$(git ls-files | grep -vE '^(tests|bench)/' | lines)
echo "tests: $test_lines lines against the product's $product_lines ($((100 * test_lines / product_lines))%; at most 40% wanted)"
