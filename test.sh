#!/bin/sh
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test. Run quickstart.sh once first on a new machine.
set -eu
cd "$(dirname "$0")"
BUILD=${QMP_TEST_BUILD_DIR:-build-test}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug -DQMP_SANITIZE=ON -DQMP_WERROR=ON \
  -DQMP_BUILD_BENCH=ON
cmake --build "$BUILD" -j"$(nproc)"
ctest --test-dir "$BUILD" --output-on-failure -j"$(nproc)"
scripts/fuzz-smoke.sh
# The browser tests make the example site's engine with the qmp just built.
QMP_BIN=${QMP_BIN:-$(pwd)/$BUILD/bin/qmp} scripts/browser-tests.sh
