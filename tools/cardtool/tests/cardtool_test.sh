#!/usr/bin/env bash
# End-to-end checks of cardtool: the documented examples byte for byte, exit codes, and a
# card that runs. Usage: cardtool_test.sh BIN_DIR MOVIE_OFFSET
set -u
bin=$(cd "$1" && pwd)
offset=$2
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
hex() { od -An -v -tx1 "$1" | tr -d ' \n'; }
# A copy of cardtool in another folder, with the libraries it finds beside itself.
copy_tool() {
    cp "$tool" "$1/"
    for library in "$bin"/lib*.so*; do
        ln -sf "$library" "$1/"
    done
}

# The 550 x 400, 12 fps, one-frame white movie, padded to a declared length of 1000.
movie=$work/hello.swf
{
    printf 'FWS\x06\xe8\x03\x00\x00\x78\x00\x05\x5f\x00\x00\x0f\xa0\x00\x00\x0c\x01\x00'
    printf '\x43\x02\xff\xff\xff\x40\x00\x00\x00'
    head -c $((1000 - 30)) /dev/zero
} >"$movie"
cp "$movie" "$work/original.swf"

out=$("$tool" header "$movie")
check "header fields in order" [ "$out" = "$(printf 'Status: 1\nHeight: 400\nWidth: 550\nBackRed: 255\nBackGreen: 255\nBackBlue: 255\nFrameCount: 1\nFileLength: 1000\nFrameRate: 12\nMovieVersion: 6')" ]
out=$("$tool" header "$movie" --json)
check "header as JSON" [ "$out" = '{"Status": 1, "Height": 400, "Width": 550, "BackRed": 255, "BackGreen": 255, "BackBlue": 255, "FrameCount": 1, "FileLength": 1000, "FrameRate": 12, "MovieVersion": 6}' ]
"$tool" header "$work/missing.swf" >/dev/null
check "header of a missing movie exits 1" [ $? -eq 1 ]

out=$("$tool" write-note "$movie" --author abc --blessing hi --version 1.0 --title t)
check "write-note prints the title" [ "$out" = "t" ]
trailer=$(tail -c 38 "$movie" | hex /dev/stdin)
check "the documented trailer byte for byte" [ "$trailer" = "53505603000000312e30410300000061626343000000004e0200000068694d01000000740000" ]
check "the movie in front of it is unchanged" cmp -s <(head -c 1000 "$movie") "$work/original.swf"
check "the file is 1038 bytes" [ "$(stat -c %s "$movie")" = 1038 ]
out=$("$tool" note "$movie" --json)
check "note reads back" [ "$out" = '{"Author": "abc", "Password": "未知", "Title": "t", "Blessing": "hi", "Version": "1.0"}' ]
out=$("$tool" write-note "$movie" --blessing "x")
check "an empty title becomes the default title" [ "$out" = "《hello》" ]

# Read-only movies are rewritten only when the question is answered yes.
chmod a-w "$movie"
"$tool" write-note "$movie" --blessing no </dev/null 2>/dev/null
check "read-only without --yes is refused" [ $? -eq 1 ] && [ "$("$tool" note "$movie" --json | grep -c '"Blessing": "x"')" = 1 ]
"$tool" write-note "$movie" --blessing yes --yes >/dev/null
check "read-only with --yes is written" [ $? -eq 0 ] && [ -w "$movie" ]

