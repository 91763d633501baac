#!/bin/sh
# Installs the Debian 12 packages that building, running, testing and packaging
# need. qt6-svg-dev brings the SVG plugins that draw the program's images;
# dpkg-dev and file let CPack find the package's dependencies;
# desktop-file-utils checks the desktop file.
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
  qt6-base-dev qt6-svg-dev qt6-webengine-dev libgl-dev \
  dpkg-dev file desktop-file-utils
# Node.js and npm for the search page's tests; the machine may bring its own.
command -v node >/dev/null 2>&1 || $SUDO apt-get install -y --no-install-recommends nodejs
command -v npm >/dev/null 2>&1 || $SUDO apt-get install -y --no-install-recommends npm
