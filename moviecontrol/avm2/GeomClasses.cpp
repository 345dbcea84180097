// flash.geom: Point, Rectangle, Matrix and ColorTransform. Their values are public Number
// variables (slots), so scripts read and write them as fields; the methods compute with
// whatever numbers the fields hold, NaN included, as Flash's own classes do.
#include "avm2/GeomValues.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>

namespace avm2 {

void installVector3D(Machine& m);

namespace {

using namespace geom;

// A public Number variable of a built-in class, with its initial value.
void addNumberSlot(Machine& m, Class* cls, const char* name, double initial) {
    Binding b;
    b.ns = Namespace::publicNs();
    b.kind = Binding::Kind::Slot;
    b.slot = static_cast<std::uint32_t>(cls->instance.slots.size());
    SlotInit si;
    si.value = Value::number(initial);
    si.type = m.numberClass;
    cls->instance.slots.push_back(si);
    cls->instance.add(name, b);
}

std::string text(Machine& m, double v) {
    return m.toString(Value::number(v));
}

// "(x=1, y=2)": each field's name and value as the class's toString prints them.
std::string fieldsText(Machine& m, const Value& self,
                       std::initializer_list<std::pair<const char*, const char*>> fields) {
    std::string out = "(";
    for (const auto& [label, name] : fields) {
        if (out.size() > 1) {
            out += ", ";
        }
        out += std::string(label) + "=" + text(m, field(m, self, name));
    }
    return out + ")";
}

// --- Point ---------------------------------------------------------------------------------

Value pointInit(Machine& m, const Value& self, Args& a) {
    setField(m, self, "x", numberArg(m, a, 0, 0));
    setField(m, self, "y", numberArg(m, a, 1, 0));
    return Value();
}

Value pointOf(Machine& m, const Args& a, std::size_t i) {
    return Value::object(required(m, argument(a, i), "flash.geom::Point"));
}

void installPoint(Machine& m) {
    Class* point = m.defineClass("flash.geom", "Point", m.objectClass, pointInit);
    point->init.nativeParams = 2; // every parameter has a default
    point->sealed = true;
    addNumberSlot(m, point, "x", 0);
    addNumberSlot(m, point, "y", 0);
    m.defineGetter(point, "length", [](Machine& mm, const Value& self, Args&) {
        return Value::number(std::hypot(field(mm, self, "x"), field(mm, self, "y")));
    });
    m.defineMethod(point, "add", [](Machine& mm, const Value& self, Args& a) {
        Value p = pointOf(mm, a, 0);
        return makePoint(mm, field(mm, self, "x") + field(mm, p, "x"),
                         field(mm, self, "y") + field(mm, p, "y"));
    });
    m.defineMethod(point, "subtract", [](Machine& mm, const Value& self, Args& a) {
        Value p = pointOf(mm, a, 0);
        return makePoint(mm, field(mm, self, "x") - field(mm, p, "x"),
                         field(mm, self, "y") - field(mm, p, "y"));
    });
    m.defineMethod(point, "clone", [](Machine& mm, const Value& self, Args&) {
        return makePoint(mm, field(mm, self, "x"), field(mm, self, "y"));
    });
    m.defineMethod(point, "copyFrom", [](Machine& mm, const Value& self, Args& a) {
        Value p = pointOf(mm, a, 0);
        setField(mm, self, "x", field(mm, p, "x"));
        setField(mm, self, "y", field(mm, p, "y"));
        return Value();
    });
    m.defineMethod(point, "equals", [](Machine& mm, const Value& self, Args& a) {
        Value p = pointOf(mm, a, 0);
        return Value::boolean(field(mm, self, "x") == field(mm, p, "x") &&
                              field(mm, self, "y") == field(mm, p, "y"));
    });
    m.defineMethod(point, "normalize", [](Machine& mm, const Value& self, Args& a) {
        const double x = field(mm, self, "x"), y = field(mm, self, "y");
        const double length = std::hypot(x, y);
        if (length > 0) {
            const double scale = numberArg(mm, a, 0, 0) / length;
            setField(mm, self, "x", x * scale);
            setField(mm, self, "y", y * scale);
        }
        return Value();
    });
    m.defineMethod(point, "offset", [](Machine& mm, const Value& self, Args& a) {
        setField(mm, self, "x", field(mm, self, "x") + numberArg(mm, a, 0, 0));
        setField(mm, self, "y", field(mm, self, "y") + numberArg(mm, a, 1, 0));
        return Value();
    });
    m.defineMethod(point, "setTo", [](Machine& mm, const Value& self, Args& a) {
        setField(mm, self, "x", numberArg(mm, a, 0, 0));
        setField(mm, self, "y", numberArg(mm, a, 1, 0));
        return Value();
    });
    m.defineMethod(point, "toString", [](Machine& mm, const Value& self, Args&) {
        return Value::string(fieldsText(mm, self, {{"x", "x"}, {"y", "y"}}));
    });
    m.defineMethod(
        point, "distance",
        [](Machine& mm, const Value&, Args& a) {
            Value p = pointOf(mm, a, 0), q = pointOf(mm, a, 1);
            return Value::number(std::hypot(field(mm, p, "x") - field(mm, q, "x"),
                                            field(mm, p, "y") - field(mm, q, "y")));
        },
        true);
    // The point `f` of the way from the second point back to the first.
    m.defineMethod(
        point, "interpolate",
        [](Machine& mm, const Value&, Args& a) {
            Value p = pointOf(mm, a, 0), q = pointOf(mm, a, 1);
            const double f = numberArg(mm, a, 2, 0);
            const double qx = field(mm, q, "x"), qy = field(mm, q, "y");
            return makePoint(mm, qx + (field(mm, p, "x") - qx) * f,
                             qy + (field(mm, p, "y") - qy) * f);
        },
        true);
    m.defineMethod(
        point, "polar",
        [](Machine& mm, const Value&, Args& a) {
            const double length = numberArg(mm, a, 0, 0), angle = numberArg(mm, a, 1, 0);
            return makePoint(mm, length * std::cos(angle), length * std::sin(angle));
        },
        true);
}

// --- Rectangle -----------------------------------------------------------------------------

Value rectangleInit(Machine& m, const Value& self, Args& a) {
    setField(m, self, "x", numberArg(m, a, 0, 0));
    setField(m, self, "y", numberArg(m, a, 1, 0));
    setField(m, self, "width", numberArg(m, a, 2, 0));
    setField(m, self, "height", numberArg(m, a, 3, 0));
    return Value();
}

void setBox(Machine& m, const Value& self, const Box& b) {
    setField(m, self, "x", b.x);
    setField(m, self, "y", b.y);
    setField(m, self, "width", b.width);
    setField(m, self, "height", b.height);
}

Box rectangleArg(Machine& m, const Args& a, std::size_t i) {
    return boxOf(m, Value::object(required(m, argument(a, i), "flash.geom::Rectangle")));
}

bool isEmpty(const Box& b) {
    return b.width <= 0 || b.height <= 0;
}

// Math.max and Math.min: a NaN on either side wins, so that an undefined edge shows.
double maxOf(double p, double q) {
    return std::isnan(p) || std::isnan(q) ? std::numeric_limits<double>::quiet_NaN()
                                          : std::max(p, q);
}

double minOf(double p, double q) {
    return std::isnan(p) || std::isnan(q) ? std::numeric_limits<double>::quiet_NaN()
                                          : std::min(p, q);
}

// The overlap of two rectangles; the empty rectangle at 0, 0 when they do not overlap. Only a
// size that compares as not positive is empty: an overlap with a NaN edge stays.
Box intersection(const Box& p, const Box& q) {
    if (isEmpty(p) || isEmpty(q)) {
        return {};
    }
    Box r{maxOf(p.x, q.x), maxOf(p.y, q.y), 0, 0};
    r.width = minOf(p.x + p.width, q.x + q.width) - r.x;
    r.height = minOf(p.y + p.height, q.y + q.height) - r.y;
    return isEmpty(r) ? Box{} : r;
}

Box unionOf(const Box& p, const Box& q) {
    if (isEmpty(p)) {
        return q;
    }
    if (isEmpty(q)) {
        return p;
    }
    Box r{minOf(p.x, q.x), minOf(p.y, q.y), 0, 0};
    r.width = maxOf(p.x + p.width, q.x + q.width) - r.x;
    r.height = maxOf(p.y + p.height, q.y + q.height) - r.y;
    return r;
}

bool containsPoint(const Box& b, double x, double y) {
    return x >= b.x && y >= b.y && x < b.x + b.width && y < b.y + b.height;
}

void installRectangleEdges(Machine& m, Class* rect) {
    m.defineGetter(rect, "left", [](Machine& mm, const Value& self, Args&) {
        return Value::number(field(mm, self, "x"));
    });
    m.defineSetter(rect, "left", [](Machine& mm, const Value& self, Args& a) {
        const double v = numberArg(mm, a, 0, 0);
        setField(mm, self, "width", field(mm, self, "width") + field(mm, self, "x") - v);
        setField(mm, self, "x", v);
        return Value();
    });
    m.defineGetter(rect, "top", [](Machine& mm, const Value& self, Args&) {
        return Value::number(field(mm, self, "y"));
    });
    m.defineSetter(rect, "top", [](Machine& mm, const Value& self, Args& a) {
        const double v = numberArg(mm, a, 0, 0);
        setField(mm, self, "height", field(mm, self, "height") + field(mm, self, "y") - v);
        setField(mm, self, "y", v);
        return Value();
    });
    m.defineGetter(rect, "right", [](Machine& mm, const Value& self, Args&) {
        return Value::number(field(mm, self, "x") + field(mm, self, "width"));
    });
    m.defineSetter(rect, "right", [](Machine& mm, const Value& self, Args& a) {
        setField(mm, self, "width", numberArg(mm, a, 0, 0) - field(mm, self, "x"));
        return Value();
    });
    m.defineGetter(rect, "bottom", [](Machine& mm, const Value& self, Args&) {
        return Value::number(field(mm, self, "y") + field(mm, self, "height"));
    });
    m.defineSetter(rect, "bottom", [](Machine& mm, const Value& self, Args& a) {
        setField(mm, self, "height", numberArg(mm, a, 0, 0) - field(mm, self, "y"));
        return Value();
    });
    m.defineGetter(rect, "topLeft", [](Machine& mm, const Value& self, Args&) {
        return makePoint(mm, field(mm, self, "x"), field(mm, self, "y"));
    });
    m.defineSetter(rect, "topLeft", [](Machine& mm, const Value& self, Args& a) {
        Value p = pointOf(mm, a, 0);
        const double x = field(mm, p, "x"), y = field(mm, p, "y");
        setField(mm, self, "width", field(mm, self, "width") + field(mm, self, "x") - x);
        setField(mm, self, "height", field(mm, self, "height") + field(mm, self, "y") - y);
        setField(mm, self, "x", x);
        setField(mm, self, "y", y);
        return Value();
    });
    m.defineGetter(rect, "bottomRight", [](Machine& mm, const Value& self, Args&) {
        const Box b = boxOf(mm, self);
        return makePoint(mm, b.x + b.width, b.y + b.height);
    });
    m.defineSetter(rect, "bottomRight", [](Machine& mm, const Value& self, Args& a) {
        Value p = pointOf(mm, a, 0);
        setField(mm, self, "width", field(mm, p, "x") - field(mm, self, "x"));
        setField(mm, self, "height", field(mm, p, "y") - field(mm, self, "y"));
        return Value();
    });
    m.defineGetter(rect, "size", [](Machine& mm, const Value& self, Args&) {
        return makePoint(mm, field(mm, self, "width"), field(mm, self, "height"));
    });
    m.defineSetter(rect, "size", [](Machine& mm, const Value& self, Args& a) {
        Value p = pointOf(mm, a, 0);
        setField(mm, self, "width", field(mm, p, "x"));
        setField(mm, self, "height", field(mm, p, "y"));
        return Value();
    });
}

void installRectangleMethods(Machine& m, Class* rect) {
    m.defineMethod(rect, "clone", [](Machine& mm, const Value& self, Args&) {
        return makeRectangle(mm, boxOf(mm, self));
    });
    m.defineMethod(rect, "copyFrom", [](Machine& mm, const Value& self, Args& a) {
        setBox(mm, self, rectangleArg(mm, a, 0));
        return Value();
    });
    m.defineMethod(rect, "setTo", [](Machine& mm, const Value& self, Args& a) {
        setBox(mm, self,
               {numberArg(mm, a, 0, 0), numberArg(mm, a, 1, 0), numberArg(mm, a, 2, 0),
                numberArg(mm, a, 3, 0)});
        return Value();
    });
    m.defineMethod(rect, "setEmpty", [](Machine& mm, const Value& self, Args&) {
        setBox(mm, self, {});
        return Value();
    });
    m.defineMethod(rect, "isEmpty", [](Machine& mm, const Value& self, Args&) {
        return Value::boolean(isEmpty(boxOf(mm, self)));
    });
    m.defineMethod(rect, "equals", [](Machine& mm, const Value& self, Args& a) {
        const Box p = boxOf(mm, self), q = rectangleArg(mm, a, 0);
        return Value::boolean(p.x == q.x && p.y == q.y && p.width == q.width &&
                              p.height == q.height);
    });
    m.defineMethod(rect, "contains", [](Machine& mm, const Value& self, Args& a) {
        return Value::boolean(
            containsPoint(boxOf(mm, self), numberArg(mm, a, 0, 0), numberArg(mm, a, 1, 0)));
    });
    m.defineMethod(rect, "containsPoint", [](Machine& mm, const Value& self, Args& a) {
        Value p = pointOf(mm, a, 0);
        return Value::boolean(containsPoint(boxOf(mm, self), field(mm, p, "x"), field(mm, p, "y")));
    });
    m.defineMethod(rect, "containsRect", [](Machine& mm, const Value& self, Args& a) {
        const Box b = boxOf(mm, self), r = rectangleArg(mm, a, 0);
        const double right = r.x + r.width, bottom = r.y + r.height;
        return Value::boolean(containsPoint(b, r.x, r.y) && right > b.x && right <= b.x + b.width &&
                              bottom > b.y && bottom <= b.y + b.height);
    });
    m.defineMethod(rect, "inflate", [](Machine& mm, const Value& self, Args& a) {
        const Box b = boxOf(mm, self);
        const double dx = numberArg(mm, a, 0, 0), dy = numberArg(mm, a, 1, 0);
        setBox(mm, self, {b.x - dx, b.y - dy, b.width + 2 * dx, b.height + 2 * dy});
        return Value();
    });
    m.defineMethod(rect, "inflatePoint", [](Machine& mm, const Value& self, Args& a) {
        Value p = pointOf(mm, a, 0);
        const Box b = boxOf(mm, self);
        const double dx = field(mm, p, "x"), dy = field(mm, p, "y");
        setBox(mm, self, {b.x - dx, b.y - dy, b.width + 2 * dx, b.height + 2 * dy});
        return Value();
    });
    m.defineMethod(rect, "offset", [](Machine& mm, const Value& self, Args& a) {
        setField(mm, self, "x", field(mm, self, "x") + numberArg(mm, a, 0, 0));
        setField(mm, self, "y", field(mm, self, "y") + numberArg(mm, a, 1, 0));
        return Value();
    });
    m.defineMethod(rect, "offsetPoint", [](Machine& mm, const Value& self, Args& a) {
        Value p = pointOf(mm, a, 0);
        setField(mm, self, "x", field(mm, self, "x") + field(mm, p, "x"));
        setField(mm, self, "y", field(mm, self, "y") + field(mm, p, "y"));
        return Value();
    });
    m.defineMethod(rect, "intersection", [](Machine& mm, const Value& self, Args& a) {
        return makeRectangle(mm, intersection(boxOf(mm, self), rectangleArg(mm, a, 0)));
    });
    m.defineMethod(rect, "intersects", [](Machine& mm, const Value& self, Args& a) {
        return Value::boolean(!isEmpty(intersection(boxOf(mm, self), rectangleArg(mm, a, 0))));
    });
    m.defineMethod(rect, "union", [](Machine& mm, const Value& self, Args& a) {
        return makeRectangle(mm, unionOf(boxOf(mm, self), rectangleArg(mm, a, 0)));
    });
    m.defineMethod(rect, "toString", [](Machine& mm, const Value& self, Args&) {
        return Value::string(
            fieldsText(mm, self, {{"x", "x"}, {"y", "y"}, {"w", "width"}, {"h", "height"}}));
    });
}

void installRectangle(Machine& m) {
    Class* rect = m.defineClass("flash.geom", "Rectangle", m.objectClass, rectangleInit);
    rect->init.nativeParams = 4; // every parameter has a default
    rect->sealed = true;
    for (const char* name : {"x", "y", "width", "height"}) {
        addNumberSlot(m, rect, name, 0);
    }
    installRectangleEdges(m, rect);
    installRectangleMethods(m, rect);
}

// --- Matrix --------------------------------------------------------------------------------

constexpr const char* kAffineNames[] = {"a", "b", "c", "d", "tx", "ty"};

void setAffine(Machine& m, const Value& self, const Affine& x) {
    for (std::size_t i = 0; i < x.size(); ++i) {
        setField(m, self, kAffineNames[i], x[i]);
    }
}

Value matrixInit(Machine& m, const Value& self, Args& a) {
    Affine x{};
    for (std::size_t i = 0; i < x.size(); ++i) {
        x[i] = numberArg(m, a, i, kIdentity[i]);
    }
    setAffine(m, self, x);
    return Value();
}

// The inverse by the determinant alone: a singular matrix divides by zero into Infinity and
// NaN, as the player's own Matrix does.
Affine inverse(const Affine& x) {
    const auto& [a, b, c, d, tx, ty] = x;
    const double det = a * d - c * b;
    return {
        d / det, b / -det, c / -det, a / det, (d * tx - c * ty) / -det, (b * tx - a * ty) / det};
}

// createBox is identity, rotate, scale and translate in turn: the rotation multiplies the zero
// translation too, so a rotation that is not finite leaves a NaN translation.
Affine box(double sx, double sy, double rotation, double tx, double ty) {
    const double cos = std::cos(rotation), sin = std::sin(rotation);
    return {cos * sx,
            sin * sy,
            -sin * sx,
            cos * sy,
            (cos * 0 - sin * 0) * sx + tx,
            (sin * 0 + cos * 0) * sy + ty};
}

// Applies `then` after the matrix's own transformation.
void compose(Machine& m, const Value& self, const Affine& then) {
    setAffine(m, self, multiply(affineOf(m, self), then));
}

void installMatrix(Machine& m) {
    Class* matrix = m.defineClass("flash.geom", "Matrix", m.objectClass, matrixInit);
    matrix->init.nativeParams = 6; // every parameter has a default
    matrix->sealed = true;
    for (std::size_t i = 0; i < kIdentity.size(); ++i) {
        addNumberSlot(m, matrix, kAffineNames[i], kIdentity[i]);
    }
    m.defineMethod(matrix, "clone", [](Machine& mm, const Value& self, Args&) {
        return makeMatrix(mm, affineOf(mm, self));
    });
    m.defineMethod(matrix, "copyFrom", [](Machine& mm, const Value& self, Args& a) {
        setAffine(mm, self,
                  affineOf(mm, Value::object(required(mm, argument(a, 0), "flash.geom::Matrix"))));
        return Value();
    });
    m.defineMethod(matrix, "setTo", [](Machine& mm, const Value& self, Args& a) {
        Affine x{};
        for (std::size_t i = 0; i < x.size(); ++i) {
            x[i] = numberArg(mm, a, i, 0);
        }
        setAffine(mm, self, x);
        return Value();
    });
    m.defineMethod(matrix, "identity", [](Machine& mm, const Value& self, Args&) {
        setAffine(mm, self, kIdentity);
        return Value();
    });
    m.defineMethod(matrix, "invert", [](Machine& mm, const Value& self, Args&) {
        setAffine(mm, self, inverse(affineOf(mm, self)));
        return Value();
    });
    m.defineMethod(matrix, "concat", [](Machine& mm, const Value& self, Args& a) {
        compose(mm, self,
                affineOf(mm, Value::object(required(mm, argument(a, 0), "flash.geom::Matrix"))));
        return Value();
    });
    m.defineMethod(matrix, "rotate", [](Machine& mm, const Value& self, Args& a) {
        compose(mm, self, box(1, 1, numberArg(mm, a, 0, 0), 0, 0));
        return Value();
    });
    m.defineMethod(matrix, "scale", [](Machine& mm, const Value& self, Args& a) {
        // Each column scales alone: a NaN in one never reaches the other.
        const double sx = numberArg(mm, a, 0, 0), sy = numberArg(mm, a, 1, 0);
        Affine x = affineOf(mm, self);
        for (std::size_t i = 0; i < x.size(); ++i) {
            x[i] *= i % 2 == 0 ? sx : sy;
        }
        setAffine(mm, self, x);
        return Value();
    });
    m.defineMethod(matrix, "translate", [](Machine& mm, const Value& self, Args& a) {
        setField(mm, self, "tx", field(mm, self, "tx") + numberArg(mm, a, 0, 0));
        setField(mm, self, "ty", field(mm, self, "ty") + numberArg(mm, a, 1, 0));
        return Value();
    });
    m.defineMethod(matrix, "createBox", [](Machine& mm, const Value& self, Args& a) {
        setAffine(mm, self,
                  box(numberArg(mm, a, 0, 0), numberArg(mm, a, 1, 0), numberArg(mm, a, 2, 0),
                      numberArg(mm, a, 3, 0), numberArg(mm, a, 4, 0)));
        return Value();
    });
    // A gradient's square is 1638.4 twips wide (-819.2 to 819.2) and centred on the box.
    m.defineMethod(matrix, "createGradientBox", [](Machine& mm, const Value& self, Args& a) {
        const double w = numberArg(mm, a, 0, 0), h = numberArg(mm, a, 1, 0);
        setAffine(mm, self,
                  box(w / 1638.4, h / 1638.4, numberArg(mm, a, 2, 0),
                      numberArg(mm, a, 3, 0) + w / 2, numberArg(mm, a, 4, 0) + h / 2));
        return Value();
    });
    m.defineMethod(matrix, "transformPoint", [](Machine& mm, const Value& self, Args& a) {
        Value p = pointOf(mm, a, 0);
        const Affine x = affineOf(mm, self);
        const double px = field(mm, p, "x"), py = field(mm, p, "y");
        return makePoint(mm, x[0] * px + x[2] * py + x[4], x[1] * px + x[3] * py + x[5]);
    });
    m.defineMethod(matrix, "deltaTransformPoint", [](Machine& mm, const Value& self, Args& a) {
        Value p = pointOf(mm, a, 0);
        const Affine x = affineOf(mm, self);
        const double px = field(mm, p, "x"), py = field(mm, p, "y");
        return makePoint(mm, x[0] * px + x[2] * py, x[1] * px + x[3] * py);
    });
    m.defineMethod(matrix, "toString", [](Machine& mm, const Value& self, Args&) {
        return Value::string(fieldsText(
            mm, self,
            {{"a", "a"}, {"b", "b"}, {"c", "c"}, {"d", "d"}, {"tx", "tx"}, {"ty", "ty"}}));
    });
}

// --- ColorTransform ------------------------------------------------------------------------

constexpr const char* kChannelNames[] = {"redMultiplier",   "greenMultiplier", "blueMultiplier",
                                         "alphaMultiplier", "redOffset",       "greenOffset",
                                         "blueOffset",      "alphaOffset"};

void setChannels(Machine& m, const Value& self, const Channels& c) {
    for (std::size_t i = 0; i < c.size(); ++i) {
        setField(m, self, kChannelNames[i], c[i]);
    }
}

Value colorTransformInit(Machine& m, const Value& self, Args& a) {
    Channels c{};
    for (std::size_t i = 0; i < c.size(); ++i) {
        c[i] = numberArg(m, a, i, kNoChange[i]);
    }
    setChannels(m, self, c);
    return Value();
}

void installColorTransform(Machine& m) {
    Class* ct = m.defineClass("flash.geom", "ColorTransform", m.objectClass, colorTransformInit);
    ct->init.nativeParams = 8; // every parameter has a default
    ct->sealed = true;
    for (std::size_t i = 0; i < kNoChange.size(); ++i) {
        addNumberSlot(m, ct, kChannelNames[i], kNoChange[i]);
    }
    // The colour is the three offsets; setting it drops the multipliers, so that the
    // object shows that one colour.
    m.defineGetter(ct, "color", [](Machine& mm, const Value& self, Args&) {
        // Each offset is shifted whole, not masked to a byte: an offset out of 0-255 spills into
        // the channels above it.
        const std::uint32_t rgb = (toUint32(field(mm, self, "redOffset")) << 16) |
                                  (toUint32(field(mm, self, "greenOffset")) << 8) |
                                  toUint32(field(mm, self, "blueOffset"));
        return Value::unsignedInt(rgb);
    });
    m.defineSetter(ct, "color", [](Machine& mm, const Value& self, Args& a) {
        const std::uint32_t rgb = toUint32(numberArg(mm, a, 0, 0));
        for (int i = 0; i < 3; ++i) {
            setField(mm, self, kChannelNames[i], 0);
            setField(mm, self, kChannelNames[4 + i], (rgb >> (16 - 8 * i)) & 0xFF);
        }
        return Value();
    });
    // The second transform applies first: offsets scale by this one's multipliers.
    m.defineMethod(ct, "concat", [](Machine& mm, const Value& self, Args& a) {
        const Channels second = channelsOf(
            mm, Value::object(required(mm, argument(a, 0), "flash.geom::ColorTransform")));
        Channels c = channelsOf(mm, self);
        for (std::size_t i = 0; i < 4; ++i) {
            c[4 + i] += c[i] * second[4 + i];
            c[i] *= second[i];
        }
        setChannels(mm, self, c);
        return Value();
    });
    m.defineMethod(ct, "toString", [](Machine& mm, const Value& self, Args&) {
        return Value::string(fieldsText(mm, self,
                                        {{"redMultiplier", "redMultiplier"},
                                         {"greenMultiplier", "greenMultiplier"},
                                         {"blueMultiplier", "blueMultiplier"},
                                         {"alphaMultiplier", "alphaMultiplier"},
                                         {"redOffset", "redOffset"},
                                         {"greenOffset", "greenOffset"},
                                         {"blueOffset", "blueOffset"},
                                         {"alphaOffset", "alphaOffset"}}));
    });
}

} // namespace

void installGeom(Machine& m) {
    installPoint(m);
    installRectangle(m);
    installMatrix(m);
    installColorTransform(m);
    installVector3D(m);
}

} // namespace avm2
