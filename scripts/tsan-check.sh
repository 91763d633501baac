#!/bin/sh
# Builds the indexing and command-line tests with ThreadSanitizer and runs the
# tests of scans, updates and extraction under it, the large ones included:
# documents are read on several threads there. Any report of ThreadSanitizer
# fails the run. QMP_TSAN_BUILD_DIR sets the build folder (default build-tsan).
set -eu
cd "$(dirname "$0")/.."
BUILD=${QMP_TSAN_BUILD_DIR:-build-tsan}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQMP_TSAN=ON -DQMP_WERROR=ON \
  -DQMP_BUILD_GUI=OFF
cmake --build "$BUILD" -j"$(nproc)" --target indexing_tests cli_tests qmp
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1"
"$BUILD/tests/indexing_tests" \
  --gtest_filter='ParallelScan*:FolderScan*:LinkUpdate*:Extraction*:KeywordRating*'
# ThreadSanitizer holds a signal back until the thread it lands on reaches a
# point of its choosing, so the test of a second signal arriving while the
# first is handled says nothing about threads here: it runs in the other builds.
"$BUILD/tests/cli_tests" \
  --gtest_filter='EndToEnd*:Commands*:InterruptProcess*:OddTree*:-InterruptProcess.ASecondSignal*'
echo "tsan-check: no report"
