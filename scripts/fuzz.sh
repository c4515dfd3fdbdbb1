#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang, ASan and UBSan in
# build-fuzz/ and runs each one on its seed corpus.
#   scripts/fuzz.sh [RUNS] [SECONDS]
# RUNS inputs per target (default 100000); SECONDS bounds each target's run
# (default 1800). New inputs go to build-fuzz/corpus/, never into the tree;
# a failing input is kept as build-fuzz/crash-* and the script stops.
set -euo pipefail

RUNS=${1:-100000}
SECONDS_EACH=${2:-1800}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD="$ROOT/build-fuzz"
# Every fuzz/fuzz_<name>.cpp is a target (fuzz/CMakeLists.txt flags one
# without its mv_add_fuzzer line), seeded from fuzz/corpus/<name>/.
TARGETS=()
for source in "$ROOT"/fuzz/fuzz_*.cpp; do
  target=$(basename "$source" .cpp)
  TARGETS+=("$target")
done

"$ROOT/scripts/setup.sh" --fuzz

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DMV_FUZZ=ON -DMV_BUILD_TESTS=OFF -DMV_BUILD_BENCH=OFF >/dev/null
ninja -C "$BUILD" "${TARGETS[@]}"

# The targets write small files; a memory file system keeps that off the disk.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

for target in "${TARGETS[@]}"; do
  name=${target#fuzz_}
  work="$BUILD/corpus/$name"
  seeds=()
  if [ -d "$ROOT/fuzz/corpus/$name" ]; then seeds=("$ROOT/fuzz/corpus/$name"); fi
  mkdir -p "$work"
  echo "== $target: -runs=$RUNS -max_total_time=$SECONDS_EACH"
  (cd "$BUILD" && "$BUILD/bin/$target" -runs="$RUNS" -max_total_time="$SECONDS_EACH" \
    -max_len=4096 -print_final_stats=1 "$work" "${seeds[@]}")
done
