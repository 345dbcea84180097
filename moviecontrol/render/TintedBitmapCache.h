#pragma once

#include <QImage>
#include <cstdint>

#include "ColorTransform.h"
#include "KeptImages.h"

namespace mc {

// Colour-transformed copies of the movie's bitmaps, kept across frames. A bitmap shown with
// the same tint frame after frame (a dimmed background, a coloured logo) is transformed once
// instead of every frame, which for a large bitmap is most of the frame's time. A fade asks
// for a new tint each frame; its old copies go as they fall idle or the budget fills.
class TintedBitmapCache {
  public:
    static constexpr qint64 kDefaultBudgetBytes = 192LL << 20;
    // A copy unused this many frames goes: the tint it was made for has passed.
    static constexpr std::uint64_t kIdleFrames = 2;

    explicit TintedBitmapCache(qint64 budgetBytes = kDefaultBudgetBytes)
        : kept_(budgetBytes, kIdleFrames, kMaxEntries) {}

    // `source` with `cx` applied (premultiplied). `id` names the source; a copy larger than
    // the whole budget is made but not kept.
    QImage tinted(std::uint16_t id, const QImage& source, const ColorTransform& cx);
    // Forgets what went unused for a while; called once per painted frame.
    void startFrame() { kept_.startFrame(); }

    long hits() const { return hits_; }
    long misses() const { return misses_; }
    std::size_t entries() const { return kept_.size(); }
    qint64 bytesHeld() const { return kept_.bytes(); }

  private:
    static constexpr std::size_t kMaxEntries = 256;
    struct Key {
        std::uint16_t id = 0;
        // The source's own key: a source replaced under the same id is not mistaken for it.
        qint64 source = 0;
        ColorTransform cx;
        friend bool operator==(const Key&, const Key&) = default;
    };

    KeptImages<Key> kept_;
    long hits_ = 0;
    long misses_ = 0;
};

} // namespace mc
