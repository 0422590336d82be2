#!/usr/bin/env bash
# Installs what is missing, builds a Release build and starts Pelmor in the folder
# this script was run from, so that File > Open starts there and not among the build
# files. The help page is found beside the executable (the build copies it there).
set -euo pipefail
start="$PWD"
root="$(cd "$(dirname "$0")" && pwd)"
cd "$root"
./setup-deps.sh --run
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DPELMOR_BENCH=OFF
cmake --build build -j"$(nproc)" --target pelmor
cd "$start"
exec "$root/build/pelmor" "$@"
