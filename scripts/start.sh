#!/usr/bin/env bash
# Installs what is missing, builds Tarnwick and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTW_TESTS=OFF -DTW_BENCH=OFF >/dev/null
cmake --build build/release
if [ -x build/release/src/ui/tarnwick ]; then
  exec build/release/src/ui/tarnwick "$@"
fi
echo "Tarnwick is built, but its application window is not there yet."
