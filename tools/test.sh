#!/bin/sh
# Installs what is missing, then checks everything without a display: the formatting of every C++ file, the
# normal build and its tests, the same suite under AddressSanitizer and UndefinedBehaviorSanitizer, each fuzzer
# for a bounded time (QUILLMARK_FUZZ_SECONDS, 60 by default), clang-tidy and clazy over the program's sources,
# the Windows program built with mingw-w64, with its tests run under Wine, and the web page built with
# emscripten, with its tests run under node, in Chromium and in Firefox; the two archives to hand out, each
# unpacked into a folder with Chinese characters and a space in its name and run from there; last, the Debian
# package, linted, installed on this machine, started, reinstalled and purged.
set -eu
cd "$(dirname "$0")/.."
. tools/packages.sh
need_packages $BUILD_PACKAGES fonts-arphic-uming fonts-wqy-microhei adwaita-qt6 desktop-file-utils appstream clang \
    clang-tidy clang-format clazy libclang-rt-14-dev g++-mingw-w64-x86-64-win32 unicode-data doctest-dev \
    wine wine64 fonts-wine xvfb xauth locales emscripten chromium firefox-esr webkit2gtk-driver epiphany-browser \
    poppler-utils python3 dpkg-dev file \
    lintian dbus-daemon at-spi2-core python3-pyatspi
# Node.js and npm: Debian's, unless the machine has its own already.
command -v node >/dev/null 2>&1 || need_packages nodejs
command -v npm >/dev/null 2>&1 || need_packages npm
export QT_QPA_PLATFORM=offscreen

echo "== Formatting"
if ! git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror; then
    echo "The files above differ from .clang-format: run clang-format -i on them."
    exit 1
fi
echo "clang-format: every C++ file as .clang-format lays it out"

echo "== Build and tests"
cmake --preset dev
cmake --build --preset dev
ctest --preset dev

echo "== Build and tests under the sanitizers"
cmake --preset asan
cmake --build --preset asan
ctest --preset asan

echo "== Fuzzing"
cmake --preset fuzz
cmake --build --preset fuzz
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for target in keyfile number; do
    mkdir -p "$work/$target"
    # New inputs go to the scratch corpus; the seeds in the repository stay as they are.
    if ! build/fuzz/fuzz/fuzz_$target -max_total_time="${QUILLMARK_FUZZ_SECONDS:-60}" -max_len=16384 \
        -artifact_prefix="$work/" -print_final_stats=1 "$work/$target" "fuzz/corpus/$target" >"$work/$target.log" 2>&1; then
        tail -n 60 "$work/$target.log"
        echo "fuzz_$target found a failing input (above)"
        exit 1
    fi
    echo "fuzz_$target: $(grep -E "^Done" "$work/$target.log"); corpus of $(ls "$work/$target" | wc -l) inputs"
done

echo "== clang-tidy"
# The Windows-only and the browser-only sources are those builds'.
find src -name '*.cpp' ! -name '*_windows.cpp' ! -name '*_web.cpp' ! -path 'src/views/win32/*' ! -path 'src/views/web/*' | sort | xargs -P "$(nproc)" -n 1 clang-tidy -p build/dev --quiet 2>&1 |
    grep -v -E '^[0-9]+ warnings? generated|^Suppressed|^Use -header-filter' >"$work/tidy.log" || true
if grep -q -E 'warning:|error:' "$work/tidy.log"; then
    cat "$work/tidy.log"
    exit 1
fi
echo "clang-tidy: clean"

echo "== clazy"
cmake --preset clazy
cmake --build --preset clazy
echo "clazy: clean"

echo "== Windows build, and its tests under Wine"
cmake --preset windows
cmake --build --preset windows
echo "quillmark.exe: $(wc -c <build/windows/src/quillmark.exe) bytes"
sh tools/wine.sh ctest --preset windows

echo "== The Windows archive, unpacked and run under Wine"
cmake --build --preset windows --target package
sh tools/wine.sh sh tools/check-windows-archive.sh

echo "== The web page, built with emscripten, and its tests under node, in Chromium, in Firefox and in WebKit"
# puppeteer-core and selenium-webdriver, at the versions and with the dependencies package-lock.json pins, drive
# Debian's Chromium and Firefox ESR, and WebKitGTK's WebKitWebDriver with GNOME Web on a virtual screen.
npm ci --no-audit --no-fund
cmake --preset web
cmake --build --preset web
echo "the page's program: $(($(wc -c <build/web/site/quillmark.wasm) + $(wc -c <build/web/site/quillmark.js))) bytes"
ctest --preset web

echo "== The web archive, unpacked and served"
cmake --build --preset web --target package
sh tools/check-web-archive.sh

echo "== The Debian package, linted, installed, started, reinstalled and purged"
cmake --preset deb
cmake --build --preset deb --target package
sh tools/check-deb.sh
