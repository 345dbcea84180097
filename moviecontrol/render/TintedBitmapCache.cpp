#include "TintedBitmapCache.h"

#include <algorithm>

#include "ImageColorTransform.h"

namespace mc {

QImage TintedBitmapCache::tinted(std::uint16_t id, const QImage& source, const ColorTransform& cx) {
    const qint64 key = source.cacheKey();
    for (Entry& e : entries_) {
        if (e.id == id && e.sourceKey == key && e.cx == cx) {
            e.lastUsed = frame_;
            ++hits_;
            return e.image;
        }
    }
    ++misses_;
    QImage image = colorTransformed(source, cx);
    const qint64 bytes = image.sizeInBytes();
    if (image.isNull() || bytes > budget_) {
        return image;
    }
    while (!entries_.empty() && bytes_ + bytes > budget_) {
        evictOldest();
    }
    bytes_ += bytes;
    entries_.push_back(Entry{id, key, cx, image, frame_});
    return image;
}

void TintedBitmapCache::evictOldest() {
    const auto oldest =
        std::min_element(entries_.begin(), entries_.end(),
                         [](const Entry& p, const Entry& q) { return p.lastUsed < q.lastUsed; });
    bytes_ -= oldest->image.sizeInBytes();
    entries_.erase(oldest);
}

void TintedBitmapCache::startFrame() {
    ++frame_;
    std::erase_if(entries_, [this](const Entry& e) {
        if (frame_ - e.lastUsed <= kIdleFrames) {
            return false;
        }
        bytes_ -= e.image.sizeInBytes();
        return true;
    });
}

} // namespace mc
