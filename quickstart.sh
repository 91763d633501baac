#!/bin/sh
# Installs what the program needs, builds it, makes a search engine for the
# bundled example site in out/example-engine/ (made anew on each run), and
# opens its database in the window when there is a display.
set -eu
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DQMP_BUILD_TESTS=OFF -DQMP_BUILD_GUI=ON
cmake --build build -j"$(nproc)"

ENGINE=out/example-engine
rm -rf "$ENGINE"
mkdir -p out
cp -R examples/site "$ENGINE"
build/bin/qmp new "$ENGINE"
build/bin/qmp addsite "$ENGINE/searchdb.js" "$ENGINE"
echo "Open the search page: $(pwd)/$ENGINE/qmp.html"

if [ -x build/bin/qmplit ]; then
  if [ -z "${CI:-}" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "Opening the example engine's database in qmplit"
    setsid build/bin/qmplit "$(pwd)/$ENGINE/searchdb.js" </dev/null >/dev/null 2>&1 &
  else
    echo "Open it in the window: build/bin/qmplit $ENGINE/searchdb.js"
  fi
fi
