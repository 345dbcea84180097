#pragma once
// The software rasterizer behind a Context3D: render targets (the back buffer or a texture)
// with their depth and stencil, the fixed-function state scripts set, and drawTriangles,
// which runs the vertex program per vertex, clips, culls, rasterizes with pixel-centre
// sampling, runs the fragment program per pixel and applies the stencil, depth, blend,
// colour mask and scissor rules.

#include "stage3d/AgalRun.h"
#include "stage3d/Texture3D.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace stage3d {

enum class Compare : std::uint8_t {
    Never,
    Less,
    Equal,
    LessEqual,
    Greater,
    NotEqual,
    GreaterEqual,
    Always
};

enum class StencilAction : std::uint8_t {
    DecrementSaturate,
    DecrementWrap,
    IncrementSaturate,
    IncrementWrap,
    Invert,
    Keep,
    Set,
    Zero
};

enum class BlendFactor : std::uint8_t {
    Zero,
    One,
    SourceColor,
    OneMinusSourceColor,
    SourceAlpha,
    OneMinusSourceAlpha,
    DestinationColor,
    OneMinusDestinationColor,
    DestinationAlpha,
    OneMinusDestinationAlpha
};

enum class Face : std::uint8_t { None, Front, Back, FrontAndBack };

enum class VertexFormat : std::uint8_t { Float1, Float2, Float3, Float4, Bytes4 };

bool compare(Compare mode, float a, float b);
std::uint8_t applyStencil(StencilAction action, std::uint8_t value, std::uint8_t reference);

struct ScissorBox {
    int x = 0, y = 0, width = 0, height = 0;
};

struct StencilSide {
    Compare compare = Compare::Always;
    StencilAction bothPass = StencilAction::Keep;
    StencilAction depthFail = StencilAction::Keep;
    StencilAction stencilFail = StencilAction::Keep;
};

struct PipelineState {
    BlendFactor source = BlendFactor::One;
    BlendFactor destination = BlendFactor::Zero;
    bool depthMask = true;
    Compare depthCompare = Compare::Less;
    Face culling = Face::None;
    StencilSide front;
    StencilSide back;
    std::uint8_t stencilReference = 0;
    std::uint8_t stencilReadMask = 0xFF;
    std::uint8_t stencilWriteMask = 0xFF;
    std::array<bool, 4> colorMask{true, true, true, true}; // r g b a
    std::optional<ScissorBox> scissor;
};

// Where drawing lands: unpremultiplied ARGB words, with depth and stencil when asked for.
struct RenderTarget {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t>* color = nullptr;
    std::vector<float>* depth = nullptr;          // null: no depth test
    std::vector<std::uint8_t>* stencil = nullptr; // null: no stencil test
};

struct VertexStream {
    std::shared_ptr<const std::vector<std::uint32_t>> data; // null: not set
    std::uint32_t data32PerVertex = 0;
    std::uint32_t offset = 0;
    VertexFormat format = VertexFormat::Float4;
};

constexpr std::size_t kMaxStreams = 8;

struct DrawCall {
    const AgalProgram* vertex = nullptr;
    const AgalProgram* fragment = nullptr;
    std::span<const Vec4> vertexConstants;
    std::span<const Vec4> fragmentConstants;
    std::array<VertexStream, kMaxStreams> streams;
    std::span<const std::uint16_t> indices;
    std::size_t firstIndex = 0;
    std::size_t triangles = 0;
    const TextureUnits* textures = nullptr;
};

// Fills what `mask` names (1 colour, 2 depth, 4 stencil).
void clearTarget(RenderTarget& target, const Vec4& color, float depth, std::uint8_t stencil,
                 std::uint32_t mask);

// Draws; `pixelBudget` counts the pixels the triangles' boxes may still cover this frame
// and is spent as they are drawn (what is left over is not drawn).
void drawTriangles(RenderTarget& target, const PipelineState& state, const DrawCall& call,
                   std::uint64_t& pixelBudget);

// A vertex stream's attribute for one vertex, missing components filled as (0, 0, 0, 1).
Vec4 fetchAttribute(const VertexStream& stream, std::size_t vertex);

} // namespace stage3d
