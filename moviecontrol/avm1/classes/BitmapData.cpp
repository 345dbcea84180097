// flash.display.BitmapData: bitmaps that scripts make and paint pixel by pixel. Sizes are
// bounded as Flash bounds them by movie version, and all live bitmaps of a movie share one
// memory budget, so that no script allocates without bound.

#include "avm1/BitmapData.h"
#include "avm1/BitmapArgs.h"
#include "avm1/Convert.h"
#include "avm1/Packages.h"
#include "avm1/State.h"
#include "pixels/BitmapEffects.h"
#include "pixels/BitmapPixels.h"
#include "pixels/PixelCopy.h"
#include "scriptbudget/ScriptMemory.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <optional>

namespace avm1 {

using namespace pixels;

namespace {

// Whether `v` is an object of the flash.geom class `name` or of a class extending it.
bool isGeomInstance(Machine& m, const Value& v, std::string_view name) {
    Object* ctor = m.get(packageObject(m, "flash.geom"), name).asObject();
    Object* proto = ctor ? m.get(ctor, "prototype").asObject() : nullptr;
    int guard = 0;
    for (Object* p = v.asObject() ? v.asObject()->proto() : nullptr; p && proto && guard < 256;
         p = p->proto(), ++guard) {
        if (p == proto) {
            return true;
        }
    }
    return false;
}

// Pixels all bitmaps of one movie may hold together (a quarter of a gigabyte).
constexpr std::size_t PixelBudget = std::size_t{64} << 20;

struct Budget {
    std::size_t used = 0;
    // Whether `pixels` more fit; reports the limit once when they do not.
    bool allows(Machine& m, std::size_t pixels) {
        // The scripts' memory budget is the one that stops the script.
        m.state().reserve(pixels * sizeof(std::uint32_t));
        if (used + pixels <= PixelBudget) {
            return true;
        }
        m.state().report(LimitKind::MemoryBudget,
                         "a script made more bitmap pixels than the movie may hold");
        return false;
    }
};

class BitmapDataObject : public Object {
  public:
    BitmapDataObject(Object* proto, std::shared_ptr<Budget> budget, BitmapPixels pixels)
        : Object(proto), budget_(std::move(budget)),
          pixels_(std::make_shared<BitmapPixels>(std::move(pixels))) {
        budget_->used += area();
        counted_.reset(area() * sizeof(std::uint32_t));
    }
    ~BitmapDataObject() override { dispose(); }
    std::string_view className() const override { return "BitmapData"; }

    BitmapPixels* pixels() { return pixels_.get(); }
    const std::shared_ptr<BitmapPixels>& shared() const { return pixels_; }
    void dispose() {
        if (pixels_) {
            budget_->used -= area();
            counted_.reset();
            pixels_.reset();
        }
    }
    const std::shared_ptr<Budget>& budget() const { return budget_; }

    bool getVirtual(Machine& m, const Str& name, Value& out) override {
        auto is = [&](std::string_view n) {
            return m.caseSensitive() ? name.view() == n : equalsFolded(name.view(), n);
        };
        BitmapPixels* p = pixels();
        if (is("width")) {
            out = Value(p ? p->width() : -1);
        } else if (is("height")) {
            out = Value(p ? p->height() : -1);
        } else if (is("transparent")) {
            out = p ? Value(p->transparent()) : Value(-1);
        } else if (is("rectangle")) {
            out = p ? Value(newGeomRectangle(m, 0, 0, p->width(), p->height())) : Value(-1);
        } else {
            return false;
        }
        return true;
    }
    bool setVirtual(Machine& m, const Str& name, const Value&) override {
        Value ignored;
        return getVirtual(m, name, ignored); // read-only
    }

