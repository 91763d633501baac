#!/bin/sh
# Runs every libFuzzer target briefly over its committed seed corpus
# (fuzz/corpus/<target>/): a quick check that no known input and no near
# variant of one crashes, not a fuzzing campaign. A target is named after its
# source, fuzz/<target>.cpp, ending in _fuzzer.
set -eu
cd "$(dirname "$0")/.."
BUILD=${QMP_FUZZ_BUILD_DIR:-build-fuzz}
RUNS=${QMP_FUZZ_RUNS:-20000}

targets=$(for source in fuzz/*_fuzzer.cpp; do basename "$source" .cpp; done)
CXX=clang++-14 cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQMP_BUILD_FUZZ=ON \
  -DQMP_SANITIZE=ON -DQMP_BUILD_TESTS=OFF
# shellcheck disable=SC2086
cmake --build "$BUILD" -j"$(nproc)" --target $targets

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for name in $targets; do
  mkdir -p "$work/$name"
  seeds=
  [ -d "fuzz/corpus/$name" ] && seeds="fuzz/corpus/$name"
  echo "fuzz-smoke: $name ($RUNS runs)"
  # New inputs go to the scratch folder, never into the committed seeds.
  # shellcheck disable=SC2086
  "$BUILD/fuzz/$name" -runs="$RUNS" -max_len=16384 -print_final_stats=0 "$work/$name" $seeds \
    > "$work/$name.log" 2>&1 || { tail -40 "$work/$name.log"; exit 1; }
done
echo "fuzz-smoke: all targets passed"
