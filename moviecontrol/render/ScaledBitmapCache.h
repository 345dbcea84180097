#pragma once

#include <QImage>
#include <QTransform>
#include <cstdint>
#include <optional>

#include "KeptImages.h"

namespace mc {

// Copies of large bitmaps shrunk to the size they are seen at, kept across frames. A photo
// many times larger than its place on the screen, drawn smoothly through a scaling matrix,
// costs a filtered lookup into the whole picture for every pixel drawn, every frame; the
// shrunk copy is drawn as a plain copy of pixels. Its averaging also keeps the fine detail
// of the original from glittering as a bilinear lookup that skips most of it would.
class ScaledBitmapCache {
  public:
    static constexpr qint64 kDefaultBudgetBytes = 128LL << 20;
    // A copy unused this many frames goes: its bitmap left or changed its size.
    static constexpr std::uint64_t kIdleFrames = 2;
    // Shrinking by less than this is left to the painter: the lookup stays cheap and local.
    static constexpr double kLeastShrink = 0.75;

    struct Placed {
        QImage image;
        // The device pixel of the copy's top left corner, the nearest to the bitmap's.
        QPoint at;
    };

    explicit ScaledBitmapCache(qint64 budgetBytes = kDefaultBudgetBytes)
        : kept_(budgetBytes, kIdleFrames, kMaxEntries) {}

    // What to draw for `image` under the painter transform `toDevice`: the shrunk copy and
    // where it goes, or none when the image is best drawn as it is. Only a transform that
    // shrinks along the axes qualifies, and a copy is made only for a size asked for
    // before, so that a bitmap whose size or tint changes every frame costs no copies.
    std::optional<Placed> scaledFor(const QImage& image, const QTransform& toDevice);
    void startFrame() { kept_.startFrame(); }

    long hits() const { return hits_; }
    long misses() const { return misses_; }
    std::size_t entries() const { return kept_.size(); }
    qint64 bytesHeld() const { return kept_.bytes(); }

  private:
    // Sizes asked for but not yet made are cheap, but a movie may ask for a new one each frame.
    static constexpr std::size_t kMaxEntries = 256;
    struct Key {
        qint64 source = 0;
        QSize size;
        friend bool operator==(const Key&, const Key&) = default;
    };

    // An entry without a picture is a size asked for once.
    KeptImages<Key> kept_;
    long hits_ = 0;
    long misses_ = 0;
};

} // namespace mc
