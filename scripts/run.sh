#!/usr/bin/env bash
# Installs what Tomekeep needs, builds it and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
scripts/build.sh build -DTOMEKEEP_TESTS=OFF
exec build/tomekeep "$@"
