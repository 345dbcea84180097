#pragma once
// The convolution filter: a matrix of weights over each pixel's neighbourhood.

#include "swf/Filters.h"

#include <QImage>
#include <cstdint>

namespace mc {

// Work above this many multiply-adds (pixels times matrix entries) is not done: the layer
// is returned unfiltered, as a frame must not stall on one huge kernel.
inline constexpr std::int64_t kMaxConvolutionWork = 64LL * 1024 * 1024;

// On unpremultiplied colour in 0..255: sum(weight * neighbour) / divisor + bias, the matrix
// centred at (columns / 2, rows / 2). Neighbours outside the layer repeat the edge pixel
// when `clamp` is set, else take the default colour. With `preserveAlpha` only colour is
// convolved and alpha stays. A zero divisor counts as 1; missing matrix entries as 0.
QImage applyConvolution(const QImage& source, const swf::ConvolutionFilter& filter);

} // namespace mc
