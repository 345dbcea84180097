#pragma once

// Filter records as PlaceObject3 stores them, for the picture-rule movies.

#include "moviemaker/Records.h"

#include <cstdint>
#include <vector>

namespace picturerules {

struct ShadowLike {
    moviemaker::Rgba color{0, 0, 0, 255};
    moviemaker::Rgba highlight{255, 255, 255, 255}; // bevels only
    double blurX = 6;
    double blurY = 6;
    double angle = 0.785398;
    double distance = 4;
    double strength = 1;
    bool inner = false;
    bool knockout = false;
    bool compositeSource = true;
    bool onTop = false;
    uint8_t passes = 1;
};

struct GradientFilter {
    std::vector<moviemaker::Rgba> colors;
    std::vector<uint8_t> ratios;
    ShadowLike common;
};

// Each appends one filter (its id byte first) to `list`; finish with filterList().
void dropShadow(std::vector<uint8_t>& list, const ShadowLike& f);
void blur(std::vector<uint8_t>& list, double blurX, double blurY, uint8_t passes);
void glow(std::vector<uint8_t>& list, const ShadowLike& f);
void bevel(std::vector<uint8_t>& list, const ShadowLike& f);
void gradientGlow(std::vector<uint8_t>& list, const GradientFilter& f, bool isBevel);
void convolution(std::vector<uint8_t>& list, uint8_t columns, uint8_t rows,
                 const std::vector<float>& matrix, float divisor, float bias, bool clamp,
                 bool preserveAlpha, moviemaker::Rgba fallback);
void colorMatrix(std::vector<uint8_t>& list, const std::vector<float>& matrix);

// The count byte and the records.
std::vector<uint8_t> filterList(int count, const std::vector<uint8_t>& records);

} // namespace picturerules
