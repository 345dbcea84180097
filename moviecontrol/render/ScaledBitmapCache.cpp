#include "ScaledBitmapCache.h"

#include <algorithm>
#include <cmath>

namespace mc {

namespace {

std::optional<QSize> shrunkSize(const QImage& image, const QTransform& toDevice) {
    // Far off, a copy's corner would no longer be a pixel position a device has.
    constexpr double kFar = 1 << 24;
    if (image.isNull() || toDevice.type() > QTransform::TxScale ||
        !(std::abs(toDevice.dx()) < kFar && std::abs(toDevice.dy()) < kFar)) {
        return std::nullopt;
    }
    const double sx = toDevice.m11();
    const double sy = toDevice.m22();
    if (!(sx > 0.0 && sx <= 1.0 && sy > 0.0 && sy <= 1.0) ||
        (sx > ScaledBitmapCache::kLeastShrink && sy > ScaledBitmapCache::kLeastShrink)) {
        return std::nullopt;
    }
    const int w = std::max(1, static_cast<int>(std::lround(image.width() * sx)));
    const int h = std::max(1, static_cast<int>(std::lround(image.height() * sy)));
    return QSize(w, h);
}

} // namespace

std::optional<ScaledBitmapCache::Placed> ScaledBitmapCache::scaledFor(const QImage& image,
                                                                      const QTransform& toDevice) {
    const std::optional<QSize> size = shrunkSize(image, toDevice);
    if (!size) {
        return std::nullopt;
    }
    const QPoint at(static_cast<int>(std::lround(toDevice.dx())),
                    static_cast<int>(std::lround(toDevice.dy())));
    const Key key{image.cacheKey(), *size};
    auto* kept = kept_.find(key);
    if (kept == nullptr) {
        ++misses_;
        kept_.add(key, QImage());
        return std::nullopt;
    }
    if (!kept->image.isNull()) {
        ++hits_;
        return Placed{kept->image, at};
    }
    ++misses_;
    QImage scaled = image.scaled(*size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (scaled.isNull() || !kept_.fill(*kept, scaled)) {
        return std::nullopt;
    }
    return Placed{scaled, at};
}

} // namespace mc
