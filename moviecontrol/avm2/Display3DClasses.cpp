// flash.display.Stage3D and flash.display3D.Context3D with the string constants of
// flash.display3D. A context draws in software (stage3d/): requestContext3D answers with
// context3DCreate once the running scripts are done, and present hands the back buffer to
// the stage, which shows it beneath the display list at the Stage3D's position.
#include "avm2/BitmapDataValues.h"
#include "avm2/ByteArrayData.h"
#include "avm2/Display3DState.h"
#include "avm2/DisplayHost.h"
#include "avm2/EventState.h"
#include "avm2/HiddenFields.h"
#include "avm2/Host.h"
#include "avm2/Machine.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace avm2 {

void installDisplay3D(Machine& m);

namespace {

using stage3d::BlendFactor;
using stage3d::Compare;
using stage3d::Face;
using stage3d::StencilAction;
using stage3d::VertexFormat;

constexpr std::size_t kStage3Ds = 4;

Value arg(const Args& a, std::size_t i) {
    return i < a.size() ? a[i] : Value();
}

double numberOr(Machine& m, const Args& a, std::size_t i, double fallback) {
    return i < a.size() ? m.toNumber(a[i]) : fallback;
}

template <typename E>
E choice(Machine& m, const Value& v, const char* parameter,
         std::initializer_list<std::pair<const char*, E>> accepted) {
    const std::string text = v.isUndefined() || v.isNull() ? std::string() : m.toString(v);
    for (const auto& [name, value] : accepted) {
        if (text == name) {
            return value;
        }
    }
    m.throwError("ArgumentError", 2008,
                 std::string("Parameter ") + parameter + " must be one of the accepted values.");
}

Face faceArg(Machine& m, const Value& v, const char* parameter) {
    return choice<Face>(m, v, parameter,
                        {{"none", Face::None},
                         {"front", Face::Front},
                         {"back", Face::Back},
                         {"frontAndBack", Face::FrontAndBack}});
}

Compare compareArg(Machine& m, const Value& v, const char* parameter) {
    return choice<Compare>(m, v, parameter,
                           {{"never", Compare::Never},
                            {"less", Compare::Less},
                            {"equal", Compare::Equal},
                            {"lessEqual", Compare::LessEqual},
                            {"greater", Compare::Greater},
                            {"notEqual", Compare::NotEqual},
                            {"greaterEqual", Compare::GreaterEqual},
                            {"always", Compare::Always}});
}

StencilAction actionArg(Machine& m, const Value& v, const char* parameter) {
    return choice<StencilAction>(m, v, parameter,
                                 {{"decrementSaturate", StencilAction::DecrementSaturate},
                                  {"decrementWrap", StencilAction::DecrementWrap},
                                  {"incrementSaturate", StencilAction::IncrementSaturate},
                                  {"incrementWrap", StencilAction::IncrementWrap},
                                  {"invert", StencilAction::Invert},
                                  {"keep", StencilAction::Keep},
                                  {"set", StencilAction::Set},
                                  {"zero", StencilAction::Zero}});
}

BlendFactor blendArg(Machine& m, const Value& v, const char* parameter) {
    return choice<BlendFactor>(
        m, v, parameter,
        {{"zero", BlendFactor::Zero},
         {"one", BlendFactor::One},
         {"sourceColor", BlendFactor::SourceColor},
         {"oneMinusSourceColor", BlendFactor::OneMinusSourceColor},
         {"sourceAlpha", BlendFactor::SourceAlpha},
         {"oneMinusSourceAlpha", BlendFactor::OneMinusSourceAlpha},
         {"destinationColor", BlendFactor::DestinationColor},
         {"oneMinusDestinationColor", BlendFactor::OneMinusDestinationColor},
         {"destinationAlpha", BlendFactor::DestinationAlpha},
         {"oneMinusDestinationAlpha", BlendFactor::OneMinusDestinationAlpha}});
}

bool vertexProgramArg(Machine& m, const Value& v) {
    return choice<bool>(m, v, "programType", {{"vertex", true}, {"fragment", false}});
}

template <typename T> std::shared_ptr<T> stateOf(const Value& v) {
    if (!v.isObject() || !v.asObject()->nativeData) {
        return nullptr;
    }
    return std::static_pointer_cast<T>(v.asObject()->nativeData);
}

std::shared_ptr<Context3DState> contextOf(Machine& m, const Value& self) {
    auto c = stateOf<Context3DState>(self);
    if (!c) {
        m.throwError("TypeError", 1009,
                     "Cannot access a property or method of a null object reference.");
    }
    return c;
}

// --- Stage3D ---------------------------------------------------------------------------

void showLayer(Machine& m, Object* stage3D) {
    DisplayHost* host = m.host().display();
    if (host == nullptr || stage3D == nullptr) {
        return;
    }
    const auto index =
        static_cast<std::size_t>(hiddenField(stage3D, "index", Value::integer(0)).asNumber());
    const Value context = hiddenField(stage3D, "context", Value::null());
    auto c = stateOf<Context3DState>(context);
    const bool visible = Machine::toBoolean(hiddenField(stage3D, "visible", Value::boolean(true)));
    host->showStage3D(index, c && visible && !c->disposed ? c->presented : nullptr,
                      hiddenField(stage3D, "x", Value::number(0)).asNumber(),
                      hiddenField(stage3D, "y", Value::number(0)).asNumber());
}

Value stage3DContext(Machine&, const Value& self, Args&) {
    return hiddenField(self, "context", Value::null());
}

Value requestContext(Machine& m, const Value& self, Args& a) {
    if (!self.isObject()) {
        return Value();
    }
    if (!a.empty()) {
        choice<int>(m, a[0], "context3DRenderMode", {{"auto", 0}, {"software", 1}});
    }
    if (a.size() > 1) {
        choice<int>(m, a[1], "profile",
                    {{"baseline", 0},
                     {"baselineConstrained", 1},
                     {"baselineExtended", 2},
                     {"standard", 3},
                     {"standardConstrained", 4},
                     {"standardExtended", 5},
                     {"enhanced", 6}});
    }
    Object* stage3D = self.asObject();
    if (hiddenField(stage3D, "context", Value::null()).isNull()) {
        Args none;
        Value context = m.construct(
            Value::object(m.findClass("flash.display3D::Context3D")->classObject), none);
        auto state = std::make_shared<Context3DState>();
        state->stage3D = stage3D;
        context.asObject()->nativeData = state;
        setHiddenField(stage3D, "context", context);
    }
    queueEvent(m, stage3D, newEvent(m, "context3DCreate"));
    return Value();
}

template <char Axis> Value stage3DPosition(Machine&, const Value& self, Args&) {
    return hiddenField(self, Axis == 'x' ? "x" : "y", Value::number(0));
}

template <char Axis> Value stage3DSetPosition(Machine& m, const Value& self, Args& a) {
    const double v = m.toNumber(arg(a, 0));
    setHiddenField(self, Axis == 'x' ? "x" : "y", Value::number(std::isfinite(v) ? v : 0.0));
    if (self.isObject()) {
        showLayer(m, self.asObject());
    }
    return Value();
}

Value stage3DVisible(Machine&, const Value& self, Args&) {
    return hiddenField(self, "visible", Value::boolean(true));
}

Value stage3DSetVisible(Machine& m, const Value& self, Args& a) {
    setHiddenField(self, "visible", Value::boolean(Machine::toBoolean(arg(a, 0))));
    if (self.isObject()) {
        showLayer(m, self.asObject());
    }
    return Value();
}

Value stageStage3Ds(Machine& m, const Value& self, Args&) {
    Value kept = hiddenField(self, "stage3Ds", Value::null());
    if (!kept.isNull()) {
        return kept;
    }
    Class* stage3D = m.findClass("flash.display::Stage3D");
    Args type{Value::object(stage3D->classObject)};
    const Value cls = m.applyType(Value::object(m.vectorClass->classObject), type);
    Args none;
    Value vector = m.construct(cls, none);
    std::vector<Value> layers;
    for (std::size_t i = 0; i < kStage3Ds; ++i) {
        Value layer = m.construct(Value::object(stage3D->classObject), none);
        setHiddenField(layer, "index", Value::integer(static_cast<std::int32_t>(i)));
        layers.push_back(layer);
    }
    m.resizeElements(vector.asObject(), kStage3Ds, Value::null());
    vector.asObject()->elements = std::move(layers);
    setHiddenField(self, "stage3Ds", vector);
    return vector;
}

// --- Context3D -------------------------------------------------------------------------

stage3d::RenderTarget targetOf(Context3DState& c) {
    stage3d::RenderTarget t;
    if (c.renderTexture) {
        t.width = c.renderTexture->width();
        t.height = c.renderTexture->height();
        t.color = c.renderTexture->image(c.renderFace, 0);
        if (c.renderDepthAndStencil) {
            const std::size_t size =
                static_cast<std::size_t>(t.width) * static_cast<std::size_t>(t.height);
            if (c.renderDepth.size() != size) {
                c.renderDepth.assign(size, 1.0f);
                c.renderStencil.assign(size, 0);
            }
            t.depth = &c.renderDepth;
            t.stencil = &c.renderStencil;
        }
        return t;
    }
    t.width = std::min(c.width, kLargestBuffer);
    t.height = std::min(c.height, kLargestBuffer);
    t.color = &c.color;
    if (c.depthAndStencil) {
        t.depth = &c.depth;
        t.stencil = &c.stencil;
    }
    return t;
}

Value configureBackBuffer(Machine& m, const Value& self, Args& a) {
    auto c = contextOf(m, self);
    const double width = numberOr(m, a, 0, 0);
    const double height = numberOr(m, a, 1, 0);
    if (!(width >= 32 && width <= 16384)) {
        m.throwError("Error", 3780,
                     "Requested width of backbuffer is not in allowed range 32 to 16384.");
    }
    if (!(height >= 32 && height <= 16384)) {
        m.throwError("Error", 3781,
                     "Requested height of backbuffer is not in allowed range 32 to 16384.");
    }
    c->width = static_cast<int>(width);
    c->height = static_cast<int>(height);
    c->depthAndStencil = a.size() < 4 || Machine::toBoolean(a[3]);
    const std::size_t size = static_cast<std::size_t>(std::min(c->width, kLargestBuffer)) *
                             static_cast<std::size_t>(std::min(c->height, kLargestBuffer));
    m.checkMemory(size * (c->depthAndStencil ? 9 : 4));
    c->color.assign(size, 0xFF000000u);
    c->depth.assign(c->depthAndStencil ? size : 0, 1.0f);
    c->stencil.assign(c->depthAndStencil ? size : 0, 0);
    return Value();
}

Value contextClear(Machine& m, const Value& self, Args& a) {
    auto c = contextOf(m, self);
    const stage3d::Vec4 color = {
        static_cast<float>(numberOr(m, a, 0, 0)), static_cast<float>(numberOr(m, a, 1, 0)),
        static_cast<float>(numberOr(m, a, 2, 0)), static_cast<float>(numberOr(m, a, 3, 1))};
    const float depth = static_cast<float>(numberOr(m, a, 4, 1));
    const auto stencil = static_cast<std::uint8_t>(toUint32(numberOr(m, a, 5, 0)) & 0xFF);
    const std::uint32_t mask = toUint32(numberOr(m, a, 6, 0xFFFFFFFF));
    stage3d::RenderTarget t = targetOf(*c);
    stage3d::clearTarget(t, color, depth, stencil, mask);
    return Value();
}

Value setProgram(Machine& m, const Value& self, Args& a) {
    auto c = contextOf(m, self);
    c->program = stateOf<Program3DState>(arg(a, 0));
    return Value();
}

Value setVertexBufferAt(Machine& m, const Value& self, Args& a) {
    auto c = contextOf(m, self);
    const std::int32_t index = toInt32(numberOr(m, a, 0, 0));
    if (index < 0 || static_cast<std::size_t>(index) >= stage3d::kMaxStreams) {
        m.throwError("RangeError", 3676, "Stream index out of range.");
    }
    auto buffer = stateOf<VertexBuffer3DState>(arg(a, 1));
    stage3d::VertexStream& stream = c->streams[static_cast<std::size_t>(index)];
    if (!buffer) {
        stream = {};
        return Value();
    }
    const VertexFormat format =
        choice<VertexFormat>(m, a.size() > 3 ? a[3] : Value::string("float4"), "vertexStreamFormat",
                             {{"float1", VertexFormat::Float1},
                              {"float2", VertexFormat::Float2},
                              {"float3", VertexFormat::Float3},
                              {"float4", VertexFormat::Float4},
                              {"bytes4", VertexFormat::Bytes4}});
    stream.data = buffer->data;
    stream.data32PerVertex = buffer->data32PerVertex;
    stream.offset = toUint32(numberOr(m, a, 2, 0));
    stream.format = format;
    return Value();
}

void setConstants(Context3DState& c, bool vertex, std::int64_t first,
                  const std::vector<float>& values) {
    const std::span<stage3d::Vec4> registers = vertex
                                                   ? std::span<stage3d::Vec4>(c.vertexConstants)
                                                   : std::span<stage3d::Vec4>(c.fragmentConstants);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::int64_t r = first + static_cast<std::int64_t>(i / 4);
        if (r < 0 || static_cast<std::size_t>(r) >= registers.size()) {
            break;
        }
        registers[static_cast<std::size_t>(r)][i % 4] = values[i];
    }
}

