#!/bin/sh
# The test command: installs what is missing, then runs every stage below, or those named, each timed:
#
#     sh tools/test.sh              # every stage
#     sh tools/test.sh build web    # those alone
#
#   format    every C++ file as .clang-format lays it out
#   build     the normal build and its tests
#   asan      the same tests under AddressSanitizer and UndefinedBehaviorSanitizer
#   fuzz      each fuzzer for a bounded time (QUILLMARK_FUZZ_SECONDS, 60 by default)
#   tidy      clang-tidy over the program's sources
#   clazy     clazy over them
#   windows   the Windows program built with mingw-w64, 64-bit and 32-bit: the 64-bit one's tests under Wine, its
#             archive unpacked and run, read through MSAA and UI Automation; the core's tests on 32-bit x86 under
#             qemu-i386-static; the 32-bit program's PE header and imports against Wine's 32-bit DLLs; the
#             Windows Installer packages installed, upgraded and removed by Wine's msiexec; a signed build verified
#   web       the web page built with emscripten, its tests under node and in Chromium, Firefox and WebKit, its
#             archive served
#   reproducible  every download built twice, in folders, at times, by users and under umasks, locales and
#             time zones that differ: the same bytes, or diffoscope's report of what differs
#   deb       the Debian package: lintian; piuparts on Debian 12, on Debian 13 and across the upgrade; installed
#             here, started and read through the accessibility bus, purged
#   debian13  in a Debian 13 root (tools/debian13.sh): format and build, and the package built here installed
#             there, read on X and under Wayland
#
# Each stage installs the Debian packages it needs; none needs a display. A stage that fails does not stop the
# next: the last lines list each stage, passed or failed, with its time, and the command fails if any did.
# Whatever a stage starts (virtual screens, buses, Wine, browsers, systems in roots) ends with the command, on
# Ctrl-C or a kill too (tools/contained.sh).
set -eu
cd "$(dirname "$0")/.."
STAGES="format build asan fuzz tidy clazy windows web reproducible deb debian13"
for stage in "$@"; do
    case " $STAGES installed " in *" $stage "*) ;; *) echo "No stage $stage: the stages are $STAGES"; exit 2 ;; esac
