#pragma once
// BitmapData objects as the stage sees them: the pixels a clip shows once a script attached
// the bitmap.

#include "avm1/Value.h"
#include "pixels/BitmapPixels.h"

#include <memory>

namespace avm1 {

// The pixels of a BitmapData object, shared with it; null for anything else and for a
// disposed bitmap. Disposing later lets go of the object's share only.
std::shared_ptr<pixels::BitmapPixels> bitmapDataPixels(const Value& value);

} // namespace avm1
