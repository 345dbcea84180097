// BitmapData's methods that combine bitmaps or generate pixels: copies, channel work,
// thresholds, noise, the dissolve, hit tests and comparisons. Each places a source
// rectangle at a destination point; the pixel work is moviecontrol/pixels'.
#include "avm2/BitmapDataValues.h"
#include "pixels/BitmapEffects.h"
#include "pixels/BitmapNoise.h"
#include "pixels/PixelCopy.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace avm2::bitmaps {

using pixels::BitmapPixels;
using pixels::PixelRect;
using pixels::Placement;

void requireArg(Machine& m, const Args& a, std::size_t i, const char* cls, const char* name) {
    const Value v = geom::argument(a, i);
    Class* c = m.findClass(cls);
    if (!v.isObject() || c == nullptr || !m.isType(v, c)) {
        m.throwError("TypeError", 2007, std::string("Parameter ") + name + " must be non-null.");
    }
}

Transfer transferArgs(Machine& m, const Args& a) {
    requireArg(m, a, 0, "flash.display::BitmapData", "sourceBitmapData");
    requireArg(m, a, 1, "flash.geom::Rectangle", "sourceRect");
    requireArg(m, a, 2, "flash.geom::Point", "destPoint");
    Transfer t;
    t.source = sharedPixels(m, geom::argument(a, 0));
    t.at.from = rectArg(m, a, 1, "sourceRect");
    pointArg(m, a, 2, t.at.toX, t.at.toY, "destPoint");
    return t;
}

