#!/usr/bin/env bash
# Installs the packages with dpkg into a copy-on-write view of this Debian system (nothing
# of it changes) with the project's folders out of sight, checks that their dependencies
# are met, plays a card made by the installed cardtool, and removes them again.
# Usage: dpkg_install_test.sh PACKAGE_FOLDER MOVIE HIDDEN_FOLDER...
# Exit 77 (skipped) where mount namespaces or overlay mounts are not available.
set -u
packages=$(cd "$1" && pwd)
movie=$2
shift 2
view=$(mktemp -d /var/tmp/velmora-dpkg.XXXXXX)
trap 'rm -rf "$view"' EXIT
mkdir "$view/upper" "$view/work" "$view/root" "$view/upper/check"
chmod 0755 "$view/upper/check"
cp "$packages"/*.deb "$movie" "$(dirname "$0")/play_installed_card.sh" "$view/upper/check/"
movie=/check/$(basename "$movie")

unshare -m bash -s "$view" "$movie" "$@" <<'VIEW'
set -u
view=$1
movie=$2
shift 2
root=$view/root
mount -t overlay overlay -o "lowerdir=/,upperdir=$view/upper,workdir=$view/work" "$root" ||
    exit 77
mount --bind /proc "$root/proc" && mount --bind /dev "$root/dev" || exit 77
for folder in /tmp /var/tmp "$@"; do
    [ -d "$root$folder" ] && mount -t tmpfs none "$root$folder"
done
chroot "$root" bash -s "$movie" <<'INSTALLED'
set -u
movie=$1
fail() {
    echo "FAIL: $*"
    exit 1
}
echo "-- dpkg -i"
dpkg -i /check/*.deb || fail "dpkg could not install the packages"
apt-get check -q || fail "the packages' dependencies are not met"
dpkg -s velmora quenfold | grep -E '^(Package|Version|Status)'
echo "-- a card from the installed programs, as a user"
mkdir -p /tmp/card-check && chown nobody: /tmp/card-check
runuser -u nobody -- bash /check/play_installed_card.sh /tmp/card-check "$movie" || exit 1
echo "-- dpkg -r"
dpkg -r quenfold velmora >/dev/null || fail "dpkg could not remove the packages"
[ ! -e /usr/lib/velmora ] || fail "removing left $(ls -A /usr/lib/velmora)"
[ ! -e /usr/bin/velmora ] || fail "removing left /usr/bin/velmora"
exit 0
INSTALLED
VIEW
status=$?
if [ "$status" -eq 77 ]; then
    echo "dpkg install test: no copy-on-write view of the system here; skipped"
    exit 77
fi
[ "$status" -eq 0 ] || exit 1
echo "dpkg install test: passed"
