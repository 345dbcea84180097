#pragma once

#include <cstdint>

namespace mc {

// Pixels a script made and attached to a clip (BitmapData.attachBitmap): premultiplied
// ARGB, 0xAARRGGBB, row by row. The script may change them between frames; the renderer
// reads them as they are when it draws.
class PixelSource {
  public:
    virtual ~PixelSource() = default;
    // 0 by 0 once the script disposed of them.
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual const std::uint32_t* premultiplied() const = 0;
};

} // namespace mc