  private:
    std::size_t area() const {
        return pixels_ ? static_cast<std::size_t>(pixels_->width()) *
                             static_cast<std::size_t>(pixels_->height())
                       : 0;
    }
    std::shared_ptr<Budget> budget_;
    scriptbudget::CountedBytes counted_;
    std::shared_ptr<BitmapPixels> pixels_;
};

BitmapDataObject* asBitmap(const Value& v) {
    return dynamic_cast<BitmapDataObject*>(v.asObject());
}

// The bitmap a method works on, if it is one and not disposed.
BitmapPixels* thisPixels(CallArgs& c) {
    BitmapDataObject* b = asBitmap(c.thisValue);
    return b ? b->pixels() : nullptr;
}

// Whether Flash of this version would make a bitmap of that size.
bool sizeAllowed(int version, double width, double height) {
    if (!(width >= 1) || !(height >= 1)) {
        return false;
    }
    if (version <= 9) {
        return width <= 2880 && height <= 2880;
    }
    return width <= 8191 && height <= 8191 && width * height < 16777216.0;
}

// A point given as an object with its own x and y (prototypes are not searched).
bool ownPoint(Machine& m, const Value& v, int& x, int& y) {
    Object* o = v.asObject();
    Str sx = m.str("x"), sy = m.str("y");
    if (!o || !m.hasOwnProperty(o, sx) || !m.hasOwnProperty(o, sy)) {
        return false;
    }
    x = toCoordinate(m, m.get(o, sx));
    y = toCoordinate(m, m.get(o, sy));
    return true;
}

// A pixel that a point or another bitmap hits: a fully transparent one never counts, even
// against a threshold of 0 (a rectangle takes the threshold as it is).
bool opaqueEnough(std::uint32_t argb, double threshold) {
    std::uint32_t alpha = argb >> 24;
    return alpha != 0 && alpha >= threshold;
}

using PixelMethod = std::function<Value(CallArgs&, BitmapPixels&)>;

// A method of live bitmaps: on a disposed bitmap, on an object that is none, or with fewer
// than `required` arguments, it does nothing and answers -1.
void definePixelMethod(Machine& m, Object* proto, std::string_view name, std::size_t required,
                       PixelMethod method) {
    m.defineMethod(proto, name, [method = std::move(method), required](CallArgs& c) -> Value {
        BitmapPixels* p = thisPixels(c);
        if (!p || c.count() < required) {
            return Value(-1);
        }
        // A method works on the pixels at most a few times over: a step per kilopixel.
        c.machine.state().pace(1 + static_cast<std::size_t>(p->width()) *
                                       static_cast<std::size_t>(p->height()) / 1024);
        return method(c, *p);
    });
}

// The source bitmap argument of a copying method, if it is a live bitmap.
const BitmapPixels* sourceArg(const Value& v) {
    BitmapDataObject* b = asBitmap(v);
    return b ? b->pixels() : nullptr;
}

void installChannelMethods(Machine& m, Object* proto) {
    definePixelMethod(m, proto, "colorTransform", 2, [](CallArgs& c, BitmapPixels& p) -> Value {
        Machine& m = c.machine;
        Object* rect = c.arg(0).asObject();
        ChannelTransform ct;
        if (rect && toChannelTransform(m, c.arg(1), ct)) {
            colorTransform(p, toRect(m, rect), ct);
        }
        return {};
    });
    definePixelMethod(m, proto, "copyChannel", 5, [](CallArgs& c, BitmapPixels& p) -> Value {
        Machine& m = c.machine;
        const BitmapPixels* source = sourceArg(c.arg(0));
        Placement at;
        if (source && placementArgs(m, c.arg(1), c.arg(2), at)) {
            copyChannel(p, *source, at, toColor(m, c.arg(3)), toColor(m, c.arg(4)));
        }
        return {};
    });
    definePixelMethod(m, proto, "merge", 7, [](CallArgs& c, BitmapPixels& p) -> Value {
        Machine& m = c.machine;
        const BitmapPixels* source = sourceArg(c.arg(0));
        Placement at;
        if (!source || !placementArgs(m, c.arg(1), c.arg(2), at)) {
            return {};
        }
        // The multipliers are Numbers here, meant to lie from 0 (all destination) to 256
        // (all source): an integer below that range takes none of the source, one above
        // it all of the source.
        std::array<std::uint32_t, 4> mult{};
        for (std::size_t i = 0; i < 4; ++i) {
            mult[i] = static_cast<std::uint32_t>(
                std::clamp(toInt32(m.toNumber(c.arg(3 + i))), std::int32_t{0}, std::int32_t{256}));
        }
        merge(p, *source, at, mult);
        return {};
    });
    definePixelMethod(m, proto, "paletteMap", 3, [](CallArgs& c, BitmapPixels& p) -> Value {
        Machine& m = c.machine;
        const BitmapPixels* source = sourceArg(c.arg(0));
        Placement at;
        if (!source || !placementArgs(m, c.arg(1), c.arg(2), at)) {
            return {};
        }
        std::array<std::array<std::uint32_t, 256>, 4> tables{};
        std::array<bool, 4> present{};
        for (std::size_t i = 0; i < 4; ++i) {
            Object* table = c.arg(3 + i).asObject();
            present[i] = table != nullptr;
            for (std::size_t v = 0; table && v < 256; ++v) {
                tables[i][v] =
                    toColor(m, m.get(table, Machine::numberToString(static_cast<double>(v))));
            }
        }
        paletteMap(p, *source, at, tables, present);
        return {};
    });
    definePixelMethod(m, proto, "threshold", 6, [](CallArgs& c, BitmapPixels& p) -> Value {
        Machine& m = c.machine;
        const BitmapPixels* source = sourceArg(c.arg(0));
        Placement at;
        if (!source || !placementArgs(m, c.arg(1), c.arg(2), at)) {
            return Value(0);
        }
        std::uint32_t mask = c.count() > 6 ? toColor(m, c.arg(6)) : 0xFFFFFFFFu;
        int n = threshold(p, *source, at, m.toString(c.arg(3)).view(), toColor(m, c.arg(4)),
                          toColor(m, c.arg(5)), mask, m.toBoolean(c.arg(7)));
        return Value(n < 0 ? 0 : n);
    });
}

Value hitTest(CallArgs& c) {
    Machine& m = c.machine;
    BitmapPixels* self = thisPixels(c);
    if (!self) {
        return Value(-1);
    }
    int fx, fy;
    if (!ownPoint(m, c.arg(0), fx, fy)) {
        return Value(-2);
    }
    double threshold = m.toNumber(c.arg(1));
    const Value& second = c.arg(2);
    if (BitmapDataObject* other = asBitmap(second)) {
        BitmapPixels* o = other->pixels();
        if (!o) {
            return Value(-3);
        }
        int sx = 0, sy = 0;
        if (c.count() > 3 && !c.arg(3).isUndefined() && !ownPoint(m, c.arg(3), sx, sy)) {
            return Value(-4);
        }
        // Without a threshold of its own the second bitmap counts any pixel that is not
        // fully transparent, as the language reference's default of 1 says.
        double otherThreshold = c.count() > 4 ? m.toNumber(c.arg(4)) : 1.0;
        // Overlap of the two bitmaps placed at their points.
        PixelRect mine = self->clip({sx - fx, sy - fy, o->width(), o->height()});
        for (int y = mine.y; y < mine.y + mine.height; ++y) {
            for (int x = mine.x; x < mine.x + mine.width; ++x) {
                if (opaqueEnough(self->at(x, y), threshold) &&
                    opaqueEnough(o->at(x + fx - sx, y + fy - sy), otherThreshold)) {
                    return Value(true);
                }
            }
        }
        return Value(false);
    }
    Object* o = second.asObject();
    if (!o) {
        return Value(-3);
    }
    Str sw = m.str("width"), sh = m.str("height");
    if (m.hasOwnProperty(o, sw) && m.hasOwnProperty(o, sh)) {
        PixelRect r = toRect(m, o);
        r.x -= fx;
        r.y -= fy;
        r = self->clip(r);
        for (int y = r.y; y < r.y + r.height; ++y) {
            for (int x = r.x; x < r.x + r.width; ++x) {
                if ((self->at(x, y) >> 24) >= threshold) {
                    return Value(true);
                }
            }
        }
        return Value(false);
    }
    int px, py;
    if (!ownPoint(m, second, px, py)) {
        return Value(-3);
    }
    return Value(opaqueEnough(self->at(px - fx, py - fy), threshold));
}

Value compare(CallArgs& c) {
    BitmapPixels* a = thisPixels(c);
    if (!a) {
        return Value(-1);
    }
    BitmapDataObject* otherObject = asBitmap(c.arg(0));
    BitmapPixels* b = otherObject ? otherObject->pixels() : nullptr;
    if (!b) {
        return Value(-2);
    }
    if (a->width() != b->width()) {
        return Value(-3);
    }
    if (a->height() != b->height()) {
        return Value(-4);
    }
    auto* self = asBitmap(c.thisValue);
    if (!self->budget()->allows(c.machine, static_cast<std::size_t>(a->width()) *
                                               static_cast<std::size_t>(a->height()))) {
        return {};
    }
    BitmapPixels diff(a->width(), a->height(), true, 0);
    bool any = false;
    for (int y = 0; y < a->height(); ++y) {
        for (int x = 0; x < a->width(); ++x) {
            std::uint32_t d = BitmapPixels::difference(a->at(x, y), b->at(x, y));
            any = any || d != 0;
            diff.set(x, y, d);
        }
    }
    if (!any) {
        return Value(0);
    }
    Machine& m = c.machine;
    return Value(static_cast<Object*>(
        m.make<BitmapDataObject>(self->proto(), self->budget(), std::move(diff))));
}

void installPixelMethods(Machine& m, Object* proto) {
    definePixelMethod(m, proto, "getPixel", 2, [](CallArgs& c, BitmapPixels& p) -> Value {
        Machine& m = c.machine;
        return Value(static_cast<double>(
            p.at(toCoordinate(m, c.arg(0)), toCoordinate(m, c.arg(1))) & 0xFFFFFF));
    });
    definePixelMethod(m, proto, "getPixel32", 2, [](CallArgs& c, BitmapPixels& p) -> Value {
        Machine& m = c.machine;
        return Value(static_cast<double>(
            static_cast<std::int32_t>(p.at(toCoordinate(m, c.arg(0)), toCoordinate(m, c.arg(1))))));
    });
    definePixelMethod(m, proto, "setPixel", 3, [](CallArgs& c, BitmapPixels& p) -> Value {
        Machine& m = c.machine;
        int x = toCoordinate(m, c.arg(0)), y = toCoordinate(m, c.arg(1));
        p.set(x, y, (p.at(x, y) & 0xFF000000u) | (toColor(m, c.arg(2)) & 0xFFFFFF));
        return {};
    });
    definePixelMethod(m, proto, "setPixel32", 3, [](CallArgs& c, BitmapPixels& p) -> Value {
        Machine& m = c.machine;
        p.set(toCoordinate(m, c.arg(0)), toCoordinate(m, c.arg(1)), toColor(m, c.arg(2)));
        return {};
    });
    m.defineMethod(proto, "fillRect", [](CallArgs& c) -> Value {
        BitmapPixels* p = thisPixels(c);
        Object* r = c.arg(0).asObject();
        if (p && r) {
            p->fill(toRect(c.machine, r), toColor(c.machine, c.arg(1)));
        }
        return {};
    });
    definePixelMethod(m, proto, "floodFill", 3, [](CallArgs& c, BitmapPixels& p) -> Value {
        Machine& m = c.machine;
        p.floodFill(toCoordinate(m, c.arg(0)), toCoordinate(m, c.arg(1)), toColor(m, c.arg(2)));
        return {};
    });
    definePixelMethod(m, proto, "scroll", 2, [](CallArgs& c, BitmapPixels& p) -> Value {
        p.scroll(toCoordinate(c.machine, c.arg(0)), toCoordinate(c.machine, c.arg(1)));
        return {};
    });
    definePixelMethod(m, proto, "copyPixels", 3, [](CallArgs& c, BitmapPixels& p) -> Value {
        const BitmapPixels* source = sourceArg(c.arg(0));
        Placement at;
        if (source && placementArgs(c.machine, c.arg(1), c.arg(2), at)) {
            // copyPixels(source, rect, point, alphaBitmap, alphaPoint, mergeAlpha)
            std::optional<pixels::AlphaSource> alpha;
            if (const BitmapPixels* a = sourceArg(c.arg(3))) {
                alpha = pixels::AlphaSource{a, 0, 0};
                if (Object* point = c.arg(4).asObject()) {
                    alpha->x = toCoordinate(c.machine, c.machine.get(point, "x"));
                    alpha->y = toCoordinate(c.machine, c.machine.get(point, "y"));
                }
            }
            pixels::copyPixels(p, *source, at, alpha, c.machine.toBoolean(c.arg(5)));
        }
        return {};
    });
    definePixelMethod(m, proto, "getColorBoundsRect", 2, [](CallArgs& c, BitmapPixels& p) -> Value {
        Machine& m = c.machine;
        bool find = c.count() < 3 || m.toBoolean(c.arg(2));
        PixelRect r = p.colorBounds(toColor(m, c.arg(0)), toColor(m, c.arg(1)), find);
        return Value(newGeomRectangle(m, r.x, r.y, r.width, r.height));
    });
    installChannelMethods(m, proto);
    m.defineMethod(proto, "hitTest", hitTest);
    m.defineMethod(proto, "compare", compare);
}

} // namespace

int toCoordinate(Machine& m, const Value& v) {
    double d = m.toNumber(v);
    return std::isfinite(d) ? static_cast<int>(std::clamp(std::floor(d), -1e9, 1e9)) : 0;
}

std::uint32_t toColor(Machine& m, const Value& v) {
    return toUint32(m.toNumber(v));
}

PixelRect toRect(Machine& m, Object* r) {
    auto f = [&](std::string_view n) { return toCoordinate(m, m.get(r, n)); };
    return {f("x"), f("y"), std::max(f("width"), 0), std::max(f("height"), 0)};
}

bool placementArgs(Machine& m, const Value& rect, const Value& point, Placement& out) {
    Object* r = rect.asObject();
    Object* p = point.asObject();
    if (!r || !p) {
        return false;
    }
    out = {toRect(m, r), toCoordinate(m, m.get(p, "x")), toCoordinate(m, m.get(p, "y"))};
    return true;
}

bool toChannelTransform(Machine& m, const Value& v, ChannelTransform& out) {
    if (!isGeomInstance(m, v, "ColorTransform")) {
        return false;
    }
    Object* t = v.asObject();
    static constexpr const char* Mults[] = {"redMultiplier", "greenMultiplier", "blueMultiplier",
                                            "alphaMultiplier"};
    static constexpr const char* Adds[] = {"redOffset", "greenOffset", "blueOffset", "alphaOffset"};
    for (std::size_t i = 0; i < 4; ++i) {
        out.mult[i] = m.toNumber(m.get(t, Mults[i]));
        out.add[i] = m.toNumber(m.get(t, Adds[i]));
    }
    return true;
}

void installBitmapData(Machine& m) {
    auto budget = std::make_shared<Budget>();
    FunctionObject* ctor = m.newClass([](CallArgs&) -> Value { return {}; });
    ctor->constructor = [budget](CallArgs& c) -> Value {
        Machine& m = c.machine;
        double width = m.toNumber(c.arg(0)), height = m.toNumber(c.arg(1));
        if (!sizeAllowed(m.version(), std::trunc(width), std::trunc(height))) {
            return {};
        }
        auto w = static_cast<int>(width), h = static_cast<int>(height);
        if (!budget->allows(m, static_cast<std::size_t>(w) * static_cast<std::size_t>(h))) {
            return {};
        }
        bool transparent = c.count() < 3 || m.toBoolean(c.arg(2));
        std::uint32_t fill = c.count() < 4 ? 0xFFFFFFFFu : toColor(m, c.arg(3));
        Object* proto = m.get(c.callee, "prototype").asObject();
        return Value(static_cast<Object*>(
            m.make<BitmapDataObject>(proto, budget, BitmapPixels(w, h, transparent, fill))));
    };
    Object* proto = constructorPrototype(m, ctor);
    installPixelMethods(m, proto);
    m.defineMethod(proto, "clone", [](CallArgs& c) -> Value {
        BitmapDataObject* self = asBitmap(c.thisValue);
        if (!self || !self->pixels()) {
            return Value(-1);
        }
        const BitmapPixels& p = *self->pixels();
        if (!self->budget()->allows(c.machine, static_cast<std::size_t>(p.width()) *
                                                   static_cast<std::size_t>(p.height()))) {
            return {};
        }
        return Value(static_cast<Object*>(c.machine.make<BitmapDataObject>(
            self->proto(), self->budget(), BitmapPixels(*self->pixels()))));
    });
    definePixelMethod(m, proto, "dispose", 0, [](CallArgs& c, BitmapPixels&) -> Value {
        asBitmap(c.thisValue)->dispose();
        return {};
    });
    installBitmapGenerators(m, proto);
    m.defineMethod(ctor, "loadBitmap", [budget](CallArgs& c) -> Value {
        Machine& m = c.machine;
        std::optional<BitmapPixels> pixels = m.host().libraryBitmap(m.toString(c.arg(0)).view());
        if (!pixels || !budget->allows(m, static_cast<std::size_t>(pixels->width()) *
                                              static_cast<std::size_t>(pixels->height()))) {
            return {};
        }
        Object* proto = m.get(c.thisObject(), "prototype").asObject();
        return Value(static_cast<Object*>(m.make<BitmapDataObject>(
            proto ? proto : m.objectPrototype(), budget, std::move(*pixels))));
    });
    definePackaged(m, "flash.display", "BitmapData", ctor);
}

std::shared_ptr<BitmapPixels> bitmapDataPixels(const Value& value) {
    BitmapDataObject* b = asBitmap(value);
    return b ? b->shared() : nullptr;
}

} // namespace avm1
