#!/bin/sh
# Runs screenreader.py (its commands and arguments) against a Quillmark program on a virtual screen, with a
# session bus and the accessibility bus of its own, Qt's bridge to it on, and a browser that ends at once for the
# maker's page the program opens. Ends all it started.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
top=$here/../..
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin"
printf '#!/bin/sh\nexit 0\n' >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
env -u QT_QPA_PLATFORM PATH="$work/bin:$PATH" BROWSER=true XDG_RUNTIME_DIR="$work" \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 XVFB_SCREEN=1280x720x24 sh "$top/tools/xvfb.sh" \
    dbus-run-session -- /usr/bin/python3 "$here/screenreader.py" "$@"
