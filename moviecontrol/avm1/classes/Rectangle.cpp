// flash.geom.Rectangle: keeps its coordinates as ordinary properties (x, y, width, height)
// that scripts may set to anything; the derived edges are accessors that compute with
// numbers, and comparisons of NaN give undefined as the language's own comparisons do.

#include "avm1/Compare.h"
#include "avm1/GeomValues.h"
#include "avm1/Packages.h"
#include "avm1/State.h"

#include <cmath>

namespace avm1 {

namespace {

using namespace geom;

// a < b as the language compares numbers: undefined when either is NaN.
Value less(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) {
        return {};
    }
    return Value(a < b);
}
Value atLeast(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) {
        return {};
    }
    return Value(a >= b);
}
Value atMost(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) {
        return {};
    }
    return Value(a <= b);
}

// a && b && ...: the first operand that is not true, else the last.
Value allOf(std::initializer_list<Value> tests) {
    Value last;
    for (const Value& t : tests) {
        last = t;
        if (!(t.isBool() && t.asBool())) {
            return t;
        }
    }
    return last;
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
// edge and keeps the opposite one where it was.
void installRectangleEdges(Machine& m, Object* proto) {
    auto self = [](CallArgs& c) { return c.thisObject(); };
    defineAccessor(
        m, proto, "left", [self](CallArgs& c) { return raw(c.machine, self(c), "x"); },
        [self](CallArgs& c) -> Value {
            Machine& m = c.machine;
            if (Object* o = self(c)) {
                double right = field(m, c.thisValue, "x") + field(m, c.thisValue, "width");
                m.set(o, "width", num(right - m.toNumber(c.arg(0))));
                m.set(o, "x", c.arg(0));
            }
            return {};
        });
    defineAccessor(
        m, proto, "top", [self](CallArgs& c) { return raw(c.machine, self(c), "y"); },
        [self](CallArgs& c) -> Value {
            Machine& m = c.machine;
            if (Object* o = self(c)) {
                double bottom = field(m, c.thisValue, "y") + field(m, c.thisValue, "height");
                m.set(o, "height", num(bottom - m.toNumber(c.arg(0))));
                m.set(o, "y", c.arg(0));
            }
            return {};
        });
    defineAccessor(
        m, proto, "right",
        [](CallArgs& c) {
            return plus(c.machine, raw(c.machine, c.thisValue, "x"),
                        raw(c.machine, c.thisValue, "width"));
        },
        [self](CallArgs& c) -> Value {
            Machine& m = c.machine;
            if (Object* o = self(c)) {
                m.set(o, "width", num(m.toNumber(c.arg(0)) - field(m, c.thisValue, "x")));
            }
            return {};
        });
    defineAccessor(
        m, proto, "bottom",
        [](CallArgs& c) {
            return plus(c.machine, raw(c.machine, c.thisValue, "y"),
                        raw(c.machine, c.thisValue, "height"));
        },
        [self](CallArgs& c) -> Value {
            Machine& m = c.machine;
            if (Object* o = self(c)) {
                m.set(o, "height", num(m.toNumber(c.arg(0)) - field(m, c.thisValue, "y")));
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
            Box b = boxOf(m, c.thisValue);
            Object* p = c.arg(0).asObject();
            Value x = raw(m, p, "x"), y = raw(m, p, "y");
            m.set(o, "width", num(b.right() - m.toNumber(x)));
            m.set(o, "height", num(b.bottom() - m.toNumber(y)));
            m.set(o, "x", x);
            m.set(o, "y", y);
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
    // contains compares as the script's operators do, left to right and stopping at the
    // first that fails: the arguments are converted for each comparison (valueOf runs
    // each time) and texts compare as texts ("e" lies right of "10").
    m.defineMethod(proto, "contains", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        const Value x = c.arg(0), y = c.arg(1);
        const Value left = raw(m, c.thisValue, "x"), top = raw(m, c.thisValue, "y");
        auto notBelow = [&](const Value& a, const Value& edge) {
            Value below = scriptLess(m, a, edge);
            return below.isBool() ? Value(!below.asBool()) : below;
        };
        auto below = [&](const Value& a, const Value& edge) { return scriptLess(m, a, edge); };
        auto passed = [](const Value& v) { return v.isBool() && v.asBool(); };
        Value r = notBelow(x, left);
        if (!passed(r)) {
            return r;
        }
        r = below(x, plus(m, left, raw(m, c.thisValue, "width")));
        if (!passed(r)) {
            return r;
        }
        r = notBelow(y, top);
        if (!passed(r)) {
            return r;
        }
        return below(y, plus(m, top, raw(m, c.thisValue, "height")));
    });
    m.defineMethod(proto, "containsPoint", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Box b = boxOf(m, c.thisValue);
        double x = field(m, c.arg(0), "x"), y = field(m, c.arg(0), "y");
        return allOf({atLeast(x, b.x), less(x, b.right()), atLeast(y, b.y), less(y, b.bottom())});
    });
    m.defineMethod(proto, "containsRectangle", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Box b = boxOf(m, c.thisValue), r = boxOf(m, c.arg(0));
        return allOf({atLeast(r.x, b.x), atLeast(r.y, b.y), atMost(r.right(), b.right()),
                      atMost(r.bottom(), b.bottom())});
    });
    auto grow = [](Machine& m, CallArgs& c, double dx, double dy) {
        if (Object* o = c.thisObject()) {
            Box b = boxOf(m, c.thisValue);
            setBox(m, o, {b.x - dx, b.y - dy, b.w + 2 * dx, b.h + 2 * dy});
        }
        return Value();
    };
    m.defineMethod(proto, "inflate", [grow](CallArgs& c) -> Value {
        return grow(c.machine, c, c.machine.toNumber(c.arg(0)), c.machine.toNumber(c.arg(1)));
    });
    m.defineMethod(proto, "inflatePoint", [grow](CallArgs& c) -> Value {
        return grow(c.machine, c, field(c.machine, c.arg(0), "x"), field(c.machine, c.arg(0), "y"));
    });
    auto move = [](Machine& m, CallArgs& c, double dx, double dy) {
        if (Object* o = c.thisObject()) {
            m.set(o, "x", num(field(m, c.thisValue, "x") + dx));
            m.set(o, "y", num(field(m, c.thisValue, "y") + dy));
        }
        return Value();
    };
    m.defineMethod(proto, "offset", [move](CallArgs& c) -> Value {
        return move(c.machine, c, c.machine.toNumber(c.arg(0)), c.machine.toNumber(c.arg(1)));
    });
    m.defineMethod(proto, "offsetPoint", [move](CallArgs& c) -> Value {
        return move(c.machine, c, field(c.machine, c.arg(0), "x"), field(c.machine, c.arg(0), "y"));
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
    definePackaged(m, GeomPackage, "Rectangle", ctor);
}

Object* newGeomRectangle(Machine& m, double x, double y, double width, double height) {
    return makeRectangle(m, Value(x), Value(y), Value(width), Value(height));
}

} // namespace avm1
