#pragma once

#include "moviemaker/Font.h"

#include <QRawFont>

#include <map>
#include <string>
#include <vector>

namespace composer {

// The font the words are drawn in, and the outlines of only the characters used.
struct EmbeddedFont {
    moviemaker::Font font;              // third-version units: 20480 to the em
    std::map<char32_t, uint16_t> index; // character to glyph table index
    std::map<char32_t, double> advance; // character to advance, in ems
    double ascent = 0;                  // in ems
    double descent = 0;
};

// The family asked for (empty: Noto Sans CJK SC) when it has every character of `text`;
// otherwise the default CJK font, with a notice; characters no font has are left out, with a
// notice. Needs a QGuiApplication.
struct ChosenFont {
    QRawFont raw;
    std::string family;
    std::vector<std::string> notices;
};
ChosenFont chooseFont(const std::string& family, const std::u32string& text);

// Outlines for every distinct character of `text` the font has (space included, drawn as
// nothing), in the order first met, so the same words give the same font.
EmbeddedFont embedGlyphs(const QRawFont& raw, const std::u32string& text);

} // namespace composer
