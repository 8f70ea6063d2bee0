#!/bin/sh
# Unpacks Debian's i386 packages that the 32-bit checks read, without installing them or adding i386 to the
# machine's architectures: apt runs with a state, lists and cache of its own under build/i386/apt (the
# machine's own sources, its i386 indexes), downloads the packages there and `dpkg -x` unpacks them. Kept in
# build/i386, looked at again once a week, and made anew when the release's versions changed; `rm -rf build/i386` makes it anew.
#
#     sh tools/i386-packages.sh
#
# - build/i386/root: the C library (libc6:i386), with its GBK converter, for the core's 32-bit tests under
#   qemu-i386-static -L (the core32 preset);
# - build/i386/wine: Wine's 32-bit DLLs (from libwine:i386, which wine32:i386 brings in) that a Windows program
#   may import, against which tools/check-pe.py checks the 32-bit quillmark.exe.
set -eu
cd "$(dirname "$0")/.."
. tools/packages.sh
out=$(pwd)/build/i386
apt="$out/apt"
# The DLLs of Windows that tools/check-pe.py allows a program to import.
dlls=$(python3 tools/check-pe.py --allowed)

# Looked at again once a week.
[ -z "$(find "$out/versions" -mtime -7 2>/dev/null)" ] || exit 0

mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial"
touch "$apt/status"
# The settings in a file of their own, which apt reads besides the machine's (its sources, its proxies): paths
# quoted, as a checkout's may hold spaces.
cat >"$apt/apt.conf" <<SETTINGS
APT::Architecture "i386";
#clear APT::Architectures;
APT::Architectures { "i386"; };
Dir::State "$apt";
Dir::State::Lists "$apt/lists";
Dir::State::status "$apt/status";
Dir::Cache "$apt/cache";
APT::Sandbox::User "root";
SETTINGS
export APT_CONFIG="$apt/apt.conf"
apt_update
versions=$(apt-cache show --no-all-versions libc6:i386 libwine:i386 | sed -n 's/^Version: //p' | tr '\n' ' ')
if [ "$(cat "$out/versions" 2>/dev/null)" = "$versions" ]; then
    rm -rf "$apt/lists"
    touch "$out/versions"
    exit 0
fi
rm -rf "$out/root" "$out/wine" "$out/versions" "$apt"/*.deb
(cd "$apt" && apt-get -qq download libc6:i386 libwine:i386)
dpkg -x "$apt"/libc6_*_i386.deb "$out/root"
# Debian 13's C library lies under /usr alone; the programs ask for /lib/ld-linux.so.2.
[ -e "$out/root/lib" ] || ln -s usr/lib "$out/root/lib"
# Wine's DLLs unpacked are over 500 MB: only those a program may import are kept.
dpkg -x "$apt"/libwine_*_i386.deb "$apt/libwine"
mkdir -p "$out/wine"
for dll in $dlls; do
    cp "$apt/libwine/usr/lib/i386-linux-gnu/wine/i386-windows/$dll" "$out/wine/"
done
rm -rf "$apt/libwine" "$apt/lists" "$apt"/*.deb
echo "$versions" >"$out/versions"
echo "Unpacked libc6:i386 and libwine:i386 ($versions) into $out"
