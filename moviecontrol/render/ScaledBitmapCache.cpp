#include "ScaledBitmapCache.h"

#include <algorithm>
#include <cmath>

namespace mc {

namespace {

// Sizes asked for but not yet made are cheap, but a movie may ask for a new one every frame.
constexpr std::size_t kMaxEntries = 256;

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
    const qint64 key = image.cacheKey();
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const Entry& e) { return e.key == key && e.size == *size; });
    if (it == entries_.end()) {
        ++misses_;
        if (entries_.size() >= kMaxEntries) {
            evictOldest();
        }
        entries_.push_back(Entry{key, *size, QImage(), frame_});
        return std::nullopt;
    }
    it->lastUsed = frame_;
    if (!it->image.isNull()) {
        ++hits_;
        return Placed{it->image, at};
    }
    ++misses_;
    QImage scaled = image.scaled(*size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const qint64 bytes = scaled.sizeInBytes();
    if (scaled.isNull() || bytes > budget_) {
        return std::nullopt;
    }
    // Room is made among the copies already made; the entry being filled has none yet.
    while (bytes_ + bytes > budget_) {
        auto victim = entries_.end();
        for (auto e = entries_.begin(); e != entries_.end(); ++e) {
            if (!e->image.isNull() &&
                (victim == entries_.end() || e->lastUsed < victim->lastUsed)) {
                victim = e;
            }
        }
        if (victim == entries_.end()) {
            break;
        }
        forget(victim);
    }
    const auto entry = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return e.key == key && e.size == *size;
    });
    bytes_ += bytes;
    entry->image = scaled;
    return Placed{scaled, at};
}

void ScaledBitmapCache::forget(std::vector<Entry>::iterator it) {
    bytes_ -= it->image.sizeInBytes();
    entries_.erase(it);
}

void ScaledBitmapCache::evictOldest() {
    forget(std::min_element(entries_.begin(), entries_.end(), [](const Entry& p, const Entry& q) {
        return p.lastUsed < q.lastUsed;
    }));
}

void ScaledBitmapCache::startFrame() {
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
