#!/usr/bin/env bash
# Run where the packages' files are installed (/usr/lib/velmora, commands in /usr/bin), with
# the project out of sight: the installed cardtool makes a card from MOVIE in WORK/cards,
# and the card plays through the installed runtime and ends cleanly on SIGTERM.
# Usage: play_installed_card.sh WORK MOVIE. Prints FAIL lines and exits 1 on a failure.
set -u
work=$1
mkdir -p "$work/tmp" "$work/home" "$work/cards"
# The card's maker writes its note into the movie: a copy of our own.
cp "$2" "$work/movie.swf"
movie=$work/movie.swf
mkdir -p -m 0700 "$work/runtime"
export HOME=$work/home TMPDIR=$work/tmp XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=offscreen
unset VELMORA_RUNTIME XDG_STATE_HOME
fail() {
    echo "FAIL: $*"
    exit 1
}

[ "$(readlink -f /usr/bin/velmora)" = /usr/lib/velmora/Velmora ] ||
    fail "velmora is not the installed player"
cd "$work/cards"
cardtool make "$movie" "$work/cards/card.exe" --blessing "新年快乐" --yes >/dev/null ||
    fail "the installed cardtool made no card"
cmp -s -n "$(stat -c %s /usr/lib/velmora/Velmora.vmd)" card.exe /usr/lib/velmora/Velmora.vmd ||
    fail "the card does not start with the installed template"
./card.exe 2>"$work/card-errors" &
card=$!
for _ in $(seq 1 300); do
    [ -n "$(ls -A "$TMPDIR")" ] && break
    kill -0 "$card" 2>/dev/null || break
    sleep 0.1
done
[ -n "$(ls -A "$TMPDIR")" ] || fail "the card made no copy of its movie: $(cat "$work/card-errors")"
sleep 0.5
kill -0 "$card" 2>/dev/null || fail "the card did not keep playing: $(cat "$work/card-errors")"
kill -TERM "$card"
wait "$card"
status=$?
[ "$status" -eq 0 ] || fail "the card ended with $status"
[ -z "$(ls -A "$TMPDIR")" ] || fail "the card left its copy"

# The installed builder starts and keeps running (its libraries are found beside it).
quenfold 2>"$work/builder-errors" &
builder=$!
sleep 1.5
kill -0 "$builder" 2>/dev/null || fail "the installed builder did not start: $(cat "$work/builder-errors")"
kill -TERM "$builder"
wait "$builder" 2>/dev/null

# The installed programs' folder is not the user's: a failure is logged in the state folder.
cardtool make "$movie" "$work/cards/other.exe" --template /no/such.vmd --yes >/dev/null 2>&1
[ -s "$HOME/.local/state/velmora/Trelvane.log" ] || fail "no log in the state folder"
exit 0
