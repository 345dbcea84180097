#pragma once
// The blur every filter is built on: repeated separable box passes, as Flash does it
// (quality = number of passes). Each pass costs the same whatever the radius.

#include "FilterScale.h"
#include "PixelMath.h"

namespace mc {

// Box widths in device pixels (full width, left edge to right edge) and the pass count.
struct BlurSize {
    double x = 0.0;
    double y = 0.0;
    int passes = 1;

    bool none() const { return passes <= 0 || (x <= 1.0 && y <= 1.0); }
};

// A filter's blur in stage pixels turned into device pixels. Sizes are capped at 255 stage
// pixels and passes at 15, as Flash caps them.
BlurSize deviceBlur(double blurX, double blurY, int passes, FilterScale scale);

// How far (pixels, each side) `passes` boxes of full width `width` spread a pixel.
int blurReach(double width, int passes);

// Blurs the plane (values 0..1 in steps of 1/255, such as an alpha plane) in place; values
// outside it count as 0. A box of non-integer width weighs its two end pixels by the
// fraction, so it stays centred. Each pass truncates its result to a step of 1/255, as
// Flash's 8-bit passes do.
void boxBlur(Plane& plane, const BlurSize& size);

} // namespace mc
