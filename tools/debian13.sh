#!/bin/sh
# Runs a command as root inside Debian 13 (trixie), in a root of its own outside the checkout, with the
# checkout at the same path, so that the test command can try the other release from this one:
#
#     sh tools/debian13.sh sh tools/test.sh
#
# The root is made once with mmdebstrap from this machine's own Debian sources (the same mirrors, trixie's
# suites) and kept in $QUILLMARK_DEBIAN13 (/var/cache/quillmark/debian13 by default): a run installs its
# packages there once, and the next finds them. It carries in this machine's ways to its registries: the
# certificate authorities it added, its apt settings that no package owns, and npm's configuration. Once a week
# a run brings it up to date (apt-get dist-upgrade); QUILLMARK_DEBIAN13_REFRESH=1 makes it anew.
#
# Inside, the checkout's build/ is its build/debian13/, and node_modules/ is build/debian13/node_modules/, so
# that the two releases' builds never meet; /sys and /dev are the machine's, for the builds, Wine and the
# virtual screens, which the command starts inside. The command runs in PID and mount namespaces of its own
# (tools/contained.sh): whatever it starts and every mount goes with it, on Ctrl-C or a kill too, and the lock
# that keeps two runs from sharing the root is held outside, where nothing the command starts can keep it.
set -eu
checkout=$(cd "$(dirname "$0")/.." && pwd)
cd "$checkout"
. tools/packages.sh
. tools/contained.sh
cache=${QUILLMARK_DEBIAN13:-/var/cache/quillmark/debian13}
root=$cache/root
need_packages mmdebstrap util-linux
contain --lock "$cache/lock" tools/debian13.sh "$@"
[ $# -gt 0 ] || set -- sh

if [ "${QUILLMARK_DEBIAN13_REFRESH:-}" = 1 ] || [ ! -e "$cache/made" ]; then
    rm -rf "$root" "$cache/made" "$cache/updated"
    # This machine's mirrors, with the newer release's suites in place of its own.
    release=$(this_release)
    sources=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(TARGET_OF)' | awk '$3 == "deb"' | sort -u |
        while read -r uri suite _; do
            echo "deb $uri $NEWER_RELEASE${suite#"$release"} main"
        done)
    [ -n "$sources" ] || { echo "debian13.sh: this machine has no Debian sources to make $NEWER_RELEASE's from"; exit 1; }
    echo "Making a Debian 13 root in $root from:"
    echo "$sources"
    # Its ways to the registries: its own certificate authorities, the apt settings no package owns.
    hooks=$(mktemp -d)
    trap 'rm -rf "$hooks"' EXIT
    mkdir -p "$hooks/ca" "$hooks/apt"
    cp /usr/local/share/ca-certificates/*.crt "$hooks/ca/" 2>/dev/null || true
    for file in /etc/apt/apt.conf.d/*; do
        [ -f "$file" ] && ! dpkg -S "$file" >/dev/null 2>&1 && cp "$file" "$hooks/apt/"
    done
    export QUILLMARK_HOOKS="$hooks"
    echo "$sources" | mmdebstrap --mode=root --variant=apt --include=ca-certificates,locales \
        --setup-hook='mkdir -p "$1/etc/apt/apt.conf.d" && cp "$QUILLMARK_HOOKS"/apt/* "$1/etc/apt/apt.conf.d/" 2>/dev/null || true' \
        --customize-hook='mkdir -p "$1/usr/local/share/ca-certificates" && cp "$QUILLMARK_HOOKS"/ca/* "$1/usr/local/share/ca-certificates/" 2>/dev/null || true' \
        --customize-hook='chroot "$1" update-ca-certificates >/dev/null' \
        "$NEWER_RELEASE" "$root" -
    touch "$cache/made" "$cache/updated"
fi

# npm's configuration, as this machine has it at the time of each run.
for file in "$(npm config get globalconfig 2>/dev/null || true)" "$HOME/.npmrc"; do
    case $file in /*) [ -f "$file" ] && mkdir -p "$root$(dirname "$file")" && cp "$file" "$root$file" ;; esac
done

# The root a mount point of its own, as / is, for what makes systems inside it (mmdebstrap, piuparts); the
# machine's devices and kernel; a /tmp and a /run of its own; the checkout at its own path, made in the root's
# /tmp once that is mounted where the checkout lies under /tmp.
mount --bind "$root" "$root"
mount --rbind /dev "$root/dev"
mount -t proc proc "$root/proc"
mount --rbind /sys "$root/sys"
mount -t tmpfs tmpfs "$root/tmp"
mount -t tmpfs tmpfs "$root/run"
mount --bind /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || cp /etc/resolv.conf "$root/etc/resolv.conf"
mkdir -p "$checkout/build/debian13/node_modules" "$checkout/node_modules" "$root$checkout"
mount --bind "$checkout" "$root$checkout"
mount --bind "$checkout/build/debian13" "$root$checkout/build"
mount --bind "$checkout/build/debian13/node_modules" "$root$checkout/node_modules"

# Once a week, brought up to date; a failure to is the run's.
if [ -z "$(find "$cache/updated" -mtime -7 2>/dev/null)" ]; then
    echo "Bringing the Debian 13 root up to date"
    chroot "$root" sh -c 'apt-get -o DPkg::Lock::Timeout=900 update -qq &&
        DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 dist-upgrade -y -qq'
    touch "$cache/updated"
fi

# The variables of this machine's session (its screen, its buses) stay out: the command starts its own.
env -u DISPLAY -u XAUTHORITY -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS -u XDG_RUNTIME_DIR \
    HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    chroot "$root" sh -c 'cd "$0" && exec "$@"' "$checkout" "$@"
