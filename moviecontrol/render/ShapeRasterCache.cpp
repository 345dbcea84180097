#include "ShapeRasterCache.h"

#include <bit>
#include <cmath>
#include <functional>

namespace mc {

namespace {

// Beyond this a translation is no whole pixel a device can have.
constexpr double kFarthest = 1 << 28;

std::size_t mix(std::size_t seed, std::uint64_t value) {
    // The 64-bit golden ratio spreads neighbouring values across the table.
    return seed ^
           (static_cast<std::size_t>(value) + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2));
}

std::uint64_t bitsOf(double v) {
    // Minus zero equals zero and must hash alike.
    return std::bit_cast<std::uint64_t>(v + 0.0);
}

} // namespace

double RasterPlacement::phaseOffsetX() const {
    return static_cast<double>(phaseX) / ShapeRasterCache::kPhases;
}

double RasterPlacement::phaseOffsetY() const {
    return static_cast<double>(phaseY) / ShapeRasterCache::kPhases;
}

std::optional<RasterPlacement> ShapeRasterCache::place(double tx, double ty) {
    if (!(std::abs(tx) < kFarthest) || !(std::abs(ty) < kFarthest)) {
        return std::nullopt;
    }
    const auto split = [](double t, int& pixel, std::uint8_t& phase) {
        const auto steps = static_cast<std::int64_t>(std::llround(t * kPhases));
        const std::int64_t whole =
            steps >= 0 ? steps / kPhases : -((-steps + kPhases - 1) / kPhases);
        pixel = static_cast<int>(whole);
        phase = static_cast<std::uint8_t>(steps - whole * kPhases);
    };
    RasterPlacement at;
    int x = 0;
    int y = 0;
    split(tx, x, at.phaseX);
    split(ty, y, at.phaseY);
    at.pixel = QPoint(x, y);
    return at;
}

QRect ShapeRasterCache::imageArea(const QRectF& linearBox) {
    if (!linearBox.isValid() || !(std::abs(linearBox.left()) < kFarthest) ||
        !(std::abs(linearBox.top()) < kFarthest) || !(std::abs(linearBox.right()) < kFarthest) ||
        !(std::abs(linearBox.bottom()) < kFarthest)) {
        return {};
    }
    const int left = static_cast<int>(std::floor(linearBox.left())) - kPad;
    const int top = static_cast<int>(std::floor(linearBox.top())) - kPad;
    // One pixel more on the far sides: the phase moves the shape by up to almost a pixel.
    const int right = static_cast<int>(std::ceil(linearBox.right())) + kPad + 1;
    const int bottom = static_cast<int>(std::ceil(linearBox.bottom())) + kPad + 1;
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

std::size_t ShapeRasterCache::LookHash::operator()(const ShapeLook& look) const {
    std::size_t h =
        mix(0, (static_cast<std::uint64_t>(look.library) << 40) |
                   (static_cast<std::uint64_t>(look.id) << 24) |
                   (static_cast<std::uint64_t>(look.ratio) << 8) | (look.morph ? 2u : 0u) |
                   (look.quality == RenderQuality::High ? 1u : 0u));
    h = mix(h, look.drawing);
    for (const double v : {look.a, look.b, look.c, look.d}) {
        h = mix(h, bitsOf(v));
    }
    for (int i = 0; i < 4; ++i) {
        h = mix(h,
                (static_cast<std::uint64_t>(static_cast<std::uint32_t>(look.colorTransform.mult[i]))
                 << 32) |
                    static_cast<std::uint32_t>(look.colorTransform.add[i]));
    }
    return h;
}

std::size_t ShapeRasterCache::KeyHash::operator()(const Key& key) const {
    return mix(LookHash{}(key.look), (static_cast<std::uint64_t>(key.phaseX) << 8) | key.phaseY);
}

const ShapeRasterCache::Raster* ShapeRasterCache::find(const ShapeLook& look,
                                                       const RasterPlacement& at) {
    if (!enabled_) {
        return nullptr;
    }
    const auto it = entries_.find(Key{look, at.phaseX, at.phaseY});
    if (it == entries_.end()) {
        ++misses_;
        return nullptr;
    }
    ++hits_;
    // A kept look is still a seen one: a new phase of it is kept too.
    seen_.insert_or_assign(look, frame_);
    it->second.lastUsed = frame_;
    order_.splice(order_.begin(), order_, it->second.order);
    return &it->second.raster;
}

bool ShapeRasterCache::shouldKeep(const ShapeLook& look, qint64 bytes) {
    if (!enabled_ || bytes <= 0 || bytes > maxBytes_ / 4) {
        return false;
    }
    if (seen_.size() >= kMaxSightings && !seen_.contains(look)) {
        return false;
    }
    const auto [it, first] = seen_.try_emplace(look, frame_);
    it->second = frame_;
    return !first && makeRoom(bytes);
}

bool ShapeRasterCache::makeRoom(qint64 bytes) {
    while (bytes_ + bytes > maxBytes_ || entries_.size() >= kMaxEntries) {
        if (order_.empty()) {
            return false;
        }
        const auto oldest = std::prev(order_.end());
        if (entries_.at(*oldest).lastUsed == frame_) {
            return false;
        }
        drop(oldest);
    }
    return true;
}

void ShapeRasterCache::drop(std::list<Key>::iterator oldest) {
    const auto it = entries_.find(*oldest);
    bytes_ -= static_cast<qint64>(it->second.raster.image.sizeInBytes());
    entries_.erase(it);
    order_.erase(oldest);
}

void ShapeRasterCache::store(const ShapeLook& look, const RasterPlacement& at, Raster raster) {
    const auto bytes = static_cast<qint64>(raster.image.sizeInBytes());
    if (!enabled_ || raster.image.isNull() || !makeRoom(bytes)) {
        return;
    }
    const Key key{look, at.phaseX, at.phaseY};
    if (entries_.contains(key)) {
        return;
    }
    order_.push_front(key);
    bytes_ += bytes;
    entries_.emplace(key, Entry{std::move(raster), frame_, order_.begin()});
}

void ShapeRasterCache::startFrame() {
    ++frame_;
    while (!order_.empty() && frame_ - entries_.at(order_.back()).lastUsed > kIdleFrames) {
        drop(std::prev(order_.end()));
    }
    // Only a look seen in the frame just drawn counts as seen again: looks that come back
    // after a while are mostly cycles of a changing shape too long to keep.
    std::erase_if(seen_, [this](const auto& entry) { return frame_ - entry.second > 1; });
}

void ShapeRasterCache::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (!enabled) {
        entries_.clear();
        order_.clear();
        seen_.clear();
        bytes_ = 0;
    }
}

} // namespace mc
