#pragma once

#include <QImage>
#include <cstdint>
#include <map>

#include "ScaledBitmapCache.h"
#include "TintedBitmapCache.h"
#include "swf/Movie.h"

namespace mc {

// The movie's bitmap characters as premultiplied QImages, decoded on first use and kept.
// A bitmap that cannot be decoded is a null image (drawn as nothing), and so is every
// bitmap past the movie's memory budget: many large bitmaps must not add up without bound.
class BitmapLibrary {
  public:
    static constexpr qint64 kDefaultBudgetBytes = 768LL << 20;

    explicit BitmapLibrary(const swf::Movie& movie, qint64 budgetBytes = kDefaultBudgetBytes)
        : movie_(movie), budget_(budgetBytes) {}

    const QImage& image(std::uint16_t id);
    // Whether the bitmap's tag can hold transparency, which a script's BitmapData of it keeps
    // (its `transparent`): DefineBitsLossless2 and the third and fourth JPEG tags carry
    // alpha, and so do PNG and GIF files in any JPEG tag; DefineBits, DefineBitsJPEG2 with
    // JPEG data and DefineBitsLossless are opaque.
    bool transparent(std::uint16_t id) const;
    qint64 bytesHeld() const { return held_; }
    // The bitmap with `cx` applied (the bitmap itself for the identity).
    QImage tinted(std::uint16_t id, const ColorTransform& cx);
    // Called once per painted frame: copies no longer asked for go.
    void startFrame() {
        tints_.startFrame();
        scaled_.startFrame();
    }
    const TintedBitmapCache& tints() const { return tints_; }
    // Shrunk copies of the bitmaps (and of their tinted copies) for drawing.
    ScaledBitmapCache& scaled() { return scaled_; }

  private:
    QImage decode(std::uint16_t id) const;

    const swf::Movie& movie_;
    qint64 budget_;
    qint64 held_ = 0;
    std::map<std::uint16_t, QImage> images_;
    TintedBitmapCache tints_;
    ScaledBitmapCache scaled_;
};

} // namespace mc
