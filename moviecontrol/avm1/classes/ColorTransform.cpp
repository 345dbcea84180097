// flash.geom.ColorTransform: colour transforms (channel * multiplier + offset). A native
// class: each instance holds its eight numbers, which the prototype's properties read and
// set as numbers.

#include "avm1/Convert.h"
#include "avm1/FieldClasses.h"
#include "avm1/Function.h"
#include "avm1/Packages.h"
#include "avm1/State.h"

#include <array>
#include <cmath>
#include <memory>

namespace avm1 {

namespace {

constexpr std::array<const char*, 8> ColorFields = {
    "redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier",
    "redOffset",     "greenOffset",     "blueOffset",     "alphaOffset"};

constexpr std::array<double, 8> Identity = {1, 1, 1, 1, 0, 0, 0, 0};

// The class's properties and methods show when its prototype is enumerated.
constexpr std::uint32_t kShown = 0;

// The eight numbers, kept on the object the constructor initialised (a subclass's
// instance too): multipliers red, green, blue, alpha, then the offsets in the same order.
struct ColorValues : NativeState {
    explicit ColorValues(const std::array<double, 8>& values) : values(values) {}
    std::array<double, 8> values;
};

ColorValues* colorValues(const Value& v) {
    Object* o = v.asObject();
    return o != nullptr ? dynamic_cast<ColorValues*>(o->nativeState()) : nullptr;
}

// An offset as the processor converts it to an integer: what it cannot convert is the most
// negative.
std::int32_t offsetBits(double v) {
    const double whole = std::trunc(v);
    return whole >= -2147483648.0 && whole <= 2147483647.0 ? static_cast<std::int32_t>(whole)
                                                           : INT32_MIN;
}

} // namespace

void installColorTransform(Machine& m) {
    // All eight numbers, or a transform to copy; anything else is the identity.
    FunctionObject* ctor = m.newClass([](CallArgs& c) -> Value {
        Object* self = c.thisObject();
        if (self == nullptr) {
            return {};
        }
        std::array<double, 8> values = Identity;
        if (c.count() >= 8) {
            for (std::size_t i = 0; i < 8; ++i) {
                values[i] = c.machine.toNumber(c.arg(i));
            }
        } else if (ColorValues* other = colorValues(c.arg(0)); c.count() == 1 && other) {
            values = other->values;
        }
        self->setNativeState(std::make_unique<ColorValues>(values));
        return {};
    });
    Object* proto = constructorPrototype(m, ctor);
    for (std::size_t i = 0; i < ColorFields.size(); ++i) {
        defineAccessor(
            m, proto, ColorFields[i],
            [i](CallArgs& c) -> Value {
                ColorValues* self = colorValues(c.thisValue);
                return self != nullptr ? Value(self->values[i]) : Value();
            },
            [i](CallArgs& c) -> Value {
                ColorValues* self = colorValues(c.thisValue);
                if (self != nullptr && c.count() > 0) {
                    self->values[i] = c.machine.toNumber(c.arg(0));
                }
                return {};
            },
            kShown);
    }
    m.defineMethod(
        proto, "toString",
        [](CallArgs& c) -> Value {
            return Value(Str(fieldsText(c.machine, c.thisObject(), ColorFields.data(), 8)));
        },
        kShown);
    // The offsets as one colour; setting it also zeroes the colour multipliers.
    defineAccessor(
        m, proto, "rgb",
        [](CallArgs& c) -> Value {
            ColorValues* self = colorValues(c.thisValue);
            if (self == nullptr) {
                return {};
            }
            const auto& v = self->values;
            const auto bits = static_cast<std::uint32_t>(offsetBits(v[4])) << 16 |
                              static_cast<std::uint32_t>(offsetBits(v[5])) << 8 |
                              static_cast<std::uint32_t>(offsetBits(v[6]));
            return Value(static_cast<double>(static_cast<std::int32_t>(bits)));
        },
        [](CallArgs& c) -> Value {
            ColorValues* self = colorValues(c.thisValue);
            if (self == nullptr || c.count() == 0) {
                return {};
            }
            const std::uint32_t rgb = toUint32(c.machine.toNumber(c.arg(0)));
            for (std::size_t i = 0; i < 3; ++i) {
                self->values[i] = 0.0;
                self->values[i + 4] = static_cast<double>((rgb >> (16 - 8 * i)) & 0xFF);
            }
            return {};
        },
        kShown);
    // Applies the other transform first, then this one: offsets before the multipliers they
    // read change.
    m.defineMethod(
        proto, "concat",
        [](CallArgs& c) -> Value {
            ColorValues* self = colorValues(c.thisValue);
            ColorValues* other = colorValues(c.arg(0));
            if (self == nullptr || other == nullptr) {
                return {};
            }
            auto& v = self->values;
            for (std::size_t i = 0; i < 4; ++i) {
                v[i + 4] = other->values[i + 4] * v[i] + v[i + 4];
                v[i] = other->values[i] * v[i];
            }
            return {};
        },
        kShown);
    definePackaged(m, "flash.geom", "ColorTransform", ctor);
}

} // namespace avm1
