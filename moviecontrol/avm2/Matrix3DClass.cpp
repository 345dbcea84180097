// flash.geom.Matrix3D: sixteen numbers kept column by column as rawData lists them, so that
// a point transforms as column vector (x, y, z, 1) multiplied from the left. append puts a
// matrix after this one (lhs * this), prepend before it (this * rhs).
#include "avm2/GeomValues.h"
#include "avm2/Machine.h"

#include <array>
#include <cmath>
#include <memory>
#include <numbers>

namespace avm2 {

void installMatrix3D(Machine& m);

namespace {

using Raw = std::array<double, 16>;

constexpr Raw kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

Raw& rawOf(Machine& m, const Value& self) {
    if (!self.isObject()) {
        m.throwError("TypeError", 1009,
                     "Cannot access a property or method of a null object reference.");
    }
    Object* o = self.asObject();
    if (!o->nativeData) {
        o->nativeData = std::make_shared<Raw>(kIdentity);
    }
    return *static_cast<Raw*>(o->nativeData.get());
}

// (a * b), both column by column.
Raw multiply(const Raw& a, const Raw& b) {
    Raw out{};
    for (std::size_t c = 0; c < 4; ++c) {
        for (std::size_t r = 0; r < 4; ++r) {
            double sum = 0;
            for (std::size_t k = 0; k < 4; ++k) {
                sum += a[k * 4 + r] * b[c * 4 + k];
            }
            out[c * 4 + r] = sum;
        }
    }
    return out;
}

Raw otherMatrix(Machine& m, const Args& a, std::size_t i) {
    const Value v = geom::argument(a, i);
    geom::required(m, v, "flash.geom::Matrix3D");
    return rawOf(m, v);
}

std::array<double, 3> vectorOf(Machine& m, const Value& v) {
    return {geom::field(m, v, "x"), geom::field(m, v, "y"), geom::field(m, v, "z")};
}

Value makeVector3D(Machine& m, double x, double y, double z, double w) {
    Args args{Value::number(x), Value::number(y), Value::number(z), Value::number(w)};
    return m.construct(Value::object(m.findClass("flash.geom::Vector3D")->classObject), args);
}

Raw translation(double x, double y, double z) {
    Raw t = kIdentity;
    t[12] = x;
    t[13] = y;
    t[14] = z;
    return t;
}

Raw scaling(double x, double y, double z) {
    Raw s = kIdentity;
    s[0] = x;
    s[5] = y;
    s[10] = z;
    return s;
}

// A rotation by `degrees` about `axis` through `pivot`.
Raw rotation(Machine& m, const Args& a) {
    const double radians = geom::numberArg(m, a, 0, 0) * std::numbers::pi / 180.0;
    const Value axisValue = geom::argument(a, 1);
    geom::required(m, axisValue, "flash.geom::Vector3D");
    auto [x, y, z] = vectorOf(m, axisValue);
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length > 0) {
        x /= length;
        y /= length;
        z /= length;
    }
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const double t = 1 - c;
    const Raw r = {t * x * x + c,
                   t * x * y + s * z,
                   t * x * z - s * y,
                   0,
                   t * x * y - s * z,
                   t * y * y + c,
                   t * y * z + s * x,
                   0,
                   t * x * z + s * y,
                   t * y * z - s * x,
                   t * z * z + c,
                   0,
                   0,
                   0,
                   0,
                   1};
    const Value pivot = geom::argument(a, 2);
    if (!pivot.isObject()) {
        return r;
    }
    const auto [px, py, pz] = vectorOf(m, pivot);
    return multiply(translation(px, py, pz), multiply(r, translation(-px, -py, -pz)));
}

template <bool Append> void combine(Machine& m, const Value& self, const Raw& other) {
    Raw& raw = rawOf(m, self);
    raw = Append ? multiply(other, raw) : multiply(raw, other);
}

Value construct(Machine& m, const Value& self, Args& a) {
    Raw& raw = rawOf(m, self);
    const Value v = geom::argument(a, 0);
    if (v.isObject()) {
        const std::vector<Value> elements = v.asObject()->elements;
        for (std::size_t i = 0; i < 16 && i < elements.size(); ++i) {
            raw[i] = m.toNumber(elements[i]);
        }
    }
    return Value();
}

Value numberVector(Machine& m, const Raw& raw) {
    Args type{Value::object(m.numberClass->classObject)};
    const Value cls = m.applyType(Value::object(m.vectorClass->classObject), type);
    Args none;
    Value vector = m.construct(cls, none);
    std::vector<Value> elements;
    for (double d : raw) {
        elements.push_back(Value::number(d));
    }
    m.resizeElements(vector.asObject(), 16, Value::number(0));
    vector.asObject()->elements = std::move(elements);
    return vector;
}

double determinant(const Raw& r) {
    // Laplace expansion along the first column of the 4x4 (rows r, columns c: r + 4c).
    const auto at = [&r](int row, int col) { return r[static_cast<std::size_t>(col * 4 + row)]; };
    double det = 0;
    for (int i = 0; i < 4; ++i) {
        std::array<int, 3> rows{};
        int k = 0;
        for (int j = 0; j < 4; ++j) {
            if (j != i) {
                rows[static_cast<std::size_t>(k++)] = j;
            }
        }
        const double minor =
            at(rows[0], 1) * (at(rows[1], 2) * at(rows[2], 3) - at(rows[2], 2) * at(rows[1], 3)) -
            at(rows[1], 1) * (at(rows[0], 2) * at(rows[2], 3) - at(rows[2], 2) * at(rows[0], 3)) +
            at(rows[2], 1) * (at(rows[0], 2) * at(rows[1], 3) - at(rows[1], 2) * at(rows[0], 3));
        det += ((i % 2 == 0) ? 1 : -1) * at(i, 0) * minor;
    }
    return det;
}

// Gauss-Jordan elimination with partial pivoting; false (and no change) when singular.
bool invert(Raw& raw) {
    std::array<std::array<double, 8>, 4> a{};
    for (std::size_t r = 0; r < 4; ++r) {
        for (std::size_t c = 0; c < 4; ++c) {
            a[r][c] = raw[c * 4 + r];
            a[r][c + 4] = r == c ? 1 : 0;
        }
    }
    for (std::size_t c = 0; c < 4; ++c) {
        std::size_t pivot = c;
        for (std::size_t r = c + 1; r < 4; ++r) {
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) {
                pivot = r;
            }
        }
        if (!(std::fabs(a[pivot][c]) > 1e-12)) {
            return false;
        }
        std::swap(a[c], a[pivot]);
        const double d = a[c][c];
        for (double& v : a[c]) {
            v /= d;
        }
        for (std::size_t r = 0; r < 4; ++r) {
            if (r != c) {
                const double f = a[r][c];
                for (std::size_t k = 0; k < 8; ++k) {
                    a[r][k] -= f * a[c][k];
                }
            }
        }
    }
    for (std::size_t r = 0; r < 4; ++r) {
        for (std::size_t c = 0; c < 4; ++c) {
            raw[c * 4 + r] = a[r][c + 4];
        }
    }
    return true;
}

