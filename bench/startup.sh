#!/bin/sh
# The start-up benchmark: how long Quillmark's window takes to show its first paint, against the same window
# written plainly (bench/plain_window.cpp), with and without Quillmark's start-up work done the straightforward
# way, and each program's peak resident memory by then. Runs each program ROUNDS times (40 by default),
# interleaved in a shuffled order, on a virtual X screen, and prints medians and ratios. Installs what is missing
# and builds the optimised bench build first.
set -eu
cd "$(dirname "$0")/.."
if [ -z "${QUILLMARK_ON_SCREEN:-}" ]; then
    . tools/packages.sh
    need_packages $BUILD_PACKAGES fonts-arphic-uming xvfb xauth pkg-config libxcb-damage0-dev bc doctest-dev
    cmake --preset bench >/dev/null
    cmake --build --preset bench
    QUILLMARK_ON_SCREEN=1 QUILLMARK_SCREEN_SIZE=1280x720 exec sh tools/screen.sh sh "$0" "$@"
fi
rounds=${1:-40}
bench=build/bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A browser that starts and ends at once: opening the maker's page costs what starting a program costs, and no
# real browser (the test command installs Chromium, which xdg-open would find) takes the machine meanwhile.
mkdir -p "$work/bin"
printf '#!/bin/sh\nexit 0\n' >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export BROWSER=/bin/true PATH="$work/bin:$PATH"
unset QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$work"

. bench/stats.sh
run() { # name command...
    name=$1
    shift
    "$bench/bench/first_paint" "$@" >>"$work/$name" || echo "no paint from $name" >&2
}

# One run of each first, unmeasured, so every program starts from a warm page cache.
for program in "$bench/src/quillmark" "$bench/bench/plain_window"; do
    "$bench/bench/first_paint" "$program" >/dev/null
done
measure() {
    case $1 in
    quillmark) run quillmark "$bench/src/quillmark" ;;
    plain) run plain "$bench/bench/plain_window" ;;
    plain-work) run plain-work "$bench/bench/plain_window" --work ;;
    esac
}
interleaved "$rounds" quillmark plain plain-work

printf '%-12s %14s %16s\n' program "first paint ms" "peak memory MiB"
for name in plain plain-work quillmark; do
    printf '%-12s %14.1f %16.1f\n' "$name" "$(median "$work/$name" 1)" "$(echo "$(median "$work/$name" 3) / 1024" | bc -l)"
done
q=$(median "$work/quillmark" 1)
p=$(median "$work/plain" 1)
w=$(median "$work/plain-work" 1)
qm=$(median "$work/quillmark" 3)
pm=$(median "$work/plain" 3)
printf 'quillmark / plain: time %.3f, memory %.3f; quillmark / plain with the work: time %.3f\n' \
    "$(echo "$q / $p" | bc -l)" "$(echo "$qm / $pm" | bc -l)" "$(echo "$q / $w" | bc -l)"
