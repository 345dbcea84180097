#pragma once

#include <cstdint>
#include <string_view>

#include "swf/Movie.h"

namespace mc {

struct EmbeddedFont {
    const swf::Font* font = nullptr;
    std::uint16_t id = 0;
};

enum class StyleMatch {
    Exact,    // only the weight and slant asked for
    Preferred // the weight and slant asked for, else the nearest style of the family: the
              // other weight, then the other slant, then both
};

// The font with glyphs that a text format's font name means. Scripts name a font either by
// the family its definition gives or by the name the font is exported under; the export picks
// one definition, so its weight and slant are whatever that definition has.
EmbeddedFont embeddedFontNamed(const swf::Movie& movie, std::string_view name, bool bold,
                               bool italic, StyleMatch match);

} // namespace mc
