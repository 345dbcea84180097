#include "MaskCoverage.h"

#include <algorithm>
#include <cmath>

#include "ScanlineCoverage.h"

namespace mc {

namespace {

inline std::uint8_t times(std::uint32_t a, std::uint32_t b) {
    return static_cast<std::uint8_t>((a * b + 127) / 255);
}

// The pixels a fill of the device path may touch within `limit`.
QRect reachOf(const QPainterPath& path, const QRect& limit) {
    const QRectF box = path.controlPointRect();
    if (!std::isfinite(box.left()) || !std::isfinite(box.right()) || !std::isfinite(box.top()) ||
        !std::isfinite(box.bottom())) {
        return QRect();
    }
    // Cut down in doubles first: a hostile mask's box does not fit integer pixels.
    const QRectF near = box.intersected(QRectF(limit).adjusted(-2.0, -2.0, 2.0, 2.0));
    return near.isEmpty() ? QRect() : limit & near.toAlignedRect();
}

// Qt clips to a path that is one upright rectangle as to a rectangle: its sides moved to the
// nearest pixel edges, without anti-aliasing. Such a mask is cut the same way, so that what
// our fillers draw under it lines up with what Qt draws.
std::optional<QRect> uprightRectangle(const QPainterPath& path, const QRect& limit) {
    const int n = path.elementCount();
    if (n != 4 && n != 5) {
        return std::nullopt;
    }
    for (int i = 1; i < n; ++i) {
        if (!path.elementAt(i).isLineTo()) {
            return std::nullopt;
        }
    }
    const auto at = [&](int i) { return QPointF(path.elementAt(i)); };
    if (n == 5 && at(4) != at(0)) {
        return std::nullopt;
    }
    const QPointF a = at(0);
    const QPointF b = at(1);
    const QPointF c = at(2);
    const QPointF d = at(3);
    const bool upright = (a.x() == b.x() && b.y() == c.y() && c.x() == d.x() && d.y() == a.y()) ||
                         (a.y() == b.y() && b.x() == c.x() && c.y() == d.y() && d.x() == a.x());
    if (!upright || !std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(c.x()) ||
        !std::isfinite(c.y())) {
        return std::nullopt;
    }
    // Cut down in doubles first: a hostile mask's box does not fit integer pixels.
    const QRectF box = QRectF(a, c).normalized().intersected(QRectF(limit).adjusted(-2, -2, 2, 2));
    if (box.isEmpty()) {
        return QRect();
    }
    return limit & QRect(QPoint(qRound(box.left()), qRound(box.top())),
                         QPoint(qRound(box.right()) - 1, qRound(box.bottom()) - 1));
}

} // namespace

MaskCoverage::MaskCoverage(const QPainterPath& path, const QRect& drawable,
                           const MaskCoverage* outer) {
    const QRect limit = outer != nullptr ? drawable & outer->area() : drawable;
    const std::optional<QRect> rectangle = uprightRectangle(path, limit);
    area_ = rectangle ? *rectangle : reachOf(path, limit);
    if (area_.isEmpty()) {
        area_ = QRect();
        return;
    }
    if (rectangle && (outer == nullptr || outer->solid_)) {
        // Every row alike: one row of whole pixels serves them all.
        solid_ = true;
        asPainterClips_ = true;
        values_.assign(static_cast<std::size_t>(area_.width()), 255);
        return;
    }
    values_.assign(static_cast<std::size_t>(area_.width()) * area_.height(), 0);
    if (rectangle) {
        asPainterClips_ = outer->asPainterClips_;
        for (int y = area_.top(); y <= area_.bottom(); ++y) {
            std::uint8_t* out =
                values_.data() + static_cast<std::size_t>(y - area_.top()) * area_.width();
            if (outer != nullptr) {
                outer->apply(y, area_.left(), area_.width(), nullptr, 255, out);
            } else {
                std::fill(out, out + area_.width(), 255);
            }
        }
    } else {
        ScanlineCoverage coverage(area_);
        if (!coverage.addPath(path, QTransform())) {
            area_ = QRect();
            values_.clear();
            return;
        }
        coverage.sweep(path.fillRule(), [&](int y, int x, int count, const std::uint8_t* cov,
                                            std::uint8_t level) {
            std::uint8_t* out = values_.data() +
                                static_cast<std::size_t>(y - area_.top()) * area_.width() +
                                (x - area_.left());
            if (outer != nullptr) {
                outer->apply(y, x, count, cov, level, out);
            } else if (cov != nullptr) {
                std::copy(cov, cov + count, out);
            } else {
                std::fill(out, out + count, level);
            }
        });
    }
    whole_.resize(static_cast<std::size_t>(area_.height()));
    for (int y = 0; y < area_.height(); ++y) {
        const std::uint8_t* r = row(area_.top() + y);
        std::pair<int, int> longest{0, 0};
        for (int x = 0; x < area_.width();) {
            if (r[x] != 255) {
                ++x;
                continue;
            }
            const int from = x;
            while (x < area_.width() && r[x] == 255) {
                ++x;
            }
            if (x - from > longest.second - longest.first) {
                longest = {from, x};
            }
        }
        whole_[static_cast<std::size_t>(y)] = {area_.left() + longest.first,
                                               area_.left() + longest.second};
    }
}

bool MaskCoverage::showsWhole(const QRect& rect) const {
    if (rect.isEmpty() || !area_.contains(rect)) {
        return false;
    }
    if (solid_) {
        return true;
    }
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        const auto [first, end] = whole_[static_cast<std::size_t>(y - area_.top())];
        if (rect.left() < first || rect.right() >= end) {
            return false;
        }
    }
    return true;
}

