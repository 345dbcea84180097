#!/usr/bin/env bash
# Builds the Debian packages velmora and quenfold into build-package/packages/ (a release
# build of its own in build-package/, programs for /usr), checks them with lintian and
# appstreamcli, and plays a card from the packages' own files with the build folder out of
# sight.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-package
"$root/scripts/setup.sh"

# The packaging tools, only here: building and testing the programs needs none of them.
tools=(lintian appstream dpkg-dev fakeroot file)
missing=()
for p in "${tools[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -ne 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

echo "== Build"
# Only what the packages hold: CPack's install step then builds nothing more.
# Without debug information: CPack strips every binary it packs, and leaving -g out makes
# this build a third faster.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
ninja -C "$build" -j"$(nproc)" package_contents

echo "== Packages"
rm -rf "$build/packages"
(cd "$build" && cpack -G DEB >/dev/null)
rm -rf "$build/packages/_CPack_Packages"
ls -l "$build"/packages/*.deb
for deb in "$build"/packages/*.deb; do
    echo "-- $(basename "$deb")"
    dpkg-deb --field "$deb" Package Version Architecture Depends Recommends Installed-Size
done

# Every dependency is a package the system's archive knows (velmora comes with them).
for deb in "$build"/packages/*.deb; do
    for name in $(dpkg-deb --field "$deb" Depends | tr ',' '\n' | sed 's/(.*)//; s/ //g'); do
        [ "$name" = velmora ] && continue
        apt-cache show --no-all-versions "$name" >/dev/null 2>&1 ||
            { echo "package.sh: $(basename "$deb") depends on $name, which apt does not know"; exit 1; }
    done
done
echo "dependencies: all known to apt"

echo "== lintian"
# Errors fail the packaging; warnings and notes are shown.
lintian --fail-on error --tag-display-limit 0 "$build"/packages/*.deb
echo "lintian: no errors"

echo "== appstreamcli validate"
contents=$(mktemp -d)
trap 'rm -rf "$contents"' EXIT
for deb in "$build"/packages/*.deb; do
    dpkg-deb -x "$deb" "$contents"
done
appstreamcli validate --no-net "$contents"/usr/share/metainfo/*.metainfo.xml

echo "== A card from the packages' files"
bash "$root/packaging/tests/staged_card_test.sh" "$contents" "$root/samples/greeting.swf" \
    "$root" "$build"

echo "== Installed with dpkg into a copy-on-write view of this system"
bash "$root/packaging/tests/dpkg_install_test.sh" "$build/packages" "$root/samples/greeting.swf" \
    "$root" "$build"
