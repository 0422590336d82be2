#!/usr/bin/env bash
# Installs what is missing, builds a Release build and starts Pelmor.
set -euo pipefail
cd "$(dirname "$0")"
./setup-deps.sh --run
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DPELMOR_BENCH=OFF
cmake --build build -j"$(nproc)" --target pelmor
cd build
exec ./pelmor "$@"
