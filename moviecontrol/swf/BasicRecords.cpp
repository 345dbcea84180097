#include "BasicRecords.h"

namespace swf {

Rgba readRgb(ByteReader& r) {
    Rgba c;
    c.r = r.u8();
    c.g = r.u8();
    c.b = r.u8();
    return c;
}

Rgba readRgba(ByteReader& r) {
    Rgba c = readRgb(r);
    c.a = r.u8();
    return c;
}

Rect readRect(ByteReader& r) {
    BitReader bits(r);
    const unsigned n = bits.ub(5);
    Rect rect;
    rect.xMin = bits.sb(n);
    rect.xMax = bits.sb(n);
    rect.yMin = bits.sb(n);
    rect.yMax = bits.sb(n);
    return rect;
}

Matrix readMatrix(ByteReader& r) {
    BitReader bits(r);
    Matrix m;
    if (bits.flag()) {
        const unsigned n = bits.ub(5);
        m.a = bits.fb(n);
        m.d = bits.fb(n);
    }
    if (bits.flag()) {
        const unsigned n = bits.ub(5);
        m.b = bits.fb(n);
        m.c = bits.fb(n);
    }
    const unsigned n = bits.ub(5);
    m.tx = bits.sb(n);
    m.ty = bits.sb(n);
    return m;
}

namespace {
std::int16_t field(BitReader& bits, unsigned n) {
    // Fields are at most 15 bits wide, so the value always fits; clamp what a 4-bit count
    // cannot produce anyway to keep the conversion defined.
    return static_cast<std::int16_t>(bits.sb(n));
}
} // namespace

ColorTransform readColorTransform(ByteReader& r, bool withAlpha) {
    BitReader bits(r);
    const bool hasAdd = bits.flag();
    const bool hasMult = bits.flag();
    const unsigned n = bits.ub(4);
    ColorTransform cx;
    if (hasMult) {
        cx.multR = field(bits, n);
        cx.multG = field(bits, n);
        cx.multB = field(bits, n);
        if (withAlpha) {
            cx.multA = field(bits, n);
        }
    }
    if (hasAdd) {
        cx.addR = field(bits, n);
        cx.addG = field(bits, n);
        cx.addB = field(bits, n);
        if (withAlpha) {
            cx.addA = field(bits, n);
        }
    }
    return cx;
}

} // namespace swf