# A card: the template, then the movie with its note.
card=$work/hello.exe
"$tool" make "$movie" "$card" --blessing "新年快乐" --template "$bin/testtemplate.vmd" >/dev/null
check "make succeeds" [ $? -eq 0 ]
check "the card is template + movie" cmp -s "$card" <(cat "$bin/testtemplate.vmd" "$movie")
check "the card is executable" [ -x "$card" ]
out=$("$tool" note "$movie" --json)
check "make writes the builder's note" [ "$out" = '{"Author": "Ferlo", "Password": "云杉小径", "Title": "云杉小径", "Blessing": "新年快乐", "Version": "1.0"}' ]
cp "$card" "$work/first.exe"
err=$("$tool" make "$movie" "$card" --blessing "again" --template "$bin/testtemplate.vmd" 2>&1 >/dev/null)
check "make does not replace a card without --yes" [ $? -eq 1 ] && cmp -s "$card" "$work/first.exe"
check "... and says to give --yes" grep -q -- "--yes" <<<"$err"
printf '第一行\r\n第二行' >"$work/blessing.txt"
"$tool" make "$movie" "$card" --blessing-file "$work/blessing.txt" --password 123 --template "$bin/testtemplate.vmd" --yes >/dev/null
out=$("$tool" info "$card" --json)
check "info shows the card's movie and note" [ "$out" = '{"Card": true, "Length": '$((offset + 1062))', "MovieOffset": '$offset', "MovieLength": 1062, "Header": {"Status": 1, "Height": 400, "Width": 550, "BackRed": 255, "BackGreen": 255, "BackBlue": 255, "FrameCount": 1, "FileLength": 1000, "FrameRate": 12, "MovieVersion": 6}, "Note": {"Author": "Ferlo", "Password": "123", "Title": "云杉小径", "Blessing": "第一行\r\n第二行", "Version": "1.0"}}' ]
"$tool" make "$movie" "$movie" --template "$bin/testtemplate.vmd" 2>/dev/null
check "make onto the movie itself is refused" [ $? -eq 1 ] && [ "$(stat -c %s "$movie")" = 1062 ]

cp "$movie" "$work/movie-before.swf"
err=$("$tool" extract "$card" 2>&1 >/dev/null)
check "extract does not write over the movie beside the card" [ $? -eq 1 ] && cmp -s "$movie" "$work/movie-before.swf"
check "... and says how to go on" grep -q -- "--yes" <<<"$err"
cp "$card" "$work/greeting.exe"
extracted=$(cd "$work" && "$tool" extract greeting.exe)
check "extract writes NAME.swf beside the card" [ "$extracted" = "greeting.swf" ] && cmp -s "$work/greeting.swf" "$movie"
extracted=$("$tool" extract "$work/greeting.exe" --yes)
check "... and replaces it with --yes" [ "$extracted" = "$work/greeting.swf" ] && cmp -s "$work/greeting.swf" "$movie"
head -c $((offset + 500)) "$card" >"$work/cut.exe"
err=$("$tool" info "$work/cut.exe" 2>&1 >/dev/null)
check "info of a card cut short fails" [ $? -eq 1 ]
check "... and says how much is missing" grep -q "missing" <<<"$err" && grep -q "500" <<<"$err"
check "... and is no card" grep -q '"Card": false' <(timeout 10 "$tool" info "$work/cut.exe" --json 2>/dev/null)
"$tool" extract "$card" --out "$work/out.swf" >/dev/null
check "extract --out" cmp -s "$work/out.swf" "$movie"
"$tool" extract "$bin/testtemplate.vmd" >/dev/null 2>&1
check "the bare template holds no movie" [ $? -eq 1 ]
"$tool" info "$movie" >/dev/null
check "a movie is no card" [ $? -eq 1 ]

