// flash.display.ShaderJob: runs a Shader's kernel once for every pixel of its target (a
// BitmapData, a ByteArray of floats or a Vector.<Number>), with the parameter values and
// input images its ShaderData holds at start(). Waiting or not, the work is done at once;
// without waiting, `complete` comes once the running scripts are done, as Flash sends it
// from its own thread.
#include "avm2/BitmapDataValues.h"
#include "avm2/ByteArrayData.h"
#include "avm2/HiddenFields.h"
#include "avm2/NativeArgs.h"
#include "avm2/ShaderValues.h"
#include "shader/PbjMachine.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace avm2 {

namespace {

using shaders::dimension;
using shaders::isA;

void appendFloat(ByteArrayData& b, float f) {
    const auto v = std::bit_cast<std::uint32_t>(f);
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t shift = b.littleEndian ? 8 * i : 8 * (3 - i);
        b.data.push_back(static_cast<std::uint8_t>(v >> shift));
    }
}

void run(Machine& m, Object* job) {
    const Value shaderObject = hiddenField(job, "shader", Value::null());
    const Value target = hiddenField(job, "target", Value::null());
    int width = dimension(m, hiddenField(job, "width", Value::integer(0)));
    int height = dimension(m, hiddenField(job, "height", Value::integer(0)));
    const bool toBitmap = isA(m, target, "flash.display::BitmapData");
    std::shared_ptr<pixels::BitmapPixels> bitmap;
    if (toBitmap) {
        bitmap = bitmaps::sharedPixels(m, target);
        width = width > 0 ? std::min(width, bitmap->width()) : bitmap->width();
        height = height > 0 ? std::min(height, bitmap->height()) : bitmap->height();
    }
    ByteArrayData* bytes = byteArrayData(target);
    Object* vector = shaders::isVector(m, target) ? target.asObject() : nullptr;
    if (!toBitmap && bytes == nullptr && vector == nullptr) {
        m.throwError("ArgumentError", 2004, "One of the parameters is invalid.");
    }

    const std::unique_ptr<ShaderRun> prepared = ShaderRun::prepare(m, shaderObject, nullptr);
    shader::PbjMachine& machine = prepared->machine();
    const int channels = std::max(machine.outputChannels(), 1);
    const std::size_t cells = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                              static_cast<std::size_t>(channels);
    if (!toBitmap) {
        m.checkMemory(cells * (bytes != nullptr ? 4 : sizeof(Value)));
    }
    if (bytes != nullptr) {
        bytes->data.clear();
        bytes->position = 0;
    }
    if (vector != nullptr) {
        vector->elements.clear();
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::array<float, 4> out =
                machine.run(static_cast<float>(x) + 0.5F, static_cast<float>(y) + 0.5F);
            if (toBitmap) {
                bitmap->set(x, y, shaders::argbOf(out, channels));
                continue;
            }
            for (std::size_t c = 0; c < static_cast<std::size_t>(channels); ++c) {
                if (bytes != nullptr) {
                    appendFloat(*bytes, out[c]);
                } else {
                    vector->elements.push_back(Value::number(out[c]));
                }
            }
        }
        m.checkBudget();
    }
}

Value jobInit(Machine& m, const Value& self, Args& a) {
    Object* o = receiverObject(m, self);
    setHiddenField(o, "shader", arg(a, 0).isObject() ? a[0] : Value::null());
    setHiddenField(o, "target", arg(a, 1).isObject() ? a[1] : Value::null());
    setHiddenField(o, "width", Value::integer(dimension(m, arg(a, 2))));
    setHiddenField(o, "height", Value::integer(dimension(m, arg(a, 3))));
    setHiddenField(o, "progress", Value::number(0));
    return Value();
}

template <const char* Key> Value jobGet(Machine& m, const Value& self, Args&) {
    return hiddenField(receiverObject(m, self), Key, Value::null());
}
template <const char* Key> Value jobSet(Machine& m, const Value& self, Args& a) {
    Value v = arg(a, 0);
    const std::string_view key = Key;
    if (key == "width" || key == "height") {
        v = Value::integer(dimension(m, v));
    } else if (!v.isObject()) {
        v = Value::null();
    }
    setHiddenField(receiverObject(m, self), Key, v);
    return Value();
}
constexpr char kShader[] = "shader";
constexpr char kTarget[] = "target";
constexpr char kWidth[] = "width";
constexpr char kHeight[] = "height";
constexpr char kProgress[] = "progress";

Value jobStart(Machine& m, const Value& self, Args& a) {
    Object* o = receiverObject(m, self);
    run(m, o);
    setHiddenField(o, "progress", Value::number(1));
    if (!Machine::toBoolean(arg(a, 0))) {
        // The event names the target by its kind.
        const Value target = hiddenField(o, "target", Value::null());
        const bool bitmap = isA(m, target, "flash.display::BitmapData");
        const bool bytes = byteArrayData(target) != nullptr;
        Args args{Value::string("complete"),      Value::boolean(false),
                  Value::boolean(false),          bitmap ? target : Value::null(),
                  bytes ? target : Value::null(), !bitmap && !bytes ? target : Value::null()};
        const Value event =
            m.construct(Value::object(m.findClass("flash.events::ShaderEvent")->classObject), args);
        m.queuedEvents.emplace_back(o, event.asObject());
    }
    return Value();
}

Value jobCancel(Machine&, const Value&, Args&) {
    return Value();
}

} // namespace

void installShaderJob(Machine& m) {
    Class* dispatcher = m.findClass("flash.events::EventDispatcher");
    Class* job = m.defineClass("flash.display", "ShaderJob", dispatcher, jobInit);
    m.defineGetter(job, "shader", jobGet<kShader>);
    m.defineSetter(job, "shader", jobSet<kShader>);
    m.defineGetter(job, "target", jobGet<kTarget>);
    m.defineSetter(job, "target", jobSet<kTarget>);
    m.defineGetter(job, "width", jobGet<kWidth>);
    m.defineSetter(job, "width", jobSet<kWidth>);
    m.defineGetter(job, "height", jobGet<kHeight>);
    m.defineSetter(job, "height", jobSet<kHeight>);
    m.defineGetter(job, "progress", jobGet<kProgress>);
    m.defineMethod(job, "start", jobStart);
    m.defineMethod(job, "cancel", jobCancel);
}

} // namespace avm2
