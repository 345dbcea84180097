// flash.geom.Rectangle: keeps its coordinates as ordinary properties (x, y, width, height)
// that scripts may set to anything; the derived edges are accessors that compute with
// numbers, and comparisons of NaN give undefined as the language's own comparisons do.

#include "avm1/Compare.h"
#include "avm1/GeomValues.h"
#include "avm1/Packages.h"
#include "avm1/State.h"

#include <cmath>
#include <functional>

namespace avm1 {

namespace {

using namespace geom;

// The comparisons as compiled scripts make them: `a < b` is the language's less-than
// (undefined when either side is NaN), `a >= b` is !(a < b) and so true for NaN, `a > b` is
// b < a and `a <= b` is !(b < a). The class was written in script and compares so.
Value lt(Machine& m, const Value& a, const Value& b) {
    return scriptLess(m, a, b);
}
Value ge(Machine& m, const Value& a, const Value& b) {
    return Value(!m.toBoolean(scriptLess(m, a, b)));
}
Value gt(Machine& m, const Value& a, const Value& b) {
    return scriptLess(m, b, a);
}
Value le(Machine& m, const Value& a, const Value& b) {
    return Value(!m.toBoolean(scriptLess(m, b, a)));
}

// a && b && ...: each test runs only when those before it held; the answer is the first
// that does not hold, else the last.
Value allOf(Machine& m, std::initializer_list<std::function<Value()>> tests) {
    Value last;
    for (const auto& test : tests) {
        last = test();
        if (!m.toBoolean(last)) {
            return last;
        }
    }
    return last;
}

// a - b as the script's `-` has it: always a number.
Value minus(Machine& m, const Value& a, const Value& b) {
    return num(m.toNumber(a) - m.toNumber(b));
}

// Math.min/Math.max: NaN wins.
double nanMin(double a, double b) {
    return std::isnan(a) || std::isnan(b) ? std::numeric_limits<double>::quiet_NaN()
                                          : std::min(a, b);
}
double nanMax(double a, double b) {
    return std::isnan(a) || std::isnan(b) ? std::numeric_limits<double>::quiet_NaN()
                                          : std::max(a, b);
}

struct Box {
    double x, y, w, h;
    double right() const { return x + w; }
    double bottom() const { return y + h; }
};

Box boxOf(Machine& m, const Value& v) {
    return {field(m, v, "x"), field(m, v, "y"), field(m, v, "width"), field(m, v, "height")};
}

void setBox(Machine& m, Object* o, const Box& b) {
    m.set(o, "x", num(b.x));
    m.set(o, "y", num(b.y));
    m.set(o, "width", num(b.w));
    m.set(o, "height", num(b.h));
}

// Rectangle edge accessors: reading computes from x/y/width/height, writing moves one
// edge and keeps the opposite one where it was, with the script's operators: `width +=
// x - left` joins texts when the width is one.
void installRectangleEdges(Machine& m, Object* proto) {
    auto self = [](CallArgs& c) { return c.thisObject(); };
    // Moves the near edge along one axis: size += start - to; start = to.
    auto moveNear = [](Machine& m, Object* o, std::string_view start, std::string_view size,
                       const Value& to) {
        m.set(o, size, plus(m, raw(m, o, size), minus(m, raw(m, o, start), to)));
        m.set(o, start, to);
    };
    // Moves the far edge along one axis: size = to - start.
    auto moveFar = [](Machine& m, Object* o, std::string_view start, std::string_view size,
                      const Value& to) { m.set(o, size, minus(m, to, raw(m, o, start))); };
    defineAccessor(
        m, proto, "left", [self](CallArgs& c) { return raw(c.machine, self(c), "x"); },
        [self, moveNear](CallArgs& c) -> Value {
            if (Object* o = self(c)) {
                moveNear(c.machine, o, "x", "width", c.arg(0));
            }
            return {};
        });
    defineAccessor(
        m, proto, "top", [self](CallArgs& c) { return raw(c.machine, self(c), "y"); },
        [self, moveNear](CallArgs& c) -> Value {
            if (Object* o = self(c)) {
                moveNear(c.machine, o, "y", "height", c.arg(0));
            }
            return {};
        });
    defineAccessor(
        m, proto, "right",
        [](CallArgs& c) {
            return plus(c.machine, raw(c.machine, c.thisValue, "x"),
                        raw(c.machine, c.thisValue, "width"));
        },
        [self, moveFar](CallArgs& c) -> Value {
            if (Object* o = self(c)) {
                moveFar(c.machine, o, "x", "width", c.arg(0));
            }
            return {};
        });
    defineAccessor(
        m, proto, "bottom",
        [](CallArgs& c) {
            return plus(c.machine, raw(c.machine, c.thisValue, "y"),
                        raw(c.machine, c.thisValue, "height"));
        },
        [self, moveFar](CallArgs& c) -> Value {
            if (Object* o = self(c)) {
                moveFar(c.machine, o, "y", "height", c.arg(0));
            }
            return {};
        });
    defineAccessor(
        m, proto, "topLeft",
        [self](CallArgs& c) -> Value {
            return Value(
                makePoint(c.machine, raw(c.machine, self(c), "x"), raw(c.machine, self(c), "y")));
        },
        [self](CallArgs& c) -> Value {
            Machine& m = c.machine;
            Object* o = self(c);
            if (!o) {
                return {};
            }
            const Value p = c.arg(0);
            m.set(o, "width",
                  plus(m, raw(m, o, "width"), minus(m, raw(m, o, "x"), raw(m, p, "x"))));
            m.set(o, "height",
                  plus(m, raw(m, o, "height"), minus(m, raw(m, o, "y"), raw(m, p, "y"))));
            m.set(o, "x", raw(m, p, "x"));
            m.set(o, "y", raw(m, p, "y"));
            return {};
        });
    defineAccessor(
        m, proto, "bottomRight",
        [](CallArgs& c) -> Value {
            Machine& m = c.machine;
            return Value(
                makePoint(m, plus(m, raw(m, c.thisValue, "x"), raw(m, c.thisValue, "width")),
                          plus(m, raw(m, c.thisValue, "y"), raw(m, c.thisValue, "height"))));
        },
        [self](CallArgs& c) -> Value {
            Machine& m = c.machine;
            if (Object* o = self(c)) {
                m.set(o, "width", num(field(m, c.arg(0), "x") - field(m, c.thisValue, "x")));
                m.set(o, "height", num(field(m, c.arg(0), "y") - field(m, c.thisValue, "y")));
            }
            return {};
        });
    defineAccessor(
        m, proto, "size",
        [self](CallArgs& c) -> Value {
            return Value(makePoint(c.machine, raw(c.machine, self(c), "width"),
                                   raw(c.machine, self(c), "height")));
        },
        [self](CallArgs& c) -> Value {
            Machine& m = c.machine;
            if (Object* o = self(c)) {
                Object* p = c.arg(0).asObject();
                m.set(o, "width", raw(m, p, "x"));
                m.set(o, "height", raw(m, p, "y"));
            }
            return {};
        });
}

void installRectangleMethods(Machine& m, Object* proto) {
    m.defineMethod(proto, "clone", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* o = c.thisObject();
        return Value(makeRectangle(m, raw(m, o, "x"), raw(m, o, "y"), raw(m, o, "width"),
                                   raw(m, o, "height")));
    });
    m.defineMethod(proto, "equals", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* other = c.arg(0).asObject();
        if (!other || !inherits(other, classPrototype(m, "Rectangle"))) {
            return Value(false);
        }
        Box a = boxOf(m, c.thisValue), b = boxOf(m, c.arg(0));
        return Value(a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h);
    });
    m.defineMethod(proto, "isEmpty", [](CallArgs& c) -> Value {
        Box b = boxOf(c.machine, c.thisValue);
        return Value(!(b.w > 0) || !(b.h > 0));
    });
    m.defineMethod(proto, "setEmpty", [](CallArgs& c) -> Value {
        if (Object* o = c.thisObject()) {
            setBox(c.machine, o, {0, 0, 0, 0});
        }
        return {};
    });
    // The tests convert their operands anew each time they run (valueOf runs each time),
    // texts compare as texts ("e" lies right of "10"), and a test of NaN stops the chain
    // with undefined where it is a `<` and passes where it is a `>=`.
    m.defineMethod(proto, "contains", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        const Value self = c.thisValue, x = c.arg(0), y = c.arg(1);
        return allOf(
            m, {[&] { return ge(m, x, raw(m, self, "x")); },
                [&] { return lt(m, x, plus(m, raw(m, self, "x"), raw(m, self, "width"))); },
                [&] { return ge(m, y, raw(m, self, "y")); },
                [&] { return lt(m, y, plus(m, raw(m, self, "y"), raw(m, self, "height"))); }});
    });
    m.defineMethod(proto, "containsPoint", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        const Value self = c.thisValue, pt = c.arg(0);
        return allOf(m, {[&] { return ge(m, raw(m, pt, "x"), raw(m, self, "x")); },
                         [&] {
                             return lt(m, raw(m, pt, "x"),
                                       plus(m, raw(m, self, "x"), raw(m, self, "width")));
                         },
                         [&] { return ge(m, raw(m, pt, "y"), raw(m, self, "y")); },
                         [&] {
                             return lt(m, raw(m, pt, "y"),
                                       plus(m, raw(m, self, "y"), raw(m, self, "height")));
                         }});
    });
    // The other rectangle lies inside when its corners do: its left and top edges inside
    // this one's span, its right and bottom edges past this one's start and not past its end.
    m.defineMethod(proto, "containsRectangle", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        const Value self = c.thisValue, r = c.arg(0);
        const Value otherRight = plus(m, raw(m, r, "x"), raw(m, r, "width"));
        const Value otherBottom = plus(m, raw(m, r, "y"), raw(m, r, "height"));
        const Value right = plus(m, raw(m, self, "x"), raw(m, self, "width"));
        const Value bottom = plus(m, raw(m, self, "y"), raw(m, self, "height"));
        return allOf(m, {[&] { return ge(m, raw(m, r, "x"), raw(m, self, "x")); },
                         [&] { return lt(m, raw(m, r, "x"), right); },
                         [&] { return ge(m, raw(m, r, "y"), raw(m, self, "y")); },
                         [&] { return lt(m, raw(m, r, "y"), bottom); },
                         [&] { return gt(m, otherRight, raw(m, self, "x")); },
                         [&] { return le(m, otherRight, right); },
                         [&] { return gt(m, otherBottom, raw(m, self, "y")); },
                         [&] { return le(m, otherBottom, bottom); }});
    });
    // inflate: x -= dx; width += dx * 2 (and so for y): the start moves as a number, the
    // size grows as the script's `+` has it.
    auto grow = [](Machine& m, Object* o, const Value& dx, const Value& dy) {
        if (o) {
            m.set(o, "x", minus(m, raw(m, o, "x"), dx));
            m.set(o, "width", plus(m, raw(m, o, "width"), num(m.toNumber(dx) * 2)));
            m.set(o, "y", minus(m, raw(m, o, "y"), dy));
            m.set(o, "height", plus(m, raw(m, o, "height"), num(m.toNumber(dy) * 2)));
        }
        return Value();
    };
    m.defineMethod(proto, "inflate", [grow](CallArgs& c) -> Value {
        return grow(c.machine, c.thisObject(), c.arg(0), c.arg(1));
    });
    m.defineMethod(proto, "inflatePoint", [grow](CallArgs& c) -> Value {
        Machine& m = c.machine;
        return grow(m, c.thisObject(), raw(m, c.arg(0), "x"), raw(m, c.arg(0), "y"));
    });
    // offset: x += dx; y += dy, with the script's `+`.
    auto move = [](Machine& m, Object* o, const Value& dx, const Value& dy) {
        if (o) {
            m.set(o, "x", plus(m, raw(m, o, "x"), dx));
            m.set(o, "y", plus(m, raw(m, o, "y"), dy));
        }
        return Value();
    };
    m.defineMethod(proto, "offset", [move](CallArgs& c) -> Value {
        return move(c.machine, c.thisObject(), c.arg(0), c.arg(1));
    });
    m.defineMethod(proto, "offsetPoint", [move](CallArgs& c) -> Value {
        Machine& m = c.machine;
        return move(m, c.thisObject(), raw(m, c.arg(0), "x"), raw(m, c.arg(0), "y"));
    });
    auto overlap = [](Machine& m, CallArgs& c, Box& out) {
        Box a = boxOf(m, c.thisValue), b = boxOf(m, c.arg(0));
        double left = std::max(a.x, b.x), top = std::max(a.y, b.y);
        double right = std::min(a.right(), b.right()), bottom = std::min(a.bottom(), b.bottom());
        out = {left, top, right - left, bottom - top};
        for (double v : {a.x, a.y, a.right(), a.bottom(), b.x, b.y, b.right(), b.bottom()}) {
            if (std::isnan(v)) {
                return false;
            }
        }
        return right > left && bottom > top;
    };
    m.defineMethod(proto, "intersection", [overlap](CallArgs& c) -> Value {
        Box box{};
        if (!overlap(c.machine, c, box)) {
            box = {0, 0, 0, 0};
        }
        return Value(makeRectangle(c.machine, num(box.x), num(box.y), num(box.w), num(box.h)));
    });
    m.defineMethod(proto, "intersects", [overlap](CallArgs& c) -> Value {
        Box box{};
        return Value(overlap(c.machine, c, box));
    });
    m.defineMethod(proto, "union", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Box a = boxOf(m, c.thisValue), b = boxOf(m, c.arg(0));
        double left = nanMin(a.x, b.x), top = nanMin(a.y, b.y);
        double right = nanMax(a.right(), b.right()), bottom = nanMax(a.bottom(), b.bottom());
        return Value(makeRectangle(m, num(left), num(top), num(right - left), num(bottom - top)));
    });
    m.defineMethod(proto, "toString", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* o = c.thisObject();
        auto text = [&](std::string_view n) { return m.toString(raw(m, o, n)).str(); };
        return Value(Str("(x=" + text("x") + ", y=" + text("y") + ", w=" + text("width") +
                         ", h=" + text("height") + ")"));
    });
}

} // namespace

