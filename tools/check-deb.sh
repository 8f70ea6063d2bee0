#!/bin/sh
# Checks the Debian package as an administrator gets it: lintian reports no error and no warning; apt installs it
# on this machine; /usr/bin/quillmark, started on a virtual screen and read through the accessibility bus as a
# screen reader reads it, shows its one window and no message and, after 开始考试, 交卷 and 结果, lists the key's
# lines; an edit of /etc/quillmark/答案.txt stays over a reinstall and is what the program then reads; a purge
# leaves none of the package's files. Whatever fails, what this check installed is purged; a quillmark package
# that was on the machine before is left alone, and the steps that would touch it are skipped. As root, after
# `cmake --build --preset deb --target package`:
#
#     sh tools/check-deb.sh
set -eu
cd "$(dirname "$0")/.."
config=build/deb/CPackConfig.cmake
field() { sed -n "s/^set($1 \"\(.*\)\")$/\1/p" "$config"; }
deb=build/deb/quillmark_$(field CPACK_PACKAGE_VERSION)-$(field CPACK_DEBIAN_PACKAGE_RELEASE)_$(dpkg --print-architecture).deb
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

echo "== $deb, $(wc -c <"$deb") bytes"
echo "Depends: $(dpkg-deb -f "$deb" Depends)"
if ! lintian --fail-on error,warning "$deb"; then
    echo "lintian reports errors or warnings (above)"
    exit 1
fi
took "lintian: no error and no warning"

status=$(dpkg-query -W -f='${db:Status-Status}' quillmark 2>/dev/null || true)
if [ -n "$status" ] && [ "$status" != not-installed ]; then
    echo "SKIPPED: a quillmark package is on this machine already ($status): the install, start, reinstall and purge"
    echo "are not checked, so as to leave it and its key as they are"
    exit 0
fi

# Runs a command quietly; its output is shown, and the check ends, if it fails.
quietly() { # command [argument...]
    if ! "$@" >"$work/command.log" 2>&1; then
        cat "$work/command.log"
        exit 1
    fi
}
# Read as a screen reader reads it: its one window, no message, and the key list after an exam.
start() {
    quietly sh tests/qt/screenreader.sh key-list /usr/bin/quillmark "$key"
}
apt_install() { # apt-get options
    quietly apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "$@" "./$deb"
}

# What apt adds besides the package goes when it goes.
extras=$(apt-get -s install --no-install-recommends "./$deb" 2>/dev/null | sed -n 's/^Inst \([^ ]*\).*/\1/p' |
    grep -v -x quillmark | tr '\n' ' ' || true)
installed=yes
apt_install
iconv -f GBK -t UTF-8 sample/答案.txt | tr -d '\r' | cmp - "$key"
took "installed with apt-get install ./$(basename "$deb")${extras:+, with $extras}; $key is the sample key in UTF-8"
start
took "started /usr/bin/quillmark: its one window QuillmarkV1.0, no message; after 开始考试, 交卷 and 结果 its list shows lines 2 to 34 of $key"

sed -i '1s/.*/管理员改过的答案/; 2s/.*/甲乙丙丁甲/' "$key"
cp "$key" "$work/edited"
apt_install --reinstall
if ! cmp "$work/edited" "$key"; then
    echo "The reinstall replaced the edited $key"
    exit 1
fi
took "edited $key and reinstalled: the edit stays"
start
took "started it again: its list shows the edited key's lines"

dpkg -L quillmark | while read -r path; do [ -d "$path" ] && [ ! -L "$path" ] || echo "$path"; done >"$work/files"
printf '%s\n' /etc/quillmark /usr/libexec/quillmark /usr/share/doc/quillmark >>"$work/files"
quietly apt-get -o DPkg::Lock::Timeout=900 purge -y -qq quillmark $extras
installed=
while read -r path; do
    if [ -e "$path" ] || [ -L "$path" ]; then
        echo "The purge left $path"
        exit 1
    fi
done <"$work/files"
took "purged: none of its $(wc -l <"$work/files") files and folders left"
