// flash.geom.Point: keeps its coordinates as ordinary properties (x, y) that scripts may
// set to anything, computing with them as numbers.

#include "avm1/GeomValues.h"
#include "avm1/Packages.h"
#include "avm1/State.h"

#include <cmath>

namespace avm1 {

using namespace geom;

void installPoint(Machine& m) {
    FunctionObject* ctor = m.newClass([](CallArgs& c) -> Value {
        Machine& m = c.machine;
        if (Object* self = c.thisObject()) {
            // Only a call without arguments stands at (0, 0), and it sets y first: a for-in
            // over such a point meets x first, over any other y first.
            if (c.count() == 0) {
                m.set(self, "y", Value(0.0));
                m.set(self, "x", Value(0.0));
            } else {
                m.set(self, "x", c.arg(0));
                m.set(self, "y", c.arg(1));
            }
        }
        return {};
    });
    Object* proto = constructorPrototype(m, ctor);
    // The class library left the prototype's members enumerable: for..in over a point
    // lists them after x and y.
    constexpr std::uint32_t Listed = 0;
    defineAccessor(
        m, proto, "length",
        [](CallArgs& c) -> Value {
            return Value(
                std::hypot(field(c.machine, c.thisValue, "x"), field(c.machine, c.thisValue, "y")));
        },
        nullptr, Listed);
    m.defineMethod(
        proto, "add",
        [](CallArgs& c) -> Value {
            Machine& m = c.machine;
            return Value(makePoint(m, plus(m, raw(m, c.thisValue, "x"), raw(m, c.arg(0), "x")),
                                   plus(m, raw(m, c.thisValue, "y"), raw(m, c.arg(0), "y"))));
        },
        Listed);
    m.defineMethod(
        proto, "subtract",
        [](CallArgs& c) -> Value {
            Machine& m = c.machine;
            return Value(makePoint(m, num(field(m, c.thisValue, "x") - field(m, c.arg(0), "x")),
                                   num(field(m, c.thisValue, "y") - field(m, c.arg(0), "y"))));
        },
        Listed);
    m.defineMethod(
        proto, "clone",
        [](CallArgs& c) -> Value {
            Object* self = c.thisObject();
            return Value(
                makePoint(c.machine, raw(c.machine, self, "x"), raw(c.machine, self, "y")));
        },
        Listed);
    m.defineMethod(
        proto, "equals",
        [](CallArgs& c) -> Value {
            Machine& m = c.machine;
            Object* other = c.arg(0).asObject();
            if (!other || !inherits(other, classPrototype(m, "Point"))) {
                return Value(false);
            }
            // The coordinates as they are stored: "1" is not 1.
            return Value(strictEquals(raw(m, c.thisValue, "x"), raw(m, c.arg(0), "x")) &&
                         strictEquals(raw(m, c.thisValue, "y"), raw(m, c.arg(0), "y")));
        },
        Listed);
    m.defineMethod(
        proto, "normalize",
        [](CallArgs& c) -> Value {
            Machine& m = c.machine;
            Object* self = c.thisObject();
            if (!self) {
                return {};
            }
            double x = field(m, c.thisValue, "x"), y = field(m, c.thisValue, "y");
            double length = std::hypot(x, y);
            if (length > 0) {
                double scale = m.toNumber(c.arg(0)) / length;
                m.set(self, "x", num(x * scale));
                m.set(self, "y", num(y * scale));
            }
            return {};
        },
        Listed);
    m.defineMethod(
        proto, "offset",
        [](CallArgs& c) -> Value {
            Machine& m = c.machine;
            if (Object* self = c.thisObject()) {
                m.set(self, "x", plus(m, raw(m, self, "x"), c.arg(0)));
                m.set(self, "y", plus(m, raw(m, self, "y"), c.arg(1)));
            }
            return {};
        },
        Listed);
    m.defineMethod(
        proto, "toString",
        [](CallArgs& c) -> Value {
            Machine& m = c.machine;
            Object* self = c.thisObject();
            return Value(Str("(x=" + m.toString(raw(m, self, "x")).str() +
                             ", y=" + m.toString(raw(m, self, "y")).str() + ")"));
        },
        Listed);
    // The distance from a point to anything with coordinates; nothing from another object.
    m.defineMethod(ctor, "distance", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        if (c.count() < 2 || !inherits(c.arg(0).asObject(), classPrototype(m, "Point"))) {
            return {};
        }
        return Value(std::hypot(field(m, c.arg(0), "x") - field(m, c.arg(1), "x"),
                                field(m, c.arg(0), "y") - field(m, c.arg(1), "y")));
    });
    m.defineMethod(ctor, "interpolate", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        double f = m.toNumber(c.arg(2));
        double ax = field(m, c.arg(0), "x"), ay = field(m, c.arg(0), "y");
        double bx = field(m, c.arg(1), "x"), by = field(m, c.arg(1), "y");
        // The second point's own coordinates, plus the way towards the first.
        return Value(makePoint(m, plus(m, raw(m, c.arg(1), "x"), num((ax - bx) * f)),
                               plus(m, raw(m, c.arg(1), "y"), num((ay - by) * f))));
    });
    m.defineMethod(ctor, "polar", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        double length = m.toNumber(c.arg(0)), angle = m.toNumber(c.arg(1));
        return Value(makePoint(m, num(length * std::cos(angle)), num(length * std::sin(angle))));
    });
    definePackaged(m, GeomPackage, "Point", ctor);
}

Object* newGeomPoint(Machine& m, double x, double y) {
    return makePoint(m, Value(x), Value(y));
}

} // namespace avm1
