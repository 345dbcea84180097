// Loading a Shader's kernel for a run: parameter values from its ShaderParameter objects,
// images from its ShaderInput objects (a bitmap, or floats in a ByteArray or Vector.<Number>
// of the input's width and height); and the ShaderFilter applied to a bitmap.
#include "avm2/BitmapDataValues.h"
#include "avm2/ByteArrayData.h"
#include "avm2/HiddenFields.h"
#include "avm2/ShaderValues.h"
#include "swf/Filters.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace avm2 {

namespace shaders {

bool isA(Machine& m, const Value& v, const char* cls) {
    Class* c = m.findClass(cls);
    return v.isObject() && c != nullptr && m.isType(v, c);
}

bool isVector(Machine& m, const Value& v) {
    if (!v.isObject()) {
        return false;
    }
    for (const Class* c = v.asObject()->cls; c != nullptr; c = c->super) {
        if (c == m.vectorClass) {
            return true;
        }
    }
    return false;
}

int dimension(Machine& m, const Value& v) {
    const double n = m.toNumber(v);
    return std::isfinite(n) && n > 0 ? static_cast<int>(std::min(n, 1.0e6)) : 0;
}

shader::PbjImage imageOfPixels(const pixels::BitmapPixels& p, pixels::PixelRect area,
                               int channels) {
    shader::PbjImage img;
    img.channels = channels;
    img.width = std::max(area.width, 0);
    img.height = std::max(area.height, 0);
    img.values.reserve(static_cast<std::size_t>(img.width) * static_cast<std::size_t>(img.height) *
                       static_cast<std::size_t>(channels));
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            const std::uint32_t argb = p.at(area.x + x, area.y + y);
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

namespace {
std::uint32_t channelByte(float v) {
    if (!(v > 0)) {
        return 0;
    }
    return v >= 1 ? 255 : static_cast<std::uint32_t>(std::lround(v * 255.0F));
}
} // namespace

std::uint32_t argbOf(const std::array<float, 4>& out, int channels) {
    const std::uint32_t a = channels >= 4 ? channelByte(out[3]) : 255;
    const std::uint32_t r = channelByte(out[0]);
    const std::uint32_t g = channels >= 2 ? channelByte(out[1]) : r;
    const std::uint32_t b = channels >= 3 ? channelByte(out[2]) : r;
    return (a << 24) | (r << 16) | (g << 8) | b;
}

} // namespace shaders

namespace {

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

shader::PbjImage imageOf(Machine& m, Object* input, int channels) {
    const Value source = hiddenField(input, "input", Value::null());
    if (shaders::isA(m, source, "flash.display::BitmapData")) {
        const pixels::BitmapPixels& p = bitmaps::pixelsOf(m, source);
        m.checkMemory(static_cast<std::size_t>(p.width()) * static_cast<std::size_t>(p.height()) *
                      static_cast<std::size_t>(channels) * sizeof(float));
        return shaders::imageOfPixels(p, {0, 0, p.width(), p.height()}, channels);
    }
    shader::PbjImage img;
    img.channels = channels;
    img.width = shaders::dimension(m, hiddenField(input, "width", Value::integer(0)));
    img.height = shaders::dimension(m, hiddenField(input, "height", Value::integer(0)));
    const std::size_t row =
        static_cast<std::size_t>(img.width) * static_cast<std::size_t>(channels);
    std::size_t count = row * static_cast<std::size_t>(img.height);
    const ByteArrayData* bytes = byteArrayData(source);
    if (bytes != nullptr) {
        count = std::min(count, bytes->data.size() / 4);
    } else if (shaders::isVector(m, source)) {
        count = std::min(count, source.asObject()->elements.size());
    } else {
        count = 0;
    }
    // Only whole rows of what the input holds.
    img.height = row > 0 ? static_cast<int>(count / row) : 0;
    count = row * static_cast<std::size_t>(img.height);
    img.values.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        img.values.push_back(bytes != nullptr
                                 ? readFloat(*bytes, i * 4)
                                 : static_cast<float>(m.toNumber(source.asObject()->elements[i])));
    }
    return img;
}

// A parameter's value as the kernel takes it: only numbers count, and a value holding
// anything else (a string, a boolean, null) is refused when the kernel starts.
std::vector<double> parameterValues(Machine& m, Object* parameter) {
    std::vector<double> values;
    const Value v = hiddenField(parameter, "value", Value::null());
    if (v.isObject()) {
        values.reserve(v.asObject()->elements.size());
        for (const Value& item : v.asObject()->elements) {
            if (!item.isNumeric()) {
                m.throwError("ArgumentError", 2004, "One of the parameters is invalid.");
            }
            values.push_back(item.asNumber());
        }
    }
    return values;
}

} // namespace

