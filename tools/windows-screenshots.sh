#!/bin/sh
# Retakes the screenshots of the Windows build in docs/: quillmark.exe under Wine (tools/wine.sh) with the
# sample key, ready (docs/windows-ready.png), during an exam with some answers typed (docs/windows-exam.png)
# and graded (docs/windows-graded.png). Needs the windows build, xdotool and ImageMagick.
set -eu
cd "$(dirname "$0")/.."
if [ -z "${QUILLMARK_IN_WINE:-}" ]; then
    QUILLMARK_IN_WINE=1 exec sh tools/wine.sh sh "$0"
fi
# The maker's page would open in Wine's own Internet Explorer, over the window.
rm -f "$WINEPREFIX/drive_c/Program Files/Internet Explorer/iexplore.exe"
cd build/windows/src
wine quillmark.exe &
sleep 4
window=$(xdotool search --name QuillmarkV1.0 | head -1)
xdotool windowmove "$window" 0 0
sleep 1
# The client area: the frame is Wine's drawing, not Windows'.
shot() {
    import -window "$window" -crop 1035x390+4+23 +repage "../../../docs/$1"
}
# Client-area points (the window's frame is 4 pixels wide with a 19-pixel caption under Wine's own drawing).
at() {
    xdotool mousemove --window "$window" $(($1 + 4)) $(($2 + 23)) click 1
    sleep 0.4
}
shot windows-ready.png
at 56 340  # 准备做题
at 372 337 # 开始考试
at 53 40   # box 1
for answer in A C A B D D D B A C A C A D A C; do
    xdotool type --delay 30 "$answer"
    xdotool key Return
done
sleep 2
shot windows-exam.png
at 528 345 # 交卷
at 652 345 # 结果
sleep 1
shot windows-graded.png
wineserver -k
