#pragma once
// Runs a Pixel Bender kernel once per output pixel. Registers hold four floats (or four
// ints: bools live in int registers); parameters are loaded once, and each pixel starts from
// them with _OutCoord set to the pixel's centre.
#include "shader/PbjProgram.h"

#include <array>
#include <vector>

namespace shader {

// An image input: `channels` floats a pixel, row by row, each 0..1 for a bitmap.
struct PbjImage {
    int width = 0;
    int height = 0;
    int channels = 4;
    std::vector<float> values;
};

class PbjMachine {
  public:
    // The program must outlive the machine.
    explicit PbjMachine(const PbjProgram& program);

    // A parameter's value, its components in order (ints and bools as numbers). Missing
    // components are 0; a value that is not a number becomes 0.
    void setParameter(const PbjParam& param, const std::vector<double>& values);
    // The image behind the texture slot `index` (null: every sample is transparent). The
    // image must outlive the runs.
    void setImage(int index, const PbjImage* image);

    // The output's channels for the pixel whose centre is x, y (the output's missing
    // channels are 0).
    std::array<float, 4> run(float x, float y);
    // How many channels the output parameter has (0 without one).
    int outputChannels() const;

  private:
    using Floats = std::array<float, 4>;
    using Ints = std::array<std::int32_t, 4>;

    void step(const PbjOp& o);
    void matrixOp(const PbjOp& o);
    void sample(const PbjOp& o);
    void select(const PbjOp& o);
    // The source's components (swizzled), as floats.
    std::array<double, 4> read(std::uint32_t src, int size) const;
    // The destination's masked channels, in order, as floats.
    std::array<double, 4> readMasked(std::uint16_t dst, std::uint8_t mask) const;
    void write(std::uint16_t dst, std::uint8_t mask, const std::array<double, 4>& v, int n);
    void writeInt0(bool v);
    bool condition(std::uint32_t src) const;
    // Whether an n x n matrix starting at float register `base` lies inside the register file.
    bool matrixFits(std::size_t base, int n) const;
    std::array<float, 16> readMatrix(std::uint16_t reg, int n) const;
    void writeMatrix(std::uint16_t reg, int n, const std::array<float, 16>& m);

    const PbjProgram& program_;
    std::vector<Floats> floatStart_, floats_;
    std::vector<Ints> intStart_, ints_;
    std::vector<const PbjImage*> images_;
    const PbjParam* coord_ = nullptr;
    const PbjParam* output_ = nullptr;
};

} // namespace shader
