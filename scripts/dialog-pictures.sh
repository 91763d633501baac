#!/bin/sh
# Makes the pictures of the dialogs for the user's manual (docs/images/),
# offscreen, through the window tests' "pictures" cases. The dark and the
# smallest variants are left in a scratch folder to look at.
# Usage: scripts/dialog-pictures.sh [build folder]   (default: build-test)
set -eu
cd "$(dirname "$0")/.."
BUILD=${1:-build-test}
[ -f "$BUILD/CMakeCache.txt" ] || cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug
cmake --build "$BUILD" -j"$(nproc)" --target new_frm_test settings_frm_test qmp_data
OUT=$(mktemp -d)
for test in new_frm_test settings_frm_test; do
  QT_QPA_PLATFORM=offscreen QMP_PICTURES_DIR="$OUT" \
    ASAN_OPTIONS=new_delete_type_mismatch=0:detect_leaks=0 "$BUILD/tests/$test" pictures
done
mkdir -p docs/images
cp "$OUT/new-engine.png" "$OUT/settings.png" docs/images/
echo "docs/images/ updated; every variant is in $OUT"
