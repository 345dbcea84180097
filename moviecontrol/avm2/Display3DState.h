#pragma once
// What the flash.display3D objects keep beside their script objects (in nativeData): a
// context's targets and settings, and the buffers, programs and textures it made.

#include "avm2/Runtime.h"
#include "pixels/BitmapPixels.h"
#include "stage3d/Agal.h"
#include "stage3d/Raster3D.h"
#include "stage3d/Texture3D.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace avm2 {

struct Program3DState {
    std::optional<stage3d::AgalProgram> vertex;
    std::optional<stage3d::AgalProgram> fragment;
};

struct Context3DState;

// The share of its context's resource memory a buffer or texture holds until disposed of.
struct Reserved {
    std::weak_ptr<Context3DState> owner;
    std::uint64_t bytes = 0;
};

struct VertexBuffer3DState {
    Reserved reserved;
    std::uint32_t numVertices = 0;
    std::uint32_t data32PerVertex = 0;
    std::shared_ptr<std::vector<std::uint32_t>> data;
};

struct IndexBuffer3DState {
    Reserved reserved;
    std::vector<std::uint16_t> data;
};

struct Texture3DState {
    Reserved reserved;
    std::shared_ptr<stage3d::Texture3D> texture;
};

constexpr std::size_t kVertexConstants = 250;
constexpr std::size_t kFragmentConstants = 64;
// Pixels the triangles of one frame may cover before the rest waits for the next present.
constexpr std::uint64_t kPixelsPerFrame = 64ull << 20;
// The largest back buffer kept in memory; a larger request draws into this much of it.
constexpr int kLargestBuffer = 4096;
// The memory a context's buffers and textures may hold together, as a graphics card's.
constexpr std::uint64_t kResourceBytes = 512ull << 20;

struct Context3DState {
    int width = 0;
    int height = 0;
    bool depthAndStencil = false;
    std::vector<std::uint32_t> color;
    std::vector<float> depth;
    std::vector<std::uint8_t> stencil;
    std::shared_ptr<pixels::BitmapPixels> presented;
    stage3d::PipelineState pipeline;
    std::array<stage3d::Vec4, kVertexConstants> vertexConstants{};
    std::array<stage3d::Vec4, kFragmentConstants> fragmentConstants{};
    std::array<stage3d::VertexStream, stage3d::kMaxStreams> streams;
    std::shared_ptr<Program3DState> program;
    stage3d::BoundTextures textures;
    // Drawing into a texture instead of the back buffer.
    std::shared_ptr<stage3d::Texture3D> renderTexture;
    int renderFace = 0;
    bool renderDepthAndStencil = false;
    std::vector<float> renderDepth;
    std::vector<std::uint8_t> renderStencil;
    std::uint64_t pixelBudget = kPixelsPerFrame;
    // What its buffers and textures hold, in bytes, against kResourceBytes.
    std::uint64_t resourceBytes = 0;
    bool disposed = false;
    Object* stage3D = nullptr;
};

void installDisplay3DResources(Machine& m);

} // namespace avm2
