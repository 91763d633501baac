#!/bin/sh
# Unit tests of the search page's logic (Node) and browser tests of the search
# page in headless Chromium. Uses the qmp tool for the example site's engine
# when QMP_BIN names it.
set -eu
cd "$(dirname "$0")/../tests/browser"
npm ci --no-audit --no-fund --loglevel=error
node --test unit/
node --test --test-concurrency=1 browser/
