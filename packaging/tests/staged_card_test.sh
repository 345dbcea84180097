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

# Nothing installed may point into the project's folders.
for folder in "$@"; do
    if grep -rlF -- "$folder" "$stage" >"$work/mentions" 2>/dev/null; then
        fail "staged files name $folder: $(tr '\n' ' ' <"$work/mentions")"
    fi
done
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

cp "$movie" "$work/movie.swf"
mkdir -p "$work/tmp" "$work/home" "$work/cards"
mkdir -m 0700 "$work/runtime"
# The part that runs with the project out of sight, from a file outside it.
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
export HOME=$work/home TMPDIR=$work/tmp XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=offscreen
unset VELMORA_RUNTIME XDG_STATE_HOME
for folder in "$@"; do
    if [ -n "$(ls -A "$folder" 2>/dev/null)" ]; then
        echo "FAIL: $folder is still in sight"
        exit 1
    fi
done
cd "$work/cards"
cardtool make "$work/movie.swf" "$work/cards/card.exe" --blessing "新年快乐" --yes >/dev/null ||
    { echo "FAIL: the installed cardtool made no card"; exit 1; }
cmp -s -n "$(stat -c %s /usr/lib/velmora/Velmora.vmd)" card.exe /usr/lib/velmora/Velmora.vmd ||
    { echo "FAIL: the card does not start with the installed template"; exit 1; }
./card.exe 2>"$work/card-errors" &
card=$!
for _ in $(seq 1 300); do
    [ -n "$(ls -A "$TMPDIR")" ] && break
    kill -0 "$card" 2>/dev/null || break
    sleep 0.1
done
[ -n "$(ls -A "$TMPDIR")" ] || { echo "FAIL: the card made no copy of its movie: $(cat "$work/card-errors")"; exit 1; }
sleep 0.5
kill -0 "$card" 2>/dev/null || { echo "FAIL: the card did not keep playing: $(cat "$work/card-errors")"; exit 1; }
kill -TERM "$card"
wait "$card"
status=$?
[ "$status" -eq 0 ] || { echo "FAIL: the card ended with $status"; exit 1; }
[ -z "$(ls -A "$TMPDIR")" ] || { echo "FAIL: the card left its copy"; exit 1; }
# The installed programs' folder is read-only: a failure is logged in the user's state folder.
cardtool make "$work/movie.swf" "$work/cards/other.exe" --template /no/such.vmd --yes \
    >/dev/null 2>&1
[ -s "$HOME/.local/state/velmora/Trelvane.log" ] ||
    { echo "FAIL: no log in the state folder"; exit 1; }
# The commands resolve to the programs' folder.
[ "$(readlink -f /usr/bin/velmora)" = /usr/lib/velmora/Velmora ] ||
    { echo "FAIL: velmora is not the installed player"; exit 1; }
exit 0
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
