#!/usr/bin/env bash
# Plays a card from an installed tree with the project's folders out of sight: the staged
# /usr/lib and /usr/bin are laid over the system's in a private mount namespace, the source
# and build folders are covered by empty ones, and the staged cardtool makes a card that
# must play through the staged runtime, found where the package installs it.
# Usage: staged_card_test.sh STAGED_ROOT MOVIE HIDDEN_FOLDER...
# Exit 77 (skipped) where mount namespaces are not available.
set -u
stage=$(cd "$1" && pwd)
movie=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Nothing installed may point into the project's folders: no installed text (desktop entries,
# scripts, metadata) names them, and no program or library searches them for libraries.
# Strings inside binaries are not searched: source file names in assertion and sanitizer
# metadata are mapped away at compile time, and a debug build's are harmless.
while IFS= read -r -d '' file; do
    if ! head -c 4 "$file" | grep -q 'ELF'; then
        for folder in "$@"; do
            grep -qF -- "$folder" "$file" && fail "staged file $file names $folder"
        done
    fi
done < <(find "$stage" -type f -print0)
while IFS= read -r -d '' file; do
    if head -c 4 "$file" | grep -q 'ELF'; then
        if readelf -d "$file" 2>/dev/null | grep -E '\((RPATH|RUNPATH)\)' | grep -vF '[$ORIGIN]' \
            >"$work/paths"; then
            fail "$file carries a library search path: $(cat "$work/paths")"
        fi
    fi
done < <(find "$stage" -type f -print0)

if ! unshare -m true 2>/dev/null; then
    echo "staged card test: no mount namespace here; skipped"
    exit 77
fi

cp "$movie" "$work/source.swf"
cp "$(dirname "$0")/play_installed_card.sh" "$work/"
# The part that runs with the project out of sight, from files outside it.
cat >"$work/inside.sh" <<'INSIDE'
set -u
stage=$1
work=$2
shift 2
for folder in "$@"; do
    [ -d "$folder" ] && mount -t tmpfs -o ro none "$folder"
done
mount -t overlay overlay -o "lowerdir=$stage/usr/lib:/usr/lib" /usr/lib || exit 3
mount -t overlay overlay -o "lowerdir=$stage/usr/bin:/usr/bin" /usr/bin || exit 3
for folder in "$@"; do
    if [ -n "$(ls -A "$folder" 2>/dev/null)" ]; then
        echo "FAIL: $folder is still in sight"
        exit 1
    fi
done
bash "$work/play_installed_card.sh" "$work" "$work/source.swf"
INSIDE
unshare -m bash "$work/inside.sh" "$stage" "$work" "$@"
status=$?
if [ "$status" -eq 3 ]; then
    echo "staged card test: overlay mounts are not available here; skipped"
    exit 77
fi
[ "$status" -eq 0 ] || fail "the staged card did not play (status $status)"

# Outside, with no runtime installed on this system, the same card says what it needs.
if [ ! -e /usr/lib/velmora/libvelmora-runtime.so.1 ] && [ -f "$work/cards/card.exe" ]; then
    env -u VELMORA_RUNTIME DISPLAY= WAYLAND_DISPLAY= "$work/cards/card.exe" 2>"$work/said"
    status=$?
    [ "$status" -eq 69 ] || fail "a card without runtime ended with $status"
    grep -q 'install the package "velmora"' "$work/said" || fail "no word of the package: $(cat "$work/said")"
fi

if [ "$failures" -ne 0 ]; then
    exit 1
fi
echo "staged card test: passed"
