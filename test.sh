#!/usr/bin/env bash
# Installs what is missing, builds everything (benchmarks too) and runs every test:
# once in a Release build, once built with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
./setup-deps.sh
JOBS="$(nproc)"
export QT_QPA_PLATFORM=offscreen
# Each test program runs whole (see CMakeLists.txt); GoogleTest then reports only the
# cases that fail, with the counts.
export GTEST_BRIEF=1

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$JOBS"
(cd build && ctest --output-on-failure)

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DPELMOR_SANITIZE=ON -DPELMOR_BENCH=OFF
cmake --build build-asan -j"$JOBS"
# Qt keeps some allocations until process exit; leaks are not what this run looks for.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# This run takes the cases in a shuffled order, the same one every time.
(cd build-asan && GTEST_SHUFFLE=1 GTEST_RANDOM_SEED=28 ctest --output-on-failure)
