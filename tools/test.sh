#!/bin/sh
# Installs what is missing, builds everything with warnings as errors and runs every test without a display.
set -eu
cd "$(dirname "$0")/.."
. tools/packages.sh
need_packages $BUILD_PACKAGES desktop-file-utils appstream
export QT_QPA_PLATFORM=offscreen
cmake --preset dev
cmake --build --preset dev
ctest --preset dev
