#!/usr/bin/env bash
# End-to-end checks of cardtool compose on the bundled sample photos and tune: the style
# list, a movie and a card straight from photos, and the messages of refused input.
# Usage: compose_test.sh BIN_DIR SAMPLES_DIR
set -u
bin=$(cd "$1" && pwd)
samples=$2/compose
tool=$bin/cardtool
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
passes=0

check() { # description, then a command that must succeed
    local what=$1
    shift
    if "$@"; then
        passes=$((passes + 1))
    else
        echo "FAIL: $what"
        failures=$((failures + 1))
    fi
}
photos=(--photo "$samples/photo1.jpg" --photo "$samples/photo2.jpg" --photo "$samples/photo3.jpg")
export QT_QPA_PLATFORM=offscreen

styles=$("$tool" compose --styles)
check "six styles listed" test "$(printf '%s\n' "$styles" | wc -l)" -eq 6
for style in 新春 生日 圣诞 爱心 中秋 简约; do
    check "style $style listed" grep -q "^$style " <<<"$styles"
done

# Names with Chinese characters and spaces, in and out.
cp "$samples/photo1.jpg" "$work/全家 福.jpg"
out="$work/贺卡 影片.swf"
"$tool" compose --photo "$work/全家 福.jpg" "${photos[@]}" --music "$samples/tune.mp3" \
    --title "新年快乐" --words "平安喜乐" --style 圣诞 --size 16:9 --fps 20 --out "$out" \
    >"$work/out.txt" 2>"$work/err.txt"
check "compose succeeds" test $? -eq 0
check "compose prints the movie's path" grep -qF "$out" "$work/out.txt"
header=$("$tool" header "$out" --json)
check "stage 960x540" grep -q '"Width": *960' <<<"$header"
check "20 frames a second" grep -q '"FrameRate": *20' <<<"$header"
check "no half-written file left" test ! -e "$out.part"

"$tool" compose "${photos[@]}" --music "$samples/tune.mp3" --title "生日快乐" --style 生日 \
    --words "愿你天天开心" --card "$work/card.exe" --template "$bin/Velmora.vmd" --yes \
    >/dev/null 2>&1
check "card made straight from photos" test -s "$work/card.exe"
info=$("$tool" info "$work/card.exe" --json 2>/dev/null)
check "the card holds the words as its blessing" grep -q "愿你天天开心" <<<"$info"
check "the card's movie beside it is removed" test ! -e "$work/card.exe.swf"

# A composition saved and composed again gives the same movie.
"$tool" compose "${photos[@]}" --title "再来" --style 爱心 --save "$work/方案.json" >/dev/null 2>&1
check "composition saved" test -s "$work/方案.json"
"$tool" compose --composition "$work/方案.json" --out "$work/again1.swf" >/dev/null 2>&1
"$tool" compose "${photos[@]}" --title "再来" --style 爱心 --out "$work/again2.swf" >/dev/null 2>&1
check "the saved composition makes the same movie" cmp -s "$work/again1.swf" "$work/again2.swf"

refused() { # what the message must name, then the arguments
    local name=$1
    shift
    "$tool" compose "$@" --out "$work/refused.swf" >/dev/null 2>"$work/refused.txt"
    local status=$?
    [ "$status" -eq 1 ] && grep -qF "$name" "$work/refused.txt" && [ ! -e "$work/refused.swf" ]
}
check "missing photo named" refused "不在这里.jpg" --photo "$work/不在这里.jpg"
printf 'not a photo' >"$work/坏 照片.jpg"
check "damaged photo named" refused "坏 照片.jpg" --photo "$work/坏 照片.jpg"
check "no photos refused" refused "至少添加一张照片" --title "空"
printf 'not music' >"$work/坏歌.m4a"
check "undecodable music named" refused "坏歌.m4a" "${photos[@]}" --music "$work/坏歌.m4a"
check "unknown style named" refused "万圣节" "${photos[@]}" --style 万圣节
"$tool" compose "${photos[@]}" >/dev/null 2>&1
check "no output is a usage error" test $? -eq 2

echo "compose: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
