#!/bin/sh
# The Windows start-up benchmark: how long quillmark.exe takes under Wine to show its window, against the
# same window written plainly with the Win32 API (bench/win32/plain_window.cpp), on a virtual X screen of a
# Chinese Windows (tools/wine.sh). Each program runs ROUNDS times (20 by default), interleaved in a shuffled
# order; the script prints the medians of the first paint (the first damage to the window on the X screen)
# and of the whole first frame (every control painted), the middle half of the runs, and Quillmark's ratios
# to the plain window: of the medians, and the median of each round's ratio, which a busy machine upsets
# less.
#
#     sh bench/win32/startup.sh          # or: sh bench/win32/startup.sh 40, for 40 rounds
#     sh bench/win32/startup.sh dlls     # the DLLs each program loads before its first paint (Wine's log)
#
# QUILLMARK_EXE=/some/older/quillmark.exe measures that build of the program instead, its key beside it.
#
# Installs what is missing and builds first, in build/windows-bench: the windows preset's settings with the
# tests off and the benchmarks on (which adds bench/win32), and the timer of first paints
# (bench/first_paint.cpp), a Linux program, with the host's compiler. Quillmark's launch of the
# maker's page, after its first paint, starts bench/win32/browser.cpp, which ends at once, in place of
# Wine's Internet Explorer.
set -eu
cd "$(dirname "$0")/../.."
build=build/windows-bench
if [ -z "${QUILLMARK_BENCH_IN_WINE:-}" ]; then
    . tools/packages.sh
    need_packages cmake ninja-build g++ g++-mingw-w64-x86-64-win32 doctest-dev pkg-config libxcb1-dev \
        libxcb-damage0-dev wine wine64 fonts-wine xvfb xauth locales fonts-arphic-uming
    # The generator and the toolchain are chosen once, when the build directory is made.
    new=""
    [ -f "$build/CMakeCache.txt" ] || new="-G Ninja --toolchain cmake/mingw-w64.cmake"
    # shellcheck disable=SC2086
    cmake -S . -B "$build" $new -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DCMAKE_CROSSCOMPILING_EMULATOR=wine -DQUILLMARK_BUILD_TESTS=OFF \
        -DQUILLMARK_BUILD_BENCHMARKS=ON >/dev/null
    cmake --build "$build" --target quillmark plain_window bench_browser
    mkdir -p "$build/host"
    # shellcheck disable=SC2046
    g++ -std=c++20 -O2 -Wall -Wextra -Wshadow -Wpedantic -Wold-style-cast -Wconversion -Werror \
        -o "$build/host/first_paint" bench/first_paint.cpp \
        $(pkg-config --cflags --libs xcb xcb-damage)
    QUILLMARK_BENCH_IN_WINE=1 exec sh tools/wine.sh sh "$0" "$@"
fi

quillmark=${QUILLMARK_EXE:-$build/src/quillmark.exe}
plain=$build/src/plain_window.exe
timer=$build/host/first_paint
cp "$build/bench/win32/bench_browser.exe" "$WINEPREFIX/drive_c/Program Files/Internet Explorer/iexplore.exe"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ "${1:-}" = dlls ]; then
    for program in "$plain" "$quillmark"; do
        echo "$(basename "$program"):"
        WINEDEBUG=+loaddll "$timer" --log wine "$program" 2>"$work/log" >/dev/null || true
        # Its own DLLs, in the order loaded, by the thread that loaded the program first.
        thread=$(grep -m 1 'loaddll.*Loaded' "$work/log" | sed 's/^[a-z]* [0-9.]* \([0-9a-f]*\):.*/\1/')
        for phase in first whole after; do
            printf '  %-28s' "$(case $phase in first) echo 'before the first paint:' ;;
                whole) echo 'before the frame was whole:' ;; *) echo 'after:' ;; esac)"
            grep "^$phase [0-9.]* $thread:.*loaddll.*Loaded" "$work/log" |
                sed 's/.*\\\([^\\]*\)" at.*/\1/' | tr '\n' ' '
            echo
        done
    done
    exit 0
fi

rounds=${1:-20}
. bench/stats.sh
run() { # name program: appends "ROUND FIRST WHOLE KIB"
    if times=$("$timer" wine "$2"); then
        echo "$round $times" >>"$work/$1"
    else
        echo "no paint from $1" >&2
    fi
}
# One run of each first, unmeasured, so that both start from a warm page cache.
for program in "$quillmark" "$plain"; do
    "$timer" wine "$program" >/dev/null
done
measure() {
    case $1 in
    quillmark) run quillmark "$quillmark" ;;
    plain) run plain "$plain" ;;
    esac
}
interleaved "$rounds" quillmark plain

echo "$rounds rounds, milliseconds from the exec (median, and the middle half of the runs):"
printf '%-10s %24s %24s\n' program "first paint" "whole first frame"
for name in plain quillmark; do
    printf '%-10s %8.1f  (%13s) %8.1f  (%13s)\n' "$name" "$(median "$work/$name" 2)" \
        "$(quartiles "$work/$name" 2)" "$(median "$work/$name" 3)" "$(quartiles "$work/$name" 3)"
done
ratios() { # how first whole
    awk -v how="$1" -v first="$2" -v whole="$3" 'BEGIN {
        printf "quillmark / plain, %s: first paint %.3f, whole first frame %.3f\n", how, first, whole }'
}
divide() { # a b
    awk -v a="$1" -v b="$2" 'BEGIN { print a / b }'
}
ratios "of the medians" "$(divide "$(median "$work/quillmark" 2)" "$(median "$work/plain" 2)")" \
    "$(divide "$(median "$work/quillmark" 3)" "$(median "$work/plain" 3)")"
# The two runs of a round are next to each other in time, and share whatever else the machine was doing.
sort -k 1,1 "$work/quillmark" >"$work/q"
sort -k 1,1 "$work/plain" >"$work/p"
join "$work/q" "$work/p" | awk '{ print $1, $2 / $5, $3 / $6 }' >"$work/ratios"
ratios "median of the rounds" "$(median "$work/ratios" 2)" "$(median "$work/ratios" 3)"
