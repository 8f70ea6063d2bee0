#!/bin/sh
# The release command: builds every download of this commit from clean into build/release-files/, checks that
# each holds what its list in tools/downloads/ says (tools/check-download.py), and writes SHA256SUMS beside them.
#
#     sh tools/release.sh
#
# It builds in a copy of the tree, build/release-tree (the files git tracks), with the last commit's time as
# SOURCE_DATE_EPOCH (the caller's, if set): anyone who builds the same commit gets the same bytes, which the test
# command's reproducible stage checks. That stage uses its two parts on trees of its own:
#
#     sh tools/release.sh --source      the tree's files as a tar archive on standard output, their times kept
#     sh tools/release.sh --in-place    builds the downloads in this tree's build folders, as they are, into
#                                       its build/release-files, each checked, with SHA256SUMS
#     sh tools/release.sh --packages    the Debian packages the builds need
set -eu
cd "$(dirname "$0")/.."

# The downloads, one a line: its name (tools/downloads/NAME.txt lists what it holds), the preset that builds it,
# the target that makes it, its file as the preset's build folder (build/PRESET) holds it, and the Debian
# packages that build needs.
DOWNLOADS="
deb    deb        package  quillmark_*.deb        cmake ninja-build g++ qt6-base-dev libgl-dev dpkg-dev file
win64  windows    package  quillmark-*-win64.zip  cmake ninja-build g++-mingw-w64-x86-64-win32 python3
win32  windows32  package  quillmark-*-win32.zip  cmake ninja-build g++-mingw-w64-i686-win32 python3
msi64  windows    msi      quillmark-*-win64.msi  cmake ninja-build g++-mingw-w64-x86-64-win32 python3 wixl msitools python3-olefile
msi32  windows32  msi      quillmark-*-win32.msi  cmake ninja-build g++-mingw-w64-i686-win32 python3 wixl msitools python3-olefile
web    web        package  quillmark-*-web.zip    cmake ninja-build emscripten python3
"
# What the checks use beside them.
CHECK_PACKAGES="python3 file dpkg msitools"

packages() {
    echo "$DOWNLOADS" | while read -r _ _ _ _ needs; do echo "$needs"; done | tr ' ' '\n' | sort -u | tr '\n' ' '
    echo "$CHECK_PACKAGES"
}

# This tree's own checkout, if it is one (a copy inside another checkout's folder is not).
in_checkout() {
    command -v git >/dev/null 2>&1 && [ "$(git rev-parse --show-toplevel 2>/dev/null)" = "$(pwd -P)" ]
}

source_archive() {
    if in_checkout; then
        # Tracked files and new ones not ignored; one deleted but not committed is not read.
        git ls-files -z --cached --others --exclude-standard |
            tar --null --no-recursion --ignore-failed-read -T - -cf -
    else
        tar --exclude=./build --exclude='./build-*' --exclude=./node_modules --exclude=./.git -cf - .
    fi
}

# Runs a command quietly; its output is shown, and the release ends, if it fails.
quietly() { # log, command...
    log=$1
    shift
    if ! "$@" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "Failed: $*"
        exit 1
    fi
}

in_place() {
    SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(cmake -P cmake/SourceDate.cmake)}
    export SOURCE_DATE_EPOCH
    out=build/release-files
    rm -rf "$out"
    mkdir -p "$out"
    configured=" "
    while read -r name preset target file _; do
        [ -n "$name" ] || continue
        echo "== $name: the $target target of the $preset preset"
        # The downloads alone: no test and no benchmark to build.
        case $configured in *" $preset "*) ;; *)
            quietly "$out/.log" cmake --preset "$preset" -DQUILLMARK_BUILD_TESTS=OFF -DQUILLMARK_BUILD_BENCHMARKS=OFF
            configured="$configured$preset "
            ;;
        esac
        # shellcheck disable=SC2086
        rm -f build/$preset/$file
        quietly "$out/.log" cmake --build --preset "$preset" --target "$target" -j "$(nproc)"
        # shellcheck disable=SC2086
        set -- build/$preset/$file
        if [ $# != 1 ] || [ ! -f "$1" ]; then
            echo "$name: the $target target of the $preset preset made no one $file"
            exit 1
        fi
        cp "$1" "$out/"
        # A download that fails its check is still made, listed and summed, for the reproducible stage to
        # compare; the release fails at the end.
        python3 -X utf8 tools/check-download.py "$out/${1##*/}" "tools/downloads/$name.txt" ||
            failed="${failed:-}$name "
    done <<EOF
$DOWNLOADS
EOF
    rm "$out/.log"
    # In the C locale's order, the same in every locale.
    (cd "$out" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort |
        while read -r download; do sha256sum "$download"; done >SHA256SUMS)
    if [ -n "${failed:-}" ]; then
        echo "Not as tools/downloads/ says (above): $failed"
        exit 1
    fi
}

release() {
    . tools/packages.sh
    # shellcheck disable=SC2046
    need_packages $(packages)
    if in_checkout && [ -n "$(git status --porcelain)" ]; then
        git status --short
        echo "The tree has changes not committed (above): a release is a commit's"
        exit 1
    fi
    SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(cmake -P cmake/SourceDate.cmake)}
    export SOURCE_DATE_EPOCH
    echo "SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH ($(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S UTC'))"
    tree=build/release-tree
    rm -rf "$tree" build/release-files
    mkdir -p "$tree"
    source_archive | tar -xf - -C "$tree"
    (cd "$tree" && sh tools/release.sh --in-place)
    mv "$tree/build/release-files" build/release-files
    rm -rf "$tree"
    echo "== build/release-files/SHA256SUMS"
    cat build/release-files/SHA256SUMS
}

case ${1:-} in
"") release ;;
--source) source_archive ;;
--in-place) in_place ;;
--packages) packages ;;
*)
    echo "usage: sh tools/release.sh [--source | --in-place | --packages]"
    exit 2
    ;;
esac
