#!/bin/sh
# Retakes docs/screenshot.png: the Release build on a virtual screen, 130 questions prepared, an exam started and
# some answers typed. Needs xvfb, xdotool, ImageMagick and a CJK font (fonts-arphic-uming).
set -eu
cd "$(dirname "$0")/.."
if [ -z "${QUILLMARK_ON_SCREEN:-}" ]; then
    QUILLMARK_ON_SCREEN=1 QUILLMARK_SCREEN_SIZE=1200x500 exec sh "$(dirname "$0")/screen.sh" sh "$0"
fi
program=build/release/src/quillmark
"$program" &
pid=$!
sleep 2
window=$(xdotool search --name QuillmarkV1.0 | head -1)
xdotool windowmove "$window" 0 0
sleep 0.5
xdotool mousemove --window "$window" 56 340 click 1 # 准备做题
sleep 0.5
xdotool mousemove --window "$window" 372 336 click 1 # 开始考试
sleep 0.3
xdotool mousemove --window "$window" 53 40 click 1 # box 1
for answer in A B C D A B D C A A B C D D A C B A D A C B; do
    xdotool type --delay 20 "$answer"
    xdotool key Return
done
sleep 3
import -window "$window" docs/screenshot.png
kill "$pid"
