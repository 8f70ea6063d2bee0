#!/bin/sh
# Checks the Debian package as Debian checks its own, with piuparts, each in a fresh system of its own:
# - on Debian 12 and on Debian 13: installed, removed and purged, leaving no file behind and no broken link;
# - a Debian 12 system with it installed and its key edited (tests/deb/), upgraded to Debian 13: it stays
#   installed, the edit stays its key, and a purge then leaves nothing.
# The three run side by side. Each system starts from a base root made with mmdebstrap from this machine's
# mirror and kept in $QUILLMARK_PIUPARTS (/var/cache/quillmark/piuparts), made anew once a week. As root, after
# `cmake --build --preset deb --target package`:
#
#     sh tools/piuparts.sh
set -eu
cd "$(dirname "$0")/.."
checkout=$(pwd)
. tools/packages.sh
. tools/contained.sh
cache=${QUILLMARK_PIUPARTS:-/var/cache/quillmark/piuparts}
deb=$checkout/$(deb_file)
[ -f "$deb" ] || { echo "No $deb: make it with cmake --build --preset deb --target package"; exit 1; }
# Its systems' mounts and processes go with it, however it ends; one run at a time uses the bases.
contain --lock "$cache/lock" tools/piuparts.sh "$@"
# The machine's own Debian mirror, the first that serves its main archive.
mirror=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(TARGET_OF)' | awk '$3 == "deb" && $2 !~ /-/ {print $1; exit}')
[ -n "$mirror" ] || { echo "This machine has no Debian mirror in its sources"; exit 1; }

# A package built on Debian 13 depends on its new library names (the t64 ones), which Debian 12 lacks: it is for
# Debian 13 alone, and the handed-out package, built on Debian 12, is the one checked on both and across.
built_on=$(this_release)
releases="$OLDER_RELEASE $NEWER_RELEASE"
[ "$built_on" = "$OLDER_RELEASE" ] || releases=$NEWER_RELEASE

for release in $releases; do
    if [ -z "$(find "$cache/$release.made" -mtime -7 2>/dev/null)" ]; then
        echo "Making the base system of $release in $cache/$release"
        rm -rf "$cache/$release" "$cache/$release.new" "$cache/$release.made"
        mmdebstrap --mode=root --variant=minbase --quiet "$release" "$cache/$release.new" "deb $mirror $release main"
        mv "$cache/$release.new" "$cache/$release"
        touch "$cache/$release.made"
        rm -f "$cache/upgraded.meta"
    fi
done
# The upgrade compares its system with the same release upgraded without the package: that state is kept with
# the bases, made by the first run after them (or when the base no longer matches it), then read.
reference="$cache/upgraded.meta"

work=$(mktemp -d)
# The systems piuparts makes in $work: on an interruption, what they still mount there is let go before they
# are removed, never followed into (their /dev, /proc and the archive are the machine's).
cleanup() {
    trap '' INT TERM
    wait
    grep -o " $work/[^ ]*" /proc/self/mounts | sort -r | while read -r point; do umount -l "$point" || true; done
    rm -rf --one-file-system "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
# The package as an archive of its own, for the upgrade, which installs it by name in the older release; at
# one path from run to run, since the systems it is seen in are compared with a kept one, which its own files
# (a new build each time) are left out of, as are piuparts' copies of the scripts in tests/deb.
repository=$cache/repository
rm -rf "$repository"
mkdir "$repository"
cp "$deb" "$repository/"
(cd "$repository" && dpkg-scanpackages --multiversion . >Packages 2>/dev/null)

# Each run's whole log stays in build/piuparts, named as the run.
mkdir -p build/piuparts
run() { # name, log, the release it starts from, then piuparts' own arguments
    name=$1
    log=build/piuparts/$2.log
    base=$3
    shift 3
    # A copy of the base each (hard links would share apt's locks between the systems side by side), and
    # debconf's own scratch folder, which Debian 13's debconf leaves and newer piuparts ignores itself.
    if piuparts --existing-chroot "$cache/$base" --tmpdir "$work" --mirror "$mirror main" \
        --no-check-valid-until --fail-on-broken-symlinks --pedantic-purge-test --scriptsdir tests/deb \
        --ignore=/var/cache/debconf/tmp.ci/ "$@" >"$log" 2>&1; then
        echo "piuparts, $name: PASS ($(sed -n 's/^.*INFO: PASS: //p' "$log" | sort -u | tr '\n' ';'))"
        sed -n 's/^ *quillmark: /    /p' "$log"
    else
        tail -n 80 "$log"
        echo "piuparts, $name: FAIL (above)"
        return 1
    fi
}
status=0
if [ "$built_on" != "$OLDER_RELEASE" ]; then
    echo "piuparts: this package was built on $(. /etc/os-release && echo "$PRETTY_NAME"), for that release alone"
    run "Debian 13: install, remove, purge" debian13 "$NEWER_RELEASE" -d "$NEWER_RELEASE" "$deb"
    exit
fi
run "Debian 12: install, remove, purge" debian12 "$OLDER_RELEASE" -d "$OLDER_RELEASE" "$deb" &
twelve=$!
run "Debian 13: install, remove, purge" debian13 "$NEWER_RELEASE" -d "$NEWER_RELEASE" "$deb" &
thirteen=$!
run "Debian 12 upgraded to 13" upgrade "$OLDER_RELEASE" -d "$OLDER_RELEASE" -d "$NEWER_RELEASE" --end-meta="$reference" \
    --save-end-meta="$reference" --apt quillmark --bindmount "$repository" --ignore-regex="^$repository/" \
    --ignore-regex="^/tmp/scripts/" --extra-repo "deb [trusted=yes] file://$repository ./" || status=1
wait $twelve || status=1
wait $thirteen || status=1
exit $status
