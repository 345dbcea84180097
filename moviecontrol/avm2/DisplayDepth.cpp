// DisplayObject's 3D properties, kept with the object: the display tree draws in the plane,
// so z and the turns about the x and y axes are read back as set. rotationZ is the 2D
// rotation under another name.
#include "avm2/DisplayDepth.h"

#include "avm2/DisplayClassNames.h"
#include "avm2/GeomValues.h"
#include "avm2/HiddenFields.h"

#include <array>
#include <cmath>
#include <memory>

namespace avm2 {

void installDisplayDepth(Machine& m);

namespace {

constexpr char kInDepth[] = "depth.placed";
constexpr char kZ[] = "z";
constexpr char kRotationX[] = "rotationX";
constexpr char kRotationY[] = "rotationY";
constexpr char kScaleZ[] = "scaleZ";

// A turn about an axis in [-180, 180], as rotation keeps it.
double wrapTurn(double degrees) {
    double v = std::fmod(degrees, 360.0);
    if (v < -180.0) {
        v += 360.0;
    } else if (v > 180.0) {
        v -= 360.0;
    }
    return v;
}

template <const char* Key, int Fallback> Value depthGet(Machine&, const Value& self, Args&) {
    return hiddenField(self, Key, Value::number(Fallback));
}

template <const char* Key, bool Turn> Value depthSet(Machine& m, const Value& self, Args& a) {
    const double v = m.toNumber(a.empty() ? Value() : a[0]);
    setHiddenField(self, Key, Value::number(Turn ? wrapTurn(v) : v));
    setHiddenField(self, kInDepth, Value::boolean(true));
    return Value();
}

Value rotationZGet(Machine& m, const Value& self, Args&) {
    return m.getProperty(self, Name::publicName("rotation"));
}

Value rotationZSet(Machine& m, const Value& self, Args& a) {
    m.setProperty(self, Name::publicName("rotation"), a.empty() ? Value() : a[0]);
    setHiddenField(self, kInDepth, Value::boolean(true));
    return Value();
}

// The object's place as a Matrix3D: its 2D scales and rotation in the plane, z as the
// translation out of it (column by column, as rawData lists them).
Value matrix3DGet(Machine& m, const Value& self, Args&) {
    const Value display = transformTarget(m, self);
    Class* cls = m.findClass("flash.geom::Matrix3D");
    if (!placedInDepth(display) || cls == nullptr) {
        return Value::null();
    }
    const double sx = displayNumber(m, display, "scaleX");
    const double sy = displayNumber(m, display, "scaleY");
    const double r = displayNumber(m, display, "rotation") * M_PI / 180.0;
    const double finiteTurn = std::isfinite(r) ? r : 0.0;
    auto raw = std::make_shared<std::array<double, 16>>(
        std::array<double, 16>{sx * std::cos(finiteTurn), sx * std::sin(finiteTurn), 0, 0,
                               -sy * std::sin(finiteTurn), sy * std::cos(finiteTurn), 0, 0, 0, 0,
                               m.toNumber(hiddenField(display, kScaleZ, Value::number(1))), 0,
                               displayNumber(m, display, "x"), displayNumber(m, display, "y"),
                               m.toNumber(hiddenField(display, kZ, Value::number(0))), 1});
    Object* out = m.instantiate(cls);
    out->nativeData = std::move(raw);
    return Value::object(out);
}

// A Matrix3D places the object: its plane part and translation go to the 2D properties, its
// z translation to z. null takes the object back to the plane.
Value matrix3DSet(Machine& m, const Value& self, Args& a) {
    const Value display = transformTarget(m, self);
    const Value given = a.empty() ? Value() : a[0];
    if (given.isNullish()) {
        leaveDepth(display);
        return Value();
    }
    geom::required(m, given, "flash.geom::Matrix3D");
    const auto* raw =
        static_cast<const std::array<double, 16>*>(given.asObject()->nativeData.get());
    const std::array<double, 16> r =
        raw != nullptr ? *raw
                       : std::array<double, 16>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    // The plane's matrix taken apart as Transform.matrix takes it apart.
    const geom::Affine plane{r[0], r[1], r[4], r[5], r[12], r[13]};
    Value transform = m.getProperty(display, Name::publicName("transform"));
    m.setProperty(transform, Name::publicName("matrix"), geom::makeMatrix(m, plane));
    setHiddenField(display, kZ, Value::number(r[14]));
    setHiddenField(display, kInDepth, Value::boolean(true));
    return Value();
}

} // namespace

Value transformTarget(Machine& m, const Value& transform) {
    if (!transform.isObject()) {
        m.throwError("TypeError", 1009,
                     "Cannot access a property or method of a null object reference.");
    }
    return hiddenField(transform, "target", Value::null());
}

double displayNumber(Machine& m, const Value& display, const char* name) {
    return m.toNumber(m.getProperty(display, Name::publicName(name)));
}

bool placedInDepth(const Value& display) {
    return Machine::toBoolean(hiddenField(display, kInDepth, Value::boolean(false)));
}

void leaveDepth(const Value& display) {
    if (!placedInDepth(display)) {
        return;
    }
    setHiddenField(display, kInDepth, Value::boolean(false));
    setHiddenField(display, kZ, Value::number(0));
    setHiddenField(display, kRotationX, Value::number(0));
    setHiddenField(display, kRotationY, Value::number(0));
    setHiddenField(display, kScaleZ, Value::number(1));
}

void installDisplayDepth(Machine& m) {
    for (const char* name : kDisplayClassNames) {
        Class* c = m.findClass(name);
        if (c == nullptr) {
            continue;
        }
        m.defineGetter(c, kZ, depthGet<kZ, 0>);
        m.defineSetter(c, kZ, depthSet<kZ, false>);
        m.defineGetter(c, kRotationX, depthGet<kRotationX, 0>);
        m.defineSetter(c, kRotationX, depthSet<kRotationX, true>);
        m.defineGetter(c, kRotationY, depthGet<kRotationY, 0>);
        m.defineSetter(c, kRotationY, depthSet<kRotationY, true>);
        m.defineGetter(c, kScaleZ, depthGet<kScaleZ, 1>);
        m.defineSetter(c, kScaleZ, depthSet<kScaleZ, false>);
        m.defineGetter(c, "rotationZ", rotationZGet);
        m.defineSetter(c, "rotationZ", rotationZSet);
    }
    if (Class* t = m.findClass("flash.geom::Transform")) {
        m.defineGetter(t, "matrix3D", matrix3DGet);
        m.defineSetter(t, "matrix3D", matrix3DSet);
    }
}

} // namespace avm2
