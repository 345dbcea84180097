#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace mc {

// One character of a paragraph as the line breaker sees it: its advance and whether a line
// may break after it (spaces).
struct LineItem {
    double width = 0.0;
    bool space = false;
};

// A line of a paragraph: items [begin, end). `width` leaves out the spaces hanging at its
// end; `innerSpaces` counts the spaces before its last visible character (where justified
// text stretches).
struct LineSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
    double width = 0.0;
    std::size_t innerSpaces = 0;
};

// Fills lines greedily as players do: a word that does not fit starts the next line, spaces
// hang past the edge, and a word longer than a whole line is broken between characters.
// Without `wrap` the paragraph is one line. The first line may be narrower (an indent).
std::vector<LineSpan> breakLines(std::span<const LineItem> items, double firstWidth, double width,
                                 bool wrap);

} // namespace mc
