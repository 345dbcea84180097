#include "moviemaker/Shape.h"

#include "moviemaker/WriteError.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <utility>

namespace moviemaker {

namespace {

// Edge deltas take at most 17 signed bits (a 4-bit width field plus two).
constexpr int64_t kMaxDelta = 65535;

bool fitsEdge(int64_t delta) {
    return delta >= -kMaxDelta && delta <= kMaxDelta;
}

int32_t midpoint(int32_t a, int32_t b) {
    return static_cast<int32_t>((static_cast<int64_t>(a) + b) / 2);
}

} // namespace

uint32_t Shape::addFill(FillStyle style) {
    StyleTable& table = currentTable();
    table.fills.push_back(std::move(style));
    return static_cast<uint32_t>(table.fills.size());
}

uint32_t Shape::addLine(LineStyle style) {
    widestLine_ = std::max(widestLine_, style.width);
    StyleTable& table = currentTable();
    table.lines.push_back(std::move(style));
    return static_cast<uint32_t>(table.lines.size());
}

Shape& Shape::newStyles() {
    StyleChange change;
    change.fill0 = 0;
    change.fill1 = 0;
    change.line = 0;
    change.newStyles = StyleTable{};
    records_.emplace_back(std::move(change));
    tableRecord_ = records_.size() - 1;
    return *this;
}

StyleTable& Shape::currentTable() {
    if (!tableRecord_) {
        return styles_;
    }
    return *std::get<StyleChange>(records_[*tableRecord_]).newStyles;
}

StyleChange& Shape::pendingChange() {
    // A record that brings new styles stays alone: its selections are written with the old
    // index widths, so selecting from the new table happens in the record after it.
    if (!records_.empty()) {
        if (auto* change = std::get_if<StyleChange>(&records_.back())) {
            if (!change->newStyles) {
                return *change;
            }
        }
    }
    return std::get<StyleChange>(records_.emplace_back(StyleChange{}));
}

Shape& Shape::fill0(uint32_t index) {
    pendingChange().fill0 = index;
    return *this;
}

Shape& Shape::fill1(uint32_t index) {
    pendingChange().fill1 = index;
    return *this;
}

Shape& Shape::line(uint32_t index) {
    pendingChange().line = index;
    return *this;
}

void Shape::include(Point p) {
    if (!bounds_) {
        bounds_ = Rect{p.x, p.x, p.y, p.y};
        return;
    }
    bounds_->xMin = std::min(bounds_->xMin, p.x);
    bounds_->xMax = std::max(bounds_->xMax, p.x);
    bounds_->yMin = std::min(bounds_->yMin, p.y);
    bounds_->yMax = std::max(bounds_->yMax, p.y);
}

Shape& Shape::moveTo(int32_t x, int32_t y) {
    pendingChange().moveTo = Point{x, y};
    pen_ = subpathStart_ = {x, y};
    include(pen_);
    return *this;
}

Shape& Shape::lineTo(int32_t x, int32_t y) {
    const int64_t dx = static_cast<int64_t>(x) - pen_.x;
    const int64_t dy = static_cast<int64_t>(y) - pen_.y;
    if (dx == 0 && dy == 0) {
        return *this;
    }
    const int64_t longest = std::max(std::llabs(dx), std::llabs(dy));
    const int64_t pieces = (longest + kMaxDelta - 1) / kMaxDelta;
    const Point from = pen_;
    for (int64_t i = 1; i <= pieces; ++i) {
        const Point to{static_cast<int32_t>(from.x + dx * i / pieces),
                       static_cast<int32_t>(from.y + dy * i / pieces)};
        records_.emplace_back(StraightEdge{to.x - pen_.x, to.y - pen_.y});
        pen_ = to;
    }
    include(pen_);
    return *this;
}

Shape& Shape::curveTo(int32_t controlX, int32_t controlY, int32_t x, int32_t y) {
    const int64_t cdx = static_cast<int64_t>(controlX) - pen_.x;
    const int64_t cdy = static_cast<int64_t>(controlY) - pen_.y;
    const int64_t adx = static_cast<int64_t>(x) - controlX;
    const int64_t ady = static_cast<int64_t>(y) - controlY;
    if (!fitsEdge(cdx) || !fitsEdge(cdy) || !fitsEdge(adx) || !fitsEdge(ady)) {
        // Halve the curve (de Casteljau) until each part fits a record.
        const Point p0 = pen_;
        const Point c0{midpoint(p0.x, controlX), midpoint(p0.y, controlY)};
        const Point c1{midpoint(controlX, x), midpoint(controlY, y)};
        const Point mid{midpoint(c0.x, c1.x), midpoint(c0.y, c1.y)};
        curveTo(c0.x, c0.y, mid.x, mid.y);
        return curveTo(c1.x, c1.y, x, y);
    }
    records_.emplace_back(CurvedEdge{static_cast<int32_t>(cdx), static_cast<int32_t>(cdy),
                                     static_cast<int32_t>(adx), static_cast<int32_t>(ady)});
    include({controlX, controlY});
    pen_ = {x, y};
    include(pen_);
    return *this;
}

Shape& Shape::close() {
    return lineTo(subpathStart_.x, subpathStart_.y);
}

Shape& Shape::rectangle(int32_t x, int32_t y, int32_t width, int32_t height) {
    moveTo(x, y);
    lineTo(x + width, y);
    lineTo(x + width, y + height);
    lineTo(x, y + height);
    return close();
}

Shape& Shape::ellipse(int32_t centerX, int32_t centerY, int32_t radiusX, int32_t radiusY) {
    // Eight quadratic arcs; the control point sits where the tangents of two neighbouring
    // anchor points meet, at radius / cos(22.5 degrees).
    constexpr int kArcs = 8;
    constexpr double kStep = 2 * std::numbers::pi / kArcs;
    const double reach = 1.0 / std::cos(kStep / 2);
    const auto coordinate = [](double v) {
        const double rounded = std::round(v);
        if (!(rounded >= std::numeric_limits<int32_t>::min() &&
              rounded <= std::numeric_limits<int32_t>::max())) {
            throw WriteError("an ellipse reaches beyond 32-bit coordinates");
        }
        return static_cast<int32_t>(rounded);
    };
    const auto at = [&](double angle, double scale) {
        return Point{coordinate(centerX + radiusX * scale * std::cos(angle)),
                     coordinate(centerY + radiusY * scale * std::sin(angle))};
    };
    const Point start = at(0, 1);
    moveTo(start.x, start.y);
    for (int i = 0; i < kArcs; ++i) {
        const Point control = at((i + 0.5) * kStep, reach);
        const Point anchor = i + 1 == kArcs ? start : at((i + 1) * kStep, 1);
        curveTo(control.x, control.y, anchor.x, anchor.y);
    }
    return *this;
}

Rect Shape::edgeBounds() const {
    return bounds_.value_or(Rect{});
}

Rect Shape::shapeBounds() const {
    return widenedBy(edgeBounds(), widestLine_ / 2);
}

Rect widenedBy(const Rect& r, int32_t margin) {
    // Saturates rather than wraps: a corner pushed past 32 bits is then refused when the
    // rectangle is written, instead of flipping to the far side.
    const auto at = [](int64_t v) {
        return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                        std::numeric_limits<int32_t>::max()));
    };
    return {at(int64_t{r.xMin} - margin), at(int64_t{r.xMax} + margin),
            at(int64_t{r.yMin} - margin), at(int64_t{r.yMax} + margin)};
}

} // namespace moviemaker
