// flash.geom.ColorTransform: colour transforms (channel * multiplier + offset), kept as
// ordinary properties as scripts see them.

#include "avm1/Convert.h"
#include "avm1/FieldClasses.h"
#include "avm1/Packages.h"
#include "avm1/State.h"

#include <array>

namespace avm1 {

namespace {

constexpr std::array<const char*, 8> ColorFields = {
    "redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier",
    "redOffset",     "greenOffset",     "blueOffset",     "alphaOffset"};

} // namespace

void installColorTransform(Machine& m) {
    FunctionObject* ctor = fieldClass<8>(m, ColorFields, {1, 1, 1, 1, 0, 0, 0, 0});
    Object* proto = constructorPrototype(m, ctor);
    m.defineMethod(proto, "toString", [](CallArgs& c) -> Value {
        return Value(Str(fieldsText(c.machine, c.thisObject(), ColorFields.data(), 8)));
    });
    defineAccessor(
        m, proto, "rgb",
        [](CallArgs& c) -> Value {
            Machine& m = c.machine;
            Object* self = c.thisObject();
            if (!self) {
                return {};
            }
            auto channel = [&](const char* f) {
                return static_cast<std::uint32_t>(toInt32(m.toNumber(m.get(self, f)))) & 0xFF;
            };
            return Value(static_cast<double>((channel("redOffset") << 16) |
                                             (channel("greenOffset") << 8) |
                                             channel("blueOffset")));
        },
        [](CallArgs& c) -> Value {
            Machine& m = c.machine;
            Object* self = c.thisObject();
            if (!self) {
                return {};
            }
            std::uint32_t rgb = toUint32(m.toNumber(c.arg(0)));
            const char* offsets[] = {"redOffset", "greenOffset", "blueOffset"};
            const char* multipliers[] = {"redMultiplier", "greenMultiplier", "blueMultiplier"};
            for (int i = 0; i < 3; ++i) {
                m.set(self, offsets[i], Value(static_cast<double>((rgb >> (16 - 8 * i)) & 0xFF)));
                m.set(self, multipliers[i], Value(0.0));
            }
            return {};
        });
    m.defineMethod(proto, "concat", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* self = c.thisObject();
        Object* second = c.arg(0).asObject();
        if (!self || !second) {
            return {};
        }
        for (std::size_t i = 0; i < 4; ++i) {
            double mult = m.toNumber(m.get(self, ColorFields[i]));
            double offset = m.toNumber(m.get(self, ColorFields[i + 4]));
            m.set(self, ColorFields[i + 4],
                  Value(offset + mult * m.toNumber(m.get(second, ColorFields[i + 4]))));
            m.set(self, ColorFields[i], Value(mult * m.toNumber(m.get(second, ColorFields[i]))));
        }
        return {};
    });
    definePackaged(m, "flash.geom", "ColorTransform", ctor);
}

} // namespace avm1