template <bool Delta> Value transformVector(Machine& m, const Value& self, Args& a) {
    const Raw& r = rawOf(m, self);
    const Value v = geom::argument(a, 0);
    geom::required(m, v, "flash.geom::Vector3D");
    const auto [x, y, z] = vectorOf(m, v);
    const double w = Delta ? 0 : 1;
    return makeVector3D(m, r[0] * x + r[4] * y + r[8] * z + r[12] * w,
                        r[1] * x + r[5] * y + r[9] * z + r[13] * w,
                        r[2] * x + r[6] * y + r[10] * z + r[14] * w,
                        Delta ? 0 : r[3] * x + r[7] * y + r[11] * z + r[15]);
}

// copyRawDataFrom / copyRawDataTo: sixteen numbers at `index` of a Vector.<Number>.
template <bool From> Value copyRawData(Machine& m, const Value& self, Args& a) {
    Raw& raw = rawOf(m, self);
    const Value v = geom::argument(a, 0);
    Object* vector = geom::required(m, v, "Object");
    const double index = geom::numberArg(m, a, 1, 0);
    const bool transposed = a.size() > 2 && Machine::toBoolean(a[2]);
    if (!(index >= 0) || index > 1e9) {
        m.throwError("RangeError", 1125, "The index 0 is out of range 0.");
    }
    const auto start = static_cast<std::size_t>(index);
    const auto element = [transposed](std::size_t i) {
        return transposed ? (i % 4) * 4 + i / 4 : i;
    };
    if (From) {
        const std::vector<Value> elements = vector->elements;
        if (start + 16 > elements.size()) {
            m.throwError("RangeError", 1125,
                         "The index " + std::to_string(elements.size()) + " is out of range " +
                             std::to_string(elements.size()) + ".");
        }
        for (std::size_t i = 0; i < 16; ++i) {
            raw[element(i)] = m.toNumber(elements[start + i]);
        }
    } else {
        if (vector->elements.size() < start + 16) {
            m.resizeElements(vector, start + 16, Value::number(0));
        }
        for (std::size_t i = 0; i < 16; ++i) {
            vector->elements[start + i] = Value::number(raw[element(i)]);
        }
    }
    return Value();
}