void checkRegisters(Machine& m, bool vertex, std::int64_t first, std::int64_t count) {
    const auto limit = static_cast<std::int64_t>(vertex ? kVertexConstants : kFragmentConstants);
    if (first < 0 || count < 0 || first + count > limit) {
        m.throwError("RangeError", 3659, "Constant register index out of bounds.");
    }
}

Value setConstantsFromVector(Machine& m, const Value& self, Args& a) {
    auto c = contextOf(m, self);
    const bool vertex = vertexProgramArg(m, arg(a, 0));
    const std::int64_t first = toInt32(numberOr(m, a, 1, 0));
    const Value data = arg(a, 2);
    if (!data.isObject()) {
        m.throwError("TypeError", 2007, "Parameter data must be non-null.");
    }
    const std::vector<Value> elements = data.asObject()->elements;
    std::int64_t registers = toInt32(numberOr(m, a, 3, -1));
    if (registers < 0) {
        registers = static_cast<std::int64_t>(elements.size() / 4);
    }
    checkRegisters(m, vertex, first, registers);
    std::vector<float> values;
    const auto count =
        std::min<std::size_t>(elements.size(), static_cast<std::size_t>(registers) * 4);
    for (std::size_t i = 0; i < count; ++i) {
        values.push_back(static_cast<float>(m.toNumber(elements[i])));
    }
    setConstants(*c, vertex, first, values);
    return Value();
}

