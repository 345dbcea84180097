#!/usr/bin/env bash
# The main job: sets up, builds, makes a card from the bundled sample movie, shows what it
# holds and starts it (and the builder, where a display exists). The card lands in build/demo/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
bin=$root/build/bin
demo=$root/build/demo
mkdir -p "$demo"
cp "$root/samples/greeting.swf" "$demo/greeting.swf" # the builder writes its note into the movie: keep the sample clean
"$bin/cardtool" make "$demo/greeting.swf" "$demo/greeting.exe" --blessing "新年快乐，万事如意！" \
    --template "$bin/Velmora.vmd" --yes
"$bin/cardtool" info "$demo/greeting.exe"
# A card made from photos and a song: the composer writes the movie, then the card.
"$bin/cardtool" compose --photo "$root/samples/compose/photo1.jpg" \
    --photo "$root/samples/compose/photo2.jpg" --photo "$root/samples/compose/photo3.jpg" \
    --music "$root/samples/compose/tune.mp3" --title "新年快乐" --words "祝你新的一年平安喜乐，万事如意！" \
    --style 新春 --out "$demo/composed.swf" --card "$demo/composed.exe" \
    --template "$bin/Velmora.vmd" --yes
# Where a display exists, the card builder opens too, with its preview and blessing editor.
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$bin/Quenfold" ]; then
    "$bin/Quenfold" >/dev/null 2>&1 &
    echo "Quenfold, the card builder, is open (process $!)"
fi

echo "== Starting the card"
# An installed runtime serves every card; this one plays with the runtime just built.
export VELMORA_RUNTIME="$bin/libvelmora-runtime.so.1"
# A card is a program: it copies its movie out, plays it and removes the copy when it ends.
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    "$demo/greeting.exe" # right-click the movie for the menu; "结束(&X)" ends it
else
    echo "(no display: the card plays offscreen for 5 seconds, then is told to end)"
    QT_QPA_PLATFORM=offscreen "$demo/greeting.exe" &
    card=$!
    sleep 5
    kill -TERM "$card"
    wait "$card"
fi
