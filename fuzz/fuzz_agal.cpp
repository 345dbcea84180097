// Reads arbitrary bytes as a Stage3D program of either kind and runs what is accepted on
// arbitrary registers: no program may crash, read outside its registers or loop.
#include "stage3d/Agal.h"
#include "stage3d/AgalRun.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace {

// Every sampler reads one colour taken from the coordinates, so tex runs its whole path.
class EchoTextures final : public stage3d::TextureUnits {
  public:
    stage3d::Vec4 sample(const stage3d::SamplerFlags&, const stage3d::Vec4& coordinates,
                         const stage3d::Derivatives*) const override {
        return coordinates;
    }
};

// Registers filled from the input's own bytes (NaN and infinities included).
std::vector<stage3d::Vec4> registersFrom(std::span<const std::uint8_t> bytes, std::size_t count) {
    std::vector<stage3d::Vec4> out(count);
    const std::size_t wanted = count * sizeof(stage3d::Vec4);
    std::memcpy(out.data(), bytes.data(), std::min(wanted, bytes.size()));
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const EchoTextures textures;
    for (stage3d::ProgramKind kind :
         {stage3d::ProgramKind::Vertex, stage3d::ProgramKind::Fragment}) {
        const stage3d::AgalResult read = stage3d::readAgal(bytes, kind);
        if (!read.program) {
            continue;
        }
        // Fewer registers than the program may name: reads past them must give zeros.
        const std::vector<stage3d::Vec4> constants = registersFrom(bytes, 8);
        const std::vector<stage3d::Vec4> attributes = registersFrom(bytes.subspan(size / 2), 3);
        stage3d::ShaderInputs in;
        in.constants = constants;
        in.attributes = attributes;
        in.varyings = attributes;
        in.varyingsDx = constants;
        in.textures = &textures;
        stage3d::ShaderOutputs out;
        stage3d::runAgal(*read.program, in, out);
    }
    return 0;
}
