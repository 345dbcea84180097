#!/usr/bin/env bash
# Installs the packages of build-package/packages/ (scripts/package.sh) with apt into a fresh, minimal
# Debian 12 made by debootstrap, then plays a card made by the installed cardtool there as an
# unprivileged user and starts the installed builder. Needs root and the Debian archive; takes
# a few minutes, so it is a check for releases, not part of the test command.
# Usage: scripts/clean-install-check.sh [ROOT_FOLDER]   (default: a new temporary folder)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=${1:-$(mktemp -d /tmp/velmora-debian12.XXXXXX)}
packages=("$root"/build-package/packages/velmora_*.deb "$root"/build-package/packages/quenfold_*.deb)
for deb in "${packages[@]}"; do
    [ -f "$deb" ] || { echo "clean-install-check: build the packages first (scripts/package.sh)"; exit 1; }
done
command -v debootstrap >/dev/null ||
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap

echo "== A minimal Debian 12 in $target"
chmod 0755 "$target" # its root folder, which an ordinary user must be able to enter
debootstrap --variant=minbase bookworm "$target" http://deb.debian.org/debian >/dev/null
cp /etc/resolv.conf "$target/etc/resolv.conf"
mount -t proc proc "$target/proc"
trap 'umount "$target/proc"' EXIT
chroot "$target" apt-get update -qq

echo "== apt installs the packages and what they depend on"
mkdir -p "$target/check"
cp "${packages[@]}" "$root/samples/greeting.swf" "$root/packaging/tests/play_installed_card.sh" \
    "$target/check/"
chroot "$target" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
    --no-install-recommends /check/"$(basename "${packages[0]}")" \
    /check/"$(basename "${packages[1]}")" 2>/dev/null |
    grep -E "newly installed|^Setting up (velmora|quenfold)"

echo "== A card made and played there by an ordinary user"
chroot "$target" bash -c 'mkdir -p -m 0777 /tmp/card-check &&
    runuser -u nobody -- bash /check/play_installed_card.sh /tmp/card-check/w /check/greeting.swf'
echo "clean install check: passed"