void installRectangle(Machine& m) {
    FunctionObject* ctor = m.newClass([](CallArgs& c) -> Value {
        Machine& m = c.machine;
        if (Object* self = c.thisObject()) {
            bool none = c.count() == 0;
            const char* names[] = {"x", "y", "width", "height"};
            for (std::size_t i = 0; i < 4; ++i) {
                m.set(self, names[i], none ? Value(0.0) : c.arg(i));
            }
        }
        return {};
    });
    Object* proto = constructorPrototype(m, ctor);
    installRectangleEdges(m, proto);
    installRectangleMethods(m, proto);
    // The class was written in script: its members show in for-in like any set property.
    for (std::string_view name : {"left",          "top",
                                  "right",         "bottom",
                                  "topLeft",       "bottomRight",
                                  "size",          "clone",
                                  "equals",        "isEmpty",
                                  "setEmpty",      "contains",
                                  "containsPoint", "containsRectangle",
                                  "inflate",       "inflatePoint",
                                  "offset",        "offsetPoint",
                                  "intersection",  "intersects",
                                  "union",         "toString"}) {
        if (Property* p = proto->properties().find(m.str(name), true)) {
            p->attributes &= ~(attr::DontEnum | attr::DontDelete);
        }
    }
    definePackaged(m, GeomPackage, "Rectangle", ctor);
}

Object* newGeomRectangle(Machine& m, double x, double y, double width, double height) {
    return makeRectangle(m, Value(x), Value(y), Value(width), Value(height));
}

} // namespace avm1