done
. tools/packages.sh
. tools/contained.sh
contain tools/test.sh "$@"
[ $# -gt 0 ] || set -- $STAGES
export QT_QPA_PLATFORM=offscreen
# Every font, style and lock a check needs is installed here: a check that cannot run fails rather than skips.
export QUILLMARK_NO_SKIPS=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
FONTS="fonts-arphic-uming fonts-wqy-microhei fonts-noto-cjk"

stage_format() {
    need_packages clang-format
    # The tree's own C++ files, found without git: a root or an unpacked archive has none.
    find src tests bench fuzz -type f \( -name '*.cpp' -o -name '*.h' \) | sort >"$work/format"
    count=$(wc -l <"$work/format")
    if [ "$count" -lt 100 ]; then
        echo "Found $count C++ files where the tree has over 100: nothing to check against .clang-format"
        return 1
    fi
    if ! xargs clang-format --dry-run --Werror <"$work/format"; then
        echo "The files above differ from .clang-format: run clang-format -i on them."
        return 1
    fi
    echo "$(clang-format --version | sed 's/ *(.*//'): each of the $count C++ files as .clang-format lays it out"
}

# A Qt build and its tests, with what they read the program through (the accessibility bus on a virtual X screen
# and under Wayland) and the fonts and styles the appearance checks ask for.
build_and_test() { # preset
    need_packages $BUILD_PACKAGES $FONTS adwaita-qt6 desktop-file-utils appstream doctest-dev xvfb xauth \
        dbus-daemon at-spi2-core python3-pyatspi weston qt6-wayland
    cmake --preset "$1"
    cmake --build --preset "$1"
    ctest --preset "$1"
}

stage_build() { build_and_test dev; }

stage_asan() { build_and_test asan; }

stage_fuzz() {
    need_packages cmake ninja-build clang libclang-rt-dev
    cmake --preset fuzz
    cmake --build --preset fuzz
    # The two fuzzers side by side, a core each.
    for target in keyfile number; do
        mkdir -p "$work/$target"
        # New inputs go to the scratch corpus; the seeds in the repository stay as they are.
        build/fuzz/fuzz/fuzz_$target -max_total_time="${QUILLMARK_FUZZ_SECONDS:-60}" -max_len=16384 \
            -artifact_prefix="$work/$target-" -print_final_stats=1 "$work/$target" "fuzz/corpus/$target" \
            >"$work/$target.log" 2>&1 &
        echo $! >"$work/$target.pid"
    done
    found=
    for target in keyfile number; do
        if ! wait "$(cat "$work/$target.pid")"; then
            tail -n 60 "$work/$target.log"
            echo "fuzz_$target found a failing input (above)"
            found=yes
            continue
        fi
        echo "fuzz_$target: $(grep -E "^Done" "$work/$target.log"); corpus of $(ls "$work/$target" | wc -l) inputs"
    done
    [ -z "$found" ]
}

stage_tidy() {
    need_packages $BUILD_PACKAGES doctest-dev clang-tidy python3
    # The sources as they are now, compiled: their commands, and the headers each reads.
    cmake --preset dev >/dev/null
    cmake --build --preset dev
    # The Windows-only and the browser-only sources are those builds'.
    find src -name '*.cpp' ! -name '*_windows.cpp' ! -name '*_web.cpp' ! -path 'src/views/win32/*' \
        ! -path 'src/views/web/*' | sort >"$work/tidy"
    # shellcheck disable=SC2046
    python3 tools/tidy.py $(cat "$work/tidy")
}

stage_clazy() {
    need_packages $BUILD_PACKAGES doctest-dev clazy clang
    cmake --preset clazy
    cmake --build --preset clazy
    echo "clazy: clean"
}

stage_windows() {
    need_packages cmake ninja-build g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 g++-i686-linux-gnu \
        qemu-user-static doctest-dev wine wine64 fonts-wine xvfb xauth locales $FONTS python3 python3-olefile wixl \
        msitools osslsigncode openssl
    for preset in windows windows32; do
        cmake --preset $preset
        cmake --build --preset $preset
        cmake --build --preset $preset --target package msi
        echo "$preset: quillmark.exe $(wc -c <build/$preset/src/quillmark.exe) bytes"
    done
    # The core's tests for 32-bit x86, run by qemu-i386-static itself (nothing registered with the kernel) with
    # Debian's i386 C library unpacked beside them, as Wine's 32-bit DLLs are for the PE check: none installed.
    sh tools/i386-packages.sh
    cmake --preset core32
    cmake --build --preset core32
    ctest --preset core32
    sh tools/check-signing.sh
    # One Wine prefix for the tests, the archive's run and the packages.
    sh tools/wine.sh sh -c 'ctest --preset windows && sh tools/check-windows-archive.sh && sh tools/check-msi.sh'
}

stage_web() {
    # puppeteer-core and selenium-webdriver, at the versions and with the dependencies package-lock.json pins,
    # drive Debian's Chromium and Firefox ESR, and WebKitGTK's WebKitWebDriver with GNOME Web on a virtual screen.
    need_packages cmake ninja-build emscripten doctest-dev chromium firefox-esr webkit2gtk-driver epiphany-browser \
        xvfb xauth poppler-utils python3 $FONTS
    # Node.js and npm: Debian's, unless the machine has its own already.
    command -v node >/dev/null 2>&1 || need_packages nodejs
    command -v npm >/dev/null 2>&1 || need_packages npm
    npm ci --no-audit --no-fund
    cmake --preset web
    cmake --build --preset web
    echo "the page's program: $(($(wc -c <build/web/site/quillmark.wasm) + $(wc -c <build/web/site/quillmark.js))) bytes"
    ctest --preset web
    cmake --build --preset web --target package
    sh tools/check-web-archive.sh
}

# Every download built twice by the release command's build (tools/release.sh --in-place), in two copies of the
# tree made to differ as reprotest varies builds: the folder's name and depth, the time (the second starts
# later), the user (root, then a throwaway uid no one has), the umask (022, 077), the locale (C.UTF-8,
# zh_CN.UTF-8), the time zone (12 hours behind UTC, 14 ahead: another date), HOME, PATH, one more variable and
# address space randomisation, and the source files' times (each copy's dated when it got them, as a checkout's
# are); each must give the same bytes. The copies are kept, in $QUILLMARK_REPRODUCIBLE
# (/var/cache/quillmark/reproducible), where an unprivileged user reaches them, and a later run writes in only
# the files that changed and builds only what they make, each copy under the same variations every time;
# configuring and packing, where the time, the umask and the locale could get in, run every time. A kept build
# hides what no build notices by itself, so the second is built from clean when SOURCE_DATE_EPOCH changed (a
# commit), against the first's kept one (a step that took in the time and did not run again then differs), and
# both when a package the builds use, or one it depends on, changed, or with QUILLMARK_REPRODUCIBLE_FRESH=1.
stage_reproducible() {
    packages=$(sh tools/release.sh --packages)
    # diffoscope reads a zip's listing with unzip's zipinfo, which it only recommends.
    # shellcheck disable=SC2086
    need_packages $packages diffoscope-minimal unzip locales util-linux rsync
    umask 022
    base=${QUILLMARK_REPRODUCIBLE:-/var/cache/quillmark/reproducible}/$(pwd -P | cksum | cut -d ' ' -f 1)
    first=$base/1/quillmark
    second=$base/second-build/in/a/deeper/folder/quillmark-source
    epoch=$(cmake -P cmake/SourceDate.cmake)
    # The versions of the packages the builds use and of all they depend on: the compilers under emscripten, Qt's
    # libraries, binutils...
    # shellcheck disable=SC2086
    toolchain=$(apt-cache depends --recurse --installed --no-recommends --no-suggests --no-conflicts --no-breaks \
        --no-replaces --no-enhances $packages 2>/dev/null | grep -v -e '^ ' -e '^<' | LC_ALL=C sort -u |
        xargs dpkg-query -W 2>/dev/null | cksum)
    if [ -n "${QUILLMARK_REPRODUCIBLE_FRESH:-}" ] || [ "$(cat "$base/toolchain" 2>/dev/null)" != "$toolchain" ]; then
        echo "Both builds from clean"
        rm -rf "$first/build" "$second/build"
    elif [ "$(cat "$base/epoch" 2>/dev/null)" != "$epoch" ]; then
        echo "SOURCE_DATE_EPOCH is $epoch now: the second build from clean, the first from its kept build"
        rm -rf "$second/build"
    fi
    id=61000
    while getent passwd "$id" >/dev/null || getent group "$id" >/dev/null; do id=$((id + 1)); done
    mkdir -p "$first" "$second" "$base/path" "$base/locale"
    chown -R "$id:$id" "$base/second-build"
    if ! setpriv --reuid="$id" --regid="$id" --clear-groups test -w "$second"; then
        echo "uid $id cannot write in $second: its parent folders must let others in"
        return 1
    fi
    # Chinese, as a locale of this stage's own: the system need not have it generated.
    [ -d "$base/locale/zh_CN.UTF-8" ] || localedef -i zh_CN -f UTF-8 "$base/locale/zh_CN.UTF-8"
    system_path=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
    # Runs a command in a copy under its variations: root, 022, C.UTF-8, UTC-12 and no HOME; or uid $id, 077,
    # zh_CN.UTF-8, UTC+14, a HOME, one more folder on the PATH and one more variable, without randomisation.
    varied() { # first|second, command...
        if [ "$1" = first ]; then
            shift
            env -i PATH=$system_path HOME=/nonexistent TZ=GMT+12 LC_ALL=C.UTF-8 SOURCE_DATE_EPOCH="$epoch" \
                sh -c 'umask 022 && cd "$0" && exec "$@"' "$first" "$@"
        else
            shift
            setpriv --reuid="$id" --regid="$id" --clear-groups env -i PATH="$system_path:$base/path" \
                HOME="$base/second-build/home" TZ=GMT-14 LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 LANGUAGE=zh_CN \
                LOCPATH="$base/locale" QUILLMARK_SECOND_BUILD=1 SOURCE_DATE_EPOCH="$epoch" \
                setarch "$(uname -m)" -R sh -c 'umask 077 && mkdir -p "$HOME" && cd "$0" && exec "$@"' "$second" "$@"
        fi
    }
    rm -rf "$base/source"
    mkdir "$base/source"
    sh tools/release.sh --source | tar -xf - -C "$base/source"
    failed=
    for build in first second; do
        started=$(date +%s)
        folder=$first
        [ $build = first ] || folder=$second
        # The tree as it is now, written in as git writes a checkout: a file whose bytes changed (or a new one)
        # now, with the copy's umask, one that did not left as it is, and built again only if it changed.
        varied $build rsync --recursive --checksum --delete --exclude=/build/ "$base/source/" ./
        rm -rf "$folder/build/release-files"
        if ! varied $build sh tools/release.sh --in-place >"$work/$build.log" 2>&1; then
            tail -n 60 "$work/$build.log"
            echo "The $build build failed (above)"
            failed=yes
        fi
        echo "the $build build, in $folder: $(($(date +%s) - started)) s"
    done
    echo "$toolchain" >"$base/toolchain"
    echo "$epoch" >"$base/epoch"
    one=$first/build/release-files
    two=$second/build/release-files
    mkdir -p build/reproducible
    for name in $( (ls "$one" 2>/dev/null; ls "$two" 2>/dev/null) | LC_ALL=C sort -u); do
        if [ ! -f "$one/$name" ] || [ ! -f "$two/$name" ]; then
            echo "== $name: made by one build alone"
            failed=yes
        elif ! cmp -s "$one/$name" "$two/$name"; then
            echo "== $name differs between the two builds; diffoscope's report:"
            LC_ALL=C.UTF-8 diffoscope --no-progress --exclude-directory-metadata=yes --max-diff-block-lines 40 \
                --text "build/reproducible/$name.txt" "$one/$name" "$two/$name" 2>/dev/null || true
            head -n 300 "build/reproducible/$name.txt"
            echo "(the whole report: build/reproducible/$name.txt)"
            failed=yes
        fi
    done
    [ -z "$failed" ] || return 1
    cat "$one/SHA256SUMS"
    echo "SOURCE_DATE_EPOCH=$epoch: each download the same bytes from both builds"
}

stage_deb() {
    need_packages $BUILD_PACKAGES dpkg-dev file lintian piuparts mmdebstrap xvfb xauth dbus-daemon at-spi2-core \
        python3-pyatspi
    cmake --preset deb
    cmake --build --preset deb --target package
    sh tools/check-deb.sh lint
    sh tools/piuparts.sh
    sh tools/check-deb.sh installed
}

# Inside Debian 13: the package built on Debian 12, installed, read on X and under Wayland.
stage_installed() {
    need_packages lintian xvfb xauth dbus-daemon at-spi2-core python3-pyatspi weston qt6-wayland
    sh tools/check-deb.sh lint
    QUILLMARK_WAYLAND=1 sh tools/check-deb.sh installed
}

stage_debian13() {
    if [ "$(this_release)" = "$NEWER_RELEASE" ]; then
        # Here already: what the stage does in the root, done here, but for what this run has passed already.
        echo "This machine is Debian 13: its format and build stages, and its package installed, here"
        for stage in format build; do
            case " $passed " in
            *" $stage "*) echo "$stage: passed above, in this run" ;;
            *) "stage_$stage" ;;
            esac
        done
        cmake --preset deb
        cmake --build --preset deb --target package
        stage_installed
        return
    fi
    # The package of this very tree: built anew where the sources changed since the last, never an old one.
    need_packages $BUILD_PACKAGES dpkg-dev file
    cmake --preset deb
    cmake --build --preset deb --target package
    mkdir -p build/debian13/deb
    cp "$(deb_file)" build/deb/CPackConfig.cmake build/debian13/deb/
    sh tools/debian13.sh sh tools/test.sh format build installed
}

# Each stage in a shell of its own, where set -e ends it at its first failure (it would not inside a condition),
# started in the background so that a signal is taken at once, not once the stage is over.
total=$(date +%s)
summary=
passed=
failed=
interrupted() {
    trap '' INT TERM
    echo "== interrupted: ended what the stages had started"
    exit "$1"
}
trap 'interrupted 130' INT
trap 'interrupted 143' TERM
for stage in "$@"; do
    echo "== $stage"
    started=$(date +%s)
    (
        set -e
        "stage_$stage"
    ) &
    if wait $!; then
        verdict=passed
        passed="$passed $stage"
    else
        verdict=FAILED
        failed="$failed $stage"
    fi
    seconds=$(($(date +%s) - started))
    echo "== $stage $verdict after $seconds s"
    summary="$summary$(printf '%-12s %-6s %5d s' "$stage" "$verdict" "$seconds")
"
done
echo "== the stages:"
printf '%s' "$summary"
if [ -n "$failed" ]; then
    echo "== FAILED:$failed ($(($(date +%s) - total)) s in all)"
    exit 1
fi
echo "== passed, $(($(date +%s) - total)) s in all"
