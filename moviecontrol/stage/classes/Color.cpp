// Color: the older script view of a clip's colour transform.
#include <algorithm>
#include <cmath>

#include "StageObject.h"
#include "StageScripts.h"
#include "avm1/Convert.h"
#include "avm1/Function.h"

namespace mc {

namespace {

using avm1::CallArgs;
using avm1::Value;

// A colour transform keeps each factor and offset in 16 signed bits, as the movie's own
// transforms do (multipliers in 8.8 fixed point): what does not fit wraps around, so an
// alpha factor of 12800% reads back as -12800%.
std::int32_t wrapToSixteenBits(double v) {
    const double low16 = std::fmod(std::trunc(v), 65536.0);
    const auto bits = static_cast<std::int32_t>(low16 < 0 ? low16 + 65536.0 : low16);
    return bits >= 32768 ? bits - 65536 : bits;
}

class ColorMethods {
  public:
    explicit ColorMethods(StageScripts& stage) : stage_(stage) {}

    // The clip a Color acts on, looked up again at every call: its `target` as given, a
    // clip or anything whose text is a path to one (so a changed toString counts).
    DisplayObject* target(CallArgs& c) {
        avm1::Object* self = c.thisObject();
        if (self == nullptr) {
            return nullptr;
        }
        avm1::Machine& m = c.machine;
        const Value t = m.get(self, "target");
        if (DisplayObject* o = stage_.displayOf(t)) {
            return o;
        }
        if (t.isNullish()) {
            return nullptr;
        }
        const avm1::Str path = m.toString(t);
        avm1::Object* found = m.resolveTarget(path.view());
        return found != nullptr ? stage_.displayOf(found) : nullptr;
    }

    void install(avm1::Machine& m) {
        avm1::FunctionObject* ctor = m.newClass([](CallArgs& c) {
            // The target is kept as given, whatever it is, in a property of the object's own
            // that scripts see but cannot change or delete.
            if (avm1::Object* self = c.thisObject()) {
                c.machine.define(self, "target", c.arg(0),
                                 avm1::attr::DontEnum | avm1::attr::DontDelete |
                                     avm1::attr::ReadOnly);
            }
            return Value();
        });
        m.define(m.global(), "Color", Value(static_cast<avm1::Object*>(ctor)));
        avm1::Object* proto = m.get(ctor, "prototype").asObject();
        m.defineMethod(proto, "setRGB", [this](CallArgs& c) {
            if (DisplayObject* o = target(c)) {
                // The number is read once and taken as a 32-bit integer (ECMA-262 ToInt32).
                const double n = c.machine.toNumber(c.arg(0));
                const auto rgb = static_cast<std::uint32_t>(avm1::toInt32(n));
                ColorTransform& cx = o->colorTransform;
                cx.mult[0] = cx.mult[1] = cx.mult[2] = 0;
                cx.add[0] = static_cast<std::int32_t>((rgb >> 16) & 0xFF);
                cx.add[1] = static_cast<std::int32_t>((rgb >> 8) & 0xFF);
                cx.add[2] = static_cast<std::int32_t>(rgb & 0xFF);
            }
            return Value();
        });
        m.defineMethod(proto, "getRGB", [this](CallArgs& c) {
            if (DisplayObject* o = target(c)) {
                // (rb << 16) | (gb << 8) | bb over 32-bit integers, as the script class
                // computes it: negative offsets are not masked, so their bits spill over.
                const ColorTransform& cx = o->colorTransform;
                const auto shifted = [](std::int32_t v, int by) {
                    return static_cast<std::uint32_t>(v) << by;
                };
                const std::uint32_t bits = shifted(cx.add[0], 16) | shifted(cx.add[1], 8) |
                                           static_cast<std::uint32_t>(cx.add[2]);
                return Value(static_cast<double>(static_cast<std::int32_t>(bits)));
            }
            return Value();
        });
        m.defineMethod(proto, "setTransform", [this](CallArgs& c) {
            DisplayObject* o = target(c);
            avm1::Object* t = c.arg(0).asObject();
            if (o == nullptr || t == nullptr) {
                return Value();
            }
            ColorTransform& cx = o->colorTransform;
            const char* mults[] = {"ra", "ga", "ba", "aa"};
            const char* adds[] = {"rb", "gb", "bb", "ab"};
            for (int i = 0; i < 4; ++i) {
                const Value mv = c.machine.get(t, mults[i]);
                if (!mv.isUndefined()) {
                    const double v = c.machine.toNumber(mv);
                    cx.mult[i] = std::isfinite(v) ? wrapToSixteenBits(v * 2.56) : 0;
                }
                const Value av = c.machine.get(t, adds[i]);
                if (!av.isUndefined()) {
                    const double v = c.machine.toNumber(av);
                    cx.add[i] = std::isfinite(v) ? wrapToSixteenBits(v) : 0;
                }
            }
            return Value();
        });
        m.defineMethod(proto, "getTransform", [this](CallArgs& c) {
            DisplayObject* o = target(c);
            if (o == nullptr) {
                return Value();
            }
            avm1::Object* t = c.machine.newObject();
            const ColorTransform& cx = o->colorTransform;
            const char* mults[] = {"ra", "ga", "ba", "aa"};
            const char* adds[] = {"rb", "gb", "bb", "ab"};
            for (int i = 0; i < 4; ++i) {
                c.machine.set(t, mults[i], Value(cx.mult[i] / 2.56));
                c.machine.set(t, adds[i], Value(static_cast<double>(cx.add[i])));
            }
            return Value(t);
        });
    }

  private:
    StageScripts& stage_;
};

} // namespace

void installColor(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    auto color = std::make_shared<ColorMethods>(stage);
    color->install(m);
    stage.keepAlive(color);
}

} // namespace mc
