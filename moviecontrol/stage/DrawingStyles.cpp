#include "DrawingStyles.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "avm1/Machine.h"

namespace mc {

namespace {

using avm1::Value;

// The square a gradient is defined in, in pixels.
constexpr double kGradientSquare = 1638.4;

std::string text(avm1::Machine& m, const Value& v) {
    return v.isUndefined() ? std::string() : m.toString(v).str();
}

// A gradient's matrix from a script object: a box {matrixType: "box", x, y, w, h, r} laid
// out as Matrix.createGradientBox lays it out, a flash.geom.Matrix {a, b, c, d, tx, ty}
// already in the gradient square's units, or the older 3x3 {a, b, c, d, e, f, g, h, i} scaled
// to the gradient square: its first two columns are the matrix, its third is not read, yet
// all nine must be there or there is no gradient.
std::optional<swf::Matrix> gradientMatrix(avm1::Machine& m, avm1::Object* matrix) {
    const auto num = [&](std::string_view name) {
        const double v = m.toNumber(m.get(matrix, name));
        return std::isfinite(v) ? v : 0.0;
    };
    swf::Matrix out;
    if (text(m, m.get(matrix, "matrixType")) == "box") {
        const double w = num("w") / kGradientSquare;
        const double h = num("h") / kGradientSquare;
        const double r = num("r");
        // Each row scales by its own side: a turned box that is not square is also skewed.
        out.a = std::cos(r) * w;
        out.b = std::sin(r) * h;
        out.c = -std::sin(r) * w;
        out.d = std::cos(r) * h;
        out.tx = (num("x") + num("w") / 2.0) * 20.0;
        out.ty = (num("y") + num("h") / 2.0) * 20.0;
    } else if (!m.get(matrix, "tx").isUndefined()) {
        out.a = num("a");
        out.b = num("b");
        out.c = num("c");
        out.d = num("d");
        out.tx = num("tx") * 20.0;
        out.ty = num("ty") * 20.0;
    } else {
        for (const char* name : {"a", "b", "c", "d", "e", "f", "g", "h", "i"}) {
            if (m.get(matrix, name).isUndefined()) {
                return std::nullopt;
            }
        }
        out.a = num("a") / kGradientSquare;
        out.b = num("b") / kGradientSquare;
        out.c = num("d") / kGradientSquare;
        out.d = num("e") / kGradientSquare;
        out.tx = num("g") * 20.0;
        out.ty = num("h") * 20.0;
    }
    return out;
}

} // namespace

swf::Rgba colorArg(avm1::Machine& m, const Value& rgb, const Value& alpha) {
    const double c = m.toNumber(rgb);
    const auto v = std::isfinite(c) ? static_cast<std::uint32_t>(static_cast<std::int64_t>(c)) : 0u;
    double a = alpha.isUndefined() ? 100.0 : m.toNumber(alpha);
    if (!std::isfinite(a)) {
        a = alpha.isUndefined() ? 100.0 : 0.0;
    }
    a = std::clamp(a, 0.0, 100.0);
    return swf::Rgba{static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                     static_cast<std::uint8_t>(v),
                     static_cast<std::uint8_t>(std::lround(a * 2.55))};
}

std::optional<swf::FillStyle> gradientArgs(avm1::Machine& m, const avm1::CallArgs& c) {
    const std::string type = text(m, c.arg(0));
    avm1::Object* colors = c.arg(1).asObject();
    avm1::Object* alphas = c.arg(2).asObject();
    avm1::Object* ratios = c.arg(3).asObject();
    avm1::Object* matrix = c.arg(4).asObject();
    if ((type != "linear" && type != "radial") || colors == nullptr || alphas == nullptr ||
        ratios == nullptr || matrix == nullptr) {
        return std::nullopt;
    }
    swf::FillStyle fill;
    fill.type = type == "linear" ? swf::FillType::LinearGradient : swf::FillType::RadialGradient;
    // The three arrays go together: unless they are as long as each other, and every ratio
    // lies above -1 and below 256, there is no gradient. A ratio's fraction is dropped.
    const auto length = [&m](avm1::Object* array) {
        const double n = m.toNumber(m.get(array, "length"));
        return std::isfinite(n) && n > 0 ? std::min(n, 1e9) : 0.0;
    };
    const double n = length(colors);
    if (length(alphas) != n || length(ratios) != n) {
        return std::nullopt;
    }
    const auto count = static_cast<std::size_t>(std::min(n, 15.0));
    for (std::size_t i = 0; i < count; ++i) {
        const std::string index = std::to_string(i);
        swf::GradientRecord r;
        r.color = colorArg(m, m.get(colors, index), m.get(alphas, index));
        const double ratio = m.toNumber(m.get(ratios, index));
        if (!(ratio > -1.0 && ratio < 256.0)) {
            return std::nullopt;
        }
        r.ratio = static_cast<std::uint8_t>(std::max(ratio, 0.0));
        fill.gradient.records.push_back(r);
    }
    const std::optional<swf::Matrix> placed = gradientMatrix(m, matrix);
    if (!placed) {
        return std::nullopt;
    }
    fill.matrix = *placed;
    // Version 8 adds the spread, the colour space and a focal point.
    const std::string spread = text(m, c.arg(5));
    fill.gradient.spread = spread == "reflect"  ? swf::SpreadMode::Reflect
                           : spread == "repeat" ? swf::SpreadMode::Repeat
                                                : swf::SpreadMode::Pad;
    if (text(m, c.arg(6)) == "linearRGB") {
        fill.gradient.interpolation = swf::InterpolationMode::LinearRgb;
    }
    const double focal = m.toNumber(c.arg(7));
    if (fill.type == swf::FillType::RadialGradient && std::isfinite(focal) && focal != 0.0) {
        fill.type = swf::FillType::FocalGradient;
        fill.gradient.focalPoint = std::clamp(focal, -1.0, 1.0);
    }
    return fill;
}

swf::FillStyle bitmapFillArgs(avm1::Machine& m, const avm1::CallArgs& c) {
    swf::FillStyle fill;
    const bool repeat = c.count() < 3 || m.toBoolean(c.arg(2));
    const bool smooth = c.count() > 3 && m.toBoolean(c.arg(3));
    using enum swf::FillType;
    fill.type = repeat ? (smooth ? RepeatingBitmap : NonSmoothedRepeatingBitmap)
                       : (smooth ? ClippedBitmap : NonSmoothedClippedBitmap);
    // A bitmap fill's matrix maps the bitmap's pixels to the shape's twips, as a timeline's
    // bitmap fill does: the script's matrix, in pixels, is scaled by twenty whole.
    fill.matrix.a = 20.0;
    fill.matrix.d = 20.0;
    if (avm1::Object* matrix = c.arg(1).asObject()) {
        const auto num = [&](std::string_view name, double missing) {
            const Value v = m.get(matrix, name);
            if (v.isUndefined()) {
                return missing;
            }
            const double n = m.toNumber(v);
            return std::isfinite(n) ? n : 0.0;
        };
        fill.matrix.a = num("a", 1.0) * 20.0;
        fill.matrix.b = num("b", 0.0) * 20.0;
        fill.matrix.c = num("c", 0.0) * 20.0;
        fill.matrix.d = num("d", 1.0) * 20.0;
        fill.matrix.tx = num("tx", 0.0) * 20.0;
        fill.matrix.ty = num("ty", 0.0) * 20.0;
    }
    return fill;
}

std::optional<swf::LineStyle> lineStyleArgs(avm1::Machine& m, const avm1::CallArgs& c) {
    const double width = m.toNumber(c.arg(0));
    if (c.count() == 0 || c.arg(0).isUndefined() || std::isnan(width)) {
        return std::nullopt;
    }
    swf::LineStyle line;
    line.width = static_cast<std::uint16_t>(std::clamp(width, 0.0, 255.0) * 20.0);
    line.color = colorArg(m, c.arg(1), c.arg(2));
    line.pixelHinting = m.toBoolean(c.arg(3));
    // Which scalings of the clip leave the thickness alone: "none" both, "vertical" a
    // vertical one, "horizontal" a horizontal one; anything else scales it.
    const std::string scaleMode = text(m, c.arg(4));
    line.noHScale = scaleMode == "none" || scaleMode == "horizontal";
    line.noVScale = scaleMode == "none" || scaleMode == "vertical";
    const std::string caps = text(m, c.arg(5));
    const swf::CapStyle cap = caps == "none"     ? swf::CapStyle::None
                              : caps == "square" ? swf::CapStyle::Square
                                                 : swf::CapStyle::Round;
    line.startCap = cap;
    line.endCap = cap;
    const std::string joint = text(m, c.arg(6));
    line.join = joint == "miter"   ? swf::JoinStyle::Miter
                : joint == "bevel" ? swf::JoinStyle::Bevel
                                   : swf::JoinStyle::Round;
    // The limit is held to 1..255; not given, or not a number, it is 3.
    const double limit = m.toNumber(c.arg(7));
    line.miterLimit = std::isnan(limit) ? 3.0 : std::clamp(limit, 1.0, 255.0);
    return line;
}

} // namespace mc