ShaderRun::~ShaderRun() = default;

std::unique_ptr<ShaderRun> ShaderRun::prepare(Machine& m, const Value& shaderObject,
                                              const shader::PbjImage* firstInput) {
    std::optional<shader::PbjProgram> program = shaderProgram(m, shaderObject);
    if (!program) {
        m.throwError("ArgumentError", 2004, "One of the parameters is invalid.");
    }
    auto run = std::make_unique<ShaderRun>();
    run->program_ = std::move(*program);
    const shader::PbjProgram& p = run->program_;
    run->machine_ = std::make_unique<shader::PbjMachine>(p);
    const Value dataValue = hiddenField(shaderObject.asObject(), "data", Value::null());
    Object* data = dataValue.isObject() ? dataValue.asObject() : nullptr;
    const auto property = [&](const std::string& name) -> Object* {
        const Value* v = data != nullptr ? data->findProp(name) : nullptr;
        return v != nullptr && v->isObject() ? v->asObject() : nullptr;
    };
    for (const shader::PbjParam& param : p.params) {
        if (param.output || param.name == "_OutCoord") {
            continue;
        }
        if (Object* po = property(param.name)) {
            run->machine_->setParameter(param, parameterValues(m, po));
        }
    }
    run->images_.reserve(p.textures.size());
    for (std::size_t i = 0; i < p.textures.size(); ++i) {
        const shader::PbjTexture& t = p.textures[i];
        if (i == 0 && firstInput != nullptr) {
            run->images_.push_back(*firstInput);
            continue;
        }
        Object* io = property(t.name);
        run->images_.push_back(io != nullptr ? imageOf(m, io, t.channels) : shader::PbjImage{});
    }
    // The images are all in place before the machine points at them.
    for (std::size_t i = 0; i < run->images_.size(); ++i) {
        run->machine_->setImage(p.textures[i].index, &run->images_[i]);
    }
    return run;
}

namespace {

// The renderer runs a kernel once per frame an object shows; past this much work
// (instructions times pixels) the object shows unfiltered rather than stall the frame.
constexpr double kMaxKernelWork = 2.0e8;

std::uint32_t unmultiplied(std::uint32_t premultiplied) {
    return pixels::BitmapPixels::unmultiply(premultiplied);
}

// A ShaderFilter's kernel as the renderer runs it: the program with the parameter values
// and images it had when the filter was assigned; the object's picture is the first input.
class ScriptKernel final : public swf::PixelKernel {
  public:
    ScriptKernel(shader::PbjProgram program, std::vector<std::vector<double>> values,
                 std::vector<shader::PbjImage> images)
        : program_(std::move(program)), values_(std::move(values)), images_(std::move(images)) {}

    std::vector<std::uint32_t> run(const std::vector<std::uint32_t>& premultiplied, int width,
                                   int height) const override {
        const double work = static_cast<double>(program_.ops.size() + 1) * width * height;
        if (width <= 0 || height <= 0 || work > kMaxKernelWork ||
            premultiplied.size() !=
                static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
            return premultiplied;
        }
        shader::PbjImage input;
        input.width = width;
        input.height = height;
        input.channels = 4;
        input.values.reserve(premultiplied.size() * 4);
        for (const std::uint32_t p : premultiplied) {
            const std::uint32_t argb = unmultiplied(p);
            input.values.push_back(static_cast<float>((argb >> 16) & 0xFF) / 255.0F);
            input.values.push_back(static_cast<float>((argb >> 8) & 0xFF) / 255.0F);
            input.values.push_back(static_cast<float>(argb & 0xFF) / 255.0F);
            input.values.push_back(static_cast<float>(argb >> 24) / 255.0F);
        }
        shader::PbjMachine machine(program_);
        for (std::size_t i = 0; i < program_.params.size() && i < values_.size(); ++i) {
            if (!values_[i].empty()) {
                machine.setParameter(program_.params[i], values_[i]);
            }
        }
        for (std::size_t i = 0; i < program_.textures.size() && i < images_.size(); ++i) {
            machine.setImage(program_.textures[i].index, i == 0 ? &input : &images_[i]);
        }
        const int channels = std::max(machine.outputChannels(), 1);
        std::vector<std::uint32_t> out;
        out.reserve(premultiplied.size());
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::array<float, 4> v =
                    machine.run(static_cast<float>(x) + 0.5F, static_cast<float>(y) + 0.5F);
                out.push_back(pixels::BitmapPixels::premultiply(shaders::argbOf(v, channels)));
            }
        }
        return out;
    }

  private:
    shader::PbjProgram program_;
    std::vector<std::vector<double>> values_; // by parameter; empty: left at 0
    std::vector<shader::PbjImage> images_;    // by texture; the first is the picture's place
};

} // namespace

