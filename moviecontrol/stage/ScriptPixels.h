#pragma once
// A script's BitmapData pixels as the timeline draws them: read as they are at each frame,
// nothing once the script disposed of them. Both script machines show bitmaps through it.
#include "PixelSource.h"
#include "pixels/BitmapPixels.h"

#include <memory>

namespace mc {

class ScriptPixels final : public PixelSource {
  public:
    explicit ScriptPixels(std::weak_ptr<pixels::BitmapPixels> pixels)
        : pixels_(std::move(pixels)) {}
    int width() const override {
        const auto p = pixels_.lock();
        return p ? p->width() : 0;
    }
    int height() const override {
        const auto p = pixels_.lock();
        return p ? p->height() : 0;
    }
    // Valid while the BitmapData keeps its pixels: scripts, which alone dispose of them,
    // never run while a frame is drawn.
    const std::uint32_t* premultiplied() const override {
        const auto p = pixels_.lock();
        return p ? p->data() : nullptr;
    }

  private:
    std::weak_ptr<pixels::BitmapPixels> pixels_;
};

} // namespace mc
