#pragma once

#include "composer/Styles.h"

#include "moviemaker/SwfWriter.h"

#include <cstdint>
#include <vector>

namespace composer {

// A small deterministic generator: the same seed gives the same decoration, byte for byte.
class Lcg {
  public:
    explicit Lcg(uint32_t seed) : state_(seed) {}
    double next() { // in [0, 1)
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / 16777216.0;
    }
    double between(double lo, double hi) { return lo + (hi - lo) * next(); }

  private:
    uint32_t state_;
};

// The style's decoration as sprites that loop on their own, defined in `movie`; each
// id is placed once over the photos (at the stage origin) and left there. Pixel sizes are
// the stage's.
std::vector<uint16_t> defineDecorations(moviemaker::SwfWriter& movie, Decoration decoration,
                                        int width, int height, int fps);

// Closed outlines centred on the origin, `radius` twips across half their width.
void heartOutline(moviemaker::Shape& shape, int32_t radius);
void starOutline(moviemaker::Shape& shape, int32_t radius, int points = 5);

} // namespace composer
