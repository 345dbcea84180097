// Color: the older script view of a clip's colour transform.
#include <algorithm>
#include <cmath>

#include "StageObject.h"
#include "StageScripts.h"
#include "avm1/Function.h"

namespace mc {

namespace {

using avm1::CallArgs;
using avm1::Value;

class ColorMethods {
  public:
    explicit ColorMethods(StageScripts& stage) : stage_(stage) {}

    DisplayObject* target(CallArgs& c) {
        avm1::Object* self = c.thisObject();
        if (self == nullptr) {
            return nullptr;
        }
        const Value t = c.machine.get(self, "__colorTarget");
        if (DisplayObject* o = stage_.displayOf(t)) {
            return o;
        }
        // A path string, as Color accepts too.
        return nullptr;
    }

    void install(avm1::Machine& m) {
        avm1::FunctionObject* ctor = m.newClass([](CallArgs& c) {
            if (avm1::Object* self = c.thisObject()) {
                c.machine.define(self, "__colorTarget", c.arg(0), avm1::attr::Hidden);
            }
            return Value();
        });
        m.define(m.global(), "Color", Value(static_cast<avm1::Object*>(ctor)));
        avm1::Object* proto = m.get(ctor, "prototype").asObject();
        m.defineMethod(proto, "setRGB", [this](CallArgs& c) {
            if (DisplayObject* o = target(c)) {
                const auto rgb = static_cast<std::uint32_t>(static_cast<std::int64_t>(
                    std::isfinite(c.machine.toNumber(c.arg(0))) ? c.machine.toNumber(c.arg(0))
                                                                : 0.0));
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
                const ColorTransform& cx = o->colorTransform;
                const auto part = [](std::int32_t v) {
                    return static_cast<std::uint32_t>(v & 0xFF);
                };
                return Value(static_cast<double>((part(cx.add[0]) << 16) | (part(cx.add[1]) << 8) |
                                                 part(cx.add[2])));
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
                    cx.mult[i] =
                        std::isfinite(v)
                            ? static_cast<std::int32_t>(std::clamp(v * 2.56, -32768.0, 32767.0))
                            : 0;
                }
                const Value av = c.machine.get(t, adds[i]);
                if (!av.isUndefined()) {
                    const double v = c.machine.toNumber(av);
                    cx.add[i] = std::isfinite(v)
                                    ? static_cast<std::int32_t>(std::clamp(v, -32768.0, 32767.0))
                                    : 0;
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
