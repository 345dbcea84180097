// Triangles drawn by the software rasterizer, checked pixel by pixel: coverage and facing,
// depth with each compare mode, stencil reference, masks and actions, blending, colour mask
// and scissor.
#include <gtest/gtest.h>

#include "AgalProgramBuilder.h"
#include "stage3d/Raster3D.h"

#include <bit>

namespace stage3d {
namespace {

using testing::AgalWriter;
using testing::out;
using testing::va;
using testing::vary;
using testing::vc;

constexpr int kSide = 8;

// A target with depth and stencil, and a pipeline drawing flat triangles: each vertex is
// (x, y, z) in clip space and the colour comes from fragment constant 0.
class Scene {
  public:
    Scene() {
        color.assign(kSide * kSide, 0xFF000000u);
        depth.assign(kSide * kSide, 1.0f);
        stencil.assign(kSide * kSide, 0);
        target = {kSide, kSide, &color, &depth, &stencil};
        AgalWriter v(ProgramKind::Vertex);
        v.op(OpMov, out(), va(0));
        vertex = *readAgal(v.bytes(), ProgramKind::Vertex).program;
        AgalWriter f(ProgramKind::Fragment);
        f.op(OpMov, out(), vc(0));
        fragment = *readAgal(f.bytes(), ProgramKind::Fragment).program;
    }

    // Draws triangle (x0,y0)-(x1,y1)-(x2,y2) at depth z in colour rgba.
    void triangle(std::array<float, 6> xy, float z, Vec4 rgba) {
        auto data = std::make_shared<std::vector<std::uint32_t>>();
        for (std::size_t i = 0; i < 3; ++i) {
            data->push_back(std::bit_cast<std::uint32_t>(xy[i * 2]));
            data->push_back(std::bit_cast<std::uint32_t>(xy[i * 2 + 1]));
            data->push_back(std::bit_cast<std::uint32_t>(z));
        }
        std::array<Vec4, 1> constants = {rgba};
        const std::array<std::uint16_t, 3> indices = {0, 1, 2};
        DrawCall call;
        call.vertex = &vertex;
        call.fragment = &fragment;
        call.fragmentConstants = constants;
        call.streams[0] = {data, 3, 0, VertexFormat::Float3};
        call.indices = indices;
        call.triangles = 1;
        std::uint64_t budget = 1 << 20;
        drawTriangles(target, state, call, budget);
    }
    // The whole target, clockwise on the screen (front facing).
    void full(float z, Vec4 rgba) { triangle({-1, 1, 3, 1, -1, -3}, z, rgba); }
    std::uint32_t at(int x, int y) const { return color[static_cast<std::size_t>(y * kSide + x)]; }

    std::vector<std::uint32_t> color;
    std::vector<float> depth;
    std::vector<std::uint8_t> stencil;
    RenderTarget target;
    PipelineState state;
    AgalProgram vertex;
    AgalProgram fragment;
};

TEST(Raster3D, CoversPixelCentresAndCullsByFacing) {
    Scene s;
    // The left half: x from -1 to 0 covers columns 0..3.
    s.triangle({-1, 1, 0, 1, 0, -1}, 0.5f, {1, 0, 0, 1});
    s.triangle({-1, 1, 0, -1, -1, -1}, 0.5f, {1, 0, 0, 1});
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            EXPECT_EQ(s.at(x, y), x < 4 ? 0xFFFF0000u : 0xFF000000u) << x << "," << y;
        }
    }
    // The same triangle wound the other way is back facing.
    s.state.culling = Face::Back;
    s.triangle({-1, 1, -1, -3, 3, 1}, 0.1f, {0, 1, 0, 1});
    EXPECT_EQ(s.at(6, 6), 0xFF000000u);
    s.state.culling = Face::Front;
    s.triangle({-1, 1, -1, -3, 3, 1}, 0.1f, {0, 1, 0, 1});
    EXPECT_EQ(s.at(6, 6), 0xFF00FF00u);
}

TEST(Raster3D, DepthCompareModes) {
    struct Case {
        Compare mode;
        bool nearerPasses;
        bool equalPasses;
    };
    const std::vector<Case> cases = {
        {Compare::Less, true, false},     {Compare::LessEqual, true, true},
        {Compare::Greater, false, false}, {Compare::Equal, false, true},
        {Compare::NotEqual, true, false}, {Compare::Always, true, true},
        {Compare::Never, false, false},   {Compare::GreaterEqual, false, true}};
    for (const Case& c : cases) {
        Scene s;
        s.state.depthCompare = Compare::Always;
        s.full(0.5f, {0, 0, 1, 1});
        s.state.depthCompare = c.mode;
        s.full(0.25f, {1, 0, 0, 1});
        EXPECT_EQ(s.at(3, 3) == 0xFFFF0000u, c.nearerPasses) << int(c.mode);
        Scene e;
        e.state.depthCompare = Compare::Always;
        e.full(0.5f, {0, 0, 1, 1});
        e.state.depthCompare = c.mode;
        e.full(0.5f, {1, 0, 0, 1});
        EXPECT_EQ(e.at(3, 3) == 0xFFFF0000u, c.equalPasses) << int(c.mode);
    }
}

