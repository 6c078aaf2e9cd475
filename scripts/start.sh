#!/usr/bin/env bash
# Installs what is missing, builds Tarnwick and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTW_TESTS=OFF -DTW_BENCH=OFF >/dev/null
cmake --build build/release
exec build/release/src/ui/tarnwick "$@"
