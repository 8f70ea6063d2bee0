#!/bin/sh
# Runs screenreader.py (its commands and arguments) against a Quillmark program with a session bus and the
# accessibility bus of its own, Qt's bridge to it on, and a browser that ends at once for the maker's page the
# program opens; on a virtual X screen, or with QUILLMARK_SCREEN=wayland under weston's headless compositor with
# Qt's wayland platform (and no X to fall back to). Ends all it started.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
top=$here/../..
work=$(mktemp -d)
compositor=
stop() {
    if [ -n "$compositor" ]; then
        kill "$compositor" 2>/dev/null || true
        wait "$compositor" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap stop EXIT
trap 'exit 1' INT TERM
chmod 700 "$work"
mkdir -p "$work/bin"
printf '#!/bin/sh\nexit 0\n' >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
if [ "${QUILLMARK_SCREEN:-x}" = x ]; then
    env -u QT_QPA_PLATFORM PATH="$work/bin:$PATH" BROWSER=true XDG_RUNTIME_DIR="$work" \
        QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 XVFB_SCREEN=1280x720x24 sh "$top/tools/xvfb.sh" \
        dbus-run-session -- /usr/bin/python3 "$here/screenreader.py" "$@"
    exit
fi
XDG_RUNTIME_DIR="$work" weston --backend=headless-backend.so --shell=kiosk-shell.so --socket=quillmark \
    --width=1280 --height=720 --idle-time=0 >"$work/weston.log" 2>&1 &
compositor=$!
while [ ! -S "$work/quillmark" ]; do
    if ! kill -0 "$compositor" 2>/dev/null; then
        cat "$work/weston.log"
        echo "weston did not start"
        exit 1
    fi
    sleep 0.05
done
env -u DISPLAY -u XAUTHORITY PATH="$work/bin:$PATH" BROWSER=true XDG_RUNTIME_DIR="$work" WAYLAND_DISPLAY=quillmark \
    QT_QPA_PLATFORM=wayland QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    dbus-run-session -- /usr/bin/python3 "$here/screenreader.py" "$@"