Value setConstantsFromMatrix(Machine& m, const Value& self, Args& a) {
    auto c = contextOf(m, self);
    const bool vertex = vertexProgramArg(m, arg(a, 0));
    const std::int64_t first = toInt32(numberOr(m, a, 1, 0));
    const Value matrix = arg(a, 2);
    if (!matrix.isObject()) {
        m.throwError("TypeError", 2007, "Parameter matrix must be non-null.");
    }
    checkRegisters(m, vertex, first, 4);
    const Value raw = m.getProperty(matrix, Name::publicName("rawData"));
    std::array<float, 16> e{};
    if (raw.isObject()) {
        const std::vector<Value> elements = raw.asObject()->elements;
        for (std::size_t i = 0; i < 16 && i < elements.size(); ++i) {
            e[i] = static_cast<float>(m.toNumber(elements[i]));
        }
    }
    // rawData runs column by column; registers take rows when the matrix is transposed.
    const bool transposed = a.size() > 3 && Machine::toBoolean(a[3]);
    std::vector<float> values(16);
    for (std::size_t r = 0; r < 4; ++r) {
        for (std::size_t k = 0; k < 4; ++k) {
            values[r * 4 + k] = transposed ? e[k * 4 + r] : e[r * 4 + k];
        }
    }
    setConstants(*c, vertex, first, values);
    return Value();
}

