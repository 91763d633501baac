#!/bin/sh
# Pictures of the main window with the example site's engine, made offscreen:
# docs/images/main-window.png for the README, and a dark and a small one in
# the output folder (first argument, default out/window-pictures/) to look at.
# QMP_BUILD_DIR names the build folder (default build/), configured with the
# tests (the default), which hold the picture program.
set -eu
cd "$(dirname "$0")/.."
BUILD=${QMP_BUILD_DIR:-build}
OUT=${1:-out/window-pictures}
cmake --build "$BUILD" -j"$(nproc)" --target qmp window_pictures

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cp -R examples/site "$WORK/site"
"$BUILD/bin/qmp" --quiet new "$WORK/site"
"$BUILD/bin/qmp" --quiet addsite "$WORK/site/searchdb.js" "$WORK/site"

mkdir -p "$OUT" docs/images
QT_QPA_PLATFORM=offscreen "$BUILD/tests/window_pictures" "$WORK/site/searchdb.js" "$OUT"
cp "$OUT/main-window.png" docs/images/main-window.png
echo "pictures: docs/images/main-window.png and $OUT/"
