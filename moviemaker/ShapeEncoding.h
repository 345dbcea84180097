#pragma once

#include "moviemaker/BitWriter.h"
#include "moviemaker/Shape.h"

#include <cstdint>
#include <span>
#include <vector>

namespace moviemaker {

struct IndexWidths {
    unsigned fillBits = 0;
    unsigned lineBits = 0;
};

// Widths that hold every index of the table and every index the records select before the
// next new-styles record.
IndexWidths indexWidthsFor(std::size_t fillCount, std::size_t lineCount,
                           std::span<const ShapeRecord> records);

// Records, the end record, and padding to a byte. New-styles records write their tables in
// the given shape version and switch to the widths of those tables.
void writeShapeRecords(BitWriter& out, std::span<const ShapeRecord> records, IndexWidths widths,
                       int shapeVersion);

// The shape with its style tables, as DefineShape carries it.
std::vector<uint8_t> encodeShapeWithStyles(const Shape& shape, int shapeVersion);
// Index widths and records only, as glyphs and morph shapes carry them; the widths cover the
// indexes the records use.
void writeBareShape(BitWriter& out, const Shape& shape, int shapeVersion);

} // namespace moviemaker
