#!/bin/sh
# Installs the Debian 12 packages that building, running and testing need.
set -eu
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
  ca-certificates cmake g++ make pkg-config git \
  libicu-dev libgtest-dev libgmock-dev libbenchmark-dev \
  clang-14 libclang-rt-14-dev \
  chromium fonts-dejavu-core \
  qt6-base-dev qt6-svg-dev qt6-webengine-dev libgl-dev
# Node.js and npm for the search page's tests; the machine may bring its own.
command -v node >/dev/null 2>&1 || $SUDO apt-get install -y --no-install-recommends nodejs
command -v npm >/dev/null 2>&1 || $SUDO apt-get install -y --no-install-recommends npm
