// flash.geom.Transform and MovieClip.transform: a view of one clip's matrix and colour
// transform. Every read makes a fresh Matrix or ColorTransform, and writes take only
// objects of those classes (an object of a script class extending them counts), so that a
// script can neither alias nor half-set a clip's placement.

#include <cmath>
#include <memory>

#include "StageObject.h"
#include "StageScripts.h"
#include "TransformClass.h"
#include "avm1/Packages.h"

namespace mc {

namespace {

using avm1::CallArgs;
using avm1::Value;

constexpr const char* kMatrixFields[] = {"a", "b", "c", "d", "tx", "ty"};
constexpr const char* kColorFields[] = {"redMultiplier",   "greenMultiplier", "blueMultiplier",
                                        "alphaMultiplier", "redOffset",       "greenOffset",
                                        "blueOffset",      "alphaOffset"};

// The clip a Transform object stands for.
struct TransformState : avm1::NativeState {
    explicit TransformState(avm1::Object* c) : clip(c) {}
    avm1::Object* clip;
    void trace(avm1::Tracer& tracer) override { tracer.mark(clip); }
};

avm1::Object* geomClass(avm1::Machine& m, std::string_view name) {
    return m.get(avm1::packageObject(m, "flash.geom"), name).asObject();
}

bool isInstance(avm1::Machine& m, const Value& value, std::string_view className) {
    avm1::Object* ctor = geomClass(m, className);
    avm1::Object* proto = ctor ? m.get(ctor, "prototype").asObject() : nullptr;
    avm1::Object* o = value.asObject();
    int guard = 0;
    for (avm1::Object* p = o ? o->proto() : nullptr; p && proto && guard < 256;
         p = p->proto(), ++guard) {
        if (p == proto) {
            return true;
        }
    }
    return false;
}

Value makeGeom(avm1::Machine& m, std::string_view className, std::span<const Value> args) {
    avm1::Object* ctor = geomClass(m, className);
    return ctor ? Value(m.construct(Value(ctor), args)) : Value();
}

Value matrixValue(avm1::Machine& m, const Transform& t) {
    const Value args[] = {Value(t.a), Value(t.b),         Value(t.c),
                          Value(t.d), Value(t.tx / 20.0), Value(t.ty / 20.0)};
    return makeGeom(m, "Matrix", args);
}

Value colorValue(avm1::Machine& m, const ColorTransform& cx) {
    Value args[8];
    for (int i = 0; i < 4; ++i) {
        args[i] = Value(cx.mult[i] / 256.0);
        args[i + 4] = Value(static_cast<double>(cx.add[i]));
    }
    return makeGeom(m, "ColorTransform", args);
}

// Players keep colour transforms in 16-bit fixed point: values wrap, they do not clamp.
std::int32_t wrap16(double v) {
    if (!std::isfinite(v)) {
        return 0;
    }
    const auto whole = static_cast<std::int64_t>(std::floor(std::fmod(v, 65536.0)));
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(whole & 0xFFFF));
}

avm1::Object* makeTransform(avm1::Machine& m, avm1::Object* proto, avm1::Object* clip) {
    avm1::Object* t = m.make<avm1::Object>(proto);
    t->setNativeState(std::make_unique<TransformState>(clip));
    return t;
}

DisplayObject* transformTarget(StageScripts& stage, const Value& transform) {
    avm1::Object* o = transform.asObject();
    auto* state = o ? dynamic_cast<TransformState*>(o->nativeState()) : nullptr;
    return state ? stage.displayOf(state->clip) : nullptr;
}

class TransformMethods {
  public:
    explicit TransformMethods(StageScripts& stage) : stage_(stage), m_(stage.machine()) {}

