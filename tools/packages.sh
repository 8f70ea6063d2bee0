# Sourced by the other scripts: installs the Debian packages named in $@ that are missing.
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
