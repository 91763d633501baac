#!/bin/sh
# Builds the Debian package from a Release build configured for /usr, installs
# it as a user would (apt-get install ./file.deb), checks that the installed
# programs work from the PATH with their installed data, and removes the
# package again. Needs root or sudo. QMP_PACKAGE_BUILD_DIR names the build
# folder (default: build, the quickstart's).
set -eu
cd "$(dirname "$0")/.."
BUILD=${QMP_PACKAGE_BUILD_DIR:-build}
case $BUILD in /*) ;; *) BUILD=$(pwd)/$BUILD ;; esac
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo

fail() {
  echo "package-check: $*" >&2
  exit 1
}

if dpkg-query -W -f '${Status}' qmplit 2>/dev/null | grep -q 'install ok installed'; then
  fail "qmplit is installed on this machine already; remove it first (apt-get remove qmplit)"
fi

# An installed program keeps its settings under the user's config folder only
# when it runs from below the prefix it was built for: build for /usr.
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DQMP_BUILD_TESTS=OFF
cmake --build "$BUILD" -j"$(nproc)"
rm -rf "$BUILD/package"
cpack --config "$BUILD/CPackConfig.cmake" -G DEB -B "$BUILD/package"
DEB=$(ls "$BUILD"/package/qmplit_*.deb)
dpkg-deb --field "$DEB" Package Version Depends Recommends

WORK=$(mktemp -d)
installed=no
cleanup() {
  [ "$installed" = no ] || $SUDO apt-get remove -y qmplit >/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
# Without the recommended packages: the dependencies alone must be enough.
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$DEB"
installed=yes

# The programs from the PATH, with the version the package was made with.
[ "$(command -v qmp)" = /usr/bin/qmp ] || fail "qmp is not /usr/bin/qmp on the PATH"
version=$(dpkg-deb --field "$DEB" Version)
qmp --version | grep -qF "qmp ${version%-*} " || fail "qmp --version does not say ${version%-*}"

# The installed templates and rating files make the same engine for the
# example site as the build tree does.
[ "$(qmp templates)" = "$("$BUILD/bin/qmp" templates)" ] || fail "the installed templates differ"
for tool in installed built; do
  cp -R examples/site "$WORK/$tool"
done
qmp new "$WORK/installed" --quiet
qmp addsite "$WORK/installed/searchdb.js" "$WORK/installed" --quiet
"$BUILD/bin/qmp" new "$WORK/built" --quiet
"$BUILD/bin/qmp" addsite "$WORK/built/searchdb.js" "$WORK/built" --quiet
cmp "$WORK/installed/searchdb.js" "$WORK/built/searchdb.js" ||
  fail "the installed qmp indexes the example site differently"
qmp list "$WORK/installed/searchdb.js" --json | grep -q '"url"' || fail "no links were added"

[ "$(head -c 5 /usr/lib/qmplit/manual.pdf)" = "%PDF-" ] || fail "no manual.pdf beside the programs"

if dpkg -L qmplit | grep -qx /usr/bin/qmplit; then
  desktop=/usr/share/applications/qmplit.desktop
  [ -f "$desktop" ] || fail "no desktop file"
  ! command -v desktop-file-validate >/dev/null || desktop-file-validate "$desktop"
  exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [ "$(command -v "$exec_program")" = /usr/bin/qmplit ] || fail "the desktop file's Exec is not on the PATH"
  [ -f /usr/share/icons/hicolor/scalable/apps/qmplit.svg ] || fail "no program icon"
  # Still running after five seconds: it started and opened its window.
  status=0
  mkdir -p "$WORK/home"
  HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" QT_QPA_PLATFORM=offscreen \
    timeout 5 qmplit "$WORK/installed/searchdb.js" >"$WORK/qmplit.log" 2>&1 || status=$?
  [ "$status" -eq 124 ] || { cat "$WORK/qmplit.log" >&2; fail "qmplit did not start (status $status)"; }
fi

$SUDO apt-get remove -y qmplit >/dev/null
installed=no
[ ! -e /usr/bin/qmp ] || fail "removing the package left /usr/bin/qmp"
echo "package-check: $(basename "$DEB") installs, runs and removes cleanly"
