// flash.display.BitmapData: bitmaps that scripts make and paint pixel by pixel, over the
// pixel work in moviecontrol/pixels. Sizes are bounded as Flash bounds them by movie
// version and counted against the script memory budget; every method of a disposed bitmap
// throws ArgumentError #2015.
#include "avm2/BitmapDataValues.h"
#include "avm2/DisplayHost.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace avm2::bitmaps {

using pixels::BitmapPixels;
using pixels::PixelRect;

namespace {

constexpr char kBitmapData[] = "flash.display::BitmapData";

[[noreturn]] void invalid(Machine& m) {
    m.throwError("ArgumentError", 2015, "Invalid BitmapData.");
}

int movieVersion(Machine& m) {
    DisplayHost* d = m.host().display();
    return d != nullptr ? d->movieVersion() : 10;
}

// The pixels of the bitmap symbol the object's class, or a class it extends, was given.
std::optional<BitmapPixels> symbolPixels(Machine& m, const Object* o) {
    DisplayHost* d = m.host().display();
    if (d == nullptr) {
        return std::nullopt;
    }
    const Class* native = m.findClass(kBitmapData);
    for (const Class* c = o->cls; c != nullptr && c != native; c = c->super) {
        if (auto p = d->bitmapOfClass(c->ns.uri.empty() ? c->name : c->ns.uri + "." + c->name)) {
            return p;
        }
    }
    return std::nullopt;
}

Value bitmapDataInit(Machine& m, const Value& self, Args& a) {
    // A class made for a bitmap symbol starts with the symbol's pixels, whatever size the
    // script asks for.
    if (self.isObject()) {
        if (std::optional<BitmapPixels> p = symbolPixels(m, self.asObject())) {
            m.checkMemory(static_cast<std::size_t>(p->width()) *
                          static_cast<std::size_t>(p->height()) * 4);
            self.asObject()->nativeData = std::make_shared<BitmapPixels>(std::move(*p));
            return Value();
        }
    }
    const double width = toInt32(geom::numberArg(m, a, 0, 0));
    const double height = toInt32(geom::numberArg(m, a, 1, 0));
    const bool transparent = a.size() < 3 || Machine::toBoolean(a[2]);
    const std::uint32_t fill = a.size() < 4 ? 0xFFFFFFFFu : toUint32(m.toNumber(a[3]));
    if (!sizeAllowed(movieVersion(m), width, height) || !self.isObject()) {
        invalid(m);
    }
    const auto w = static_cast<int>(width), h = static_cast<int>(height);
    m.checkMemory(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    self.asObject()->nativeData = std::make_shared<BitmapPixels>(w, h, transparent, fill);
    return Value();
}

Value width(Machine& m, const Value& self, Args&) {
    return Value::integer(pixelsOf(m, self).width());
}
Value height(Machine& m, const Value& self, Args&) {
    return Value::integer(pixelsOf(m, self).height());
}
Value transparent(Machine& m, const Value& self, Args&) {
    return Value::boolean(pixelsOf(m, self).transparent());
}
Value rect(Machine& m, const Value& self, Args&) {
    BitmapPixels& p = pixelsOf(m, self);
    return geom::makeRectangle(m, {0, 0, double(p.width()), double(p.height())});
}

int coordinate(Machine& m, const Args& a, std::size_t i) {
    return toInt32(geom::numberArg(m, a, i, 0));
}

Value getPixel(Machine& m, const Value& self, Args& a) {
    return Value::unsignedInt(pixelsOf(m, self).at(coordinate(m, a, 0), coordinate(m, a, 1)) &
                              0xFFFFFF);
}
Value getPixel32(Machine& m, const Value& self, Args& a) {
    return Value::unsignedInt(pixelsOf(m, self).at(coordinate(m, a, 0), coordinate(m, a, 1)));
}
// setPixel keeps the pixel's alpha and replaces its colour.
Value setPixel(Machine& m, const Value& self, Args& a) {
    BitmapPixels& p = pixelsOf(m, self);
    const int x = coordinate(m, a, 0), y = coordinate(m, a, 1);
    const std::uint32_t rgb = toUint32(geom::numberArg(m, a, 2, 0)) & 0xFFFFFF;
    p.set(x, y, (p.at(x, y) & 0xFF000000u) | rgb);
    return Value();
}
Value setPixel32(Machine& m, const Value& self, Args& a) {
    pixelsOf(m, self).set(coordinate(m, a, 0), coordinate(m, a, 1),
                          toUint32(geom::numberArg(m, a, 2, 0)));
    return Value();
}

Value fillRect(Machine& m, const Value& self, Args& a) {
    BitmapPixels& p = pixelsOf(m, self);
    p.fill(rectArg(m, a, 0, "rect"), toUint32(geom::numberArg(m, a, 1, 0)));
    return Value();
}

Value floodFill(Machine& m, const Value& self, Args& a) {
    pixelsOf(m, self).floodFill(coordinate(m, a, 0), coordinate(m, a, 1),
                                toUint32(geom::numberArg(m, a, 2, 0)));
    return Value();
}

Value clone(Machine& m, const Value& self, Args&) {
    BitmapPixels& p = pixelsOf(m, self);
    m.checkMemory(static_cast<std::size_t>(p.width()) * static_cast<std::size_t>(p.height()) * 4);
    return makeBitmapData(m, p);
}

Value dispose(Machine&, const Value& self, Args&) {
    if (self.isObject()) {
        self.asObject()->nativeData.reset();
    }
    return Value();
}

Value scroll(Machine& m, const Value& self, Args& a) {
    pixelsOf(m, self).scroll(coordinate(m, a, 0), coordinate(m, a, 1));
    return Value();
}

Value nothing(Machine& m, const Value& self, Args&) {
    pixelsOf(m, self);
    return Value();
}

// --- Pixels to and from byte arrays and vectors ---------------------------------------------

Value byteArrayArg(Machine& m, const Args& a, std::size_t i) {
    return Value::object(geom::required(m, geom::argument(a, i), "flash.utils::ByteArray"));
}

void writePixels(Machine& m, const BitmapPixels& p, PixelRect r, const Value& bytes) {
    const Name write = Name::publicName("writeUnsignedInt");
    for (int y = r.y; y < r.y + r.height; ++y) {
        for (int x = r.x; x < r.x + r.width; ++x) {
            Args args{Value::unsignedInt(p.at(x, y))};
            m.callProperty(bytes, write, args);
        }
        rowDone(m, y);
    }
}

Value newByteArray(Machine& m) {
    Args none;
    return m.construct(Value::object(m.findClass("flash.utils::ByteArray")->classObject), none);
}

Value getPixels(Machine& m, const Value& self, Args& a) {
    BitmapPixels& p = pixelsOf(m, self);
    const PixelRect r = p.clip(rectArg(m, a, 0, "rect"));
    Value bytes = newByteArray(m);
    m.checkMemory(static_cast<std::size_t>(r.width) * static_cast<std::size_t>(r.height) * 4);
    writePixels(m, p, r, bytes);
    // The array comes back positioned at its end, as Flash leaves it.
    return bytes;
}

Value copyPixelsToByteArray(Machine& m, const Value& self, Args& a) {
    BitmapPixels& p = pixelsOf(m, self);
    const PixelRect r = p.clip(rectArg(m, a, 0, "rect"));
    Value bytes = byteArrayArg(m, a, 1);
    writePixels(m, p, r, bytes);
    return Value();
}

// Reads pixels row by row into the part of the rectangle inside the bitmap; running out of
// bytes throws EOFError after the pixels read so far are set.
Value setPixels(Machine& m, const Value& self, Args& a) {
    BitmapPixels& p = pixelsOf(m, self);
    const PixelRect r = p.clip(rectArg(m, a, 0, "rect"));
    Value bytes = byteArrayArg(m, a, 1);
    const Name read = Name::publicName("readUnsignedInt");
    for (int y = r.y; y < r.y + r.height; ++y) {
        for (int x = r.x; x < r.x + r.width; ++x) {
            Args none;
            p.set(x, y, toUint32(m.toNumber(m.callProperty(bytes, read, none))));
        }
        rowDone(m, y);
    }
    return Value();
}

Value getVector(Machine& m, const Value& self, Args& a) {
    BitmapPixels& p = pixelsOf(m, self);
    const PixelRect r = p.clip(rectArg(m, a, 0, "rect"));
    Args type{Value::object(m.uintClass->classObject)};
    Value cls = m.applyType(Value::object(m.vectorClass->classObject), type);
    Args none;
    Value vector = m.construct(cls, none);
    Object* v = vector.asObject();
    m.resizeElements(v, static_cast<std::size_t>(r.width) * static_cast<std::size_t>(r.height),
                     Value::unsignedInt(0));
    std::size_t i = 0;
    for (int y = r.y; y < r.y + r.height; ++y) {
        for (int x = r.x; x < r.x + r.width; ++x) {
            v->elements[i++] = Value::unsignedInt(p.at(x, y));
        }
        rowDone(m, y);
    }
    return vector;
}

// A vector too short for the rectangle sets what it holds, then throws RangeError #1125.
Value setVector(Machine& m, const Value& self, Args& a) {
    BitmapPixels& p = pixelsOf(m, self);
    const PixelRect r = p.clip(rectArg(m, a, 0, "rect"));
    Object* v = geom::required(m, geom::argument(a, 1), "Object");
    std::size_t i = 0;
    for (int y = r.y; y < r.y + r.height; ++y) {
        for (int x = r.x; x < r.x + r.width; ++x, ++i) {
            if (i >= v->elements.size()) {
                m.throwError("RangeError", 1125,
                             "The index " + std::to_string(i) + " is out of range " +
                                 std::to_string(v->elements.size()) + ".");
            }
            p.set(x, y, toUint32(m.toNumber(v->elements[i])));
        }
        rowDone(m, y);
    }
    return Value();
}

} // namespace

pixels::BitmapPixels& pixelsOf(Machine& m, const Value& bitmapData) {
    return *sharedPixels(m, bitmapData);
}

std::shared_ptr<pixels::BitmapPixels> sharedPixels(Machine& m, const Value& bitmapData) {
    Object* o = geom::required(m, bitmapData, kBitmapData);
    auto p = std::static_pointer_cast<BitmapPixels>(o->nativeData);
    if (p == nullptr) {
        invalid(m);
    }
    return p;
}

Value makeBitmapData(Machine& m, pixels::BitmapPixels p) {
    Class* cls = m.findClass(kBitmapData);
    Object* o = m.instantiate(cls);
    o->nativeData = std::make_shared<BitmapPixels>(std::move(p));
    return Value::object(o);
}

bool sizeAllowed(int version, double width, double height) {
    if (!(width >= 1) || !(height >= 1)) {
        return false;
    }
    if (version <= 9) {
        return width <= 2880 && height <= 2880;
    }
    return width <= 8191 && height <= 8191 && width * height < 16777216.0;
}

int toPixel(double v) {
    if (std::isnan(v)) {
        return 0;
    }
    // Far outside any bitmap, and far from int's limits when a width is added.
    constexpr double kBound = 1 << 29;
    return static_cast<int>(std::nearbyint(std::clamp(v, -kBound, kBound)));
}

pixels::PixelRect pixelRect(const geom::Box& b) {
    const int left = toPixel(b.x), top = toPixel(b.y);
    const int right = toPixel(b.x + b.width), bottom = toPixel(b.y + b.height);
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

[[noreturn]] void missing(Machine& m, const char* name) {
    m.throwError("TypeError", 2007, std::string("Parameter ") + name + " must be non-null.");
}

pixels::PixelRect rectArg(Machine& m, const Args& a, std::size_t i, const char* name) {
    const Value v = geom::argument(a, i);
    if (v.isNullish()) {
        missing(m, name);
    }
    Object* r = geom::required(m, v, "flash.geom::Rectangle");
    return pixelRect(geom::boxOf(m, Value::object(r)));
}

void pointArg(Machine& m, const Args& a, std::size_t i, int& x, int& y, const char* name) {
    const Value v = geom::argument(a, i);
    if (v.isNullish()) {
        if (name != nullptr) {
            missing(m, name);
        }
        x = y = 0;
        return;
    }
    Object* p = geom::required(m, v, "flash.geom::Point");
    x = toPixel(geom::field(m, Value::object(p), "x"));
    y = toPixel(geom::field(m, Value::object(p), "y"));
}

void rowDone(Machine& m, int row) {
    if ((row & 15) == 15) {
        m.checkBudget();
    }
}

} // namespace avm2::bitmaps

namespace avm2 {

void installBitmapData(Machine& m) {
    using namespace bitmaps;
    Class* bd = m.defineClass("flash.display", "BitmapData", m.objectClass, bitmapDataInit);
    bd->sealed = true;
    m.defineGetter(bd, "width", width);
    m.defineGetter(bd, "height", height);
    m.defineGetter(bd, "transparent", transparent);
    m.defineGetter(bd, "rect", rect);
    m.defineMethod(bd, "getPixel", getPixel);
    m.defineMethod(bd, "getPixel32", getPixel32);
    m.defineMethod(bd, "setPixel", setPixel);
    m.defineMethod(bd, "setPixel32", setPixel32);
    m.defineMethod(bd, "fillRect", fillRect);
    m.defineMethod(bd, "floodFill", floodFill);
    m.defineMethod(bd, "clone", clone);
    m.defineMethod(bd, "dispose", dispose);
    m.defineMethod(bd, "scroll", scroll);
    // Locking only holds back redraws of the bitmaps showing it; pixels change at once.
    m.defineMethod(bd, "lock", nothing);
    m.defineMethod(bd, "unlock", nothing);
    m.defineMethod(bd, "getPixels", getPixels);
    m.defineMethod(bd, "setPixels", setPixels);
    m.defineMethod(bd, "copyPixelsToByteArray", copyPixelsToByteArray);
    m.defineMethod(bd, "getVector", getVector);
    m.defineMethod(bd, "setVector", setVector);
    installBitmapDataEffects(m, bd);
    installBitmapDataDrawing(m, bd);
}

} // namespace avm2
