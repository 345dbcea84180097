#pragma once
// The box blur of BoxBlur.h on a whole premultiplied ARGB32 picture at once: the four
// channels of a pixel are summed together in integers, so no per-channel planes are made.

#include "BoxBlur.h"

#include <QImage>

namespace mc {

// Blurs `image` (Format_ARGB32_Premultiplied) in place; outside it counts as transparent.
// Each pass rounds to 8 bits, as Flash's own blur does; colour never exceeds alpha.
void boxBlurImage(QImage& image, const BlurSize& size);

} // namespace mc
