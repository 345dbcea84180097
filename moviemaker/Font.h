#pragma once

#include "moviemaker/Records.h"
#include "moviemaker/Shape.h"

#include <cstdint>
#include <string>
#include <vector>

namespace moviemaker {

// Outlines are in font units: a 1024-unit em square for the first two font versions, a
// 20480-unit one for the third, baseline at y = 0 and y pointing down. The encoder selects
// fill 1 on the left of the first record, as players expect of glyphs.
struct Glyph {
    Shape outline;
    uint16_t code = 0; // UCS-2 code point
    int16_t advance = 0;
};

struct Font {
    std::string name;
    bool bold = false;
    bool italic = false;
    uint8_t languageCode = 0;
    bool hasLayout = true;
    uint16_t ascent = 0;
    uint16_t descent = 0;
    int16_t leading = 0;
    std::vector<Glyph> glyphs;
};

// DefineFont (version 1: outlines only), DefineFont2 or DefineFont3 bodies.
std::vector<uint8_t> encodeDefineFont(uint16_t id, const Font& font, int version);

} // namespace moviemaker
