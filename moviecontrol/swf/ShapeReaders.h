#pragma once
// Readers for styles, shape records and the shape-bearing tags.

#include "ReadContext.h"
#include "swf/ByteReader.h"
#include "swf/Shapes.h"
#include "swf/Styles.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace swf {

// The fill type a bitmap fill is drawn with in a movie of `swfVersion`; others unchanged.
std::uint8_t bitmapFillTypeFor(std::uint8_t type, std::uint8_t swfVersion);
// Fill style of DefineShape `shapeVersion`; nullopt (and ctx.invalid) on an unknown type.
std::optional<FillStyle> readFillStyle(ByteReader& r, ReadContext& ctx, std::uint8_t shapeVersion);
std::optional<LineStyle> readLineStyle(ByteReader& r, ReadContext& ctx, std::uint8_t shapeVersion);
// Fill and line style arrays (with the 0xFF extended counts from version 2 on).
ShapeStyles readShapeStyles(ByteReader& r, ReadContext& ctx, std::uint8_t shapeVersion);

// Shape records up to the end record. fillBits/lineBits are the index widths in force;
// new styles inside re-read them.
std::vector<ShapeRecord> readShapeRecords(ByteReader& r, ReadContext& ctx,
                                          std::uint8_t shapeVersion, unsigned fillBits,
                                          unsigned lineBits);
// A SHAPE without styles (glyphs): the bit-count byte, then records.
std::vector<ShapeRecord> readGlyphShape(ByteReader& r, ReadContext& ctx);

Shape readDefineShape(ByteReader& r, ReadContext& ctx, std::uint8_t shapeVersion);
MorphShape readDefineMorphShape(ByteReader& r, ReadContext& ctx, std::uint8_t morphVersion);

} // namespace swf