Value setConstantsFromByteArray(Machine& m, const Value& self, Args& a) {
    auto c = contextOf(m, self);
    const bool vertex = vertexProgramArg(m, arg(a, 0));
    const std::int64_t first = toInt32(numberOr(m, a, 1, 0));
    std::int64_t registers = toInt32(numberOr(m, a, 2, 0));
    const ByteArrayData* bytes = byteArrayData(arg(a, 3));
    if (bytes == nullptr) {
        m.throwError("TypeError", 2007, "Parameter data must be non-null.");
    }
    const std::uint32_t offset = toUint32(numberOr(m, a, 4, 0));
    if (registers < 0) {
        registers = static_cast<std::int64_t>(
            (bytes->data.size() - std::min<std::size_t>(offset, bytes->data.size())) / 16);
    }
    checkRegisters(m, vertex, first, registers);
    if (static_cast<std::uint64_t>(offset) + static_cast<std::uint64_t>(registers) * 16 >
        bytes->data.size()) {
        m.throwError("RangeError", 2006, "The supplied index is out of bounds.");
    }
    std::vector<float> values(static_cast<std::size_t>(registers) * 4);
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::uint32_t w = 0;
        for (std::size_t b = 0; b < 4; ++b) {
            w |= static_cast<std::uint32_t>(bytes->data[offset + i * 4 + b]) << (8 * b);
        }
        values[i] = std::bit_cast<float>(w);
    }
    setConstants(*c, vertex, first, values);
    return Value();
}

Value setTextureAt(Machine& m, const Value& self, Args& a) {
    auto c = contextOf(m, self);
    const std::int32_t sampler = toInt32(numberOr(m, a, 0, 0));
    if (sampler < 0 || static_cast<std::size_t>(sampler) >= stage3d::BoundTextures::kUnits) {
        m.throwError("RangeError", 3693, "Sampler index out of range.");
    }
    auto texture = stateOf<Texture3DState>(arg(a, 1));
    c->textures.units[static_cast<std::size_t>(sampler)] = texture ? texture->texture : nullptr;
    return Value();
}

