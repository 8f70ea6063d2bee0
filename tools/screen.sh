#!/bin/sh
# Runs a command on a virtual screen of its own: an X screen (Xvfb), or with QUILLMARK_SCREEN=wayland weston's
# headless compositor, with DISPLAY unset so that nothing can fall back to X. The screen is
# QUILLMARK_SCREEN_SIZE pixels, 1280x1024 by default. The server is ended, and waited for, however the command
# ends, so that a run right after this one is never handed a display whose socket this server's exit removes.
#
#     sh tools/screen.sh command [argument...]
#
# Xvfb picks a free display itself (-displayfd), rather than the first whose lock file is gone (xvfb-run's race),
# and never resets when its last client leaves, which would refuse a program that connects meanwhile (the
# accessibility bus's launcher connects and leaves as a program starts).
set -eu
work=$(mktemp -d)
server=
stop() {
    trap '' INT TERM
    if [ -n "$server" ]; then
        kill "$server" 2>/dev/null || true
        wait "$server" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
size=${QUILLMARK_SCREEN_SIZE:-1280x1024}
if [ "${QUILLMARK_SCREEN:-x}" = wayland ]; then
    chmod 700 "$work"
    XDG_RUNTIME_DIR="$work" weston --backend=headless-backend.so --shell=kiosk-shell.so --socket=screen \
        --width="${size%x*}" --height="${size#*x}" --idle-time=0 >"$work/log" 2>&1 &
    ready() { [ -S "$work/screen" ]; }
    name="weston's socket"
else
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$work/display" 2>"$work/log" &
    ready() { [ -s "$work/display" ]; } # the display's number, written once the server takes connections
    name="Xvfb's display"
fi
server=$!
waited=0
while ! ready; do
    if ! kill -0 "$server" 2>/dev/null || [ $waited -ge 300 ]; then
        cat "$work/log"
        echo "screen.sh: no $name after $((waited / 10)) s"
        exit 1
    fi
    sleep 0.1
    waited=$((waited + 1))
done
if [ "${QUILLMARK_SCREEN:-x}" = wayland ]; then
    unset DISPLAY XAUTHORITY
    export XDG_RUNTIME_DIR="$work" WAYLAND_DISPLAY=screen
else
    DISPLAY=:$(head -n 1 "$work/display")
    export DISPLAY
    unset XAUTHORITY WAYLAND_DISPLAY
fi
"$@"
