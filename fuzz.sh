#!/usr/bin/env bash
# Fuzzes the file readers: builds the libFuzzer targets with clang under
# AddressSanitizer and UndefinedBehaviorSanitizer (build-fuzz/) and runs each for the
# given number of seconds (default 60), at most FUZZ_JOBS targets at a time (default 2).
# Inputs that break an invariant or crash are left as crash-* files in build-fuzz/.
# Usage: ./fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")"
SECS="${1:-60}"
JOBS="${FUZZ_JOBS:-2}"
./setup-deps.sh --fuzz

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPELMOR_FUZZ=ON -DPELMOR_BENCH=OFF >/dev/null
TARGETS=(fuzz_datafile fuzz_weights fuzz_numbers)
cmake --build build-fuzz -j"$JOBS" --target "${TARGETS[@]}"

export ASAN_OPTIONS=abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_one() {
  local t="$1" secs="$2"
  local corpus="build-fuzz/corpus/${t#fuzz_}"
  mkdir -p "$corpus"
  (cd build-fuzz && "./fuzz/$t" -max_total_time="$secs" -print_final_stats=1 \
     -artifact_prefix="crash-$t-" "../$corpus" "../fuzz/corpus/${t#fuzz_}") >"build-fuzz/$t.log" 2>&1
  local rc=$?
  echo "$t: $(grep -E '^Done [0-9]+ runs' "build-fuzz/$t.log" || echo 'stopped early') (exit $rc)"
  return $rc
}
export -f run_one
printf '%s\n' "${TARGETS[@]}" | xargs -P "$JOBS" -I{} bash -c "run_one {} $SECS"
