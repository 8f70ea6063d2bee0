#!/bin/sh
# Runs screenreader.py (its commands and arguments) against a Quillmark program with a session bus and the
# accessibility bus of its own, Qt's bridge to it on, and a browser that ends at once for the maker's page the
# program opens; on a virtual X screen, or with QUILLMARK_SCREEN=wayland under weston's headless compositor with
# Qt's wayland platform (and no X to fall back to). Ends all it started.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
top=$here/../..
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
chmod 700 "$work"
mkdir -p "$work/bin"
printf '#!/bin/sh\nexit 0\n' >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
platform=xcb
[ "${QUILLMARK_SCREEN:-x}" != wayland ] || platform=wayland
env PATH="$work/bin:$PATH" BROWSER=true XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=$platform \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QUILLMARK_SCREEN_SIZE=1280x720 sh "$top/tools/screen.sh" \
    dbus-run-session -- /usr/bin/python3 "$here/screenreader.py" "$@"
