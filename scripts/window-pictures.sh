#!/bin/sh
# Pictures of the window program for the user's manual and the README, made
# offscreen while the real window goes through an author's first steps with
# the example site (tests/ui/window_pictures.cpp): the main window, the
# new-engine, add-folder, scanning, category, link and settings windows.
# Those in the usual colours go to docs/images/; all of them, with the dark
# and the smallest ones to look at, stay in the output folder (first
# argument, default out/window-pictures/).
# QMP_BUILD_DIR names the build folder (default build/), configured with the
# tests (the default), which hold the picture program.
set -eu
cd "$(dirname "$0")/.."
BUILD=${QMP_BUILD_DIR:-build}
OUT=${1:-out/window-pictures}
[ -f "$BUILD/CMakeCache.txt" ] || cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug
cmake --build "$BUILD" -j"$(nproc)" --target window_pictures

mkdir -p "$OUT" docs/images
# The preview's web engine trips AddressSanitizer inside Qt's own code.
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=new_delete_type_mismatch=0:detect_leaks=0 \
  "$BUILD/tests/window_pictures" "$OUT"
for name in main-window new-engine add-folder scanning category-dialog link-dialog settings; do
  cp "$OUT/$name.png" docs/images/
done
echo "pictures: docs/images/ and $OUT/"
