#include "TintedBitmapCache.h"

#include "ImageColorTransform.h"

namespace mc {

QImage TintedBitmapCache::tinted(std::uint16_t id, const QImage& source, const ColorTransform& cx) {
    const Key key{id, source.cacheKey(), cx};
    if (const auto* kept = kept_.find(key)) {
        ++hits_;
        return kept->image;
    }
    ++misses_;
    QImage image = colorTransformed(source, cx);
    if (!image.isNull()) {
        kept_.add(key, image);
    }
    return image;
}

} // namespace mc
