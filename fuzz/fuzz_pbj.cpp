// Reads arbitrary bytes as a Pixel Bender kernel and runs what is accepted over a few pixels,
// its parameters and images filled with hostile numbers: nothing may crash or read outside
// its registers and images.
#include "shader/PbjMachine.h"
#include "shader/PbjProgram.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const shader::PbjParse parsed = shader::parsePbj(std::span<const std::uint8_t>(data, size));
    if (parsed.error != shader::PbjError::None) {
        return 0;
    }
    const double hostile[] = {std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity(), -1e300, 65537.5, -3};
    shader::PbjMachine machine(parsed.program);
    std::size_t next = 0;
    for (const shader::PbjParam& param : parsed.program.params) {
        if (!param.output) {
            std::vector<double> values(16, hostile[next++ % std::size(hostile)]);
            machine.setParameter(param, values);
        }
    }
    shader::PbjImage image;
    image.width = 3;
    image.height = 2;
    image.values.assign(static_cast<std::size_t>(image.width * image.height * image.channels),
                        0.5f);
    image.values[0] = std::numeric_limits<float>::quiet_NaN();
    for (const shader::PbjTexture& texture : parsed.program.textures) {
        machine.setImage(texture.index, &image);
    }
    const float points[][2] = {
        {0.5f, 0.5f}, {2.5f, 1.5f}, {-1e9f, 1e9f}, {std::numeric_limits<float>::quiet_NaN(), 0.5f}};
    for (const auto& p : points) {
        machine.run(p[0], p[1]);
    }
    return 0;
}
