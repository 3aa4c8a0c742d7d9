#!/usr/bin/env bash
# Builds Quillpress (installing what is missing) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
cmake --preset default -DQP_BUILD_TESTS=OFF -DQP_BUILD_BENCH=OFF >/dev/null
cmake --build --preset default -j"$(nproc)" --target quillpress
exec build/default/app/quillpress "$@"
