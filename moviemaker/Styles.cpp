#include "moviemaker/Styles.h"

#include "moviemaker/WriteError.h"

#include <cmath>
#include <utility>

namespace moviemaker {

namespace {

constexpr double kGradientSquare = 32768.0; // twips across the gradient square

bool hasFourthVersionStroke(const LineStyle& s) {
    return s.startCap != CapStyle::Round || s.endCap != CapStyle::Round ||
           s.join != JoinStyle::Round || s.noHScale || s.noVScale || s.pixelHinting || s.noClose;
}

void checkShapeVersion(int shapeVersion) {
    if (shapeVersion < 1 || shapeVersion > 4) {
        throw WriteError("shape versions are 1 to 4");
    }
}

} // namespace

FillStyle FillStyle::solid(Rgba colour) {
    FillStyle s;
    s.color = colour;
    return s;
}

FillStyle FillStyle::linear(const Matrix& matrix, Gradient gradient) {
    FillStyle s;
    s.type = FillType::Linear;
    s.matrix = matrix;
    s.gradient = std::move(gradient);
    return s;
}

FillStyle FillStyle::radial(const Matrix& matrix, Gradient gradient) {
    FillStyle s = linear(matrix, std::move(gradient));
    s.type = FillType::Radial;
    return s;
}

FillStyle FillStyle::focal(const Matrix& matrix, Gradient gradient, double focalPoint) {
    FillStyle s = linear(matrix, std::move(gradient));
    s.type = FillType::Focal;
    s.focalPoint = focalPoint;
    return s;
}

FillStyle FillStyle::bitmap(uint16_t bitmapId, const Matrix& matrix, bool repeating,
                            bool smoothed) {
    FillStyle s;
    s.type = static_cast<FillType>(0x40 | (repeating ? 0 : 1) | (smoothed ? 0 : 2));
    s.bitmapId = bitmapId;
    s.matrix = matrix;
    return s;
}

Matrix gradientBox(int32_t xMin, int32_t yMin, int32_t width, int32_t height, double radians) {
    const double sx = width / kGradientSquare;
    const double sy = height / kGradientSquare;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    // Turn first, then stretch along the screen axes, so the box keeps its size whatever
    // the angle: a quarter turn makes a linear gradient run down the box's height.
    return Matrix::affine(sx * c, sy * s, -sx * s, sy * c, xMin + width / 2.0, yMin + height / 2.0);
}

void writeGradient(BitWriter& out, const Gradient& gradient, bool withAlpha) {
    if (gradient.stops.size() > 15) {
        throw WriteError("a gradient holds at most 15 stops");
    }
    out.align();
    out.ub(static_cast<uint32_t>(gradient.spread), 2);
    out.ub(static_cast<uint32_t>(gradient.interpolation), 2);
    out.ub(static_cast<uint32_t>(gradient.stops.size()), 4);
    for (const GradientStop& stop : gradient.stops) {
        out.u8(stop.ratio);
        if (withAlpha) {
            writeRgba(out, stop.color);
        } else {
            writeOpaqueRgb(out, stop.color);
        }
    }
}

void writeFillStyle(BitWriter& out, const FillStyle& style, int shapeVersion) {
    checkShapeVersion(shapeVersion);
    const bool withAlpha = shapeVersion >= 3;
    out.u8(static_cast<uint8_t>(style.type));
    switch (style.type) {
    case FillType::Solid:
        if (withAlpha) {
            writeRgba(out, style.color);
        } else {
            writeOpaqueRgb(out, style.color);
        }
        break;
    case FillType::Linear:
    case FillType::Radial:
    case FillType::Focal:
        writeMatrix(out, style.matrix);
        writeGradient(out, style.gradient, withAlpha);
        if (style.type == FillType::Focal) {
            out.i16(fixed8(style.focalPoint));
        }
        break;
    case FillType::RepeatingBitmap:
    case FillType::ClippedBitmap:
    case FillType::RepeatingUnsmoothedBitmap:
    case FillType::ClippedUnsmoothedBitmap:
        out.u16(style.bitmapId);
        writeMatrix(out, style.matrix);
        break;
    default:
        throw WriteError("unknown fill type");
    }
}

void writeLineStyle(BitWriter& out, const LineStyle& style, int shapeVersion) {
    checkShapeVersion(shapeVersion);
    out.u16(style.width);
    if (shapeVersion < 4) {
        if (style.fill) {
            throw WriteError("a line drawn with a fill needs the fourth shape version");
        }
        if (hasFourthVersionStroke(style)) {
            throw WriteError("caps, joins and stroke flags need the fourth shape version");
        }
        if (shapeVersion == 3) {
            writeRgba(out, style.color);
        } else {
            writeOpaqueRgb(out, style.color);
        }
        return;
    }
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
        writeFillStyle(out, *style.fill, shapeVersion);
    } else {
        writeRgba(out, style.color);
    }
}

void writeStyleCount(BitWriter& out, std::size_t count, int shapeVersion) {
    if (count < 0xFF) {
        out.u8(static_cast<uint8_t>(count));
        return;
    }
    if (shapeVersion < 2 || count > 0xFFFF) {
        throw WriteError("too many styles for this shape version");
    }
    out.u8(0xFF);
    out.u16(static_cast<uint16_t>(count));
}

void writeFillStyleArray(BitWriter& out, std::span<const FillStyle> styles, int shapeVersion) {
    writeStyleCount(out, styles.size(), shapeVersion);
    for (const FillStyle& style : styles) {
        writeFillStyle(out, style, shapeVersion);
    }
}

void writeLineStyleArray(BitWriter& out, std::span<const LineStyle> styles, int shapeVersion) {
    writeStyleCount(out, styles.size(), shapeVersion);
    for (const LineStyle& style : styles) {
        writeLineStyle(out, style, shapeVersion);
    }
}

} // namespace moviemaker
