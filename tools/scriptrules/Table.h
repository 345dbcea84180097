#pragma once

#include <cstdint>
#include <string>
#include <string_view>
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

struct Table {
    std::vector<uint8_t> versions;
    std::vector<TableLine> lines; // placeholders expanded
};

// Throws ScriptError on a malformed table (unterminated list, bad version, too many lines),
// naming the line.
Table readTable(std::string_view text);

} // namespace scriptrules
