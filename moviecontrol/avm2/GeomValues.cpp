// Reading and making flash.geom values for the classes that take or hand them out.
#include "avm2/GeomValues.h"

namespace avm2::geom {

namespace {

constexpr const char* kAffineFields[] = {"a", "b", "c", "d", "tx", "ty"};
constexpr const char* kChannelFields[] = {"redMultiplier",   "greenMultiplier", "blueMultiplier",
                                          "alphaMultiplier", "redOffset",       "greenOffset",
                                          "blueOffset",      "alphaOffset"};

Value construct(Machine& m, const char* qualifiedClass, Args args) {
    Class* cls = m.findClass(qualifiedClass);
    if (cls == nullptr) {
        m.throwError("ReferenceError", 1065,
                     std::string("Variable ") + qualifiedClass + " is not defined.");
    }
    return m.construct(Value::object(cls->classObject), args);
}

} // namespace

Value argument(const Args& a, std::size_t i) {
    return i < a.size() ? a[i] : Value();
}

double numberArg(Machine& m, const Args& a, std::size_t i, double fallback) {
    return i < a.size() ? m.toNumber(a[i]) : fallback;
}

Object* required(Machine& m, const Value& v, const char* qualifiedClass) {
    if (Class* cls = m.findClass(qualifiedClass)) {
        m.coerce(v, cls);
    }
    if (!v.isObject()) {
        m.throwError("TypeError", 1009,
                     "Cannot access a property or method of a null object reference.");
    }
    return v.asObject();
}

double field(Machine& m, const Value& object, const char* name) {
    if (!object.isObject()) {
        m.throwError("TypeError", 1009,
                     "Cannot access a property or method of a null object reference.");
    }
    return m.toNumber(m.getProperty(object, Name::publicName(name)));
}

void setField(Machine& m, const Value& object, const char* name, double value) {
    m.setProperty(object, Name::publicName(name), Value::number(value));
}

Value makePoint(Machine& m, double x, double y) {
    return construct(m, "flash.geom::Point", {Value::number(x), Value::number(y)});
}

Value makeRectangle(Machine& m, const Box& b) {
    return construct(
        m, "flash.geom::Rectangle",
        {Value::number(b.x), Value::number(b.y), Value::number(b.width), Value::number(b.height)});
}

Value makeMatrix(Machine& m, const Affine& a) {
    Args args;
    for (double v : a) {
        args.push_back(Value::number(v));
    }
    return construct(m, "flash.geom::Matrix", std::move(args));
}

Value makeColorTransform(Machine& m, const Channels& c) {
    Args args;
    for (double v : c) {
        args.push_back(Value::number(v));
    }
    return construct(m, "flash.geom::ColorTransform", std::move(args));
}

Box boxOf(Machine& m, const Value& rectangle) {
    return {field(m, rectangle, "x"), field(m, rectangle, "y"), field(m, rectangle, "width"),
            field(m, rectangle, "height")};
}

Affine affineOf(Machine& m, const Value& matrix) {
    Affine out{};
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = field(m, matrix, kAffineFields[i]);
    }
    return out;
}

Channels channelsOf(Machine& m, const Value& colorTransform) {
    Channels out{};
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = field(m, colorTransform, kChannelFields[i]);
    }
    return out;
}

Affine multiply(const Affine& first, const Affine& then) {
    const auto& [a, b, c, d, tx, ty] = first;
    const auto& [a2, b2, c2, d2, tx2, ty2] = then;
    return {a * a2 + b * c2, a * b2 + b * d2,         c * a2 + d * c2,
            c * b2 + d * d2, tx * a2 + ty * c2 + tx2, tx * b2 + ty * d2 + ty2};
}

} // namespace avm2::geom
