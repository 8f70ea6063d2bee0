#!/bin/sh
# Checks the Debian package as an administrator gets it, in what piuparts (tools/piuparts.sh) does not try:
#
#     sh tools/check-deb.sh lint         lintian reports no error and no warning
#     sh tools/check-deb.sh installed    apt installs it on this machine, and /usr/bin/quillmark, started and
#                                        read through the accessibility bus as a screen reader reads it, shows
#                                        its one window and no message, sits a whole exam, and after 开始考试,
#                                        交卷 and 结果 lists the key's lines; with QUILLMARK_WAYLAND=1 the exam
#                                        again under Wayland; then it is purged
#
# Whatever fails, what this check installed is purged; a quillmark package that was on the machine before is
# left alone, and the steps that would touch it are skipped, which fails under QUILLMARK_NO_SKIPS=1 (the test
# command). As root, after
# `cmake --build --preset deb --target package`.
set -eu
cd "$(dirname "$0")/.."
. tools/packages.sh
deb=$(deb_file)
if [ ! -f "$deb" ]; then
    echo "No $deb: make it with cmake --build --preset deb --target package"
    exit 1
fi
key=/etc/quillmark/答案.txt
work=$(mktemp -d)
installed=
extras=
cleanup() {
    if [ -n "$installed" ]; then
        echo "Purging what this check installed: quillmark $extras"
        apt-get -o DPkg::Lock::Timeout=900 purge -y -qq quillmark $extras >"$work/purge.log" 2>&1 || cat "$work/purge.log"
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
since=$(date +%s%N)
took() {
    now=$(date +%s%N)
    echo "$1 ($(((now - since) / 1000000)) ms)"
    since=$now
}

case ${1:-} in
lint)
    echo "$deb, $(wc -c <"$deb") bytes; Depends: $(dpkg-deb -f "$deb" Depends); Recommends: $(dpkg-deb -f "$deb" Recommends)"
    if ! lintian --fail-on error,warning "$deb"; then
        echo "lintian reports errors or warnings (above)"
        exit 1
    fi
    took "$(lintian --version): no error and no warning"
    exit 0
    ;;
installed) ;;
*)
    echo "usage: sh tools/check-deb.sh lint|installed"
    exit 2
    ;;
esac

status=$(dpkg-query -W -f='${db:Status-Status}' quillmark 2>/dev/null || true)
if [ -n "$status" ] && [ "$status" != not-installed ]; then
    echo "SKIPPED: a quillmark package is on this machine already ($status): the install, start and purge are not"
    echo "checked, so as to leave it and its key as they are"
    # The test command promises every check: there, one left out is a failure.
    [ "${QUILLMARK_NO_SKIPS:-}" != 1 ] || exit 1
    exit 0
fi

# Runs a command quietly; its output is shown, and the check ends, if it fails.
quietly() { # command [argument...]
    if ! "$@" >"$work/command.log" 2>&1; then
        cat "$work/command.log"
        exit 1
    fi
}

# What apt adds besides the package goes when it goes.
extras=$(apt-get -s install "./$deb" 2>/dev/null | sed -n 's/^Inst \([^ ]*\).*/\1/p' |
    grep -v -x quillmark | tr '\n' ' ' || true)
installed=yes
# With its recommendations, as apt installs by default.
quietly apt-get -o DPkg::Lock::Timeout=900 install -y -qq "./$deb"
iconv -f GBK -t UTF-8 sample/答案.txt | tr -d '\r' | cmp - "$key"
took "installed with apt-get install ./$(basename "$deb"); $key is the sample key in UTF-8"
quietly sh tests/qt/screenreader.sh exam /usr/bin/quillmark
took "on X: its boxes named, a whole exam: the score said, the right answers told"
quietly sh tests/qt/screenreader.sh key-list /usr/bin/quillmark "$key"
took "on X: its one window QuillmarkV1.0, no message; after 开始考试, 交卷 and 结果 its list shows lines 2 to 34 of $key"
if [ "${QUILLMARK_WAYLAND:-}" = 1 ]; then
    QUILLMARK_SCREEN=wayland quietly sh tests/qt/screenreader.sh exam /usr/bin/quillmark
    took "under Wayland (weston, Qt's wayland platform): its boxes named, a whole exam: the score said, the right answers told"
fi
quietly apt-get -o DPkg::Lock::Timeout=900 purge -y -qq quillmark $extras
installed=
took "purged, with what apt added for it"
