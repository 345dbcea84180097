// flash.geom.Transform and DisplayObject.transform: a display object's matrix and colour
// transform as geometry values. The matrix is the object's x, y, scales and rotation (the
// display tree keeps no skew); the colour transform's alpha multiplier is the object's
// alpha, its other channels are kept with the object.
#include "avm2/DisplayClassNames.h"
#include "avm2/DisplayHost.h"
#include "avm2/GeomValues.h"
#include "avm2/HiddenFields.h"

#include <array>
#include <cmath>
#include <numbers>

namespace avm2 {

namespace {

using namespace geom;

constexpr char kColorKey[] = "transform.colorTransform";
// The matrix last set, and the scales and rotation the object took from it: the tree keeps
// no skew, so the matrix is read back as set until the script changes those.
constexpr char kMatrixKey[] = "transform.matrix";
constexpr char kTakenKey[] = "transform.taken";
// Parents followed for the concatenated values; deeper trees are cut there.
constexpr int kMaxDepth = 4096;

Value target(Machine& m, const Value& transform) {
    if (!transform.isObject()) {
        m.throwError("TypeError", 1009,
                     "Cannot access a property or method of a null object reference.");
    }
    return hiddenField(transform, "target", Value::null());
}

double number(Machine& m, const Value& display, const char* name) {
    return m.toNumber(m.getProperty(display, Name::publicName(name)));
}

// scaleX, scaleY and rotation as the object has them now.
std::array<double, 3> shapeOf(Machine& m, const Value& display) {
    return {number(m, display, "scaleX"), number(m, display, "scaleY"),
            number(m, display, "rotation")};
}

Affine matrixOfDisplay(Machine& m, const Value& display) {
    const auto [sx, sy, degrees] = shapeOf(m, display);
    const Value set = hiddenField(display, kMatrixKey);
    const Value taken = hiddenField(display, kTakenKey);
    if (set.isObject() && taken.isObject() && taken.asObject()->elements.size() == 3 &&
        std::array<double, 3>{
            m.toNumber(taken.asObject()->elements[0]), m.toNumber(taken.asObject()->elements[1]),
            m.toNumber(taken.asObject()->elements[2])} == std::array<double, 3>{sx, sy, degrees}) {
        Affine x = affineOf(m, set);
        x[4] = number(m, display, "x");
        x[5] = number(m, display, "y");
        return x;
    }
    const double r = degrees * std::numbers::pi / 180;
    return {sx * std::cos(r), sx * std::sin(r),        -sy * std::sin(r),
            sy * std::cos(r), number(m, display, "x"), number(m, display, "y")};
}

// The matrix taken apart into what the display tree keeps; a mirrored matrix keeps its
// mirror in the vertical scale.
void setMatrixOfDisplay(Machine& m, const Value& display, const Affine& x) {
    const auto& [a, b, c, d, tx, ty] = x;
    const double sx = std::hypot(a, b);
    double sy = std::hypot(c, d);
    if (a * d - b * c < 0) {
        sy = -sy;
    }
    const double rotation = std::atan2(b, a) * 180 / std::numbers::pi;
    for (const auto& [name, v] : {std::pair{"x", tx}, std::pair{"y", ty}, std::pair{"scaleX", sx},
                                  std::pair{"scaleY", sy}, std::pair{"rotation", rotation}}) {
        if (std::isfinite(v)) {
            m.setProperty(display, Name::publicName(name), Value::number(v));
        }
    }
    if (display.isObject()) {
        const auto [nowX, nowY, nowRotation] = shapeOf(m, display);
        setHiddenField(display, kMatrixKey, makeMatrix(m, x));
        setHiddenField(display, kTakenKey,
                       Value::object(m.newArray({Value::number(nowX), Value::number(nowY),
                                                 Value::number(nowRotation)})));
    }
}

DisplayHost* treeOf(Machine& m, const Value& display) {
    DisplayHost* host = m.host().display();
    return host != nullptr && display.isObject() && display.asObject()->displayNode != 0 ? host
                                                                                         : nullptr;
}

Channels colorOfDisplay(Machine& m, const Value& display) {
    if (DisplayHost* tree = treeOf(m, display)) {
        if (auto c = tree->colorTransformOf(display.asObject()->displayNode)) {
            return *c;
        }
    }
    Channels c = kNoChange;
    if (const Value k = hiddenField(display, kColorKey); k.isObject()) {
        c = channelsOf(m, k);
    }
    c[3] = number(m, display, "alpha");
    return c;
}

void setColorOfDisplay(Machine& m, const Value& display, const Channels& c) {
    if (!display.isObject()) {
        return;
    }
    if (DisplayHost* tree = treeOf(m, display)) {
        tree->setColorTransform(display.asObject()->displayNode, c);
    }
    setHiddenField(display, kColorKey, makeColorTransform(m, c));
    m.setProperty(display, Name::publicName("alpha"), Value::number(c[3]));
}

Value parentOf(Machine& m, const Value& display) {
    Value p = m.getProperty(display, Name::publicName("parent"));
    return p.isObject() ? p : Value::null();
}

Value transformInit(Machine& m, const Value& self, Args& a) {
    Object* display = required(m, argument(a, 0), "flash.display::DisplayObject");
    setHiddenField(self, "target", Value::object(display));
    return Value();
}

void installTransformClass(Machine& m) {
    Class* t = m.defineClass("flash.geom", "Transform", m.objectClass, transformInit);
    t->sealed = true;
    m.defineGetter(t, "matrix", [](Machine& mm, const Value& self, Args&) {
        return makeMatrix(mm, matrixOfDisplay(mm, target(mm, self)));
    });
    m.defineSetter(t, "matrix", [](Machine& mm, const Value& self, Args& a) {
        Object* matrix = required(mm, argument(a, 0), "flash.geom::Matrix");
        setMatrixOfDisplay(mm, target(mm, self), affineOf(mm, Value::object(matrix)));
        return Value();
    });
    m.defineGetter(t, "colorTransform", [](Machine& mm, const Value& self, Args&) {
        return makeColorTransform(mm, colorOfDisplay(mm, target(mm, self)));
    });
    m.defineSetter(t, "colorTransform", [](Machine& mm, const Value& self, Args& a) {
        Object* ct = required(mm, argument(a, 0), "flash.geom::ColorTransform");
        setColorOfDisplay(mm, target(mm, self), channelsOf(mm, Value::object(ct)));
        return Value();
    });
    // The object's matrix followed by each container's, up to the stage.
    m.defineGetter(t, "concatenatedMatrix", [](Machine& mm, const Value& self, Args&) {
        Value display = target(mm, self);
        Affine x = matrixOfDisplay(mm, display);
        int depth = 0;
        for (Value p = parentOf(mm, display); p.isObject() && depth < kMaxDepth;
             p = parentOf(mm, p), ++depth) {
            x = multiply(x, matrixOfDisplay(mm, p));
        }
        return makeMatrix(mm, x);
    });
    m.defineGetter(t, "concatenatedColorTransform", [](Machine& mm, const Value& self, Args&) {
        Value display = target(mm, self);
        Channels c = colorOfDisplay(mm, display);
        int depth = 0;
        for (Value p = parentOf(mm, display); p.isObject() && depth < kMaxDepth;
             p = parentOf(mm, p), ++depth) {
            const Channels outer = colorOfDisplay(mm, p);
            for (std::size_t i = 0; i < 4; ++i) {
                c[4 + i] = c[4 + i] * outer[i] + outer[4 + i];
                c[i] *= outer[i];
            }
        }
        return makeColorTransform(mm, c);
    });
}

// DisplayObject.transform: a new Transform at every read; setting one copies its matrix and
// colour transform onto the object.
Value displayTransformGet(Machine& m, const Value& self, Args&) {
    Args args{self};
    return m.construct(Value::object(m.findClass("flash.geom::Transform")->classObject), args);
}

Value displayTransformSet(Machine& m, const Value& self, Args& a) {
    Value other = Value::object(required(m, argument(a, 0), "flash.geom::Transform"));
    const Value from = target(m, other);
    setMatrixOfDisplay(m, self, matrixOfDisplay(m, from));
    setColorOfDisplay(m, self, colorOfDisplay(m, from));
    return Value();
}

} // namespace

void installTransform(Machine& m) {
    installTransformClass(m);
    for (const char* name : kDisplayClassNames) {
        if (Class* c = m.findClass(name)) {
            m.defineGetter(c, "transform", displayTransformGet);
            m.defineSetter(c, "transform", displayTransformSet);
        }
    }
}

} // namespace avm2
