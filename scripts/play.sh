#!/usr/bin/env bash
# Builds the game and starts it from its game folder (images/, sounds/, scores/).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh build
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSB_TESTS=OFF -DSB_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target swarmbreak
cd build/game
exec ../swarmbreak
