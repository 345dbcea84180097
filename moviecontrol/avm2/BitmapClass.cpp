// flash.display.Bitmap: a display object showing a BitmapData. The bitmap keeps the size
// its BitmapData had when it was given (a BitmapData disposed later leaves it that size, as
// in Flash), and its width and height are that size under the object's scale and rotation.
#include "avm2/BitmapDataValues.h"
#include "avm2/DisplayHost.h"
#include "avm2/HiddenFields.h"

#include <cmath>
#include <numbers>

namespace avm2 {

namespace {

constexpr char kData[] = "bitmap.bitmapData";
constexpr char kSize[] = "bitmap.size";
constexpr char kSnapping[] = "bitmap.pixelSnapping";
constexpr char kSmoothing[] = "bitmap.smoothing";

Object* bitmapOf(Machine& m, const Value& self) {
    return geom::required(m, self, "flash.display::Bitmap");
}

// Hands the display tree the pixels to draw, with the smoothing asked for.
void show(Machine& m, const Value& self) {
    DisplayHost* host = m.host().display();
    const NodeId node = self.isObject() ? self.asObject()->displayNode : 0;
    if (host == nullptr || node == 0) {
        return;
    }
    std::shared_ptr<pixels::BitmapPixels> shown;
    const Value data = hiddenField(bitmapOf(m, self), kData, Value::null());
    if (data.isObject()) {
        shown = std::static_pointer_cast<pixels::BitmapPixels>(data.asObject()->nativeData);
    }
    const bool smoothing =
        Machine::toBoolean(hiddenField(bitmapOf(m, self), kSmoothing, Value::boolean(false)));
    host->showPixels(node, shown, smoothing);
}

void setBitmapData(Machine& m, const Value& self, const Value& data) {
    double width = 0, height = 0;
    Value stored = Value::null();
    if (!data.isNullish()) {
        Object* o = geom::required(m, data, "flash.display::BitmapData");
        stored = Value::object(o);
        if (auto p = std::static_pointer_cast<pixels::BitmapPixels>(o->nativeData)) {
            width = p->width();
            height = p->height();
        }
    }
    setHiddenField(bitmapOf(m, self), kData, stored);
    show(m, self);
    setHiddenField(bitmapOf(m, self), kSize,
                   Value::object(m.newArray({Value::number(width), Value::number(height)})));
}

void checkSnapping(Machine& m, const std::string& v) {
    if (v != "auto" && v != "always" && v != "never") {
        m.throwError("ArgumentError", 2008,
                     "Parameter pixelSnapping must be one of the accepted values.");
    }
}

// A Bitmap class made for a bitmap symbol shows a copy of the symbol's pixels when the
// script gives none.
Value symbolBitmapData(Machine& m, const Object* o, const Class* bitmap) {
    DisplayHost* d = m.host().display();
    if (d == nullptr) {
        return Value::null();
    }
    for (const Class* c = o->cls; c != nullptr && c != bitmap; c = c->super) {
        if (auto p = d->bitmapOfClass(c->ns.uri.empty() ? c->name : c->ns.uri + "." + c->name)) {
            m.checkMemory(static_cast<std::size_t>(p->width()) *
                          static_cast<std::size_t>(p->height()) * 4);
            return bitmaps::makeBitmapData(m, std::move(*p));
        }
    }
    return Value::null();
}

Value bitmapInit(Machine& m, const Value& self, Args& a) {
    Class* bitmap = m.findClass("flash.display::Bitmap");
    Args none;
    m.constructSuper(bitmap->super, self, none);
    Value data = geom::argument(a, 0);
    if (data.isNullish() && self.isObject()) {
        data = symbolBitmapData(m, self.asObject(), bitmap);
    }
    setBitmapData(m, self, data);
    const std::string snapping = a.size() > 1 ? m.toString(a[1]) : "auto";
    checkSnapping(m, snapping);
    setHiddenField(bitmapOf(m, self), kSnapping, Value::string(snapping));
    setHiddenField(bitmapOf(m, self), kSmoothing,
                   Value::boolean(a.size() > 2 && Machine::toBoolean(a[2])));
    show(m, self);
    return Value();
}

// The kept size under the object's scales and rotation: the width or height of the box
// around it in its container's space.
template <bool Width> Value extent(Machine& m, const Value& self, Args&) {
    const Value size = hiddenField(bitmapOf(m, self), kSize, Value());
    if (!size.isObject() || size.asObject()->elements.size() != 2) {
        return Value::number(0);
    }
    const double w = m.toNumber(size.asObject()->elements[0]);
    const double h = m.toNumber(size.asObject()->elements[1]);
    auto number = [&](const char* name) {
        return m.toNumber(m.getProperty(self, Name::publicName(name)));
    };
    const double sx = number("scaleX"), sy = number("scaleY");
    const double r = number("rotation") * std::numbers::pi / 180;
    const double cos = std::abs(std::cos(r)), sin = std::abs(std::sin(r));
    const double across = Width ? std::abs(w * sx) * cos + std::abs(h * sy) * sin
                                : std::abs(w * sx) * sin + std::abs(h * sy) * cos;
    return Value::number(across);
}

} // namespace

void installBitmap(Machine& m) {
    Class* bitmap = m.findClass("flash.display::Bitmap");
    if (bitmap == nullptr) {
        return;
    }
    bitmap->init = MethodRef{nullptr, 0, bitmapInit};
    m.defineGetter(bitmap, "bitmapData", [](Machine& m, const Value& self, Args&) {
        return hiddenField(bitmapOf(m, self), kData, Value::null());
    });
    m.defineSetter(bitmap, "bitmapData", [](Machine& m, const Value& self, Args& a) {
        setBitmapData(m, self, geom::argument(a, 0));
        return Value();
    });
    m.defineGetter(bitmap, "pixelSnapping", [](Machine& m, const Value& self, Args&) {
        return hiddenField(bitmapOf(m, self), kSnapping, Value::string("auto"));
    });
    m.defineSetter(bitmap, "pixelSnapping", [](Machine& m, const Value& self, Args& a) {
        const std::string v = m.toString(geom::argument(a, 0));
        checkSnapping(m, v);
        setHiddenField(bitmapOf(m, self), kSnapping, Value::string(v));
        return Value();
    });
    m.defineGetter(bitmap, "smoothing", [](Machine& m, const Value& self, Args&) {
        return hiddenField(bitmapOf(m, self), kSmoothing, Value::boolean(false));
    });
    m.defineSetter(bitmap, "smoothing", [](Machine& m, const Value& self, Args& a) {
        setHiddenField(bitmapOf(m, self), kSmoothing,
                       Value::boolean(Machine::toBoolean(geom::argument(a, 0))));
        show(m, self);
        return Value();
    });
    m.defineGetter(bitmap, "width", extent<true>);
    m.defineGetter(bitmap, "height", extent<false>);
}

} // namespace avm2
