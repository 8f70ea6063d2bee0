#!/bin/sh
# Installs what is missing, builds the program in Release and starts it. The build puts a sample answer key
# beside the program when there is none.
set -eu
cd "$(dirname "$0")/.."
. tools/packages.sh
# Qt's Wayland platform too, for the Wayland desktops most are now.
need_packages $BUILD_PACKAGES fonts-arphic-uming qt6-wayland xvfb xauth
cmake --preset release
cmake --build --preset release
program=build/release/src/quillmark
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo
    echo "Quillmark is built ($program) but there is no display to show its window on."
    echo "On a machine without one, run it on a virtual screen:  sh tools/screen.sh $program"
    exit 1
fi
exec "$program"
