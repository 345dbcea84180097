#pragma once

#include <QPainterPath>
#include <cstdint>
#include <map>
#include <utility>

#include "Drawing.h"
#include "ShapePaths.h"
#include "swf/Movie.h"

namespace mc {

// Shapes, morph shapes and glyphs converted to Qt paths on first use and kept, so that a
// frame only composes ready paths.
class CharacterCache {
  public:
    explicit CharacterCache(const swf::Movie& movie) : movie_(movie) {}

    // Null when the id is not a shape.
    const ConvertedShape* shape(std::uint16_t id);
    // The morph at `ratio`; ratios are kept apart up to a bound per morph, then the
    // morph's entries are dropped and rebuilt as needed.
    const ConvertedShape* morph(std::uint16_t id, std::uint16_t ratio);
    // What a script drew into a clip, converted again only when it changed.
    const ConvertedShape* drawing(const Drawing& drawing);
    // A glyph outline in font units; null when the font or index does not exist.
    const QPainterPath* glyph(std::uint16_t fontId, std::uint32_t index);

    static constexpr std::size_t kMaxRatiosPerMorph = 256;
    static constexpr std::size_t kMaxDrawings = 4096;

  private:
    const swf::Movie& movie_;
    std::map<std::uint16_t, ConvertedShape> shapes_;
    std::map<std::uint16_t, std::map<std::uint16_t, ConvertedShape>> morphs_;
    std::map<std::pair<std::uint16_t, std::uint32_t>, QPainterPath> glyphs_;
    struct ConvertedDrawing {
        std::uint64_t generation = 0;
        ConvertedShape shape;
    };
    std::map<const Drawing*, ConvertedDrawing> drawings_;
};

} // namespace mc