Value setSamplerStateAt(Machine& m, const Value& self, Args& a) {
    auto c = contextOf(m, self);
    const std::int32_t sampler = toInt32(numberOr(m, a, 0, 0));
    const auto wrap = choice<std::uint8_t>(
        m, arg(a, 1), "wrap",
        {{"clamp", 0}, {"repeat", 1}, {"clamp_u_repeat_v", 2}, {"repeat_u_clamp_v", 3}});
    const auto filter = choice<std::uint8_t>(m, arg(a, 2), "filter",
                                             {{"nearest", 0},
                                              {"linear", 1},
                                              {"anisotropic2x", 2},
                                              {"anisotropic4x", 3},
                                              {"anisotropic8x", 4},
                                              {"anisotropic16x", 5}});
    const auto mipmap = choice<std::uint8_t>(m, arg(a, 3), "mipfilter",
                                             {{"mipnone", 0}, {"mipnearest", 1}, {"miplinear", 2}});
    if (sampler < 0 || static_cast<std::size_t>(sampler) >= stage3d::BoundTextures::kUnits) {
        m.throwError("RangeError", 3693, "Sampler index out of range.");
    }
    c->textures.states[static_cast<std::size_t>(sampler)] =
        stage3d::BoundTextures::SamplerState{wrap, filter, mipmap};
    return Value();
}

Value setBlendFactors(Machine& m, const Value& self, Args& a) {
    auto c = contextOf(m, self);
    const BlendFactor source = blendArg(m, arg(a, 0), "sourceFactor");
    const BlendFactor destination = blendArg(m, arg(a, 1), "destinationFactor");
    c->pipeline.source = source;
    c->pipeline.destination = destination;
    return Value();
}

Value setColorMask(Machine& m, const Value& self, Args& a) {
    auto c = contextOf(m, self);
    for (std::size_t i = 0; i < 4; ++i) {
        c->pipeline.colorMask[i] = Machine::toBoolean(arg(a, i));
    }
    return Value();
}

Value setCulling(Machine& m, const Value& self, Args& a) {
    auto c = contextOf(m, self);
    c->pipeline.culling = faceArg(m, arg(a, 0), "triangleFaceToCull");
    return Value();
}

Value setDepthTest(Machine& m, const Value& self, Args& a) {
    auto c = contextOf(m, self);
    const Compare mode = compareArg(m, arg(a, 1), "passCompareMode");
    c->pipeline.depthMask = Machine::toBoolean(arg(a, 0));
    c->pipeline.depthCompare = mode;
    return Value();
}

Value setStencilActions(Machine& m, const Value& self, Args& a) {
    auto c = contextOf(m, self);
    const auto given = [&](std::size_t i, const char* fallback) {
        return i < a.size() ? a[i] : Value::string(fallback);
    };
    const Face face = faceArg(m, given(0, "frontAndBack"), "triangleFace");
    stage3d::StencilSide side;
    side.compare = compareArg(m, given(1, "always"), "compareMode");
    side.bothPass = actionArg(m, given(2, "keep"), "actionOnBothPass");
    side.depthFail = actionArg(m, given(3, "keep"), "actionOnDepthFail");
    side.stencilFail = actionArg(m, given(4, "keep"), "actionOnDepthPassStencilFail");
    if (face == Face::Front || face == Face::FrontAndBack) {
        c->pipeline.front = side;
    }
    if (face == Face::Back || face == Face::FrontAndBack) {
        c->pipeline.back = side;
    }
    return Value();
}

Value setStencilReferenceValue(Machine& m, const Value& self, Args& a) {
    auto c = contextOf(m, self);
    c->pipeline.stencilReference = static_cast<std::uint8_t>(toUint32(numberOr(m, a, 0, 0)));
    c->pipeline.stencilReadMask = static_cast<std::uint8_t>(toUint32(numberOr(m, a, 1, 255)));
    c->pipeline.stencilWriteMask = static_cast<std::uint8_t>(toUint32(numberOr(m, a, 2, 255)));
    return Value();
}

int pixelOf(Machine& m, const Value& rect, const char* name) {
    const double v = m.toNumber(m.getProperty(rect, Name::publicName(name)));
    return std::isfinite(v) ? static_cast<int>(std::clamp(std::round(v), -1e9, 1e9)) : 0;
}

Value setScissorRectangle(Machine& m, const Value& self, Args& a) {
    auto c = contextOf(m, self);
    const Value rect = arg(a, 0);
    if (!rect.isObject()) {
        c->pipeline.scissor.reset();
        return Value();
    }
    stage3d::ScissorBox box;
    box.x = pixelOf(m, rect, "x");
    box.y = pixelOf(m, rect, "y");
    box.width = pixelOf(m, rect, "width");
    box.height = pixelOf(m, rect, "height");
    // A rectangle without area is refused and leaves drawing unclipped.
    if (box.width <= 0 || box.height <= 0) {
        c->pipeline.scissor.reset();
        return Value();
    }
    c->pipeline.scissor = box;
    return Value();
}

Value setRenderToTexture(Machine& m, const Value& self, Args& a) {
    auto c = contextOf(m, self);
    auto texture = stateOf<Texture3DState>(arg(a, 0));
    if (!texture) {
        m.throwError("TypeError", 2007, "Parameter texture must be non-null.");
    }
    c->renderTexture = texture->texture;
    c->renderDepthAndStencil = a.size() > 1 && Machine::toBoolean(a[1]);
    c->renderFace = std::clamp(toInt32(numberOr(m, a, 3, 0)), 0, 5);
    c->renderDepth.clear();
    c->renderStencil.clear();
    return Value();
}

