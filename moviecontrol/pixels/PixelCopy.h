#pragma once
// BitmapData.copyPixels with its alpha bitmap and mergeAlpha: which pixels are laid over the
// destination and which replace it, and the alpha a second bitmap gives them.

#include "pixels/BitmapEffects.h"
#include "pixels/BitmapPixels.h"

#include <optional>

namespace pixels {

struct AlphaSource {
    const BitmapPixels* bitmap = nullptr;
    int x = 0, y = 0; // the alpha bitmap's pixel under the source rectangle's top-left
};

// Copies `at` from `source` into `dest`. Pixels are laid over the destination (source over)
// when `mergeAlpha` is set, or when a transparent source meets an opaque destination; they
// replace it otherwise. With an alpha source, each pixel's alpha is the source's scaled by
// the alpha bitmap's ((a * b) >> 8; only the alpha bitmap's when the source is opaque), the
// pixels the alpha bitmap does not reach are left alone, and pixels are laid over when
// `mergeAlpha` is set or the destination is opaque. A source given as its own alpha bitmap at
// the source rectangle's corner is copied as without one.
void copyPixels(BitmapPixels& dest, const BitmapPixels& source, Placement at,
                std::optional<AlphaSource> alpha, bool mergeAlpha);

} // namespace pixels
