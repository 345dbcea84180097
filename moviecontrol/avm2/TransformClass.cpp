// flash.geom.Transform and DisplayObject.transform: a display object's matrix and colour
// transform as geometry values. The matrix is the object's x, y, scales and rotation (the
// display tree keeps no skew); the colour transform's alpha multiplier is the object's
// alpha, its other channels are kept with the object.
#include "avm2/DisplayClassNames.h"
#include "avm2/DisplayDepth.h"
#include "avm2/DisplayHost.h"
#include "avm2/GeomValues.h"
#include "avm2/HiddenFields.h"

#include <array>
#include <cmath>
#include <limits>
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

// scaleX, scaleY and rotation as the object has them now.
std::array<double, 3> shapeOf(Machine& m, const Value& display) {
    return {displayNumber(m, display, "scaleX"), displayNumber(m, display, "scaleY"),
            displayNumber(m, display, "rotation")};
}

// The player's matrix holds no NaN: an entry it cannot hold reads 0. Its scale and skew
// entries are kept in single precision (a turn of 90 degrees reads a cosine of about 6e-17
// as a float has it), the translation in twips.
Affine finiteOnly(Affine x) {
    for (std::size_t i = 0; i < x.size(); ++i) {
        double& v = x[i];
        v = std::isfinite(v) ? v : 0.0;
        if (i < 4 && std::fabs(v) <= std::numeric_limits<float>::max()) {
            v = static_cast<double>(static_cast<float>(v));
        }
    }
    return x;
}

// The matrix a script set, brought up to date with the scale and rotation changed since:
// a changed scale stretches its own column, a changed rotation turns both, and whatever
// skew the set matrix had stays. A NaN rotation leaves the matrix as it was.
Affine updatedMatrix(Affine x, const std::array<double, 3>& taken,
                     const std::array<double, 3>& now) {
    const auto same = [](double p, double q) { return p == q || (std::isnan(p) && std::isnan(q)); };
    const double turn = (now[2] - taken[2]) * std::numbers::pi / 180;
    if (!same(now[2], taken[2]) && std::isfinite(turn)) {
        const double cs = std::cos(turn), sn = std::sin(turn);
        x = {x[0] * cs - x[1] * sn,
             x[0] * sn + x[1] * cs,
             x[2] * cs - x[3] * sn,
             x[2] * sn + x[3] * cs,
             x[4],
             x[5]};
    }
    for (std::size_t axis = 0; axis < 2; ++axis) {
        if (same(now[axis], taken[axis])) {
            continue;
        }
        double& p = x[axis * 2];
        double& q = x[axis * 2 + 1];
        if (taken[axis] != 0 && std::isfinite(taken[axis])) {
            const double ratio = now[axis] / taken[axis];
            p *= ratio;
            q *= ratio;
        } else {
            const double r = now[2] * std::numbers::pi / 180;
            p = axis == 0 ? now[0] * std::cos(r) : -now[1] * std::sin(r);
            q = axis == 0 ? now[0] * std::sin(r) : now[1] * std::cos(r);
        }
    }
    return x;
}

Affine matrixOfDisplay(Machine& m, const Value& display) {
    const std::array<double, 3> now = shapeOf(m, display);
    const auto [sx, sy, degrees] = now;
    const double tx = displayNumber(m, display, "x"), ty = displayNumber(m, display, "y");
    const Value set = hiddenField(display, kMatrixKey);
    const Value taken = hiddenField(display, kTakenKey);
    if (set.isObject() && taken.isObject() && taken.asObject()->elements.size() == 3) {
        const std::vector<Value>& t = taken.asObject()->elements;
        const std::array<double, 3> then{m.toNumber(t[0]), m.toNumber(t[1]), m.toNumber(t[2])};
        Affine x = updatedMatrix(affineOf(m, set), then, now);
        x[4] = tx;
        x[5] = ty;
        return finiteOnly(x);
    }
    const double r = degrees * std::numbers::pi / 180;
    return finiteOnly(
        {sx * std::cos(r), sx * std::sin(r), -sy * std::sin(r), sy * std::cos(r), tx, ty});
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
    c[3] = displayNumber(m, display, "alpha");
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
    // An object placed in 3D has a matrix3D instead of a 2D matrix.
    m.defineGetter(t, "matrix", [](Machine& mm, const Value& self, Args&) {
        const Value display = transformTarget(mm, self);
        return placedInDepth(display) ? Value::null()
                                      : makeMatrix(mm, matrixOfDisplay(mm, display));
    });
    m.defineSetter(t, "matrix", [](Machine& mm, const Value& self, Args& a) {
        Object* matrix = required(mm, argument(a, 0), "flash.geom::Matrix");
        const Value display = transformTarget(mm, self);
        setMatrixOfDisplay(mm, display, affineOf(mm, Value::object(matrix)));
        leaveDepth(display);
        return Value();
    });
    m.defineGetter(t, "colorTransform", [](Machine& mm, const Value& self, Args&) {
        return makeColorTransform(mm, colorOfDisplay(mm, transformTarget(mm, self)));
    });
    m.defineSetter(t, "colorTransform", [](Machine& mm, const Value& self, Args& a) {
        Object* ct = required(mm, argument(a, 0), "flash.geom::ColorTransform");
        setColorOfDisplay(mm, transformTarget(mm, self), channelsOf(mm, Value::object(ct)));
        return Value();
    });
    // The object's matrix followed by each container's, up to the stage.
    m.defineGetter(t, "concatenatedMatrix", [](Machine& mm, const Value& self, Args&) {
        Value display = transformTarget(mm, self);
        Affine x = matrixOfDisplay(mm, display);
        int depth = 0;
        for (Value p = parentOf(mm, display); p.isObject() && depth < kMaxDepth;
             p = parentOf(mm, p), ++depth) {
            x = multiply(x, matrixOfDisplay(mm, p));
        }
        return makeMatrix(mm, x);
    });
    // The box around what the object shows (strokes counted), in the stage's space.
    m.defineGetter(t, "pixelBounds", [](Machine& mm, const Value& self, Args&) {
        const Value display = transformTarget(mm, self);
        DisplayHost* h = mm.host().display();
        DisplayHost::Box b;
        if (h != nullptr && display.isObject() && display.asObject()->displayNode != 0) {
            b = h->bounds(display.asObject()->displayNode, 0, true);
        }
        return makeRectangle(mm, Box{b.xMin, b.yMin, b.xMax - b.xMin, b.yMax - b.yMin});
    });
    m.defineGetter(t, "concatenatedColorTransform", [](Machine& mm, const Value& self, Args&) {
        Value display = transformTarget(mm, self);
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
    if (argument(a, 0).isNullish()) {
        m.throwError("TypeError", 2007, "Parameter transform must be non-null.");
    }
    Value other = Value::object(required(m, argument(a, 0), "flash.geom::Transform"));
    const Value from = transformTarget(m, other);
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
