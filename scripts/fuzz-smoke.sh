#!/bin/sh
# Builds the libFuzzer targets with clang and runs each briefly over its
# committed seed corpus (fuzz/corpus/<target>/). New inputs go to a scratch
# folder, never into the repository. QMP_FUZZ_RUNS sets the runs per target.
set -eu
cd "$(dirname "$0")/.."
BUILD=${QMP_FUZZ_BUILD_DIR:-build-fuzz}
RUNS=${QMP_FUZZ_RUNS:-20000}
CXX=clang++-14 cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQMP_BUILD_FUZZ=ON \
  -DQMP_SANITIZE=ON -DQMP_BUILD_TESTS=OFF -DQMP_BUILD_BENCH=OFF -DQMP_BUILD_GUI=OFF
cmake --build "$BUILD" -j"$(nproc)"
SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT
for target in "$BUILD"/fuzz/*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name=$(basename "$target")
  mkdir -p "$SCRATCH/$name"
  echo "fuzz smoke: $name ($RUNS runs)"
  "$target" -runs="$RUNS" -max_len=65536 "$SCRATCH/$name" "fuzz/corpus/$name"
done
