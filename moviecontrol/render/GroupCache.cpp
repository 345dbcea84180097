#include "GroupCache.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace mc {

namespace {

qint64 bytesOf(const QImage& image) {
    return static_cast<qint64>(image.sizeInBytes());
}

bool sameView(const Transform& p, const Transform& q) {
    return p.a == q.a && p.b == q.b && p.c == q.c && p.d == q.d;
}

bool sameSetting(const GroupSetting& p, const GroupSetting& q) {
    return sameView(p.view, q.view) && p.pending == q.pending && p.quality == q.quality;
}

} // namespace

bool GroupCache::caches(const GroupStyle& style) {
    return (!style.filters.empty() || style.cacheAsBitmap) && !style.bounds.empty();
}

std::optional<QPoint> GroupCache::corner(const GroupStyle& style, const Transform& stageToDevice) {
    const Bounds device = mapBounds(stageToDevice, style.bounds);
    // Beyond this a picture's position is no longer a whole pixel a device can have.
    constexpr double kLimit = 1 << 28;
    if (device.empty() || !(std::abs(device.xMin) < kLimit) || !(std::abs(device.yMin) < kLimit)) {
        return std::nullopt;
    }
    return QPoint(static_cast<int>(std::round(device.xMin)),
                  static_cast<int>(std::round(device.yMin)));
}

std::optional<QRect> GroupCache::layerArea(const GroupStyle& style, const Transform& stageToDevice,
                                           QMargins reach, QRect view) {
    if (!caches(style)) {
        return std::nullopt;
    }
    const std::optional<QPoint> at = corner(style, stageToDevice);
    if (!at) {
        return std::nullopt;
    }
    const Bounds box = mapBounds(stageToDevice, style.bounds);
    const double width = std::ceil(box.xMax - box.xMin) + 2 * kSlack + 1;
    const double height = std::ceil(box.yMax - box.yMin) + 2 * kSlack + 1;
    // Much larger than the view, the object is mostly out of sight: the view is cheaper,
    // and such a picture would crowd out the others.
    const double viewPixels = static_cast<double>(view.width()) * view.height();
    const double pixels =
        (width + reach.left() + reach.right()) * (height + reach.top() + reach.bottom());
    if (!(pixels <= kMaxViews * viewPixels) ||
        !(pixels * 4 * 3 <= static_cast<double>(kMaxBytes))) {
        return std::nullopt;
    }
    return QRect(at->x() - kSlack, at->y() - kSlack, static_cast<int>(width),
                 static_cast<int>(height))
        .marginsAdded(reach);
}

TwipsOrigin GroupCache::origin(const GroupStyle& style) {
    return TwipsOrigin{style.bounds.xMin, style.bounds.yMin};
}

const GroupCache::Picture* GroupCache::find(const GroupStyle& style, const CommandRecord& record,
                                            const GroupSetting& setting) {
    if (!enabled_) {
        return nullptr;
    }
    const TwipsOrigin from = origin(style);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        const TwipsOrigin kept = origin(it->style);
        if (!sameSetting(it->setting, setting) || !sameDrawing(it->record, kept, record, from) ||
            !sameGroupStyle(it->style, kept, style, from)) {
            continue;
        }
        it->lastUsed = frame_;
        ++hits_;
        return &it->picture;
    }
    ++misses_;
    return nullptr;
}

void GroupCache::store(const GroupStyle& style, CommandRecord record, const GroupSetting& setting,
                       Picture picture) {
    const qint64 bytes = bytesOf(picture.image);
    if (!enabled_ || picture.image.isNull() || bytes > kMaxBytes / 3) {
        return;
    }
    while (!entries_.empty() && (bytes_ + bytes > kMaxBytes || entries_.size() >= kMaxEntries)) {
        evictOldest();
    }
    bytes_ += bytes;
    entries_.push_back(Entry{style, std::move(record), setting, std::move(picture), frame_});
}

void GroupCache::evictOldest() {
    const auto oldest =
        std::min_element(entries_.begin(), entries_.end(),
                         [](const Entry& p, const Entry& q) { return p.lastUsed < q.lastUsed; });
    bytes_ -= bytesOf(oldest->picture.image);
    entries_.erase(oldest);
}

void GroupCache::startFrame() {
    ++frame_;
    std::erase_if(entries_, [this](const Entry& e) {
        if (frame_ - e.lastUsed <= kIdleFrames) {
            return false;
        }
        bytes_ -= bytesOf(e.picture.image);
        return true;
    });
}

void GroupCache::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (!enabled) {
        entries_.clear();
        bytes_ = 0;
    }
}

void GroupRecorder::start(const GroupStyle& style) {
    group_.style = style;
    group_.record.clear();
    depth_ = 1;
}

void GroupRecorder::beginGroup(const GroupStyle& style) {
    ++depth_;
    group_.record.beginGroup(style);
}

bool GroupRecorder::endGroup() {
    if (depth_ == 0) {
        return false;
    }
    if (--depth_ == 0) {
        return true;
    }
    group_.record.endGroup();
    return false;
}

GroupRecorder::Group GroupRecorder::take() {
    depth_ = 0;
    Group taken = std::move(group_);
    group_ = Group{};
    return taken;
}

QImage finishedPicture(const QImage& layer, QRect area, const GroupStyle& style, GroupScale scale,
                       int filterReduction) {
    if (area.isEmpty()) {
        return {};
    }
    QImage picture(area.size(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    GroupStyle over = style;
    over.blendMode = swf::BlendMode::Normal;
    QPainter painter(&picture);
    composeGroup(painter, layer, -area.topLeft(), area, over, scale, filterReduction);
    return picture;
}

void drawPicture(QPainter& painter, const QImage& picture, QPoint at, swf::BlendMode mode,
                 GroupScale scale) {
    const QPaintDevice* device = painter.device();
    // Only what lands on the device is drawn: a large object's picture is mostly outside.
    const QRect shown =
        QRect(at, picture.size()).intersected(QRect(0, 0, device->width(), device->height()));
    if (shown.isEmpty()) {
        return;
    }
    const QRect part = shown.translated(-at);
    if (mode == swf::BlendMode::Normal || mode == swf::BlendMode::Layer) {
        painter.save();
        painter.setTransform(QTransform());
        painter.drawImage(shown.topLeft(), picture, part);
        painter.restore();
        return;
    }
    GroupStyle blend;
    blend.blendMode = mode;
    composeGroup(painter, picture, at, part, blend, scale);
}

} // namespace mc
