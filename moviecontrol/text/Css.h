#pragma once
// Style sheet text as players read it, and the way a style's CSS properties become a text
// format. Both script machines' StyleSheet classes use these, so that one sheet reads the
// same in either.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "TextDocument.h"

namespace mc {

struct CssRule {
    std::string selector;
    std::vector<std::pair<std::string, std::string>> properties;
};

// Reads CSS the way players do (property names lose their dashes to camel case, a value
// ends at ';', '}' or the end of its line); nothing when the text is malformed.
std::optional<std::vector<CssRule>> parseCss(std::string_view css);

// parseInt's reading of a string: blanks, a sign, "0x" for hex, then digits; NaN without
// digits.
double cssInteger(std::string_view text);
// parseFloat's reading: the longest decimal number the text starts with (after blanks).
double cssFloat(std::string_view text);
// A style's colour: '#' and one to six hex digits, white space after them allowed. Any
// other text is black.
std::uint32_t cssColor(std::string_view text);
// A font-family list as a font name: generic families become the device fonts, entries
// lose their leading blanks, empty ones go.
std::string cssFontFamily(std::string_view text);

// One text format property a style sets, as a script would set it: a word, a number (NaN
// where the text held none) or a flag.
struct CssSetting {
    enum class Kind : std::uint8_t { Text, Number, Flag };
    const char* property; // the TextFormat property's name
    Kind kind = Kind::Text;
    std::string text;
    double number = 0;
    bool flag = false;
};

// The property's value as text; nothing when the style lacks it.
using CssProperty = std::function<std::optional<std::string>(const char* name)>;

// The players' transform of a style into format settings: every property read as its own
// rule says; an empty value sets nothing. Words are handed on unchecked (align and display
// are judged by the format's own setters).
std::vector<CssSetting> cssSettings(const CssProperty& property);

// The settings as a model format: what a format's setters would refuse (NaN, unknown
// alignments) is left out.
PartialFormat partialFormatOf(const std::vector<CssSetting>& settings);

} // namespace mc
