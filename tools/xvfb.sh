#!/bin/sh
# Runs a command on a virtual X screen of its own, as xvfb-run does, without its races: the server picks a free
# display itself (-displayfd) rather than the first whose lock file is gone, and is waited for when it is ended,
# so that a run right after this one cannot be handed a display whose socket this server's exit then removes;
# and it never resets when its last client leaves, which would refuse a program that connects meanwhile (the
# accessibility bus's launcher connects and leaves as a program starts). The screen's size is XVFB_SCREEN,
# 1280x1024x24 by default.
#
#     sh tools/xvfb.sh command [argument...]
set -eu
work=$(mktemp -d)
server=
stop() {
    if [ -n "$server" ]; then
        kill "$server" 2>/dev/null || true
        wait "$server" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap stop EXIT
trap 'exit 1' INT TERM
Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1280x1024x24}" -nolisten tcp -noreset 3>"$work/display" 2>"$work/log" &
server=$!
# The display's number, written once the server takes connections.
while [ ! -s "$work/display" ]; do
    if ! kill -0 "$server" 2>/dev/null; then
        cat "$work/log"
        echo "Xvfb did not start"
        exit 1
    fi
    sleep 0.05
done
DISPLAY=:$(head -n 1 "$work/display")
export DISPLAY
unset XAUTHORITY
"$@"
