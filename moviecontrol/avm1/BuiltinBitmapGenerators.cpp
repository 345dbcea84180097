// BitmapData's methods that make pixels rather than move them: noise, Perlin noise, the
// pixel dissolve, and drawing and filtering, which the host paints.

#include "avm1/BitmapArgs.h"
#include "avm1/BitmapData.h"
#include "avm1/Convert.h"
#include "avm1/FilterObjects.h"
#include "avm1/Host.h"
#include "avm1/Packages.h"
#include "avm1/State.h"
#include "pixels/BitmapNoise.h"

#include <cmath>

namespace avm1 {

using namespace pixels;

namespace {

// A method of live bitmaps; on a disposed bitmap or on anything else it answers -1.
template <class F> void defineLive(Machine& m, Object* proto, std::string_view name, F method) {
    m.defineMethod(proto, name, [method](CallArgs& c) -> Value {
        std::shared_ptr<BitmapPixels> self = bitmapDataPixels(c.thisValue);
        if (!self) {
            return Value(-1);
        }
        c.machine.state().pace(1 + static_cast<std::size_t>(self->width()) *
                                       static_cast<std::size_t>(self->height()) / 1024);
        return method(c, *self);
    });
}

std::int64_t toSeed(Machine& m, const Value& v) {
    return toInt32(m.toNumber(v));
}

int toChannelValue(Machine& m, const Value& v, int fallback) {
    double d = m.toNumber(v);
    return std::isfinite(d) ? static_cast<int>(std::clamp(std::trunc(d), -1e6, 1e6)) : fallback;
}

// The matrix argument of draw: the identity when none is given; false when it holds a
// number that is not finite.
bool toMatrix(Machine& m, const Value& v, std::array<double, 6>& out) {
    Object* o = v.asObject();
    if (!o) {
        return true;
    }
    static constexpr const char* Names[] = {"a", "b", "c", "d", "tx", "ty"};
    for (std::size_t i = 0; i < 6; ++i) {
        out[i] = m.toNumber(m.get(o, Names[i]));
        if (!std::isfinite(out[i])) {
            return false;
        }
    }
    return true;
}

Value noise(CallArgs& c, BitmapPixels& p) {
    Machine& m = c.machine;
    if (c.count() < 1) {
        return Value(-1);
    }
    int low = c.count() > 1 ? toChannelValue(m, c.arg(1), 0) : 0;
    int high = c.count() > 2 ? toChannelValue(m, c.arg(2), 255) : 255;
    std::uint32_t channels = c.count() > 3 ? toColor(m, c.arg(3)) : (RedBit | GreenBit | BlueBit);
    fillNoise(p, toSeed(m, c.arg(0)), low, high, channels, m.toBoolean(c.arg(4)));
    return {};
}

Value perlinNoise(CallArgs& c, BitmapPixels& p) {
    Machine& m = c.machine;
    if (c.count() < 6) {
        return Value(-1);
    }
    PerlinOptions o;
    o.baseX = m.toNumber(c.arg(0));
    o.baseY = m.toNumber(c.arg(1));
    double octaves = m.toNumber(c.arg(2));
    o.octaves = std::isfinite(octaves) ? static_cast<int>(std::clamp(octaves, 0.0, 1e6)) : 0;
    o.seed = toSeed(m, c.arg(3));
    o.stitch = m.toBoolean(c.arg(4));
    o.fractal = m.toBoolean(c.arg(5));
    o.channels = c.count() > 6 ? toColor(m, c.arg(6)) : (RedBit | GreenBit | BlueBit);
    o.gray = m.toBoolean(c.arg(7));
    if (Object* offsets = c.arg(8).asObject()) {
        for (int i = 0; i < o.octaves; ++i) {
            Object* point = m.get(offsets, Machine::numberToString(i)).asObject();
            if (!point) {
                break;
            }
            o.offsets.emplace_back(m.toNumber(m.get(point, "x")), m.toNumber(m.get(point, "y")));
        }
    }
    // A step per 256 noise evaluations: the budget is checked every few rows.
    o.afterRow = [&m](std::uint64_t evaluations) { m.state().pace(1 + evaluations / 256); };
    fillPerlinNoise(p, o);
    return {};
}

Value dissolve(CallArgs& c, BitmapPixels& p) {
    Machine& m = c.machine;
    std::shared_ptr<BitmapPixels> source = bitmapDataPixels(c.arg(0));
    if (!source) {
        return Value(-1);
    }
    Object* rect = c.arg(1).asObject();
    if (!rect) {
        return Value(-4);
    }
    Placement at;
    if (!placementArgs(m, c.arg(1), c.arg(2), at)) {
        return Value(-1);
    }
    std::int64_t seed = toSeed(m, c.arg(3));
    // Without a pixel count nothing is written, not even the first pixel.
    if (c.count() < 5) {
        return Value(static_cast<double>(seed));
    }
    double count = m.toNumber(c.arg(4));
    auto numPixels = static_cast<std::int64_t>(
        std::isfinite(count) ? std::clamp(std::trunc(count), -1.0, 1e15) : 0.0);
    return Value(
        static_cast<double>(pixelDissolve(p, *source, at, seed, numPixels, toColor(m, c.arg(5)))));
}

Value draw(CallArgs& c, BitmapPixels& p) {
    Machine& m = c.machine;
    BitmapDrawing d;
    std::shared_ptr<BitmapPixels> source = bitmapDataPixels(c.arg(0));
    if (source) {
        d.bitmap = source.get();
    } else if (Object* o = c.arg(0).asObject(); o && o->isDisplayObject()) {
        d.clip = o;
    } else {
        return {};
    }
    if (!toMatrix(m, c.arg(1), d.matrix)) {
        return {};
    }
    toChannelTransform(m, c.arg(2), d.colors);
    d.blendMode = c.arg(3);
    if (Object* r = c.arg(4).asObject()) {
        d.clipped = true;
        d.clipRect = toRect(m, r);
    }
    d.smoothing = m.toBoolean(c.arg(5));
    // A bitmap drawn into itself reads the picture as it was before the call.
    std::optional<BitmapPixels> copy;
    if (d.bitmap == &p) {
        d.bitmap = &copy.emplace(p);
    }
    m.host().drawIntoBitmap(p, d);
    return {};
}

Value applyFilter(CallArgs& c, BitmapPixels& p) {
    Machine& m = c.machine;
    std::shared_ptr<BitmapPixels> source = bitmapDataPixels(c.arg(0));
    const FilterFields* filter = filterFieldsOf(c.arg(3));
    Placement at;
    if (!source || !filter || !placementArgs(m, c.arg(1), c.arg(2), at)) {
        return Value(-1);
    }
    return Value(m.host().filterIntoBitmap(p, *source, at, *filter) ? 0 : -1);
}

Value generateFilterRect(CallArgs& c, BitmapPixels&) {
    Machine& m = c.machine;
    Object* rect = c.arg(0).asObject();
    const FilterFields* filter = filterFieldsOf(c.arg(1));
    if (!rect || !filter) {
        return Value(-1);
    }
    PixelRect r = toRect(m, rect);
    std::optional<PixelRect> out = m.host().filteredRect(r, *filter);
    if (!out) {
        out = r;
    }
    return Value(newGeomRectangle(m, out->x, out->y, out->width, out->height));
}

} // namespace

void installBitmapGenerators(Machine& m, Object* proto) {
    defineLive(m, proto, "noise", noise);
    defineLive(m, proto, "perlinNoise", perlinNoise);
    defineLive(m, proto, "pixelDissolve", dissolve);
    defineLive(m, proto, "draw", draw);
    defineLive(m, proto, "applyFilter", applyFilter);
    defineLive(m, proto, "generateFilterRect", generateFilterRect);
}

} // namespace avm1
