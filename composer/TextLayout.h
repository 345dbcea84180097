#pragma once

#include <functional>
#include <string>
#include <vector>

namespace composer {

struct LaidLine {
    std::u32string text;
    double width = 0; // at the chosen size
};

struct TextBlock {
    double size = 0;       // em size chosen
    double lineHeight = 0; // baseline to baseline
    std::vector<LaidLine> lines;
    bool cut = false; // lines that did not fit even at the smallest size were left out
};

struct TextBox {
    double maxWidth = 0;
    double maxHeight = 0;
    double preferredSize = 0;
    double minSize = 0;
    double lineSpacing = 1.3; // line height in ems
};

// Breaks `text` into lines no wider than the box: at explicit line ends, between CJK
// characters, at spaces between other words, and inside a word only when it alone is wider
// than a line. Shrinks the size (down to minSize) until the lines fit the box's height;
// what still does not fit is left out and `cut` set. `advance` gives a character's advance
// for a one-unit em.
TextBlock layoutText(const std::u32string& text, const std::function<double(char32_t)>& advance,
                     const TextBox& box);

// UTF-8 to code points; invalid sequences become U+FFFD.
std::u32string fromUtf8(const std::string& text);
std::string toUtf8(const std::u32string& text);

} // namespace composer
