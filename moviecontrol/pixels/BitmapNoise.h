#pragma once
// BitmapData's generated pixels: random noise, Perlin noise and the pixel dissolve. All are
// deterministic for a seed, so that a movie paints the same picture every time it plays.

#include "pixels/BitmapEffects.h"
#include "pixels/BitmapPixels.h"

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace pixels {

// The "minimal standard" generator: state * 16807 mod (2^31 - 1). A seed of 0 or less
// starts from 1 - seed, since the generator would stay at 0 for ever.
class ParkMiller {
  public:
    explicit ParkMiller(std::int64_t seed);
    // The next state, in 1 .. 2^31 - 2.
    std::uint32_t next();

  private:
    std::uint64_t state_;
};

// Channel bits as scripts give them.
enum : std::uint32_t { RedBit = 1, GreenBit = 2, BlueBit = 4, AlphaBit = 8 };

// Fills the whole bitmap with random channel values in low..high (clamped to 0..255): the
// channels in `channels` get one each, row by row, red first; a grey picture takes one value
// for red, green and blue. Channels left out are 0, alpha 255.
void fillNoise(BitmapPixels& bitmap, std::int64_t seed, int low, int high, std::uint32_t channels,
               bool gray);

struct PerlinOptions {
    double baseX = 0.0, baseY = 0.0; // pixels per cycle of the first octave
    int octaves = 1;
    std::int64_t seed = 0;
    bool stitch = false;  // edges meet when the picture is tiled
    bool fractal = false; // signed sum; otherwise turbulence (sum of magnitudes)
    std::uint32_t channels = RedBit | GreenBit | BlueBit;
    bool gray = false;
    // Where each octave starts, in pixels; octaves past the end start at 0, 0.
    std::vector<std::pair<double, double>> offsets;
    // Called after each row with the noise evaluations it took; may throw to stop.
    std::function<void(std::uint64_t)> afterRow;
};

// Noise evaluations one perlinNoise call may do past its first octave; octaves beyond it
// are left out.
constexpr std::uint64_t PerlinWorkLimit = std::uint64_t{1} << 25;
// Octaves past this weigh less than 1/65536 of the first: they could only move a channel
// by a rounding step, and each costs a pass over the bitmap.
constexpr int MaxPerlinOctaves = 16;

void fillPerlinNoise(BitmapPixels& bitmap, const PerlinOptions& options);

// Writes `numPixels` + 1 pixels of the overlap of `at` in a fixed pseudo-random order that
// visits each pixel once before any twice, starting at position `seed`; they take the
// source's pixel, or `fill` when the source is the destination itself. Returns where the
// next call continues (pass it back as the seed).
std::int64_t pixelDissolve(BitmapPixels& dest, const BitmapPixels& source, Placement at,
                           std::int64_t seed, std::int64_t numPixels, std::uint32_t fill);

// The step of the dissolve order over `count` positions (0 .. count - 1).
std::int64_t nextDissolvePosition(std::int64_t position, std::int64_t count);

} // namespace pixels
