#!/bin/sh
# What the relevance benchmark needs beyond the project's own dependencies:
# two documentation sets from Debian packages, and the peer (from the npm
# registry, locked in package-lock.json). Run once, as root or with sudo.
set -eu
cd "$(dirname "$0")"
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get install -y --no-install-recommends python3.11-doc git-doc
npm ci --no-audit --no-fund --loglevel=error
(cd ../../tests/browser && npm ci --no-audit --no-fund --loglevel=error)
