#include "moviemaker/MorphShape.h"

#include "moviemaker/ShapeEncoding.h"
#include "moviemaker/WriteError.h"

#include <algorithm>
#include <utility>

namespace moviemaker {

namespace {

void writeMorphFill(BitWriter& out, const MorphFillStyle& style, int version) {
    out.u8(static_cast<uint8_t>(style.type));
    switch (style.type) {
    case FillType::Solid:
        writeRgba(out, style.startColor);
        writeRgba(out, style.endColor);
        break;
    case FillType::Linear:
    case FillType::Radial:
    case FillType::Focal:
        if (style.stops.size() > 15) {
            throw WriteError("a gradient holds at most 15 stops");
        }
        writeMatrix(out, style.startMatrix);
        writeMatrix(out, style.endMatrix);
        if (version >= 2) {
            out.ub(static_cast<uint32_t>(style.spread), 2);
            out.ub(static_cast<uint32_t>(style.interpolation), 2);
            out.ub(static_cast<uint32_t>(style.stops.size()), 4);
        } else {
            if (style.spread != SpreadMode::Pad ||
                style.interpolation != InterpolationMode::Normal) {
                throw WriteError("gradient spread and interpolation need the second morph version");
            }
            out.u8(static_cast<uint8_t>(style.stops.size()));
        }
        for (const MorphGradientStop& stop : style.stops) {
            out.u8(stop.startRatio);
            writeRgba(out, stop.startColor);
            out.u8(stop.endRatio);
            writeRgba(out, stop.endColor);
        }
        if (style.type == FillType::Focal) {
            out.i16(fixed8(style.startFocalPoint));
            out.i16(fixed8(style.endFocalPoint));
        }
        break;
    case FillType::RepeatingBitmap:
    case FillType::ClippedBitmap:
    case FillType::RepeatingUnsmoothedBitmap:
    case FillType::ClippedUnsmoothedBitmap:
        out.u16(style.bitmapId);
        writeMatrix(out, style.startMatrix);
        writeMatrix(out, style.endMatrix);
        break;
    default:
        throw WriteError("unknown fill type");
    }
}

void writeMorphLine(BitWriter& out, const MorphLineStyle& style, int version) {
    if (version < 2 && style.fill) {
        throw WriteError("a morph line drawn with a fill needs the second morph version");
    }
    if (version < 2 && (style.startCap != CapStyle::Round || style.endCap != CapStyle::Round ||
                        style.join != JoinStyle::Round || style.noHScale || style.noVScale ||
                        style.pixelHinting || style.noClose)) {
        throw WriteError("caps, joins and stroke flags need the second morph version");
    }
    out.u16(style.startWidth);
    out.u16(style.endWidth);
    if (version >= 2) {
        out.ub(static_cast<uint32_t>(style.startCap), 2);
        out.ub(static_cast<uint32_t>(style.join), 2);
        out.flag(style.fill.has_value());
        out.flag(style.noHScale);
        out.flag(style.noVScale);
        out.flag(style.pixelHinting);
        out.ub(0, 5);
        out.flag(style.noClose);
        out.ub(static_cast<uint32_t>(style.endCap), 2);
        if (style.join == JoinStyle::Miter) {
            out.i16(fixed8(style.miterLimit));
        }
        if (style.fill) {
            writeMorphFill(out, *style.fill, version);
            return;
        }
    }
    writeRgba(out, style.startColor);
    writeRgba(out, style.endColor);
}

std::size_t edgeCount(const Shape& shape) {
    return static_cast<std::size_t>(
        std::count_if(shape.records().begin(), shape.records().end(), [](const ShapeRecord& r) {
            return !std::holds_alternative<StyleChange>(r);
        }));
}

// The end path keeps only its moves: styles belong to the start path.
std::vector<ShapeRecord> endRecords(const Shape& end) {
    std::vector<ShapeRecord> records;
    for (const ShapeRecord& record : end.records()) {
        if (const auto* change = std::get_if<StyleChange>(&record)) {
            if (change->moveTo) {
                StyleChange move;
                move.moveTo = change->moveTo;
                records.emplace_back(move);
            }
            continue;
        }
        records.push_back(record);
    }
    return records;
}

Rect widened(Rect r, uint16_t width) {
    return widenedBy(r, width / 2);
}

} // namespace

MorphFillStyle MorphFillStyle::solid(Rgba start, Rgba end) {
    MorphFillStyle s;
    s.startColor = start;
    s.endColor = end;
    return s;
}

MorphFillStyle MorphFillStyle::gradient(FillType type, const Matrix& start, const Matrix& end,
                                        std::vector<MorphGradientStop> stops) {
    MorphFillStyle s;
    s.type = type;
    s.startMatrix = start;
    s.endMatrix = end;
    s.stops = std::move(stops);
    return s;
}

uint32_t MorphShape::addFill(MorphFillStyle style) {
    fills_.push_back(std::move(style));
    return static_cast<uint32_t>(fills_.size());
}

uint32_t MorphShape::addLine(MorphLineStyle style) {
    lines_.push_back(std::move(style));
    return static_cast<uint32_t>(lines_.size());
}

std::vector<uint8_t> encodeDefineMorphShape(uint16_t id, const MorphShape& morph, int version) {
    if (version != 1 && version != 2) {
        throw WriteError("morph shape versions are 1 and 2");
    }
    if (edgeCount(morph.start()) != edgeCount(morph.end())) {
        throw WriteError("start and end paths need the same number of edges");
    }
    uint16_t startWidth = 0;
    uint16_t endWidth = 0;
    bool scaling = false;
    bool nonScaling = false;
    for (const MorphLineStyle& line : morph.lines()) {
        startWidth = std::max(startWidth, line.startWidth);
        endWidth = std::max(endWidth, line.endWidth);
        const bool fixedWidth = line.noHScale || line.noVScale;
        nonScaling = nonScaling || fixedWidth;
        scaling = scaling || !fixedWidth;
    }

    BitWriter body;
    body.u16(id);
    writeRect(body, widened(morph.start().edgeBounds(), startWidth));
    writeRect(body, widened(morph.end().edgeBounds(), endWidth));
    if (version == 2) {
        writeRect(body, morph.start().edgeBounds());
        writeRect(body, morph.end().edgeBounds());
        body.ub(0, 6);
        body.flag(nonScaling);
        body.flag(scaling);
    }
    const std::size_t offsetAt = body.size();
    body.u32(0);
    const std::size_t stylesAt = body.size();

    const int shapeVersion = version == 2 ? 4 : 3;
    writeStyleCount(body, morph.fills().size(), shapeVersion);
    for (const MorphFillStyle& fill : morph.fills()) {
        writeMorphFill(body, fill, version);
    }
    writeStyleCount(body, morph.lines().size(), shapeVersion);
    for (const MorphLineStyle& line : morph.lines()) {
        writeMorphLine(body, line, version);
    }
    const IndexWidths widths =
        indexWidthsFor(morph.fills().size(), morph.lines().size(), morph.start().records());
    body.ub(widths.fillBits, 4);
    body.ub(widths.lineBits, 4);
    writeShapeRecords(body, morph.start().records(), widths, shapeVersion);

    // The offset counts from the byte after the offset field to the end edges.
    body.patchU32(offsetAt, static_cast<uint32_t>(body.size() - stylesAt));
    body.ub(0, 4);
    body.ub(0, 4);
    writeShapeRecords(body, endRecords(morph.end()), {}, shapeVersion);
    return body.take();
}

} // namespace moviemaker
