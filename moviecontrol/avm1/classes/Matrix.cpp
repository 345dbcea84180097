// flash.geom.Matrix: affine matrices (x' = a*x + c*y + tx, y' = b*x + d*y + ty), kept as
// ordinary properties as scripts see them.

#include "avm1/Convert.h"
#include "avm1/FieldClasses.h"
#include "avm1/GeomValues.h"
#include "avm1/Packages.h"
#include "avm1/State.h"

#include <array>
#include <cmath>
#include <functional>

namespace avm1 {

namespace {

constexpr std::array<const char*, 6> MatrixFields = {"a", "b", "c", "d", "tx", "ty"};

using Affine = std::array<double, 6>;

Object* geomPrototype(Machine& m, std::string_view name) {
    Object* ctor = m.get(packageObject(m, "flash.geom"), name).asObject();
    Object* proto = ctor ? m.get(ctor, "prototype").asObject() : nullptr;
    return proto ? proto : m.objectPrototype();
}

Affine readMatrix(Machine& m, const Value& v) {
    Affine out{};
    Object* o = v.asObject();
    for (std::size_t i = 0; i < 6; ++i) {
        out[i] = o ? m.toNumber(m.get(o, MatrixFields[i])) : std::nan("");
    }
    return out;
}

void writeMatrix(Machine& m, Object* o, const Affine& x) {
    for (std::size_t i = 0; i < 6; ++i) {
        m.set(o, MatrixFields[i], Value(x[i]));
    }
}

// `first` followed by `then`.
Affine multiply(const Affine& first, const Affine& then) {
    const auto& [a, b, c, d, tx, ty] = first;
    const auto& [a2, b2, c2, d2, tx2, ty2] = then;
    return {a * a2 + b * c2, a * b2 + b * d2,         c * a2 + d * c2,
            c * b2 + d * d2, tx * a2 + ty * c2 + tx2, tx * b2 + ty * d2 + ty2};
}

void modify(CallArgs& c, const std::function<Affine(const Affine&)>& change) {
    if (Object* self = c.thisObject()) {
        writeMatrix(c.machine, self, change(readMatrix(c.machine, c.thisValue)));
    }
}

// Whether `this` is a Matrix: rotate, scale and createGradientBox change nothing else
// (createBox only its offsets), where the other methods work on any object's fields.
bool isMatrix(CallArgs& c) {
    Object* proto = geomPrototype(c.machine, "Matrix");
    Object* o = c.thisObject();
    for (int depth = 0; o && depth < 256; ++depth) {
        o = o->proto();
        if (o == proto) {
            return true;
        }
    }
    return false;
}

} // namespace

void installMatrix(Machine& m) {
    FunctionObject* ctor = fieldClass<6>(m, MatrixFields, {1, 0, 0, 1, 0, 0});
    Object* proto = constructorPrototype(m, ctor);
    m.defineMethod(proto, "toString", [](CallArgs& c) -> Value {
        return Value(Str(fieldsText(c.machine, c.thisObject(), MatrixFields.data(), 6)));
    });
    m.defineMethod(proto, "clone", [](CallArgs& c) -> Value {
        Object* copy = c.machine.make<Object>(geomPrototype(c.machine, "Matrix"));
        for (const char* f : MatrixFields) {
            c.machine.set(copy, f, c.thisObject() ? c.machine.get(c.thisObject(), f) : Value());
        }
        return Value(copy);
    });
    m.defineMethod(proto, "identity", [](CallArgs& c) -> Value {
        modify(c, [](const Affine&) { return Affine{1, 0, 0, 1, 0, 0}; });
        return {};
    });
    m.defineMethod(proto, "concat", [](CallArgs& c) -> Value {
        Affine then = readMatrix(c.machine, c.arg(0));
        modify(c, [&](const Affine& x) { return multiply(x, then); });
        return {};
    });
    m.defineMethod(proto, "invert", [](CallArgs& c) -> Value {
        // Flash takes the offsets from the matrix it keeps behind a Matrix; an object that
        // is no Matrix has none, so its offsets become undefined as a number (0 up to
        // version 6, NaN from 7) while its fields a to d still invert.
        const bool matrix = isMatrix(c);
        const double noOffset = c.machine.toNumber(Value());
        modify(c, [matrix, noOffset](const Affine& x) {
            const auto& [a, b, cc, d, tx, ty] = x;
            double det = a * d - b * cc;
            if (det == 0) {
                return Affine{1, 0, 0, 1, 0, 0}; // no inverse: the identity
            }
            Affine inv{d / det, -b / det, -cc / det, a / det, 0, 0};
            inv[4] = matrix ? -(inv[0] * tx + inv[2] * ty) : noOffset;
            inv[5] = matrix ? -(inv[1] * tx + inv[3] * ty) : noOffset;
            return inv;
        });
        return {};
    });
    m.defineMethod(proto, "rotate", [](CallArgs& c) -> Value {
        if (!isMatrix(c)) {
            return {};
        }
        double q = c.machine.toNumber(c.arg(0));
        Affine r{std::cos(q), std::sin(q), -std::sin(q), std::cos(q), 0, 0};
        modify(c, [&](const Affine& x) { return multiply(x, r); });
        return {};
    });
    m.defineMethod(proto, "scale", [](CallArgs& c) -> Value {
        if (!isMatrix(c)) {
            return {};
        }
        Affine s{c.machine.toNumber(c.arg(0)), 0, 0, c.machine.toNumber(c.arg(1)), 0, 0};
        modify(c, [&](const Affine& x) { return multiply(x, s); });
        return {};
    });
    m.defineMethod(proto, "translate", [](CallArgs& c) -> Value {
        Affine t{1, 0, 0, 1, c.machine.toNumber(c.arg(0)), c.machine.toNumber(c.arg(1))};
        modify(c, [&](const Affine& x) { return multiply(x, t); });
        return {};
    });
    // createBox(scaleX, scaleY, rotation, tx, ty) and createGradientBox(width, height,
    // rotation, tx, ty), whose unit square is the 1638.4-pixel gradient square. The offsets
    // are kept as given (a gradient box adds half its size with the script's `+`).
    auto box = [](CallArgs& c, bool gradient) {
        Machine& m = c.machine;
        Object* self = c.thisObject();
        const bool matrix = isMatrix(c);
        if (!self || (gradient && !matrix)) {
            return Value();
        }
        double sx = m.toNumber(c.arg(0)), sy = m.toNumber(c.arg(1));
        // createBox reads a missing rotation as undefined (0 up to version 6, NaN from 7);
        // a gradient box takes the documented 0. A rotation of zero scales alone, so b and
        // c stay 0 even for scales that are NaN.
        double q = gradient && c.count() <= 2 ? 0.0 : m.toNumber(c.arg(2));
        Value tx = c.count() > 3 ? c.arg(3) : Value(0);
        Value ty = c.count() > 4 ? c.arg(4) : Value(0);
        if (gradient) {
            tx = geom::plus(m, tx, Value(sx / 2));
            ty = geom::plus(m, ty, Value(sy / 2));
            sx /= 1638.4;
            sy /= 1638.4;
        }
        // On an object that is no Matrix, createBox sets the offsets alone.
        if (matrix) {
            const bool turned = q != 0;
            const double cos = std::cos(q);
            const double scaled[] = {cos * sx, turned ? std::sin(q) * sy : 0.0,
                                     turned ? -std::sin(q) * sx : 0.0, cos * sy};
            for (std::size_t i = 0; i < 4; ++i) {
                m.set(self, MatrixFields[i], Value(scaled[i]));
            }
        }
        m.set(self, "tx", tx);
        m.set(self, "ty", ty);
        return Value();
    };
    m.defineMethod(proto, "createBox", [box](CallArgs& c) { return box(c, false); });
    m.defineMethod(proto, "createGradientBox", [box](CallArgs& c) { return box(c, true); });
    auto apply = [](CallArgs& c, bool move) {
        Machine& m = c.machine;
        Affine x = readMatrix(m, c.thisValue);
        Object* p = c.arg(0).asObject();
        double px = p ? m.toNumber(m.get(p, "x")) : std::nan("");
        double py = p ? m.toNumber(m.get(p, "y")) : std::nan("");
        return Value(newGeomPoint(m, x[0] * px + x[2] * py + (move ? x[4] : 0),
                                  x[1] * px + x[3] * py + (move ? x[5] : 0)));
    };
    m.defineMethod(proto, "transformPoint", [apply](CallArgs& c) { return apply(c, true); });
    m.defineMethod(proto, "deltaTransformPoint", [apply](CallArgs& c) { return apply(c, false); });
    definePackaged(m, "flash.geom", "Matrix", ctor);
}

} // namespace avm1
