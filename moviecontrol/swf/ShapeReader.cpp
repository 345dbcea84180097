#include "BasicRecords.h"
#include "ShapeReaders.h"

#include <memory>

namespace swf {

namespace {

ShapeRecord readEdge(BitReader& bits) {
    const bool straight = bits.flag();
    const unsigned n = bits.ub(4) + 2;
    if (straight) {
        StraightEdge e;
        const bool general = bits.flag();
        if (general) {
            e.dx = bits.sb(n);
            e.dy = bits.sb(n);
        } else if (bits.flag()) {
            e.dy = bits.sb(n);
        } else {
            e.dx = bits.sb(n);
        }
        return e;
    }
    CurvedEdge e;
    e.controlDx = bits.sb(n);
    e.controlDy = bits.sb(n);
    e.anchorDx = bits.sb(n);
    e.anchorDy = bits.sb(n);
    return e;
}

} // namespace

std::vector<ShapeRecord> readShapeRecords(ByteReader& r, ReadContext& ctx,
                                          std::uint8_t shapeVersion, unsigned fillBits,
                                          unsigned lineBits) {
    std::vector<ShapeRecord> records;
    std::size_t count = 0;
    BitReader bits(r);
    while (!r.failed()) {
        if (bits.flag()) {
            if (!ctx.takeRecord(count)) {
                break;
            }
            records.push_back(readEdge(bits));
            continue;
        }
        const unsigned flags = bits.ub(5);
        if (flags == 0) {
            break; // End of shape.
        }
        if (!ctx.takeRecord(count)) {
            break;
        }
        StyleChange change;
        if (flags & 0x01) {
            const unsigned n = bits.ub(5);
            change.hasMoveTo = true;
            change.moveX = bits.sb(n);
            change.moveY = bits.sb(n);
        }
        if (flags & 0x02) {
            change.fill0 = bits.ub(fillBits);
        }
        if (flags & 0x04) {
            change.fill1 = bits.ub(fillBits);
        }
        if (flags & 0x08) {
            change.line = bits.ub(lineBits);
        }
        // New styles are accepted in every shape version: tools write them in the first one
        // too and players draw those shapes.
        if (flags & 0x10) {
            bits.align();
            auto styles = std::make_shared<ShapeStyles>(readShapeStyles(r, ctx, shapeVersion));
            const std::uint8_t counts = r.u8();
            fillBits = counts >> 4;
            lineBits = counts & 0x0F;
            change.newStyles = std::move(styles);
            if (ctx.invalid) {
                records.push_back(std::move(change));
                break;
            }
        }
        records.push_back(std::move(change));
    }
    return records;
}

std::vector<ShapeRecord> readGlyphShape(ByteReader& r, ReadContext& ctx) {
    const std::uint8_t counts = r.u8();
    return readShapeRecords(r, ctx, 1, counts >> 4, counts & 0x0F);
}

Shape readDefineShape(ByteReader& r, ReadContext& ctx, std::uint8_t shapeVersion) {
    Shape shape;
    shape.version = shapeVersion;
    shape.id = r.u16();
    shape.bounds = readRect(r);
    shape.edgeBounds = shape.bounds;
    if (shapeVersion >= 4) {
        shape.edgeBounds = readRect(r);
        const std::uint8_t flags = r.u8();
        shape.usesFillWindingRule = (flags & 0x04) != 0;
        shape.usesNonScalingStrokes = (flags & 0x02) != 0;
        shape.usesScalingStrokes = (flags & 0x01) != 0;
    }
    shape.styles = readShapeStyles(r, ctx, shapeVersion);
    if (ctx.invalid) {
        return shape;
    }
    const std::uint8_t counts = r.u8();
    shape.records = readShapeRecords(r, ctx, shapeVersion, counts >> 4, counts & 0x0F);
    return shape;
}

} // namespace swf