namespace {

std::uint32_t colorArg(Machine& m, const Args& a, std::size_t i, std::uint32_t fallback) {
    return i < a.size() ? toUint32(m.toNumber(a[i])) : fallback;
}

Value copyPixels(Machine& m, const Value& self, Args& a) {
    BitmapPixels& dest = pixelsOf(m, self);
    Transfer t = transferArgs(m, a);
    std::optional<pixels::AlphaSource> alpha;
    std::shared_ptr<BitmapPixels> alphaBitmap;
    if (!geom::argument(a, 3).isNullish()) {
        alphaBitmap = sharedPixels(m, a[3]);
        pixels::AlphaSource s;
        s.bitmap = alphaBitmap.get();
        pointArg(m, a, 4, s.x, s.y, nullptr);
        alpha = s;
    }
    const bool mergeAlpha = a.size() > 5 && Machine::toBoolean(a[5]);
    pixels::copyPixels(dest, *t.source, t.at, alpha, mergeAlpha);
    return Value();
}

Value copyChannel(Machine& m, const Value& self, Args& a) {
    BitmapPixels& dest = pixelsOf(m, self);
    Transfer t = transferArgs(m, a);
    pixels::copyChannel(dest, *t.source, t.at, colorArg(m, a, 3, 0), colorArg(m, a, 4, 0));
    return Value();
}

Value colorTransform(Machine& m, const Value& self, Args& a) {
    BitmapPixels& p = pixelsOf(m, self);
    const PixelRect r = rectArg(m, a, 0, "rect");
    requireArg(m, a, 1, "flash.geom::ColorTransform", "colorTransform");
    Object* ct = a[1].asObject();
    const geom::Channels c = geom::channelsOf(m, Value::object(ct));
    pixels::ChannelTransform t;
    for (std::size_t i = 0; i < 4; ++i) {
        t.mult[i] = c[i];
        t.add[i] = c[4 + i];
    }
    pixels::colorTransform(p, r, t);
    return Value();
}

Value merge(Machine& m, const Value& self, Args& a) {
    BitmapPixels& dest = pixelsOf(m, self);
    Transfer t = transferArgs(m, a);
    std::array<std::uint32_t, 4> mult{};
    for (std::size_t i = 0; i < 4; ++i) {
        mult[i] = std::min<std::uint32_t>(colorArg(m, a, 3 + i, 0), 256);
    }
    pixels::merge(dest, *t.source, t.at, mult);
    return Value();
}

Value paletteMap(Machine& m, const Value& self, Args& a) {
    BitmapPixels& dest = pixelsOf(m, self);
    Transfer t = transferArgs(m, a);
    std::array<std::array<std::uint32_t, 256>, 4> tables{};
    std::array<bool, 4> present{};
    for (std::size_t c = 0; c < 4; ++c) {
        const Value v = geom::argument(a, 3 + c);
        if (!v.isObject() || v.asObject()->kind != Object::Kind::Array) {
            continue;
        }
        present[c] = true;
        const std::vector<Value>& e = v.asObject()->elements;
        for (std::size_t i = 0; i < 256; ++i) {
            tables[c][i] = i < e.size() ? toUint32(m.toNumber(e[i])) : 0;
        }
    }
    pixels::paletteMap(dest, *t.source, t.at, tables, present);
    return Value();
}

Value threshold(Machine& m, const Value& self, Args& a) {
    BitmapPixels& dest = pixelsOf(m, self);
    Transfer t = transferArgs(m, a);
    const std::string operation = m.toString(geom::argument(a, 3));
    const int count = pixels::threshold(dest, *t.source, t.at, operation, colorArg(m, a, 4, 0),
                                        colorArg(m, a, 5, 0), colorArg(m, a, 6, 0xFFFFFFFFu),
                                        a.size() > 7 && Machine::toBoolean(a[7]));
    if (count < 0) {
        // Flash numbers the parameter 0 in this error, whichever one it is.
        m.throwError("ArgumentError", 2005,
                     "Parameter 0 is of the incorrect type. Should be type Operation.");
    }
    return Value::unsignedInt(static_cast<std::uint32_t>(count));
}

Value noise(Machine& m, const Value& self, Args& a) {
    BitmapPixels& p = pixelsOf(m, self);
    const auto low = static_cast<int>(std::min<std::uint32_t>(colorArg(m, a, 1, 0), 255));
    const auto high = static_cast<int>(std::min<std::uint32_t>(colorArg(m, a, 2, 255), 255));
    pixels::fillNoise(p, toInt32(geom::numberArg(m, a, 0, 0)), low, high, colorArg(m, a, 3, 7),
                      a.size() > 4 && Machine::toBoolean(a[4]));
    return Value();
}

Value perlinNoise(Machine& m, const Value& self, Args& a) {
    BitmapPixels& p = pixelsOf(m, self);
    pixels::PerlinOptions o;
    o.baseX = geom::numberArg(m, a, 0, 0);
    o.baseY = geom::numberArg(m, a, 1, 0);
    o.octaves =
        static_cast<int>(std::min<std::uint32_t>(colorArg(m, a, 2, 0), pixels::MaxPerlinOctaves));
    o.seed = toInt32(geom::numberArg(m, a, 3, 0));
    o.stitch = Machine::toBoolean(geom::argument(a, 4));
    o.fractal = Machine::toBoolean(geom::argument(a, 5));
    o.channels = colorArg(m, a, 6, 7);
    o.gray = Machine::toBoolean(geom::argument(a, 7));
    const Value offsets = geom::argument(a, 8);
    if (offsets.isObject()) {
        const std::vector<Value>& e = offsets.asObject()->elements;
        for (std::size_t i = 0; i < e.size() && i < pixels::MaxPerlinOctaves; ++i) {
            if (e[i].isObject()) {
                o.offsets.emplace_back(geom::field(m, e[i], "x"), geom::field(m, e[i], "y"));
            } else {
                o.offsets.emplace_back(0, 0);
            }
        }
    }
    o.afterRow = [&m](std::uint64_t) { m.checkBudget(); };
    pixels::fillPerlinNoise(p, o);
    return Value();
}

Value pixelDissolve(Machine& m, const Value& self, Args& a) {
    auto dest = sharedPixels(m, self);
    Transfer t = transferArgs(m, a);
    const std::int32_t count = toInt32(geom::numberArg(m, a, 4, 0));
    if (count < 0) {
        m.throwError("RangeError", 2027,
                     "Parameter numPixels must be a non-negative number; got " +
                         std::to_string(count) + ".");
    }
    const std::int64_t next = pixels::pixelDissolve(
        *dest, *t.source, t.at, toInt32(geom::numberArg(m, a, 3, 0)), count, colorArg(m, a, 5, 0));
    return Value::integer(static_cast<std::int32_t>(next));
}

Value getColorBoundsRect(Machine& m, const Value& self, Args& a) {
    BitmapPixels& p = pixelsOf(m, self);
    const bool find = a.size() < 3 || Machine::toBoolean(a[2]);
    const PixelRect r = p.colorBounds(colorArg(m, a, 0, 0), colorArg(m, a, 1, 0), find);
    return geom::makeRectangle(m, {double(r.x), double(r.y), double(r.width), double(r.height)});
}

// 0 when equal; -3 or -4 when the widths or heights differ; else a bitmap of differences.
Value compare(Machine& m, const Value& self, Args& a) {
    BitmapPixels& p = pixelsOf(m, self);
    requireArg(m, a, 0, "flash.display::BitmapData", "otherBitmapData");
    BitmapPixels& q = pixelsOf(m, a[0]);
    if (&p == &q) {
        return Value::integer(0);
    }
    if (p.width() != q.width()) {
        return Value::integer(-3);
    }
    if (p.height() != q.height()) {
        return Value::integer(-4);
    }
    m.checkMemory(static_cast<std::size_t>(p.width()) * static_cast<std::size_t>(p.height()) * 4);
    BitmapPixels diff(p.width(), p.height(), true, 0);
    bool any = false;
    for (int y = 0; y < p.height(); ++y) {
        for (int x = 0; x < p.width(); ++x) {
            const std::uint32_t d = BitmapPixels::difference(p.at(x, y), q.at(x, y));
            any = any || d != 0;
            diff.set(x, y, d);
        }
        rowDone(m, y);
    }
    return any ? makeBitmapData(m, std::move(diff)) : Value::integer(0);
}

// The class Vector.<elementType>.
Value vectorClassOf(Machine& m, const Value& elementType) {
    Args type{elementType};
    return m.applyType(Value::object(m.vectorClass->classObject), type);
}

// A new vector of the class holding `values`.
Value vectorOf(Machine& m, const Value& vectorClass, std::vector<Value> values) {
    Args none;
    Value v = m.construct(vectorClass, none);
    m.resizeElements(v.asObject(), values.size(), Value());
    v.asObject()->elements = std::move(values);
    return v;
}

// Four vectors of 256 counts, red, green, blue and alpha, over the unmultiplied colours of
// the rectangle (the whole bitmap without one).
Value histogram(Machine& m, const Value& self, Args& a) {
    BitmapPixels& p = pixelsOf(m, self);
    const PixelRect r = geom::argument(a, 0).isNullish() ? PixelRect{0, 0, p.width(), p.height()}
                                                         : p.clip(rectArg(m, a, 0, "hRect"));
    std::array<std::array<double, 256>, 4> counts{};
    for (int y = r.y; y < r.y + r.height; ++y) {
        for (int x = r.x; x < r.x + r.width; ++x) {
            const std::uint32_t c = p.at(x, y);
            counts[0][(c >> 16) & 0xFF] += 1;
            counts[1][(c >> 8) & 0xFF] += 1;
            counts[2][c & 0xFF] += 1;
            counts[3][c >> 24] += 1;
        }
        rowDone(m, y);
    }
    const Value numbers = vectorClassOf(m, Value::object(m.numberClass->classObject));
    std::vector<Value> channels;
    for (const auto& channel : counts) {
        std::vector<Value> values;
        for (double n : channel) {
            values.push_back(Value::number(n));
        }
        channels.push_back(vectorOf(m, numbers, std::move(values)));
    }
    return vectorOf(m, vectorClassOf(m, numbers), std::move(channels));
}

bool alphaAtLeast(const BitmapPixels& p, int x, int y, double threshold) {
    return static_cast<double>(p.at(x, y) >> 24) >= threshold;
}

// Any pixel of `r` (in the bitmap's space) opaque enough.
bool anyInRect(Machine& m, const BitmapPixels& p, PixelRect r, double threshold) {
    r = p.clip(r);
    for (int y = r.y; y < r.y + r.height; ++y) {
        for (int x = r.x; x < r.x + r.width; ++x) {
            if (alphaAtLeast(p, x, y, threshold)) {
                return true;
            }
        }
        rowDone(m, y);
    }
    return false;
}

// Points are in a common space where this bitmap's top-left is `firstPoint`; the second
// object is a point, a rectangle, or a bitmap (BitmapData or Bitmap) at its own point.
Value hitTest(Machine& m, const Value& self, Args& a) {
    BitmapPixels& p = pixelsOf(m, self);
    int fx = 0, fy = 0;
    pointArg(m, a, 0, fx, fy, "firstPoint");
    const double threshold = colorArg(m, a, 1, 0);
    Value second = geom::argument(a, 2);
    Class* bitmapClass = m.findClass("flash.display::Bitmap");
    if (second.isObject() && bitmapClass != nullptr && m.isType(second, bitmapClass)) {
        second = m.getProperty(second, Name::publicName("bitmapData"));
    }
    Class* bitmapData = m.findClass("flash.display::BitmapData");
    if (second.isObject() && m.isType(second, bitmapData)) {
        BitmapPixels& q = pixelsOf(m, second);
        int sx = 0, sy = 0;
        pointArg(m, a, 3, sx, sy, "secondBitmapDataPoint");
        const double secondThreshold = colorArg(m, a, 4, 1);
        const PixelRect r = p.clip({sx - fx, sy - fy, q.width(), q.height()});
        for (int y = r.y; y < r.y + r.height; ++y) {
            for (int x = r.x; x < r.x + r.width; ++x) {
                if (alphaAtLeast(p, x, y, threshold) &&
                    alphaAtLeast(q, x + fx - sx, y + fy - sy, secondThreshold)) {
                    return Value::boolean(true);
                }
            }
            rowDone(m, y);
        }
        return Value::boolean(false);
    }
    if (second.isObject() && m.isType(second, m.findClass("flash.geom::Rectangle"))) {
        PixelRect r = pixelRect(geom::boxOf(m, second));
        r.x -= fx;
        r.y -= fy;
        return Value::boolean(anyInRect(m, p, r, threshold));
    }
    if (second.isObject() && m.isType(second, m.findClass("flash.geom::Point"))) {
        const int x = toPixel(geom::field(m, second, "x")) - fx;
        const int y = toPixel(geom::field(m, second, "y")) - fy;
        // Against a point, a fully transparent pixel never counts, whatever the threshold.
        return Value::boolean(p.contains(x, y) && (p.at(x, y) >> 24) != 0 &&
                              alphaAtLeast(p, x, y, threshold));
    }
    // Flash numbers the parameter 0 in this error, whichever one it is.
    m.throwError("ArgumentError", 2005,
                 "Parameter 0 is of the incorrect type. Should be type BitmapData.");
}

} // namespace

void installBitmapDataEffects(Machine& m, Class* bd) {
    m.defineMethod(bd, "copyPixels", copyPixels);
    m.defineMethod(bd, "copyChannel", copyChannel);
    m.defineMethod(bd, "colorTransform", colorTransform);
    m.defineMethod(bd, "merge", merge);
    m.defineMethod(bd, "paletteMap", paletteMap);
    m.defineMethod(bd, "threshold", threshold);
    m.defineMethod(bd, "noise", noise);
    m.defineMethod(bd, "perlinNoise", perlinNoise);
    m.defineMethod(bd, "pixelDissolve", pixelDissolve);
    m.defineMethod(bd, "getColorBoundsRect", getColorBoundsRect);
    m.defineMethod(bd, "compare", compare);
    m.defineMethod(bd, "hitTest", hitTest);
    m.defineMethod(bd, "histogram", histogram);
}

} // namespace avm2::bitmaps
