#pragma once

#include "moviemaker/Records.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace moviemaker {

struct TextGlyph {
    uint32_t index = 0;  // into the font's glyph table
    int32_t advance = 0; // twips to the next glyph
};

// A run of glyphs; fields left empty keep the previous record's font, colour or offset.
// The height (twips) is written with the font.
struct TextRecord {
    std::optional<uint16_t> fontId;
    uint16_t height = 0;
    std::optional<Rgba> color;
    std::optional<int16_t> xOffset;
    std::optional<int16_t> yOffset;
    std::vector<TextGlyph> glyphs;
};

struct Text {
    Rect bounds;
    Matrix matrix;
    std::vector<TextRecord> records;
};

// DefineText (version 1, RGB colours) or DefineText2 (version 2, RGBA) body.
std::vector<uint8_t> encodeDefineText(uint16_t id, const Text& text, int version);

} // namespace moviemaker
