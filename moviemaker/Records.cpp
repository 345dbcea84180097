#include "moviemaker/Records.h"

#include "moviemaker/WriteError.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <string>

namespace moviemaker {

namespace {

int32_t roundToInt32(double value) {
    const double rounded = std::round(value);
    if (!(rounded >= std::numeric_limits<int32_t>::min() &&
          rounded <= std::numeric_limits<int32_t>::max())) {
        throw WriteError("value does not fit 32 signed bits");
    }
    return static_cast<int32_t>(rounded);
}

// The width of the widest value; a five-bit width field holds at most 31, so the extremes
// of 32 signed bits have no encoding.
unsigned widestOf(std::initializer_list<int32_t> values, const char* what) {
    unsigned bits = 0;
    for (const int32_t v : values) {
        bits = std::max(bits, signedBitWidth(v));
    }
    if (bits > 31) {
        throw WriteError(std::string(what) + " needs more than 31 bits");
    }
    return bits;
}

} // namespace

int32_t twips(double pixels) {
    return roundToInt32(pixels * kTwipsPerPixel);
}

int32_t fixed16(double value) {
    return roundToInt32(value * 65536.0);
}

int16_t fixed8(double value) {
    const int32_t v = roundToInt32(value * 256.0);
    if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max()) {
        throw WriteError("value does not fit 8.8 fixed point");
    }
    return static_cast<int16_t>(v);
}

Matrix Matrix::translate(int32_t x, int32_t y) {
    Matrix m;
    m.translateX = x;
    m.translateY = y;
    return m;
}

Matrix Matrix::scale(double sx, double sy, int32_t x, int32_t y) {
    Matrix m = translate(x, y);
    m.scaleX = fixed16(sx);
    m.scaleY = fixed16(sy);
    return m;
}

Matrix Matrix::scaleRotate(double s, double radians, int32_t x, int32_t y) {
    const double c = std::cos(radians) * s;
    const double n = std::sin(radians) * s;
    return affine(c, n, -n, c, x, y);
}

Matrix Matrix::affine(double a, double b, double c, double d, double tx, double ty) {
    Matrix m;
    m.scaleX = fixed16(a);
    m.rotateSkew0 = fixed16(b);
    m.rotateSkew1 = fixed16(c);
    m.scaleY = fixed16(d);
    m.translateX = roundToInt32(tx);
    m.translateY = roundToInt32(ty);
    return m;
}

ColorTransform ColorTransform::alpha(double opacity) {
    ColorTransform cx;
    cx.alphaMult = fixed8(std::clamp(opacity, 0.0, 1.0));
    return cx;
}

ColorTransform ColorTransform::tint(Rgb colour, double opacity) {
    ColorTransform cx = alpha(opacity);
    cx.redMult = cx.greenMult = cx.blueMult = 0;
    cx.redAdd = colour.r;
    cx.greenAdd = colour.g;
    cx.blueAdd = colour.b;
    return cx;
}

void writeRgb(BitWriter& out, Rgb colour) {
    out.u8(colour.r);
    out.u8(colour.g);
    out.u8(colour.b);
}

void writeOpaqueRgb(BitWriter& out, Rgba colour) {
    if (colour.a != 255) {
        throw WriteError("a translucent colour needs a record version with alpha");
    }
    writeRgb(out, {colour.r, colour.g, colour.b});
}

void writeRgba(BitWriter& out, Rgba colour) {
    writeRgb(out, {colour.r, colour.g, colour.b});
    out.u8(colour.a);
}

void writeRect(BitWriter& out, const Rect& rect) {
    const unsigned bits =
        widestOf({rect.xMin, rect.xMax, rect.yMin, rect.yMax}, "a rectangle coordinate");
    out.align();
    out.ub(bits, 5);
    out.sb(rect.xMin, bits);
    out.sb(rect.xMax, bits);
    out.sb(rect.yMin, bits);
    out.sb(rect.yMax, bits);
    out.align();
}

void writeMatrix(BitWriter& out, const Matrix& m) {
    out.align();
    const bool hasScale = m.scaleX != 0x10000 || m.scaleY != 0x10000;
    out.flag(hasScale);
    if (hasScale) {
        const unsigned bits = widestOf({m.scaleX, m.scaleY}, "a matrix scale");
        out.ub(bits, 5);
        out.fb(m.scaleX, bits);
        out.fb(m.scaleY, bits);
    }
    const bool hasRotate = m.rotateSkew0 != 0 || m.rotateSkew1 != 0;
    out.flag(hasRotate);
    if (hasRotate) {
        const unsigned bits = widestOf({m.rotateSkew0, m.rotateSkew1}, "a matrix skew");
        out.ub(bits, 5);
        out.fb(m.rotateSkew0, bits);
        out.fb(m.rotateSkew1, bits);
    }
    const unsigned bits = widestOf({m.translateX, m.translateY}, "a matrix translation");
    out.ub(bits, 5);
    out.sb(m.translateX, bits);
    out.sb(m.translateY, bits);
    out.align();
}

void writeColorTransform(BitWriter& out, const ColorTransform& cx, bool withAlpha) {
    const bool hasMult = cx.redMult != 256 || cx.greenMult != 256 || cx.blueMult != 256 ||
                         (withAlpha && cx.alphaMult != 256);
    const bool hasAdd =
        cx.redAdd != 0 || cx.greenAdd != 0 || cx.blueAdd != 0 || (withAlpha && cx.alphaAdd != 0);
    unsigned bits = 0;
    if (hasMult) {
        bits = std::max(
            bits, widestOf({cx.redMult, cx.greenMult, cx.blueMult}, "a colour transform term"));
        if (withAlpha) {
            bits = std::max(bits, signedBitWidth(cx.alphaMult));
        }
    }
    if (hasAdd) {
        bits = std::max(bits,
                        widestOf({cx.redAdd, cx.greenAdd, cx.blueAdd}, "a colour transform term"));
        if (withAlpha) {
            bits = std::max(bits, signedBitWidth(cx.alphaAdd));
        }
    }
    if (bits > 15) {
        throw WriteError("colour transform term needs more than 15 bits");
    }
    if (!withAlpha && (cx.alphaMult != 256 || cx.alphaAdd != 0)) {
        throw WriteError("alpha terms need a colour transform record with alpha");
    }
    out.align();
    out.flag(hasAdd);
    out.flag(hasMult);
    out.ub(bits, 4);
    if (hasMult) {
        out.sb(cx.redMult, bits);
        out.sb(cx.greenMult, bits);
        out.sb(cx.blueMult, bits);
        if (withAlpha) {
            out.sb(cx.alphaMult, bits);
        }
    }
    if (hasAdd) {
        out.sb(cx.redAdd, bits);
        out.sb(cx.greenAdd, bits);
        out.sb(cx.blueAdd, bits);
        if (withAlpha) {
            out.sb(cx.alphaAdd, bits);
        }
    }
    out.align();
}

} // namespace moviemaker
