// flash.display.ShaderJob: runs a Shader's kernel once for every pixel of its target (a
// BitmapData, a ByteArray of floats or a Vector.<Number>), with the parameter values and
// input images its ShaderData holds at start(). Waiting or not, the work is done at once;
// without waiting, `complete` comes once the running scripts are done, as Flash sends it
// from its own thread.
#include "avm2/BitmapDataValues.h"
#include "avm2/ByteArrayData.h"
#include "avm2/EventState.h"
#include "avm2/HiddenFields.h"
#include "avm2/NativeArgs.h"
#include "avm2/ShaderValues.h"
#include "shader/PbjMachine.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace avm2 {

namespace {

bool isA(Machine& m, const Value& v, const char* cls) {
    Class* c = m.findClass(cls);
    return v.isObject() && c != nullptr && m.isType(v, c);
}

int dimension(Machine& m, const Value& v) {
    const double n = m.toNumber(v);
    return std::isfinite(n) && n > 0 ? static_cast<int>(std::min(n, 1.0e6)) : 0;
}

float readFloat(const ByteArrayData& b, std::size_t at) {
    if (at + 4 > b.data.size()) {
        return 0;
    }
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::uint32_t byte = b.data[at + i];
        v |= b.littleEndian ? byte << (8 * i) : byte << (8 * (3 - i));
    }
    return std::bit_cast<float>(v);
}

void appendFloat(ByteArrayData& b, float f) {
    const auto v = std::bit_cast<std::uint32_t>(f);
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t shift = b.littleEndian ? 8 * i : 8 * (3 - i);
        b.data.push_back(static_cast<std::uint8_t>(v >> shift));
    }
}

// An input image from what a ShaderInput holds: a bitmap's colours (0..1, not premultiplied),
// or the floats of a ByteArray or Vector.<Number> of the input's width and height.
shader::PbjImage imageOf(Machine& m, Object* input, int channels) {
    shader::PbjImage img;
    img.channels = channels;
    const Value source = hiddenField(input, "input", Value::null());
    if (isA(m, source, "flash.display::BitmapData")) {
        const pixels::BitmapPixels& p = bitmaps::pixelsOf(m, source);
        img.width = p.width();
        img.height = p.height();
        m.checkMemory(static_cast<std::size_t>(img.width) * static_cast<std::size_t>(img.height) *
                      static_cast<std::size_t>(channels) * sizeof(float));
        img.values.reserve(static_cast<std::size_t>(img.width) *
                           static_cast<std::size_t>(img.height) *
                           static_cast<std::size_t>(channels));
        for (int y = 0; y < img.height; ++y) {
            for (int x = 0; x < img.width; ++x) {
                const std::uint32_t argb = p.at(x, y);
                const float rgba[4] = {static_cast<float>((argb >> 16) & 0xFF) / 255.0F,
                                       static_cast<float>((argb >> 8) & 0xFF) / 255.0F,
                                       static_cast<float>(argb & 0xFF) / 255.0F,
                                       static_cast<float>(argb >> 24) / 255.0F};
                for (int c = 0; c < channels; ++c) {
                    img.values.push_back(rgba[c]);
                }
            }
        }
        return img;
    }
    img.width = dimension(m, hiddenField(input, "width", Value::integer(0)));
    img.height = dimension(m, hiddenField(input, "height", Value::integer(0)));
    std::size_t count = static_cast<std::size_t>(img.width) * static_cast<std::size_t>(img.height) *
                        static_cast<std::size_t>(channels);
    if (const ByteArrayData* bytes = byteArrayData(source)) {
        count = std::min(count, bytes->data.size() / 4);
        img.height = img.width > 0
                         ? static_cast<int>(count / static_cast<std::size_t>(img.width * channels))
                         : 0;
        for (std::size_t i = 0; i < count; ++i) {
            img.values.push_back(readFloat(*bytes, i * 4));
        }
    } else if (source.isObject() && source.asObject()->cls != nullptr &&
               source.asObject()->cls->native == Class::Native::Vector) {
        const std::vector<Value>& items = source.asObject()->elements;
        count = std::min(count, items.size());
        img.height = img.width > 0
                         ? static_cast<int>(count / static_cast<std::size_t>(img.width * channels))
                         : 0;
        for (std::size_t i = 0; i < count; ++i) {
            img.values.push_back(static_cast<float>(m.toNumber(items[i])));
        }
    } else {
        img.width = img.height = 0;
    }
    return img;
}

std::vector<double> parameterValues(Machine& m, Object* parameter) {
    std::vector<double> values;
    const Value v = hiddenField(parameter, "value", Value::null());
    if (v.isObject()) {
        for (const Value& item : v.asObject()->elements) {
            values.push_back(item.isBoolean() ? (item.asBoolean() ? 1.0 : 0.0) : m.toNumber(item));
        }
    }
    return values;
}

std::uint8_t channelByte(float v) {
    if (!(v > 0)) {
        return 0;
    }
    return v >= 1 ? 255 : static_cast<std::uint8_t>(std::lround(v * 255.0F));
}

void run(Machine& m, Object* job) {
    const Value shaderObject = hiddenField(job, "shader", Value::null());
    const std::optional<shader::PbjProgram> program = shaderProgram(m, shaderObject);
    if (!program) {
        m.throwError("ArgumentError", 2004, "One of the parameters is invalid.");
    }
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
    Object* vector = target.isObject() && target.asObject()->cls != nullptr &&
                             target.asObject()->cls->native == Class::Native::Vector
                         ? target.asObject()
                         : nullptr;
    if (!toBitmap && bytes == nullptr && vector == nullptr) {
        m.throwError("ArgumentError", 2004, "One of the parameters is invalid.");
    }

    shader::PbjMachine machine(*program);
    const Value dataValue = hiddenField(shaderObject.asObject(), "data", Value::null());
    Object* data = dataValue.isObject() ? dataValue.asObject() : nullptr;
    const auto property = [&](const std::string& name) -> Object* {
        const Value* v = data != nullptr ? data->findProp(name) : nullptr;
        return v != nullptr && v->isObject() ? v->asObject() : nullptr;
    };
    for (const shader::PbjParam& p : program->params) {
        if (p.output || p.name == "_OutCoord") {
            continue;
        }
        if (Object* po = property(p.name)) {
            machine.setParameter(p, parameterValues(m, po));
        }
    }
    std::vector<shader::PbjImage> images;
    images.reserve(program->textures.size());
    for (const shader::PbjTexture& t : program->textures) {
        Object* io = property(t.name);
        images.push_back(io != nullptr ? imageOf(m, io, t.channels) : shader::PbjImage{});
    }
    for (std::size_t i = 0; i < images.size(); ++i) {
        machine.setImage(program->textures[i].index, &images[i]);
    }

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
                const std::uint32_t a = channels >= 4 ? channelByte(out[3]) : 255;
                const std::uint32_t r = channelByte(out[0]);
                const std::uint32_t g = channels >= 2 ? channelByte(out[1]) : r;
                const std::uint32_t b = channels >= 3 ? channelByte(out[2]) : r;
                bitmap->set(x, y, (a << 24) | (r << 16) | (g << 8) | b);
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
        m.queuedEvents.emplace_back(o, newEvent(m, "complete"));
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
