#!/usr/bin/env bash
# Builds the tests with gcov counters, runs the whole headless suite and reports the line and
# branch coverage of src/: scripts/coverage.sh [BUILD_DIR]  (default build-coverage).
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build-coverage}"
command -v gcovr >/dev/null || scripts/install-deps.sh coverage
export QT_QPA_PLATFORM=offscreen
scripts/build.sh "$dir" -DCMAKE_BUILD_TYPE=Debug -DTOMEKEEP_TESTS=ON -DTOMEKEEP_BENCH=OFF -DTOMEKEEP_COVERAGE=ON
find "$dir" -name '*.gcda' -delete
ctest --test-dir "$dir" --output-on-failure
gcovr --root . --filter 'src/' --exclude 'src/db/SeedAuthors.cpp' --exclude-unreachable-branches \
    --exclude-throw-branches --print-summary --output "$dir/coverage.txt" "$dir"
tail -n 3 "$dir/coverage.txt"
