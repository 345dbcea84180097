#include "BasicRecords.h"
#include "ShapeReaders.h"

namespace swf {

namespace {

std::optional<MorphFillStyle> readMorphFillStyle(ByteReader& r, ReadContext& ctx) {
    const std::uint8_t type = r.u8();
    MorphFillStyle m;
    m.start.type = m.end.type = static_cast<FillType>(bitmapFillTypeFor(type, ctx.swfVersion));
    switch (type) {
    case 0x00:
        m.start.color = readRgba(r);
        m.end.color = readRgba(r);
        return m;
    case 0x10:
    case 0x12:
    case 0x13: {
        m.start.matrix = readMatrix(r);
        m.end.matrix = readMatrix(r);
        const std::uint8_t flags = r.u8();
        m.start.gradient.spread = m.end.gradient.spread = static_cast<SpreadMode>(flags >> 6);
        m.start.gradient.interpolation = m.end.gradient.interpolation =
            static_cast<InterpolationMode>((flags >> 4) & 3);
        const unsigned count = flags & 0x0F;
        for (unsigned i = 0; i < count && !r.failed(); ++i) {
            GradientRecord s;
            s.ratio = r.u8();
            s.color = readRgba(r);
            GradientRecord e;
            e.ratio = r.u8();
            e.color = readRgba(r);
            m.start.gradient.records.push_back(s);
            m.end.gradient.records.push_back(e);
        }
        if (type == 0x13) {
            m.start.gradient.focalPoint = r.fixed8();
            m.end.gradient.focalPoint = r.fixed8();
        }
        return m;
    }
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
        m.start.bitmapId = m.end.bitmapId = r.u16();
        m.start.matrix = readMatrix(r);
        m.end.matrix = readMatrix(r);
        return m;
    default:
        ctx.invalid = true;
        return std::nullopt;
    }
}

CapStyle cap(unsigned bits) {
    return bits <= 2 ? static_cast<CapStyle>(bits) : CapStyle::Round;
}

std::optional<MorphLineStyle> readMorphLineStyle(ByteReader& r, ReadContext& ctx,
                                                 std::uint8_t morphVersion) {
    MorphLineStyle m;
    m.start.width = r.u16();
    m.end.width = r.u16();
    if (morphVersion < 2) {
        m.start.color = readRgba(r);
        m.end.color = readRgba(r);
        return m;
    }
    const std::uint8_t f0 = r.u8();
    const std::uint8_t f1 = r.u8();
    LineStyle& s = m.start;
    s.startCap = cap(f0 >> 6);
    const unsigned join = (f0 >> 4) & 3;
    s.join = join <= 2 ? static_cast<JoinStyle>(join) : JoinStyle::Round;
    const bool hasFill = (f0 & 0x08) != 0;
    s.noHScale = (f0 & 0x04) != 0;
    s.noVScale = (f0 & 0x02) != 0;
    s.pixelHinting = (f0 & 0x01) != 0;
    s.noClose = (f1 & 0x04) != 0;
    s.endCap = cap(f1 & 3);
    if (join == 2) {
        s.miterLimit = r.u16() / 256.0;
    }
    const std::uint16_t endWidth = m.end.width;
    m.end = s;
    m.end.width = endWidth;
    if (hasFill) {
        auto fill = readMorphFillStyle(r, ctx);
        if (!fill) {
            return std::nullopt;
        }
        m.start.fill = std::move(fill->start);
        m.end.fill = std::move(fill->end);
    } else {
        m.start.color = readRgba(r);
        m.end.color = readRgba(r);
    }
    return m;
}

std::size_t readCount(ByteReader& r) {
    std::size_t count = r.u8();
    return count == 0xFF ? r.u16() : count;
}

} // namespace

MorphShape readDefineMorphShape(ByteReader& r, ReadContext& ctx, std::uint8_t morphVersion) {
    MorphShape morph;
    morph.version = morphVersion;
    morph.id = r.u16();
    morph.startBounds = readRect(r);
    morph.endBounds = readRect(r);
    morph.startEdgeBounds = morph.startBounds;
    morph.endEdgeBounds = morph.endBounds;
    if (morphVersion >= 2) {
        morph.startEdgeBounds = readRect(r);
        morph.endEdgeBounds = readRect(r);
        const std::uint8_t flags = r.u8();
        morph.usesNonScalingStrokes = (flags & 0x02) != 0;
        morph.usesScalingStrokes = (flags & 0x01) != 0;
    }
    const std::uint32_t endEdgesOffset = r.u32();
    const std::size_t endEdgesBase = r.position();

    const std::size_t fills = readCount(r);
    for (std::size_t i = 0; i < fills && !r.failed() && !ctx.invalid; ++i) {
        if (auto fill = readMorphFillStyle(r, ctx)) {
            morph.fills.push_back(std::move(*fill));
        }
    }
    const std::size_t lines = ctx.invalid ? 0 : readCount(r);
    for (std::size_t i = 0; i < lines && !r.failed() && !ctx.invalid; ++i) {
        if (auto line = readMorphLineStyle(r, ctx, morphVersion)) {
            morph.lines.push_back(std::move(*line));
        }
    }
    if (ctx.invalid || r.failed()) {
        return morph;
    }
    // Style changes with new styles have no meaning in a morph shape: read them as version 1
    // records would be wrong, so use the morph's own colour format (RGBA, version 3).
    const std::uint8_t counts = r.u8();
    morph.startRecords = readShapeRecords(r, ctx, 3, counts >> 4, counts & 0x0F);

    // The end edges start where the offset says when it is plausible, which keeps a damaged
    // start list from shifting them; otherwise they follow the start records.
    const std::size_t total = r.data().size();
    if (endEdgesOffset != 0 && endEdgesOffset <= total - endEdgesBase) {
        ByteReader end(r.data().subspan(endEdgesBase + endEdgesOffset));
        const std::uint8_t endCounts = end.u8();
        morph.endRecords = readShapeRecords(end, ctx, 3, endCounts >> 4, endCounts & 0x0F);
        if (end.failed()) {
            r.setFailed();
        }
    } else {
        const std::uint8_t endCounts = r.u8();
        morph.endRecords = readShapeRecords(r, ctx, 3, endCounts >> 4, endCounts & 0x0F);
    }
    return morph;
}

} // namespace swf