    void install() {
        avm1::FunctionObject* ctor = m_.newClass([](CallArgs&) { return Value(); });
        ctor->constructor = [this](CallArgs& c) -> Value {
            // Without a clip there is nothing to stand for: `new` gives undefined.
            if (stage_.displayOf(c.arg(0)) == nullptr) {
                return Value();
            }
            avm1::Object* proto = m_.get(c.callee, "prototype").asObject();
            return Value(makeTransform(m_, proto ? proto : proto_, c.arg(0).asObject()));
        };
        proto_ = m_.get(ctor, "prototype").asObject();
        accessor(
            "matrix", [this](DisplayObject& o) { return matrixValue(m_, o.matrix); },
            [this](DisplayObject& o, const Value& v) { setMatrix(o, v); });
        accessor(
            "colorTransform", [this](DisplayObject& o) { return colorValue(m_, o.colorTransform); },
            [this](DisplayObject& o, const Value& v) { setColor(o, v); });
        accessor("concatenatedMatrix", [this](DisplayObject& o) {
            return matrixValue(m_, stage_.player().geometry().frameMatrix(o));
        });
        accessor("concatenatedColorTransform",
                 [this](DisplayObject& o) { return colorValue(m_, concatenatedColor(o)); });
        accessor("pixelBounds", [this](DisplayObject& o) {
            const Bounds b =
                stage_.player().geometry().boundsOf(o, stage_.player().geometry().frameMatrix(o));
            if (b.empty()) {
                return Value(avm1::newGeomRectangle(m_, 0, 0, 0, 0));
            }
            return Value(avm1::newGeomRectangle(m_, b.xMin / 20.0, b.yMin / 20.0,
                                                (b.xMax - b.xMin) / 20.0,
                                                (b.yMax - b.yMin) / 20.0));
        });
        avm1::definePackaged(m_, "flash.geom", "Transform", ctor);
    }

    void setMatrix(DisplayObject& o, const Value& v) {
        if (!isInstance(m_, v, "Matrix")) {
            return;
        }
        double f[6];
        for (int i = 0; i < 6; ++i) {
            f[i] = m_.toNumber(m_.get(v.asObject(), kMatrixFields[i]));
            if (!std::isfinite(f[i])) {
                return;
            }
        }
        o.scriptMove(
            Transform{f[0], f[1], f[2], f[3], std::round(f[4] * 20.0), std::round(f[5] * 20.0)},
            std::nullopt);
    }

    void setColor(DisplayObject& o, const Value& v) {
        if (!isInstance(m_, v, "ColorTransform")) {
            return;
        }
        ColorTransform& cx = o.colorTransform;
        for (int i = 0; i < 4; ++i) {
            cx.mult[i] = wrap16(m_.toNumber(m_.get(v.asObject(), kColorFields[i])) * 256.0);
            cx.add[i] = wrap16(m_.toNumber(m_.get(v.asObject(), kColorFields[i + 4])));
        }
    }

    // The colour transforms from the root down, composed in the players' fixed point.
    static ColorTransform concatenatedColor(const DisplayObject& o) {
        std::vector<const DisplayObject*> chain;
        for (const DisplayObject* p = &o; p != nullptr && chain.size() < 4096; p = p->parent) {
            chain.push_back(p);
        }
        ColorTransform out;
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            const ColorTransform& child = (*it)->colorTransform;
            for (int i = 0; i < 4; ++i) {
                const double scaled =
                    std::floor(out.mult[i] * static_cast<double>(child.add[i]) / 256.0);
                out.add[i] = wrap16(out.add[i] + scaled);
                out.mult[i] =
                    wrap16(std::floor(out.mult[i] * static_cast<double>(child.mult[i]) / 256.0));
            }
        }
        return out;
    }

  private:
    using Getter = std::function<Value(DisplayObject&)>;
    using Setter = std::function<void(DisplayObject&, const Value&)>;

    void accessor(std::string_view name, const Getter& get, const Setter& set = {}) {
        avm1::NativeFn setter;
        if (set) {
            setter = [this, set](CallArgs& c) {
                if (DisplayObject* o = transformTarget(stage_, c.thisValue)) {
                    set(*o, c.arg(0));
                }
                return Value();
            };
        }
        avm1::defineAccessor(
            m_, proto_, name,
            [this, get](CallArgs& c) {
                DisplayObject* o = transformTarget(stage_, c.thisValue);
                return o ? get(*o) : Value();
            },
            setter);
    }

    StageScripts& stage_;
    avm1::Machine& m_;
    avm1::Object* proto_ = nullptr;
};

} // namespace

void installTransform(StageScripts& stage) {
    auto methods = std::make_shared<TransformMethods>(stage);
    methods->install();
    stage.keepAlive(methods);
}

avm1::Object* newTransform(StageScripts& stage, avm1::Object* clip) {
    avm1::Machine& m = stage.machine();
    avm1::Object* ctor = geomClass(m, "Transform");
    avm1::Object* proto = ctor ? m.get(ctor, "prototype").asObject() : nullptr;
    return makeTransform(m, proto ? proto : m.objectPrototype(), clip);
}

void assignTransform(StageScripts& stage, DisplayObject& target, const avm1::Value& value) {
    DisplayObject* source = transformTarget(stage, value);
    if (source == nullptr || source == &target) {
        return;
    }
    target.scriptMove(source->matrix, source->geometry);
    target.colorTransform = source->colorTransform;
}

} // namespace mc
