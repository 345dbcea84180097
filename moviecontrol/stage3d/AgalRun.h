#pragma once
// Runs a checked AGAL program for one vertex or one fragment. Registers hold four floats;
// reads outside what was given read zeros, so a program never reaches past its inputs.

#include "stage3d/Agal.h"

#include <array>
#include <span>

namespace stage3d {

using Vec4 = std::array<float, 4>;

// How texture coordinates change from one pixel to the next, across and down the screen.
struct Derivatives {
    Vec4 dx{};
    Vec4 dy{};
};

// What tex instructions read: the textures bound to the sampler registers. `change` is how
// the coordinates move per pixel when it is known (it picks the mip level).
class TextureUnits {
  public:
    virtual ~TextureUnits() = default;
    virtual Vec4 sample(const SamplerFlags& flags, const Vec4& coordinates,
                        const Derivatives* change = nullptr) const = 0;
};

struct ShaderInputs {
    std::span<const Vec4> constants;
    std::span<const Vec4> attributes; // vertex programs
    std::span<const Vec4> varyings;   // fragment programs
    // How each varying changes per pixel across and down (empty: unknown, taken as 0).
    std::span<const Vec4> varyingsDx;
    std::span<const Vec4> varyingsDy;
    const TextureUnits* textures = nullptr;
};

constexpr std::size_t kMaxVaryings = 10;
constexpr std::size_t kMaxOutputs = 4;

struct ShaderOutputs {
    std::array<Vec4, kMaxOutputs> out{};       // op, or oc and further colour outputs
    std::array<Vec4, kMaxVaryings> varyings{}; // what a vertex program hands on
    float depth = 0;
    bool depthWritten = false;
    bool killed = false;
};

void runAgal(const AgalProgram& program, const ShaderInputs& in, ShaderOutputs& out);

// One instruction's arithmetic on already-swizzled operands (no dest mask): the table the
// interpreter follows, kept apart so that it can be checked on its own.
Vec4 applyOpcode(std::uint8_t opcode, const Vec4& a, const Vec4& b);

} // namespace stage3d
