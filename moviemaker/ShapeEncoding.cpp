#include "moviemaker/ShapeEncoding.h"

#include "moviemaker/WriteError.h"

#include <algorithm>

namespace moviemaker {

namespace {

constexpr unsigned kMaxIndexBits = 15; // the width fields are four bits

unsigned widthFor(std::size_t count) {
    const unsigned bits =
        unsignedBitWidth(static_cast<uint32_t>(std::min<std::size_t>(count, 0xFFFFFFFFu)));
    if (bits > kMaxIndexBits) {
        throw WriteError("style index too large for a shape");
    }
    return bits;
}

unsigned edgeWidth(std::initializer_list<int32_t> deltas) {
    unsigned bits = 2; // the width field stores bits - 2
    for (const int32_t d : deltas) {
        bits = std::max(bits, signedBitWidth(d));
    }
    if (bits > 17) {
        throw WriteError("edge delta needs more than 17 bits");
    }
    return bits;
}

void writeStyleChange(BitWriter& out, const StyleChange& change, IndexWidths& widths,
                      std::span<const ShapeRecord> rest, int shapeVersion) {
    out.flag(false); // not an edge
    out.flag(change.newStyles.has_value());
    out.flag(change.line.has_value());
    out.flag(change.fill1.has_value());
    out.flag(change.fill0.has_value());
    out.flag(change.moveTo.has_value());
    if (change.moveTo) {
        const unsigned bits =
            std::max(signedBitWidth(change.moveTo->x), signedBitWidth(change.moveTo->y));
        if (bits > 31) {
            throw WriteError("a move needs more than 31 bits");
        }
        out.ub(bits, 5);
        out.sb(change.moveTo->x, bits);
        out.sb(change.moveTo->y, bits);
    }
    if (change.fill0) {
        out.ub(*change.fill0, widths.fillBits);
    }
    if (change.fill1) {
        out.ub(*change.fill1, widths.fillBits);
    }
    if (change.line) {
        out.ub(*change.line, widths.lineBits);
    }
    if (change.newStyles) {
        writeFillStyleArray(out, change.newStyles->fills, shapeVersion);
        writeLineStyleArray(out, change.newStyles->lines, shapeVersion);
        widths =
            indexWidthsFor(change.newStyles->fills.size(), change.newStyles->lines.size(), rest);
        out.ub(widths.fillBits, 4);
        out.ub(widths.lineBits, 4);
    }
}

void writeStraightEdge(BitWriter& out, const StraightEdge& edge) {
    out.flag(true);
    out.flag(true);
    if (edge.dx != 0 && edge.dy != 0) {
        const unsigned bits = edgeWidth({edge.dx, edge.dy});
        out.ub(bits - 2, 4);
        out.flag(true); // general line
        out.sb(edge.dx, bits);
        out.sb(edge.dy, bits);
        return;
    }
    const bool vertical = edge.dx == 0;
    const int32_t delta = vertical ? edge.dy : edge.dx;
    const unsigned bits = edgeWidth({delta});
    out.ub(bits - 2, 4);
    out.flag(false);
    out.flag(vertical);
    out.sb(delta, bits);
}

void writeCurvedEdge(BitWriter& out, const CurvedEdge& edge) {
    const unsigned bits = edgeWidth({edge.controlDx, edge.controlDy, edge.anchorDx, edge.anchorDy});
    out.flag(true);
    out.flag(false);
    out.ub(bits - 2, 4);
    out.sb(edge.controlDx, bits);
    out.sb(edge.controlDy, bits);
    out.sb(edge.anchorDx, bits);
    out.sb(edge.anchorDy, bits);
}

} // namespace

IndexWidths indexWidthsFor(std::size_t fillCount, std::size_t lineCount,
                           std::span<const ShapeRecord> records) {
    std::size_t maxFill = fillCount;
    std::size_t maxLine = lineCount;
    for (const ShapeRecord& record : records) {
        const auto* change = std::get_if<StyleChange>(&record);
        if (change == nullptr) {
            continue;
        }
        if (change->newStyles) {
            break; // later records use the widths of the new table
        }
        maxFill =
            std::max<std::size_t>({maxFill, change->fill0.value_or(0), change->fill1.value_or(0)});
        maxLine = std::max<std::size_t>(maxLine, change->line.value_or(0));
    }
    return {widthFor(maxFill), widthFor(maxLine)};
}

void writeShapeRecords(BitWriter& out, std::span<const ShapeRecord> records, IndexWidths widths,
                       int shapeVersion) {
    for (std::size_t i = 0; i < records.size(); ++i) {
        const ShapeRecord& record = records[i];
        if (const auto* change = std::get_if<StyleChange>(&record)) {
            writeStyleChange(out, *change, widths, records.subspan(i + 1), shapeVersion);
        } else if (const auto* straight = std::get_if<StraightEdge>(&record)) {
            writeStraightEdge(out, *straight);
        } else {
            writeCurvedEdge(out, std::get<CurvedEdge>(record));
        }
    }
    out.ub(0, 6); // end of shape
    out.align();
}

std::vector<uint8_t> encodeShapeWithStyles(const Shape& shape, int shapeVersion) {
    BitWriter out;
    const StyleTable& table = shape.styles();
    writeFillStyleArray(out, table.fills, shapeVersion);
    writeLineStyleArray(out, table.lines, shapeVersion);
    const IndexWidths widths =
        indexWidthsFor(table.fills.size(), table.lines.size(), shape.records());
    out.ub(widths.fillBits, 4);
    out.ub(widths.lineBits, 4);
    writeShapeRecords(out, shape.records(), widths, shapeVersion);
    return out.take();
}

void writeBareShape(BitWriter& out, const Shape& shape, int shapeVersion) {
    const IndexWidths widths = indexWidthsFor(0, 0, shape.records());
    out.align();
    out.ub(widths.fillBits, 4);
    out.ub(widths.lineBits, 4);
    writeShapeRecords(out, shape.records(), widths, shapeVersion);
}

} // namespace moviemaker
