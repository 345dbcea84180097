#pragma once
// How a TextFormat object's settings take the values scripts give them, by SWF version.

#include <cstddef>
#include <string>
#include <string_view>

namespace mc {

// The settings kept as single values (tabStops and display are kept apart).
enum class TextFormatField : std::size_t {
    Font,
    Size,
    Color,
    Bold,
    Italic,
    Underline,
    Url,
    Target,
    Align,
    LeftMargin,
    RightMargin,
    Indent,
    Leading,
    BlockIndent,
    Bullet,
    Kerning,
    LetterSpacing,
};
inline constexpr std::size_t kTextFormatFieldCount = 17;

struct TextFormatRule {
    enum Kind { Text, Flag, Whole, Number, Alignment };
    Kind kind = Text;
    // Whole numbers only: below zero gives zero in every version (margins), or only before
    // version 8, which allows negative indents and leading.
    enum Floor { NoFloor, ZeroAlways, ZeroBefore8 };
    Floor floor = NoFloor;
};

std::string_view textFormatFieldName(TextFormatField field);
TextFormatRule textFormatRule(TextFormatField field);
// A number as a whole-number setting keeps it: cut toward zero; what is no number (or too
// large) gives 0 before version 8 and the lowest 32-bit integer from 8 on, then the floor.
double textFormatWhole(double n, TextFormatRule rule, int swfVersion);
// "left", "right", "center" or "justify" for a name in any case; empty for anything else.
std::string textFormatAlignment(std::string_view name);

} // namespace mc
