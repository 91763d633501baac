#!/bin/sh
# Unit tests of the search page's logic (Node) and browser tests of the search
# page in headless Chromium. The example site's engine is made with the qmp
# tool (`qmp new` and `qmp addsite`, as the README does): QMP_BIN names it,
# else build/bin/qmp is used; only without either do the tests fall back to
# the recorded scan in tests/browser/fixtures/.
set -eu
cd "$(dirname "$0")/.."
if [ -z "${QMP_BIN:-}" ] && [ -x build/bin/qmp ]; then
  QMP_BIN="$(pwd)/build/bin/qmp"
fi
if [ -n "${QMP_BIN:-}" ]; then
  export QMP_BIN
  echo "browser tests: example engine made by $QMP_BIN"
else
  echo "browser tests: no qmp tool found; the example engine comes from the recorded scan"
fi
cd tests/browser
npm ci --no-audit --no-fund --loglevel=error
node --test unit/
node --test --test-concurrency=1 browser/
