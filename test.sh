#!/bin/sh
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer, the
# window and its tests included, and runs every test (the window's offscreen).
# Run quickstart.sh once first on a new machine.
set -eu
cd "$(dirname "$0")"
BUILD=${QMP_TEST_BUILD_DIR:-build-test}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug -DQMP_SANITIZE=ON -DQMP_WERROR=ON \
  -DQMP_BUILD_TESTS=ON -DQMP_BUILD_GUI=ON -DQMP_BUILD_BENCH=ON
cmake --build "$BUILD" -j"$(nproc)"
ctest --test-dir "$BUILD" --output-on-failure -j"$(nproc)"
scripts/fuzz-smoke.sh
# The browser tests make the example site's engine with the qmp just built
# (the build folder may lie outside the source tree).
case $BUILD in
  /*) BUILT=$BUILD ;;
  *) BUILT=$(pwd)/$BUILD ;;
esac
QMP_BIN=${QMP_BIN:-$BUILT/bin/qmp} scripts/browser-tests.sh
