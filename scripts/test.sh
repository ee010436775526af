#!/usr/bin/env bash
# Installs what the tests need, builds everything with warnings as errors, runs every test
# headless and checks what an install puts in place; then builds and runs the tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer. Set TOMEKEEP_SKIP_SANITIZERS=1 to run the first pass only.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
export QT_QPA_PLATFORM=offscreen

scripts/build.sh build -DTOMEKEEP_WERROR=ON -DTOMEKEEP_TESTS=ON
ctest --test-dir build --output-on-failure
scripts/check-install.sh build

if [ "${TOMEKEEP_SKIP_SANITIZERS:-0}" != "1" ]; then
    scripts/build.sh build-sanitize -DTOMEKEEP_WERROR=ON -DTOMEKEEP_TESTS=ON -DTOMEKEEP_BENCH=OFF \
        -DTOMEKEEP_SANITIZE=ON
    ctest --test-dir build-sanitize --output-on-failure
fi