Value setRenderToBackBuffer(Machine& m, const Value& self, Args&) {
    auto c = contextOf(m, self);
    c->renderTexture.reset();
    return Value();
}

Value drawTriangles(Machine& m, const Value& self, Args& a) {
    auto c = contextOf(m, self);
    auto indices = stateOf<IndexBuffer3DState>(arg(a, 0));
    if (!indices) {
        m.throwError("TypeError", 2007, "Parameter indexBuffer must be non-null.");
    }
    if (!c->program || !c->program->vertex || !c->program->fragment) {
        m.throwError("Error", 3600, "No valid program set.");
    }
    const std::int64_t first = toInt32(numberOr(m, a, 1, 0));
    std::int64_t triangles = toInt32(numberOr(m, a, 2, -1));
    const auto available = static_cast<std::int64_t>(indices->data.size());
    if (first < 0 || first > available) {
        m.throwError("Error", 3602,
                     "Sanity check on parameters failed, " + std::to_string(triangles) +
                         " triangles and " + std::to_string(first) + " index offset.");
    }
    if (triangles < 0) {
        triangles = (available - first) / 3;
    }
    if (first + triangles * 3 > available) {
        m.throwError("Error", 3603,
                     "Not enough indices in this buffer. " + std::to_string(triangles) +
                         " triangles at offset " + std::to_string(first) + ", but there are only " +
                         std::to_string(available) + " indices in buffer.");
    }
    stage3d::DrawCall call;
    call.vertex = &*c->program->vertex;
    call.fragment = &*c->program->fragment;
    call.vertexConstants = c->vertexConstants;
    call.fragmentConstants = c->fragmentConstants;
    call.streams = c->streams;
    call.indices = indices->data;
    call.firstIndex = static_cast<std::size_t>(first);
    call.triangles = static_cast<std::size_t>(triangles);
    call.textures = &c->textures;
    stage3d::RenderTarget t = targetOf(*c);
    stage3d::drawTriangles(t, c->pipeline, call, c->pixelBudget);
    return Value();
}

Value present(Machine& m, const Value& self, Args&) {
    auto c = contextOf(m, self);
    const int w = std::min(c->width, kLargestBuffer);
    const int h = std::min(c->height, kLargestBuffer);
    c->pixelBudget = kPixelsPerFrame;
    if (w <= 0 || h <= 0) {
        return Value();
    }
    // The layer shows the back buffer's colours as they are: its alpha only ever matters to
    // blending inside the buffer, not to what lies beneath.
    std::vector<std::uint32_t> opaque(c->color.size());
    for (std::size_t i = 0; i < c->color.size(); ++i) {
        opaque[i] = c->color[i] | 0xFF000000u;
    }
    auto shown = pixels::BitmapPixels::fromPremultiplied(w, h, false, std::move(opaque));
    if (c->presented) {
        *c->presented = std::move(shown);
    } else {
        c->presented = std::make_shared<pixels::BitmapPixels>(std::move(shown));
    }
    showLayer(m, c->stage3D);
    return Value();
}

// Copies the back buffer (or the part `sourceRect` names) into a BitmapData at `destPoint`.
Value drawToBitmapData(Machine& m, const Value& self, Args& a) {
    auto c = contextOf(m, self);
    const Value destination = arg(a, 0);
    if (!destination.isObject()) {
        m.throwError("TypeError", 2007, "Parameter destination must be non-null.");
    }
    pixels::BitmapPixels& target = bitmaps::pixelsOf(m, destination);
    const int w = std::min(c->width, kLargestBuffer);
    const int h = std::min(c->height, kLargestBuffer);
    int sx = 0;
    int sy = 0;
    int sw = w;
    int sh = h;
    if (arg(a, 1).isObject()) {
        sx = pixelOf(m, arg(a, 1), "x");
        sy = pixelOf(m, arg(a, 1), "y");
        sw = pixelOf(m, arg(a, 1), "width");
        sh = pixelOf(m, arg(a, 1), "height");
    }
    int dx = 0;
    int dy = 0;
    if (arg(a, 2).isObject()) {
        dx = pixelOf(m, arg(a, 2), "x");
        dy = pixelOf(m, arg(a, 2), "y");
    }
    const int x0 = std::max(sx, 0);
    const int y0 = std::max(sy, 0);
    const int x1 = std::min(sx + std::max(sw, 0), w);
    const int y1 = std::min(sy + std::max(sh, 0), h);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            target.set(dx + x - sx, dy + y - sy,
                       c->color[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                                static_cast<std::size_t>(x)]);
        }
    }
    return Value();
}

