#include "BasicRecords.h"
#include "ShapeReaders.h"

namespace swf {

namespace {

CapStyle capFromBits(unsigned bits) {
    return bits <= 2 ? static_cast<CapStyle>(bits) : CapStyle::Round;
}

JoinStyle joinFromBits(unsigned bits) {
    return bits <= 2 ? static_cast<JoinStyle>(bits) : JoinStyle::Round;
}

void readGradientFlags(ByteReader& r, Gradient& g, unsigned& count) {
    const std::uint8_t flags = r.u8();
    g.spread = static_cast<SpreadMode>(flags >> 6);
    g.interpolation = static_cast<InterpolationMode>((flags >> 4) & 3);
    count = flags & 0x0F;
}

bool isKnownFillType(std::uint8_t type) {
    return type == 0x00 || type == 0x10 || type == 0x12 || type == 0x13 ||
           (type >= 0x40 && type <= 0x43);
}

} // namespace

std::uint8_t bitmapFillTypeFor(std::uint8_t type, std::uint8_t swfVersion) {
    // The non-smoothed types came with version 8; before it the player draws every bitmap
    // fill of a shape with nearest-pixel sampling, whichever type the file names.
    if (swfVersion < 8 && (type == 0x40 || type == 0x41)) {
        return static_cast<std::uint8_t>(type | 0x02);
    }
    return type;
}

std::optional<FillStyle> readFillStyle(ByteReader& r, ReadContext& ctx, std::uint8_t shapeVersion) {
    const std::uint8_t type = r.u8();
    if (!isKnownFillType(type)) {
        ctx.invalid = true;
        return std::nullopt;
    }
    FillStyle fill;
    fill.type = static_cast<FillType>(bitmapFillTypeFor(type, ctx.swfVersion));
    if (type == 0x00) {
        fill.color = shapeVersion >= 3 ? readRgba(r) : readRgb(r);
    } else if (fill.isGradient()) {
        fill.matrix = readMatrix(r);
        unsigned count = 0;
        readGradientFlags(r, fill.gradient, count);
        for (unsigned i = 0; i < count && !r.failed(); ++i) {
            GradientRecord rec;
            rec.ratio = r.u8();
            rec.color = shapeVersion >= 3 ? readRgba(r) : readRgb(r);
            fill.gradient.records.push_back(rec);
        }
        // Focal points are honoured in every shape version, as players do.
        if (fill.type == FillType::FocalGradient) {
            fill.gradient.focalPoint = r.fixed8();
        }
    } else {
        fill.bitmapId = r.u16();
        fill.matrix = readMatrix(r);
    }
    return fill;
}

namespace {

// The LINESTYLE2 flag bytes, shared by shape 4 and morph shape 2 line styles. Returns
// whether a fill follows instead of a colour.
bool readLineFlags(ByteReader& r, LineStyle& line) {
    const std::uint8_t f0 = r.u8();
    const std::uint8_t f1 = r.u8();
    line.startCap = capFromBits(f0 >> 6);
    line.join = joinFromBits((f0 >> 4) & 3);
    const bool hasFill = (f0 & 0x08) != 0;
    line.noHScale = (f0 & 0x04) != 0;
    line.noVScale = (f0 & 0x02) != 0;
    line.pixelHinting = (f0 & 0x01) != 0;
    line.noClose = (f1 & 0x04) != 0;
    line.endCap = capFromBits(f1 & 3);
    if (((f0 >> 4) & 3) == 2) {
        line.miterLimit = r.u16() / 256.0;
    }
    return hasFill;
}

} // namespace

std::optional<LineStyle> readLineStyle(ByteReader& r, ReadContext& ctx, std::uint8_t shapeVersion) {
    LineStyle line;
    line.width = r.u16();
    if (shapeVersion < 4) {
        line.color = shapeVersion >= 3 ? readRgba(r) : readRgb(r);
        return line;
    }
    if (readLineFlags(r, line)) {
        auto fill = readFillStyle(r, ctx, shapeVersion);
        if (!fill) {
            return std::nullopt;
        }
        line.fill = std::move(*fill);
    } else {
        line.color = readRgba(r);
    }
    return line;
}

namespace {
std::size_t readStyleCount(ByteReader& r, std::uint8_t shapeVersion) {
    std::size_t count = r.u8();
    if (count == 0xFF && shapeVersion >= 2) {
        count = r.u16();
    }
    return count;
}
} // namespace

ShapeStyles readShapeStyles(ByteReader& r, ReadContext& ctx, std::uint8_t shapeVersion) {
    ShapeStyles styles;
    // Counts are claims; every style takes at least one byte, so reading stops with the data.
    const std::size_t fills = readStyleCount(r, shapeVersion);
    for (std::size_t i = 0; i < fills && !r.failed() && !ctx.invalid; ++i) {
        if (auto fill = readFillStyle(r, ctx, shapeVersion)) {
            styles.fills.push_back(std::move(*fill));
        }
    }
    if (ctx.invalid || r.failed()) {
        return styles;
    }
    const std::size_t lines = readStyleCount(r, shapeVersion);
    for (std::size_t i = 0; i < lines && !r.failed() && !ctx.invalid; ++i) {
        if (auto line = readLineStyle(r, ctx, shapeVersion)) {
            styles.lines.push_back(std::move(*line));
        }
    }
    return styles;
}

} // namespace swf