TEST(Raster3D, StencilReferenceMasksAndActions) {
    Scene s;
    s.state.depthCompare = Compare::Always;
    // Mark the left half with 3, then draw only where the stencil equals 3.
    s.state.front = {Compare::Always, StencilAction::Set, StencilAction::Keep, StencilAction::Keep};
    s.state.stencilReference = 3;
    s.state.colorMask = {false, false, false, false};
    s.triangle({-1, 1, 0, 1, 0, -1}, 0.5f, {1, 1, 1, 1});
    s.triangle({-1, 1, 0, -1, -1, -1}, 0.5f, {1, 1, 1, 1});
    EXPECT_EQ(s.stencil[0], 3);
    EXPECT_EQ(s.stencil[7], 0);
    EXPECT_EQ(s.at(0, 0), 0xFF000000u);
    s.state.colorMask = {true, true, true, true};
    s.state.front = {Compare::Equal, StencilAction::IncrementSaturate, StencilAction::Keep,
                     StencilAction::Invert};
    s.full(0.5f, {0, 1, 0, 1});
    EXPECT_EQ(s.at(1, 1), 0xFF00FF00u);
    EXPECT_EQ(s.at(6, 1), 0xFF000000u);
    EXPECT_EQ(s.stencil[1], 4);   // passed: incremented
    EXPECT_EQ(s.stencil[6], 255); // failed: inverted
    // The write mask keeps the bits it leaves out.
    s.state.front = {Compare::Always, StencilAction::Zero, StencilAction::Keep,
                     StencilAction::Keep};
    s.state.stencilWriteMask = 0x0F;
    s.full(0.5f, {0, 1, 0, 1});
    EXPECT_EQ(s.stencil[6], 0xF0);
    EXPECT_EQ(applyStencil(StencilAction::DecrementWrap, 0, 0), 255);
    EXPECT_EQ(applyStencil(StencilAction::DecrementSaturate, 0, 0), 0);
    EXPECT_EQ(applyStencil(StencilAction::IncrementWrap, 255, 0), 0);
}

TEST(Raster3D, BlendFactorsColorMaskAndScissor) {
    Scene s;
    s.state.depthCompare = Compare::Always;
    s.full(0.5f, {0, 0, 1, 1});
    s.state.source = BlendFactor::SourceAlpha;
    s.state.destination = BlendFactor::OneMinusSourceAlpha;
    s.full(0.5f, {1, 0, 0, 0.5f});
    EXPECT_EQ(s.at(2, 2), 0xBF800080u); // alpha 0.5*0.5+1*0.5, colours half and half
    s.state.source = BlendFactor::One;
    s.state.destination = BlendFactor::One;
    s.state.colorMask = {false, true, false, false};
    s.full(0.5f, {1, 1, 1, 1});
    EXPECT_EQ(s.at(2, 2), 0xBF80FF80u);
    s.state.source = BlendFactor::One;
    s.state.destination = BlendFactor::Zero;
    s.state.colorMask = {true, true, true, true};
    s.state.scissor = ScissorBox{2, 3, 2, 1};
    s.full(0.5f, {1, 1, 1, 1});
    EXPECT_EQ(s.at(2, 3), 0xFFFFFFFFu);
    EXPECT_EQ(s.at(3, 3), 0xFFFFFFFFu);
    EXPECT_EQ(s.at(4, 3), 0xBF80FF80u);
    EXPECT_EQ(s.at(2, 2), 0xBF80FF80u);
    // A scissor box outside the target draws nothing.
    s.state.scissor = ScissorBox{100, -50, 20, 20};
    s.full(0.5f, {0, 0, 0, 1});
    EXPECT_EQ(s.at(0, 0), 0xBF80FF80u);
}

TEST(Raster3D, ClipsBehindTheViewerAndFetchesFormats) {
    Scene s;
    s.state.depthCompare = Compare::Always;
    // Depth below 0 is clipped away.
    s.full(-0.5f, {1, 1, 1, 1});
    EXPECT_EQ(s.at(3, 3), 0xFF000000u);
    auto words = std::make_shared<std::vector<std::uint32_t>>(
        std::vector<std::uint32_t>{0x04030201u, std::bit_cast<std::uint32_t>(2.5f)});
    const Vec4 bytes = fetchAttribute({words, 2, 0, VertexFormat::Bytes4}, 0);
    EXPECT_NEAR(bytes[0], 1.0f / 255, 1e-6);
    EXPECT_NEAR(bytes[3], 4.0f / 255, 1e-6);
    EXPECT_EQ(fetchAttribute({words, 2, 1, VertexFormat::Float1}, 0), (Vec4{2.5f, 0, 0, 1}));
    // Past the end of the buffer reads zeros.
    EXPECT_EQ(fetchAttribute({words, 2, 1, VertexFormat::Float2}, 5), (Vec4{0, 0, 0, 1}));
}

} // namespace
} // namespace stage3d
