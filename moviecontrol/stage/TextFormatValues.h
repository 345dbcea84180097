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
    enum Kind { Text, Flag, Whole, Color, Number, Alignment };
    Kind kind = Text;
    // Whole numbers only: below zero gives zero in every version (margins), or only before
    // version 8, which allows negative indents and leading.
    enum Floor { NoFloor, ZeroAlways, ZeroBefore8 };
    Floor floor = NoFloor;
};

std::string_view textFormatFieldName(TextFormatField field);
TextFormatRule textFormatRule(TextFormatField field);
// A number as a whole-number setting keeps it. Before version 8 it is cut toward zero and
// wrapped to 32 bits (what is no number gives 0), then floored. From 8 on a margin is
// floored first (NaN too), then any setting is rounded half to even, and what is no
// number or past 32 bits gives the lowest 32-bit integer.
double textFormatWhole(double n, TextFormatRule rule, int swfVersion);
// ECMA-262's ToInt32: cut toward zero and taken modulo 2^32; NaN and the infinities give 0.
// The constructor takes its numbers so, in every version.
std::int32_t textFormatInt32(double n);
// A colour keeps a number as an unsigned 32-bit integer, wrapped (what is no number gives 0).
double textFormatColor(double n);
// "left", "right", "center" or "justify" for a name in any case; empty for anything else.
std::string textFormatAlignment(std::string_view name);

} // namespace mc