void installTransforms(Machine& m, Class* c) {
    m.defineMethod(c, "append", [](Machine& mm, const Value& self, Args& a) {
        combine<true>(mm, self, otherMatrix(mm, a, 0));
        return Value();
    });
    m.defineMethod(c, "prepend", [](Machine& mm, const Value& self, Args& a) {
        combine<false>(mm, self, otherMatrix(mm, a, 0));
        return Value();
    });
    m.defineMethod(c, "appendTranslation", [](Machine& mm, const Value& self, Args& a) {
        combine<true>(mm, self,
                      translation(geom::numberArg(mm, a, 0, 0), geom::numberArg(mm, a, 1, 0),
                                  geom::numberArg(mm, a, 2, 0)));
        return Value();
    });
    m.defineMethod(c, "prependTranslation", [](Machine& mm, const Value& self, Args& a) {
        combine<false>(mm, self,
                       translation(geom::numberArg(mm, a, 0, 0), geom::numberArg(mm, a, 1, 0),
                                   geom::numberArg(mm, a, 2, 0)));
        return Value();
    });
    m.defineMethod(c, "appendScale", [](Machine& mm, const Value& self, Args& a) {
        combine<true>(mm, self,
                      scaling(geom::numberArg(mm, a, 0, 1), geom::numberArg(mm, a, 1, 1),
                              geom::numberArg(mm, a, 2, 1)));
        return Value();
    });
    m.defineMethod(c, "prependScale", [](Machine& mm, const Value& self, Args& a) {
        combine<false>(mm, self,
                       scaling(geom::numberArg(mm, a, 0, 1), geom::numberArg(mm, a, 1, 1),
                               geom::numberArg(mm, a, 2, 1)));
        return Value();
    });
    m.defineMethod(c, "appendRotation", [](Machine& mm, const Value& self, Args& a) {
        combine<true>(mm, self, rotation(mm, a));
        return Value();
    });
    m.defineMethod(c, "prependRotation", [](Machine& mm, const Value& self, Args& a) {
        combine<false>(mm, self, rotation(mm, a));
        return Value();
    });
    m.defineMethod(c, "transformVector", transformVector<false>);
    m.defineMethod(c, "deltaTransformVector", transformVector<true>);
}

} // namespace

void installMatrix3D(Machine& m) {
    Class* c = m.defineClass("flash.geom", "Matrix3D", m.objectClass, construct);
    m.defineGetter(c, "rawData", [](Machine& mm, const Value& self, Args&) {
        return numberVector(mm, rawOf(mm, self));
    });
    m.defineSetter(c, "rawData", [](Machine& mm, const Value& self, Args& a) {
        construct(mm, self, a);
        return Value();
    });
    m.defineMethod(c, "identity", [](Machine& mm, const Value& self, Args&) {
        rawOf(mm, self) = kIdentity;
        return Value();
    });
    m.defineMethod(c, "clone", [](Machine& mm, const Value& self, Args&) {
        Args args{numberVector(mm, rawOf(mm, self))};
        return mm.construct(Value::object(mm.findClass("flash.geom::Matrix3D")->classObject), args);
    });
    m.defineMethod(c, "copyFrom", [](Machine& mm, const Value& self, Args& a) {
        rawOf(mm, self) = otherMatrix(mm, a, 0);
        return Value();
    });
    m.defineMethod(c, "copyToMatrix3D", [](Machine& mm, const Value& self, Args& a) {
        const Value target = geom::argument(a, 0);
        geom::required(mm, target, "flash.geom::Matrix3D");
        rawOf(mm, target) = rawOf(mm, self);
        return Value();
    });
    m.defineMethod(c, "copyRawDataFrom", copyRawData<true>);
    m.defineMethod(c, "copyRawDataTo", copyRawData<false>);
    m.defineMethod(c, "transpose", [](Machine& mm, const Value& self, Args&) {
        Raw& raw = rawOf(mm, self);
        const Raw was = raw;
        for (std::size_t r = 0; r < 4; ++r) {
            for (std::size_t k = 0; k < 4; ++k) {
                raw[k * 4 + r] = was[r * 4 + k];
            }
        }
        return Value();
    });
    m.defineMethod(c, "invert", [](Machine& mm, const Value& self, Args&) {
        return Value::boolean(invert(rawOf(mm, self)));
    });
    m.defineGetter(c, "determinant", [](Machine& mm, const Value& self, Args&) {
        return Value::number(determinant(rawOf(mm, self)));
    });
    m.defineGetter(c, "position", [](Machine& mm, const Value& self, Args&) {
        const Raw& r = rawOf(mm, self);
        return makeVector3D(mm, r[12], r[13], r[14], 0);
    });
    m.defineSetter(c, "position", [](Machine& mm, const Value& self, Args& a) {
        const Value v = geom::argument(a, 0);
        geom::required(mm, v, "flash.geom::Vector3D");
        const auto [x, y, z] = vectorOf(mm, v);
        Raw& r = rawOf(mm, self);
        r[12] = x;
        r[13] = y;
        r[14] = z;
        return Value();
    });
    installTransforms(m, c);
}

} // namespace avm2