# Files that are not what they seem. A hang is a failure: every command gets ten seconds.
holds() { [ "$1" -eq "$2" ] && shift 2 && { [ $# -eq 0 ] || "$@"; }; } # status, expected, then more
hostile=$work/hostile
mkdir "$hostile"
mkfifo "$hostile/pipe"
cp "$card" "$hostile/card.exe"
timeout 10 "$tool" extract "$hostile/card.exe" --out "$hostile/card.exe" >/dev/null 2>&1
check "extract onto its own card is refused" holds $? 1 cmp -s "$hostile/card.exe" "$card"
ln -s card.exe "$hostile/link.swf"
timeout 10 "$tool" extract "$hostile/card.exe" --out "$hostile/link.swf" >/dev/null 2>&1
check "extract onto a link to its card is refused" holds $? 1 cmp -s "$hostile/card.exe" "$card"
timeout 10 "$tool" info "$hostile/pipe" >/dev/null 2>&1
check "info of a pipe fails at once" holds $? 1
timeout 10 "$tool" extract "$hostile/pipe" >/dev/null 2>&1
check "extract of a pipe fails at once" holds $? 1
cp "$work/original.swf" "$hostile/m.swf"
cp "$card" "$hostile/old.exe"
timeout 10 "$tool" make "$hostile/m.swf" "$hostile/old.exe" --template "$hostile/pipe" --yes >/dev/null 2>&1
check "make with a pipe for template fails at once" holds $? 1
check "... and touches neither the movie nor the old card" cmp -s "$hostile/m.swf" "$work/original.swf"
check "... the old card kept" cmp -s "$hostile/old.exe" "$card"
timeout 10 "$tool" make "$hostile/m.swf" "$hostile/b.exe" --blessing-file "$hostile/pipe" >/dev/null 2>&1
check "a pipe for blessing file is a usage error at once" holds $? 2
cp "$work/original.swf" "$hostile/new\\year.swf"
out=$(timeout 10 "$tool" write-note "$hostile/new\\year.swf" --blessing b)
check "a backslash in a file name takes a note" holds $? 0 [ "$out" = "《year》" ]
check "... written beside itself" [ "$(ls -A "$hostile" | grep -c -e vmnew -e '^year')" = 0 ]
mkdir "$hostile/tool"
copy_tool "$hostile/tool"
echo precious >"$hostile/victim"
ln -s ../victim "$hostile/tool/Trelvane.log"
"$hostile/tool/cardtool" make "$hostile/m.swf" "$hostile/x.exe" --template "$hostile/missing" >/dev/null 2>&1
check "a log that is a link is left alone" [ "$(cat "$hostile/victim")" = precious ]
rm "$hostile/tool/Trelvane.log"
mkfifo "$hostile/tool/Trelvane.log"
timeout 10 "$hostile/tool/cardtool" make "$hostile/m.swf" "$hostile/x.exe" --template "$hostile/missing" >/dev/null 2>&1
check "a log that is a pipe is skipped at once" holds $? 1

out=$(cd "$work" && copy_tool . && ./hello.exe)
check "the card runs" [ "$(printf '%s\n' "$out" | head -n 1)" = "card player stand-in: ./hello.exe" ]

# A compressed movie: the card carries it inflated with the note; the user's file is untouched.
python3 - "$work/original.swf" "$work/packed.swf" <<'PY'
import sys, zlib
data = open(sys.argv[1], 'rb').read()
open(sys.argv[2], 'wb').write(b'CWS' + data[3:8] + zlib.compress(data[8:]))
PY
cp "$work/packed.swf" "$work/packed-before.swf"
"$tool" make "$work/packed.swf" "$work/packed.exe" --blessing "压缩的" --template "$bin/testtemplate.vmd" >/dev/null
check "make takes a compressed movie" [ $? -eq 0 ]
check "the compressed movie is unchanged" cmp -s "$work/packed.swf" "$work/packed-before.swf"
"$tool" extract "$work/packed.exe" --out "$work/unpacked.swf" >/dev/null
check "the card carries it uncompressed" cmp -s <(head -c 1000 "$work/unpacked.swf") "$work/original.swf"
out=$("$tool" note "$work/unpacked.swf" --json)
check "with its note" [ "$out" = '{"Author": "Ferlo", "Password": "云杉小径", "Title": "云杉小径", "Blessing": "压缩的", "Version": "1.0"}' ]
printf 'CWS\x06\xe8\x03\x00\x00not zlib at all' >"$work/broken.swf"
err=$("$tool" make "$work/broken.swf" "$work/broken.exe" --template "$bin/testtemplate.vmd" 2>&1)
check "a compressed movie that does not inflate is refused" [ $? -eq 1 ] && [ ! -e "$work/broken.exe" ]
check "and the reason is given" grep -q "does not inflate" <<<"$err"
out=$("$tool" header "$work/packed.swf" --json 2>"$work/err")
check "header --json of a compressed movie keeps the reader's values" [ "$out" = '{"Status": 0, "Height": 0, "Width": 0, "BackRed": 0, "BackGreen": 0, "BackBlue": 0, "FrameCount": 0, "FileLength": 0, "FrameRate": 0, "MovieVersion": 0}' ]
check "... and says it is compressed and what a card carries" grep -q "compressed" "$work/err" && grep -q "550 x 400 pixels, 1 frames, 1000 bytes" "$work/err"
"$tool" note "$work/packed.swf" >/dev/null 2>"$work/err"
check "note of a compressed movie says why" grep -q "compressed" "$work/err"

# The logs are GB18030 with CR LF; cardtool log prints them for the terminal.
printf '2026/12/7Swf2Exe() \xb7\xa2\xc9\xfa\xb4\xed\xce\xf3\xa3\xba \r\n\t53\xce\xc4\xbc\xfe\xce\xb4\xd5\xd2\xb5\xbd\r\n' >"$work/Trelvane.log"
printf 'getNote() x\r\n' >"$work/Velmora.log"
out=$(LC_ALL=C.UTF-8 "$work/cardtool" log)
check "cardtool log prints a record a line" [ "$out" = "2026/12/7  Swf2Exe()  53 文件未找到" ]
out=$(LC_ALL=C.UTF-8 "$work/cardtool" log --program Velmora)
check "cardtool log --program Velmora" [ "$out" = "getNote() x" ]
out=$(LC_ALL=C "$work/cardtool" log | head -n 1)
check "an ASCII terminal gets no raw bytes" [ -z "$(LC_ALL=C grep -P '[\x80-\xff]' <<<"$out")" ]
"$work/cardtool" log --program Nobody >/dev/null 2>&1
check "an unknown program is a usage error" [ $? -eq 2 ]

"$tool" frobnicate >/dev/null 2>&1
check "unknown command is a usage error" [ $? -eq 2 ]
"$tool" make "$movie" >/dev/null 2>&1
check "missing argument is a usage error" [ $? -eq 2 ]
"$tool" header "$movie" --bogus >/dev/null 2>&1
check "unknown option is a usage error" [ $? -eq 2 ]
check "--version" "$tool" --version
check "help trace documents the input file" grep -q '"type": "MouseDown"' <("$tool" help trace)

# The sound of N frames of the 12 fps movie: N / 12 seconds of 44.1 kHz 16-bit stereo, here
# silence, in a WAV file (44 bytes of header).
if "$tool" --help 2>&1 | grep -q -- "--audio"; then
    QT_QPA_PLATFORM=offscreen "$tool" render "$movie" --out "$work/f.png" --frames 6 \
        --audio "$work/f.wav" >/dev/null 2>&1
    check "render --audio writes half a second" [ "$(wc -c <"$work/f.wav")" -eq $((44 + 22050 * 4)) ]
    check "render --audio leaves no partial file" [ ! -e "$work/f.wav.part" ]
    "$tool" render "$movie" --out "$work/f.png" --audio >/dev/null 2>&1
    check "--audio without a file is a usage error" [ $? -eq 2 ]
    QT_QPA_PLATFORM=offscreen "$tool" render "$movie" --out "$work/f.png" --frames 50000 \
        --audio "$work/long.wav" >/dev/null 2>&1
    check "more than an hour of sound is refused" [ $? -eq 1 ]
    check "and nothing is written" [ ! -e "$work/long.wav" ]
fi

# bench through the command line: registered, its JSON one line, its failures distinct.
if "$tool" --help 2>&1 | grep -q "bench MOVIE"; then
    out=$(QT_QPA_PLATFORM=offscreen timeout 60 "$tool" bench "$movie" --frames 3 --size 64x48 --json 2>/dev/null)
    check "bench --json prints one object of three frames" holds $? 0 grep -q '^{"frames": 3, "width": 64, "height": 48, .*"fps": [0-9.]*,.*}$' <<<"$out"
    QT_QPA_PLATFORM=offscreen timeout 60 "$tool" bench "$work/missing.swf" >/dev/null 2>&1
    check "bench of a missing movie exits 1" holds $? 1
    "$tool" bench "$movie" --size 10x >/dev/null 2>&1
    check "bench with a bad size is a usage error" holds $? 2
fi

echo "cardtool: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
