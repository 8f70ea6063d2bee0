#!/bin/sh
# Compiles the Qt view's Windows side here, as far as a Linux machine allows: every source file of
# src/platform/qt with mingw-w64's g++ (-fsyntax-only) against the installed Qt 6 headers, with moc run first
# for the code it generates, and the configured version resource with windres. This proves that the Windows
# branches are valid C++ against the Windows API headers and that the resource compiles; it does not build
# with MSVC, link or run. (The core is built and linked for Windows for real: cmake --preset windows.)
# Needs the dev build configured (for the .rc) and Debian's mingw-w64.
set -eu
cd "$(dirname "$0")/.."
qt_headers=/usr/include/x86_64-linux-gnu/qt6
moc=/usr/lib/qt6/libexec/moc
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# moc: a header's output is compiled on its own; a source file's is included by it as NAME.moc.
for file in $(grep -rl --include='*.h' --include='*.cpp' 'Q_OBJECT' src/platform/qt | sort); do
    name=$(basename "$file")
    case $file in
    *.h) "$moc" -I src "$file" -o "$work/moc_${name%.h}.cpp" ;;
    *.cpp) "$moc" -I src "$file" -o "$work/${name%.cpp}.moc" ;;
    esac
done

# The program's own code is held to the warnings and macros of every build; Qt's headers, configured here for
# Linux, are system headers, as in the other builds.
count=0
for file in $(find src/platform/qt -name '*.cpp' | sort) "$work"/moc_*.cpp; do
    x86_64-w64-mingw32-g++ -std=c++20 -fsyntax-only -Werror \
        -Wall -Wextra -Wshadow -Wpedantic -Wold-style-cast -Wconversion \
        -DQT_NO_CAST_FROM_ASCII -DQT_NO_CAST_TO_ASCII -DQT_NO_URL_CAST_FROM_STRING -DQT_NO_CAST_FROM_BYTEARRAY \
        -DQT_NO_KEYWORDS -DUNICODE -D_UNICODE -DQT_CORE_LIB -DQT_GUI_LIB -DQT_WIDGETS_LIB \
        -DQUILLMARK_NAME='"quillmark"' -DQUILLMARK_VERSION='"1.00"' -DQUILLMARK_APP_ID='"quillmark"' \
        -isystem "$qt_headers" -isystem "$qt_headers/QtCore" -isystem "$qt_headers/QtGui" \
        -isystem "$qt_headers/QtWidgets" \
        -I src -I "$work" "$file"
    count=$((count + 1))
done
echo "mingw-w64: $count files compiled for Windows (syntax only)"

x86_64-w64-mingw32-windres -O coff -i build/dev/src/quillmark.rc -o "$work/quillmark.res"
echo "windres: build/dev/src/quillmark.rc compiled ($(wc -c <"$work/quillmark.res") bytes)"
