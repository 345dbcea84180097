// flash.geom.Vector3D: four public Number variables. Almost every method works on x, y and z
// only; w is carried along untouched unless a method says otherwise (clone, project, the
// cross product's fixed 1, and nearEquals, which in Flash writes the other vector's w into
// this one when asked to compare all four, a quirk scripts can observe).
#include "avm2/GeomValues.h"
#include "avm2/PublicSlots.h"

#include <array>
#include <cmath>

namespace avm2 {

void installVector3D(Machine& m);

namespace {

using namespace geom;

constexpr const char* kClass = "flash.geom::Vector3D";
constexpr std::array<const char*, 4> kAxes{"x", "y", "z", "w"};

using Four = std::array<double, 4>;

Four read(Machine& m, const Value& v) {
    Four out{};
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = field(m, v, kAxes[i]);
    }
    return out;
}

// Writes the first `count` components.
void write(Machine& m, const Value& v, const Four& f, std::size_t count = 3) {
    for (std::size_t i = 0; i < count && i < f.size(); ++i) {
        setField(m, v, kAxes[i], f[i]);
    }
}

Value make(Machine& m, const Four& f) {
    Class* cls = m.findClass(kClass);
    if (cls == nullptr) {
        return Value();
    }
    Args args{Value::number(f[0]), Value::number(f[1]), Value::number(f[2]), Value::number(f[3])};
    return m.construct(Value::object(cls->classObject), args);
}

Four other(Machine& m, const Args& a, std::size_t i) {
    return read(m, Value::object(required(m, argument(a, i), kClass)));
}

double dot(const Four& p, const Four& q) {
    return p[0] * q[0] + p[1] * q[1] + p[2] * q[2];
}

double lengthOf(const Four& p) {
    return std::sqrt(dot(p, p));
}

double plus(double p, double q) {
    return p + q;
}

double minus(double p, double q) {
    return p - q;
}

// Applies `Op` to x, y and z of this vector and the argument, writing back into this one.
template <double (*Op)(double, double)>
Value componentwise(Machine& m, const Value& self, Args& a) {
    Four p = read(m, self);
    const Four q = other(m, a, 0);
    for (std::size_t i = 0; i < 3; ++i) {
        p[i] = Op(p[i], q[i]);
    }
    write(m, self, p);
    return Value();
}

// A new vector from x, y and z of this vector and the argument; its w is 0.
template <double (*Op)(double, double)> Value combined(Machine& m, const Value& self, Args& a) {
    const Four p = read(m, self), q = other(m, a, 0);
    return make(m, {Op(p[0], q[0]), Op(p[1], q[1]), Op(p[2], q[2]), 0});
}

Value construct(Machine& m, const Value& self, Args& a) {
    for (std::size_t i = 0; i < kAxes.size(); ++i) {
        setField(m, self, kAxes[i], numberArg(m, a, i, 0));
    }
    return Value();
}

void installArithmetic(Machine& m, Class* v) {
    m.defineMethod(v, "add", combined<plus>);
    m.defineMethod(v, "subtract", combined<minus>);
    m.defineMethod(v, "incrementBy", componentwise<plus>);
    m.defineMethod(v, "decrementBy", componentwise<minus>);
    m.defineMethod(v, "scaleBy", [](Machine& mm, const Value& self, Args& a) {
        Four p = read(mm, self);
        const double s = numberArg(mm, a, 0, 0);
        for (std::size_t i = 0; i < 3; ++i) {
            p[i] *= s;
        }
        write(mm, self, p);
        return Value();
    });
    m.defineMethod(v, "negate", [](Machine& mm, const Value& self, Args&) {
        Four p = read(mm, self);
        for (std::size_t i = 0; i < 3; ++i) {
            p[i] = -p[i];
        }
        write(mm, self, p);
        return Value();
    });
    // Returns the length it had; a zero vector stays zero rather than turning into NaN.
    m.defineMethod(v, "normalize", [](Machine& mm, const Value& self, Args&) {
        Four p = read(mm, self);
        const double length = lengthOf(p);
        const double inverse = length != 0 ? 1 / length : 0;
        for (std::size_t i = 0; i < 3; ++i) {
            p[i] *= inverse;
        }
        write(mm, self, p);
        return Value::number(length);
    });
    m.defineMethod(v, "project", [](Machine& mm, const Value& self, Args&) {
        Four p = read(mm, self);
        for (std::size_t i = 0; i < 3; ++i) {
            p[i] /= p[3];
        }
        write(mm, self, p);
        return Value();
    });
    m.defineMethod(v, "dotProduct", [](Machine& mm, const Value& self, Args& a) {
        return Value::number(dot(read(mm, self), other(mm, a, 0)));
    });
    m.defineMethod(v, "crossProduct", [](Machine& mm, const Value& self, Args& a) {
        const Four p = read(mm, self), q = other(mm, a, 0);
        return make(mm, {p[1] * q[2] - p[2] * q[1], p[2] * q[0] - p[0] * q[2],
                         p[0] * q[1] - p[1] * q[0], 1});
    });
}

void installComparisons(Machine& m, Class* v) {
    m.defineMethod(v, "equals", [](Machine& mm, const Value& self, Args& a) {
        const Four p = read(mm, self), q = other(mm, a, 0);
        const bool allFour = a.size() > 1 && mm.toBoolean(a[1]);
        bool same = p[0] == q[0] && p[1] == q[1] && p[2] == q[2];
        return Value::boolean(same && (!allFour || p[3] == q[3]));
    });
    // Each difference must be strictly below the tolerance. For w Flash measures the other
    // vector's w itself, not the difference, and stores it into this vector's w.
    m.defineMethod(v, "nearEquals", [](Machine& mm, const Value& self, Args& a) {
        const Four p = read(mm, self), q = other(mm, a, 0);
        const double tolerance = numberArg(mm, a, 1, 0);
        const bool allFour = a.size() > 2 && mm.toBoolean(a[2]);
        for (std::size_t i = 0; i < 3; ++i) {
            if (!(std::fabs(p[i] - q[i]) < tolerance)) {
                return Value::boolean(false);
            }
        }
        if (!allFour) {
            return Value::boolean(true);
        }
        setField(mm, self, "w", q[3]);
        return Value::boolean(std::fabs(q[3]) < tolerance);
    });
}

void installStatics(Machine& m, Class* v) {
    m.defineMethod(
        v, "distance",
        [](Machine& mm, const Value&, Args& a) {
            const Four p = other(mm, a, 0), q = other(mm, a, 1);
            return Value::number(lengthOf({p[0] - q[0], p[1] - q[1], p[2] - q[2], 0}));
        },
        true);
    m.defineMethod(
        v, "angleBetween",
        [](Machine& mm, const Value&, Args& a) {
            const Four p = other(mm, a, 0), q = other(mm, a, 1);
            return Value::number(std::acos(dot(p, q) / (lengthOf(p) * lengthOf(q))));
        },
        true);
    m.defineStaticConst(v, "X_AXIS", make(m, {1, 0, 0, 0}));
    m.defineStaticConst(v, "Y_AXIS", make(m, {0, 1, 0, 0}));
    m.defineStaticConst(v, "Z_AXIS", make(m, {0, 0, 1, 0}));
}

} // namespace

