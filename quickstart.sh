#!/bin/sh
# Installs what the program needs, builds it, and makes a search engine for
# the bundled example site in out/example-engine/ (made anew on each run).
set -eu
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DQMP_BUILD_TESTS=OFF
cmake --build build -j"$(nproc)"

ENGINE=out/example-engine
rm -rf "$ENGINE"
mkdir -p out
cp -R examples/site "$ENGINE"
build/bin/qmp new "$ENGINE"
build/bin/qmp addsite "$ENGINE/searchdb.js" "$ENGINE"
echo "Open the search page: $(pwd)/$ENGINE/qmp.html"
