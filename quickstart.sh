#!/bin/sh
# Installs what the program needs, builds it, and builds a search engine for
# the bundled example site.
set -eu
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DQMP_BUILD_TESTS=OFF
cmake --build build -j"$(nproc)"
echo "Built: build/bin/"