std::shared_ptr<const swf::PixelKernel> shaderKernelOf(Machine& m, const Value& shaderObject) {
    std::optional<shader::PbjProgram> program = shaderProgram(m, shaderObject);
    if (!program) {
        return nullptr;
    }
    const Value dataValue = hiddenField(shaderObject.asObject(), "data", Value::null());
    Object* data = dataValue.isObject() ? dataValue.asObject() : nullptr;
    const auto property = [&](const std::string& name) -> Object* {
        const Value* v = data != nullptr ? data->findProp(name) : nullptr;
        return v != nullptr && v->isObject() ? v->asObject() : nullptr;
    };
    std::vector<std::vector<double>> values(program->params.size());
    std::vector<shader::PbjImage> images;
    images.reserve(program->textures.size());
    try {
        for (std::size_t i = 0; i < program->params.size(); ++i) {
            const shader::PbjParam& param = program->params[i];
            Object* po = param.output || param.name == "_OutCoord" ? nullptr : property(param.name);
            if (po != nullptr) {
                values[i] = parameterValues(m, po);
            }
        }
        for (std::size_t i = 0; i < program->textures.size(); ++i) {
            Object* io = i == 0 ? nullptr : property(program->textures[i].name);
            images.push_back(io != nullptr ? imageOf(m, io, program->textures[i].channels)
                                           : shader::PbjImage{});
        }
    } catch (const ScriptThrow&) {
        return nullptr; // values Flash refuses: the filter draws nothing
    }
    return std::make_shared<ScriptKernel>(std::move(*program), std::move(values),
                                          std::move(images));
}

bool isShaderFilter(Machine& m, const Value& filter) {
    return shaders::isA(m, filter, "flash.filters::ShaderFilter");
}

namespace {

struct Extensions {
    int left = 0, right = 0, top = 0, bottom = 0;
};

Extensions extensionsOf(Machine& m, const Value& filter) {
    const auto side = [&](const char* name) {
        const double v = m.toNumber(m.getProperty(filter, Name::publicName(name)));
        return std::isfinite(v) ? static_cast<int>(std::clamp(v, 0.0, 4096.0)) : 0;
    };
    return {side("leftExtension"), side("rightExtension"), side("topExtension"),
            side("bottomExtension")};
}

} // namespace

pixels::PixelRect shaderFilterRect(Machine& m, pixels::PixelRect rect, const Value& filter) {
    const Extensions e = extensionsOf(m, filter);
    return {rect.x - e.left, rect.y - e.top, rect.width + e.left + e.right,
            rect.height + e.top + e.bottom};
}

void applyShaderFilter(Machine& m, pixels::BitmapPixels& target, const pixels::BitmapPixels& source,
                       pixels::Placement at, const Value& filter) {
    const Value shaderObject = m.getProperty(filter, Name::publicName("shader"));
    const pixels::PixelRect from = source.clip(at.from);
    const shader::PbjImage input = shaders::imageOfPixels(source, from, 4);
    const std::unique_ptr<ShaderRun> run = ShaderRun::prepare(m, shaderObject, &input);
    const int channels = std::max(run->machine().outputChannels(), 1);
    const Extensions e = extensionsOf(m, filter);
    // The destination point stands for the source rectangle's corner, so the kernel's
    // coordinates count from there, negative in the left and top extensions.
    const int left = at.toX + (from.x - at.from.x) - e.left;
    const int top = at.toY + (from.y - at.from.y) - e.top;
    const pixels::PixelRect area =
        target.clip({left, top, from.width + e.left + e.right, from.height + e.top + e.bottom});
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x) {
            const float kx = static_cast<float>(x - left - e.left) + 0.5F;
            const float ky = static_cast<float>(y - top - e.top) + 0.5F;
            target.set(x, y, shaders::argbOf(run->machine().run(kx, ky), channels));
        }
        m.checkBudget();
    }
}

} // namespace avm2