Value contextDispose(Machine& m, const Value& self, Args&) {
    auto c = contextOf(m, self);
    c->disposed = true;
    showLayer(m, c->stage3D);
    return Value();
}

Value driverInfo(Machine& m, const Value& self, Args&) {
    auto c = contextOf(m, self);
    return Value::string(c->disposed ? "Disposed" : "Software Hw_disabled=unavailable");
}

template <bool Width> Value backBufferSize(Machine& m, const Value& self, Args&) {
    auto c = contextOf(m, self);
    return Value::integer(Width ? c->width : c->height);
}

void constants(Machine& m, const char* name,
               std::initializer_list<std::pair<const char*, const char*>> values) {
    Class* cls = m.defineClass("flash.display3D", name, m.objectClass);
    cls->isFinal = true;
    for (const auto& [key, value] : values) {
        m.defineStaticConst(cls, key, Value::string(value));
    }
}

void installConstants(Machine& m) {
    constants(m, "Context3DProgramType", {{"VERTEX", "vertex"}, {"FRAGMENT", "fragment"}});
    constants(m, "Context3DVertexBufferFormat",
              {{"FLOAT_1", "float1"},
               {"FLOAT_2", "float2"},
               {"FLOAT_3", "float3"},
               {"FLOAT_4", "float4"},
               {"BYTES_4", "bytes4"}});
    constants(m, "Context3DBlendFactor",
              {{"ZERO", "zero"},
               {"ONE", "one"},
               {"SOURCE_COLOR", "sourceColor"},
               {"ONE_MINUS_SOURCE_COLOR", "oneMinusSourceColor"},
               {"SOURCE_ALPHA", "sourceAlpha"},
               {"ONE_MINUS_SOURCE_ALPHA", "oneMinusSourceAlpha"},
               {"DESTINATION_COLOR", "destinationColor"},
               {"ONE_MINUS_DESTINATION_COLOR", "oneMinusDestinationColor"},
               {"DESTINATION_ALPHA", "destinationAlpha"},
               {"ONE_MINUS_DESTINATION_ALPHA", "oneMinusDestinationAlpha"}});
    constants(m, "Context3DCompareMode",
              {{"NEVER", "never"},
               {"LESS", "less"},
               {"EQUAL", "equal"},
               {"LESS_EQUAL", "lessEqual"},
               {"GREATER", "greater"},
               {"NOT_EQUAL", "notEqual"},
               {"GREATER_EQUAL", "greaterEqual"},
               {"ALWAYS", "always"}});
    constants(m, "Context3DStencilAction",
              {{"DECREMENT_SATURATE", "decrementSaturate"},
               {"DECREMENT_WRAP", "decrementWrap"},
               {"INCREMENT_SATURATE", "incrementSaturate"},
               {"INCREMENT_WRAP", "incrementWrap"},
               {"INVERT", "invert"},
               {"KEEP", "keep"},
               {"SET", "set"},
               {"ZERO", "zero"}});
    constants(m, "Context3DTriangleFace",
              {{"NONE", "none"},
               {"FRONT", "front"},
               {"BACK", "back"},
               {"FRONT_AND_BACK", "frontAndBack"}});
    constants(m, "Context3DTextureFormat",
              {{"BGRA", "bgra"},
               {"BGRA_PACKED", "bgraPacked4444"},
               {"BGR_PACKED", "bgrPacked565"},
               {"COMPRESSED", "compressed"},
               {"COMPRESSED_ALPHA", "compressedAlpha"},
               {"RGBA_HALF_FLOAT", "rgbaHalfFloat"}});
    constants(m, "Context3DProfile",
              {{"BASELINE", "baseline"},
               {"BASELINE_CONSTRAINED", "baselineConstrained"},
               {"BASELINE_EXTENDED", "baselineExtended"},
               {"STANDARD", "standard"},
               {"STANDARD_CONSTRAINED", "standardConstrained"},
               {"STANDARD_EXTENDED", "standardExtended"},
               {"ENHANCED", "enhanced"}});
    constants(m, "Context3DRenderMode", {{"AUTO", "auto"}, {"SOFTWARE", "software"}});
    constants(m, "Context3DWrapMode",
              {{"CLAMP", "clamp"},
               {"REPEAT", "repeat"},
               {"CLAMP_U_REPEAT_V", "clamp_u_repeat_v"},
               {"REPEAT_U_CLAMP_V", "repeat_u_clamp_v"}});
    constants(m, "Context3DTextureFilter",
              {{"NEAREST", "nearest"},
               {"LINEAR", "linear"},
               {"ANISOTROPIC2X", "anisotropic2x"},
               {"ANISOTROPIC4X", "anisotropic4x"},
               {"ANISOTROPIC8X", "anisotropic8x"},
               {"ANISOTROPIC16X", "anisotropic16x"}});
    constants(m, "Context3DMipFilter",
              {{"MIPNONE", "mipnone"}, {"MIPNEAREST", "mipnearest"}, {"MIPLINEAR", "miplinear"}});
    constants(m, "Context3DBufferUsage",
              {{"STATIC_DRAW", "staticDraw"}, {"DYNAMIC_DRAW", "dynamicDraw"}});
    Class* mask = m.defineClass("flash.display3D", "Context3DClearMask", m.objectClass);
    m.defineStaticConst(mask, "COLOR", Value::integer(1));
    m.defineStaticConst(mask, "DEPTH", Value::integer(2));
    m.defineStaticConst(mask, "STENCIL", Value::integer(4));
    m.defineStaticConst(mask, "ALL", Value::integer(7));
}

} // namespace

