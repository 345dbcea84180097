#include "LineBreaking.h"

namespace mc {

namespace {

LineSpan measured(std::span<const LineItem> items, std::size_t begin, std::size_t end) {
    LineSpan line{begin, end, 0.0, 0};
    double x = 0.0;
    std::size_t spaces = 0;
    for (std::size_t i = begin; i < end; ++i) {
        x += items[i].width;
        if (items[i].space) {
            ++spaces;
        } else {
            line.width = x;
            line.innerSpaces = spaces;
        }
    }
    return line;
}

} // namespace

std::vector<LineSpan> breakLines(std::span<const LineItem> items, double firstWidth, double width,
                                 bool wrap) {
    std::vector<LineSpan> lines;
    if (!wrap) {
        lines.push_back(measured(items, 0, items.size()));
        return lines;
    }
    std::size_t begin = 0;
    // Where the last word of the current line starts (0 when the line has one word so far).
    std::size_t wordStart = 0;
    // A word is split only where the line keeps at least two of its characters; one that
    // cannot be split so runs past the edge whole.
    constexpr std::size_t kLeastSplit = 2;
    bool whole = false;
    double x = 0.0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const LineItem& item = items[i];
        if (item.space) {
            x += item.width;
            continue;
        }
        if (i > begin && items[i - 1].space) {
            wordStart = i;
            whole = false;
        }
        const double available = lines.empty() ? firstWidth : width;
        if (x + item.width > available && i > begin) {
            // Break before the word when the line holds another one, else inside it.
            const bool before = wordStart > begin;
            if (!before && (whole || i - begin < kLeastSplit)) {
                whole = true;
                x += item.width;
                continue;
            }
            const std::size_t next = before ? wordStart : i;
            lines.push_back(measured(items, begin, next));
            begin = next;
            wordStart = begin;
            whole = false;
            x = 0.0;
            for (std::size_t j = begin; j < i; ++j) {
                x += items[j].width;
            }
        }
        x += item.width;
    }
    lines.push_back(measured(items, begin, items.size()));
    return lines;
}

} // namespace mc
