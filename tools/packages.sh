# Sourced by the other scripts: Debian's releases and packages as the scripts meet them.

# The releases Quillmark is built and tested on: the older one builds the package handed out for both.
OLDER_RELEASE=bookworm # Debian 12
NEWER_RELEASE=trixie   # Debian 13

# This machine's release, by its code name.
this_release() {
    (. /etc/os-release && echo "${VERSION_CODENAME:-unknown}")
}

# The package `cmake --build --preset deb --target package` makes, named from that build's own configuration.
deb_file() {
    set -- build/deb/CPackConfig.cmake
    echo "build/deb/quillmark_$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$1")-$(sed -n \
        's/^set(CPACK_DEBIAN_PACKAGE_RELEASE "\(.*\)")$/\1/p' "$1")_$(dpkg --print-architecture).deb"
}

# apt-get update, tried again while a mirror is in the middle of a sync (an index of another size than its
# Release file says, for a minute or two): three tries, 30 s apart, then what it fetched serves, and a package
# it lacks fails what asks for it.
apt_update() {
    for try in 1 2 3; do
        apt-get -o DPkg::Lock::Timeout=900 -qq update && return 0
        [ "$try" = 3 ] || sleep 30
    done
    echo "apt-get update failed three times: going on with the indexes it fetched" >&2
}

# Installs the Debian packages named in $@ that are missing.
need_packages() {
    missing=""
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing="$missing $package"
    done
    [ -z "$missing" ] && return 0
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    # Another apt run (a second test command, a helper) holds dpkg's lock for a while: wait for it, not fail.
    apt_update
    # shellcheck disable=SC2086
    apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends $missing
}

BUILD_PACKAGES="cmake ninja-build g++ qt6-base-dev libgl-dev"
