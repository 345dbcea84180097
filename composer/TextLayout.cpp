#include "composer/TextLayout.h"

#include <algorithm>
#include <cmath>

namespace composer {

namespace {

// Characters a line may break before or after without a space: CJK ideographs, kana,
// hangul, full-width forms and CJK punctuation.
bool breaksAnywhere(char32_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF) ||
           (c >= 0x20000 && c <= 0x3FFFF);
}

// Punctuation that must not start a line.
bool closing(char32_t c) {
    return std::u32string_view(U"，。、；：？！）」』】》,.;:?!)").find(c) !=
           std::u32string_view::npos;
}

double widthOf(std::u32string_view s, const std::function<double(char32_t)>& advance) {
    double w = 0;
    for (const char32_t c : s) {
        w += advance(c);
    }
    return w;
}

// Units that stay together: a CJK character (with closing punctuation after it), a word
// with its trailing spaces.
std::vector<std::u32string> units(std::u32string_view paragraph) {
    std::vector<std::u32string> out;
    std::u32string current;
    for (std::size_t i = 0; i < paragraph.size(); ++i) {
        const char32_t c = paragraph[i];
        if (closing(c) && !out.empty() && current.empty()) {
            out.back() += c;
            continue;
        }
        if (breaksAnywhere(c)) {
            if (!current.empty()) {
                out.push_back(current);
                current.clear();
            }
            out.emplace_back(1, c);
            continue;
        }
        current += c;
        if (c == U' ') {
            const bool nextSpace = i + 1 < paragraph.size() && paragraph[i + 1] == U' ';
            if (!nextSpace) {
                out.push_back(current);
                current.clear();
            }
        }
    }
    if (!current.empty()) {
        out.push_back(current);
    }
    return out;
}

std::u32string trimmedEnd(std::u32string s) {
    while (!s.empty() && s.back() == U' ') {
        s.pop_back();
    }
    return s;
}

std::vector<LaidLine> breakLines(const std::u32string& text, double size, double maxWidth,
                                 const std::function<double(char32_t)>& advance) {
    std::vector<LaidLine> lines;
    const auto width = [&](std::u32string_view s) { return widthOf(s, advance) * size; };
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(U'\n', start);
        if (end == std::u32string::npos) {
            end = text.size();
        }
        std::u32string paragraph = text.substr(start, end - start);
        std::erase(paragraph, U'\r');
        std::u32string line;
        for (std::u32string unit : units(paragraph)) {
            if (width(trimmedEnd(line + unit)) <= maxWidth) {
                line += unit;
                continue;
            }
            if (!line.empty()) {
                const std::u32string done = trimmedEnd(line);
                lines.push_back({done, width(done)});
                line.clear();
            }
            // A unit wider than a whole line is cut where it must be.
            while (width(trimmedEnd(unit)) > maxWidth && unit.size() > 1) {
                std::size_t fit = 1;
                while (fit < unit.size() && width(unit.substr(0, fit + 1)) <= maxWidth) {
                    ++fit;
                }
                lines.push_back({unit.substr(0, fit), width(unit.substr(0, fit))});
                unit.erase(0, fit);
            }
            line = unit;
        }
        const std::u32string done = trimmedEnd(line);
        lines.push_back({done, width(done)});
        start = end + 1;
    }
    return lines;
}

} // namespace

TextBlock layoutText(const std::u32string& text, const std::function<double(char32_t)>& advance,
                     const TextBox& box) {
    TextBlock block;
    std::u32string trimmed = text;
    while (!trimmed.empty() && (trimmed.back() == U'\n' || trimmed.back() == U' ')) {
        trimmed.pop_back();
    }
    if (trimmed.empty() || box.maxWidth <= 0 || box.preferredSize <= 0) {
        return block;
    }
    double size = box.preferredSize;
    const double smallest = std::min(box.minSize > 0 ? box.minSize : size, size);
    for (;;) {
        block.size = size;
        block.lineHeight = size * box.lineSpacing;
        block.lines = breakLines(trimmed, size, box.maxWidth, advance);
        const double height = static_cast<double>(block.lines.size()) * block.lineHeight;
        if (height <= box.maxHeight || size <= smallest) {
            break;
        }
        size = std::max(smallest, size * 0.9);
    }
    const auto fitting = static_cast<std::size_t>(
        std::max(1.0, std::floor(box.maxHeight / std::max(block.lineHeight, 1e-9))));
    if (block.lines.size() > fitting) {
        block.lines.resize(fitting);
        block.cut = true;
    }
    return block;
}

std::u32string fromUtf8(const std::string& text) {
    std::u32string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t c = 0;
        if (b < 0x80) {
            c = b;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F;
            extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F;
            extra = 2;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07;
            extra = 3;
        } else {
            out += U'\uFFFD';
            ++i;
            continue;
        }
        bool ok = i + static_cast<std::size_t>(extra) < text.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const auto n = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            ok = (n & 0xC0) == 0x80;
            c = c << 6 | (n & 0x3F);
        }
        if (!ok) {
            out += U'\uFFFD';
            ++i;
            continue;
        }
        out += c;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::string toUtf8(const std::u32string& text) {
    std::string out;
    for (const char32_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace composer
