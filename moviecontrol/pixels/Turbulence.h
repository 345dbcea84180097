#pragma once
// The gradient noise behind BitmapData.perlinNoise: the turbulence of SVG's feTurbulence
// filter, whose published reference program Flash's noise follows number for number. A
// seed makes four tables of random unit gradients, one for each of four channels, and one
// shuffled lattice.

#include <array>
#include <cstdint>
#include <span>
#include <utility>

namespace pixels {

class Turbulence {
  public:
    explicit Turbulence(std::int64_t seed);

    struct Sum {
        double baseX = 0.0, baseY = 0.0; // cycles per pixel of the first octave
        int octaves = 1;
        bool fractal = false; // signed sum; otherwise the sum of magnitudes
        bool stitch = false;  // whole cycles across `width` x `height`, wrapping at the edges
        double width = 0.0, height = 0.0;
        // Where each octave starts, in pixels; octaves past the end start at 0, 0.
        std::span<const std::pair<double, double>> offsets;
    };

    // The octaves' sum at pixel (x, y) with the gradients of `channel` (0..3): about -1..1
    // for a fractal sum, 0..1 otherwise.
    double at(int channel, double x, double y, const Sum& sum) const;

  private:
    static constexpr int kSize = 256;
    struct Stitch {
        int width = 0, height = 0, wrapX = 0, wrapY = 0;
    };
    double noise(int channel, double x, double y, const Stitch* stitch) const;

    std::array<int, 2 * kSize + 2> lattice_{};
    std::array<std::array<std::array<double, 2>, 2 * kSize + 2>, 4> gradients_{};
};

} // namespace pixels
