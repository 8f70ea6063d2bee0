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
    apt-get -o DPkg::Lock::Timeout=900 update -qq
    # shellcheck disable=SC2086
    apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends $missing
}

BUILD_PACKAGES="cmake ninja-build g++ qt6-base-dev libgl-dev"