void installVector3D(Machine& m) {
    Class* v = m.defineClass("flash.geom", "Vector3D", m.objectClass, construct);
    v->sealed = true;
    for (const char* axis : kAxes) {
        addPublicSlot(v, axis, m.numberClass, Value::number(0));
    }
    m.defineGetter(v, "length", [](Machine& mm, const Value& self, Args&) {
        return Value::number(lengthOf(read(mm, self)));
    });
    m.defineGetter(v, "lengthSquared", [](Machine& mm, const Value& self, Args&) {
        const Four p = read(mm, self);
        return Value::number(dot(p, p));
    });
    m.defineMethod(v, "clone",
                   [](Machine& mm, const Value& self, Args&) { return make(mm, read(mm, self)); });
    m.defineMethod(v, "copyFrom", [](Machine& mm, const Value& self, Args& a) {
        write(mm, self, other(mm, a, 0));
        return Value();
    });
    m.defineMethod(v, "setTo", [](Machine& mm, const Value& self, Args& a) {
        write(mm, self,
              {numberArg(mm, a, 0, 0), numberArg(mm, a, 1, 0), numberArg(mm, a, 2, 0), 0});
        return Value();
    });
    m.defineMethod(v, "toString", [](Machine& mm, const Value& self, Args&) {
        const Four p = read(mm, self);
        std::string out = "Vector3D(";
        for (std::size_t i = 0; i < 3; ++i) {
            out += (i > 0 ? ", " : "") + mm.toString(Value::number(p[i]));
        }
        return Value::string(out + ")");
    });
    installArithmetic(m, v);
    installComparisons(m, v);
    installStatics(m, v);
}

} // namespace avm2