void installDisplay3D(Machine& m) {
    Class* dispatcher = m.findClass("flash.events::EventDispatcher");
    if (Class* event = m.findClass("flash.events::Event")) {
        m.defineStaticConst(event, "CONTEXT3D_CREATE", Value::string("context3DCreate"));
    }
    Class* stage3D = m.defineClass("flash.display", "Stage3D", dispatcher);
    m.defineGetter(stage3D, "context3D", stage3DContext);
    m.defineMethod(stage3D, "requestContext3D", requestContext);
    m.defineMethod(stage3D, "requestContext3DMatchingProfiles",
                   [](Machine& mm, const Value& self, Args&) {
                       Args none;
                       return requestContext(mm, self, none);
                   });
    m.defineGetter(stage3D, "x", stage3DPosition<'x'>);
    m.defineSetter(stage3D, "x", stage3DSetPosition<'x'>);
    m.defineGetter(stage3D, "y", stage3DPosition<'y'>);
    m.defineSetter(stage3D, "y", stage3DSetPosition<'y'>);
    m.defineGetter(stage3D, "visible", stage3DVisible);
    m.defineSetter(stage3D, "visible", stage3DSetVisible);
    if (Class* stage = m.findClass("flash.display::Stage")) {
        m.defineGetter(stage, "stage3Ds", stageStage3Ds);
    }

    Class* context = m.defineClass("flash.display3D", "Context3D", dispatcher);
    m.defineMethod(context, "configureBackBuffer", configureBackBuffer);
    m.defineMethod(context, "clear", contextClear);
    m.defineMethod(context, "setProgram", setProgram);
    m.defineMethod(context, "setVertexBufferAt", setVertexBufferAt);
    m.defineMethod(context, "setProgramConstantsFromVector", setConstantsFromVector);
    m.defineMethod(context, "setProgramConstantsFromMatrix", setConstantsFromMatrix);
    m.defineMethod(context, "setProgramConstantsFromByteArray", setConstantsFromByteArray);
    m.defineMethod(context, "setTextureAt", setTextureAt);
    m.defineMethod(context, "setSamplerStateAt", setSamplerStateAt);
    m.defineMethod(context, "setBlendFactors", setBlendFactors);
    m.defineMethod(context, "setColorMask", setColorMask);
    m.defineMethod(context, "setCulling", setCulling);
    m.defineMethod(context, "setDepthTest", setDepthTest);
    m.defineMethod(context, "setStencilActions", setStencilActions);
    m.defineMethod(context, "setStencilReferenceValue", setStencilReferenceValue);
    m.defineMethod(context, "setScissorRectangle", setScissorRectangle);
    m.defineMethod(context, "setRenderToTexture", setRenderToTexture);
    m.defineMethod(context, "setRenderToBackBuffer", setRenderToBackBuffer);
    m.defineMethod(context, "drawTriangles", drawTriangles);
    m.defineMethod(context, "present", present);
    m.defineMethod(context, "dispose", contextDispose);
    m.defineMethod(context, "drawToBitmapData", drawToBitmapData);
    m.defineGetter(context, "enableErrorChecking", [](Machine&, const Value& self, Args&) {
        return hiddenField(self, "enableErrorChecking", Value::boolean(false));
    });
    m.defineSetter(context, "enableErrorChecking", [](Machine&, const Value& self, Args& a) {
        setHiddenField(self, "enableErrorChecking", Value::boolean(Machine::toBoolean(arg(a, 0))));
        return Value();
    });
    m.defineGetter(context, "profile",
                   [](Machine&, const Value&, Args&) { return Value::string("baseline"); });
    m.defineGetter(context, "driverInfo", driverInfo);
    m.defineGetter(context, "backBufferWidth", backBufferSize<true>);
    m.defineGetter(context, "backBufferHeight", backBufferSize<false>);
    installConstants(m);
    installDisplay3DResources(m);
}

} // namespace avm2
