#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace scriptrules {

// A rule table, as written in tables/*.txt:
//
//   # a comment
//   versions 5 6 7 8 9 10        the SWF versions to make a movie for
//   values X                     a list named X, one value's source a line, up to `end`
//   1
//   "abc"
//   end
//   do o = {a: 1};               statements, run and not traced
//   run for (k in o) trace(k);   statements, run after tracing their text
//   $X + $X                      an expression: its text is traced, then its value
//   @6 $X === $X                 only from SWF 6 on (@6-8: 6 to 8)
//   stage 400 300                the stage's size in pixels (default 100 by 100)
//   button b 10 20 50 40 [menu]  a button named b at (10, 20), 50 by 40 pixels, placed on the
//                                main timeline before the script runs; its on() actions
//                                trace "b on(press)" and the like (menu: tracked as a menu)
//   statictext 10 20 12 Hi there a static text placed on the main timeline before the script:
//                                its left end at (10, 20) pixels, its baseline 0.8 of its size
//                                (12 pixels) lower, in an embedded font whose every glyph is
//                                0.6 em wide (ASCII only)
//   input move 30 40             a person's input after the script's frame, in the format of
//   input click 30 40            `cardtool trace --input` (see inputEvent in Table.cpp)
//   input wait 3
//
// `$NAME` takes every value of list NAME, the same one at each of its uses in the line (other
// dollar signs stay as written); a line with several lists takes every combination.
struct TableLine {
    std::string source;
    bool traced = true;      // the text is traced first (expressions and `run` lines)
    bool statements = false; // `do` and `run` lines: statements rather than an expression
    uint8_t minVersion = 0;
    uint8_t maxVersion = 255;
    int lineNumber = 0;
};

struct TableButton {
    std::string name;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool trackAsMenu = false;
    // Keys whose press the button's on(keyPress) actions trace, by the key code of the
    // button's condition and the name on() gives the key.
    std::vector<std::pair<uint8_t, std::string>> keys;
};

struct TableText {
    int x = 0;
    int y = 0;
    int size = 0;
    std::string text;
};

struct Table {
    std::vector<uint8_t> versions;
    std::vector<TableLine> lines; // placeholders expanded
    int stageWidth = 100;
    int stageHeight = 100;
    std::vector<TableButton> buttons;
    std::vector<TableText> texts;
    std::vector<std::string> input; // events as JSON objects, in order
};

// The input file of a table: a JSON array of its events, one a line; empty without input.
std::string inputJson(const Table& table);

// Throws ScriptError on a malformed table (unterminated list, bad version, too many lines),
// naming the line.
Table readTable(std::string_view text);

} // namespace scriptrules