void MaskCoverage::apply(int y, int x, int count, const std::uint8_t* coverage, std::uint8_t level,
                         std::uint8_t* out) const {
    const std::uint8_t* mask = row(y) + (x - area_.left());
    if (coverage == nullptr) {
        if (level == 255) {
            std::copy(mask, mask + count, out);
            return;
        }
        for (int i = 0; i < count; ++i) {
            out[i] = times(mask[i], level);
        }
        return;
    }
    for (int i = 0; i < count; ++i) {
        out[i] = times(mask[i], coverage[i]);
    }
}

void MaskStack::push(const void* painter, const QPainterPath& devicePath,
                     std::optional<QRect> drawable) {
    // QPainterPath shares its data: the copy costs a reference count.
    entries_.push_back(Entry{painter, devicePath, drawable, false, nullptr});
}

void MaskStack::pop() {
    if (entries_.empty()) {
        return;
    }
    if (entries_.back().coverage) {
        bytes_ -= entries_.back().coverage->bytes();
    }
    entries_.pop_back();
}

MaskStack::Use MaskStack::on(const void* painter) {
    for (std::size_t i = entries_.size(); i-- > 0;) {
        if (entries_[i].painter == painter) {
            return use(i);
        }
    }
    return Use{};
}

MaskStack::Use MaskStack::use(std::size_t index) {
    Entry& entry = entries_[index];
    if (!entry.made) {
        entry.made = true;
        // The mask around it on the same painter, which it lies within.
        const MaskCoverage* outer = nullptr;
        bool followed = entry.drawable.has_value();
        for (std::size_t i = index; i-- > 0;) {
            if (entries_[i].painter == entry.painter) {
                const Use around = use(i);
                followed = around.followed;
                outer = around.coverage;
                break;
            }
        }
        if (followed && (outer != nullptr || entry.drawable)) {
            const QRect drawable = outer != nullptr ? outer->area() : *entry.drawable;
            const QRect reach = reachOf(entry.path, drawable);
            const auto pixels = static_cast<std::size_t>(std::max(0, reach.width())) *
                                static_cast<std::size_t>(std::max(0, reach.height()));
            if (bytes_ + pixels <= kMaxBytes) {
                entry.coverage = std::make_unique<MaskCoverage>(entry.path, drawable, outer);
                bytes_ += entry.coverage->bytes();
            }
        }
        entry.path = QPainterPath(); // no longer needed
    }
    return entry.coverage ? Use{true, entry.coverage.get()} : Use{false, nullptr};
}

} // namespace mc
