#include "Drawing.h"

#include "Generation.h"
#include "PixelSource.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mc {

namespace {

// Pixels to twips, kept inside what the shape records can hold.
std::int32_t twips(double pixels) {
    const double t = std::round(pixels * 20.0);
    if (!std::isfinite(t)) {
        return 0;
    }
    constexpr double kLimit = 1 << 29;
    return static_cast<std::int32_t>(std::clamp(t, -kLimit, kLimit));
}

} // namespace

void Drawing::cover(std::int32_t x, std::int32_t y) {
    Bounds point;
    point.valid = true;
    point.xMin = x - lineReach_;
    point.xMax = x + lineReach_;
    point.yMin = y - lineReach_;
    point.yMax = y + lineReach_;
    bounds_.add(point);
    edges_.add(Bounds{static_cast<double>(x), static_cast<double>(y), static_cast<double>(x),
                      static_cast<double>(y), true});
}

// A curve reaches past its ends only where it turns: at most once on each axis, where its
// derivative is zero. The control point itself lies outside the curve and does not count,
// except in the box measured from the points given.
void Drawing::coverCurve(std::int32_t x0, std::int32_t y0, std::int32_t cx, std::int32_t cy,
                         std::int32_t x1, std::int32_t y1) {
    if (pointBox_) {
        cover(cx, cy);
        cover(x1, y1);
        return;
    }
    const auto turn = [](double p0, double p1, double p2) -> std::optional<double> {
        const double denominator = p0 - 2.0 * p1 + p2;
        if (denominator == 0.0) {
            return std::nullopt;
        }
        const double t = (p0 - p1) / denominator;
        return t > 0.0 && t < 1.0 ? std::optional(t) : std::nullopt;
    };
    const auto at = [](double p0, double p1, double p2, double t) {
        const double u = 1.0 - t;
        return u * u * p0 + 2.0 * u * t * p1 + t * t * p2;
    };
    for (const std::optional<double> t : {turn(x0, cx, x1), turn(y0, cy, y1)}) {
        if (t) {
            cover(static_cast<std::int32_t>(std::lround(at(x0, cx, x1, *t))),
                  static_cast<std::int32_t>(std::lround(at(y0, cy, y1, *t))));
        }
    }
    cover(x1, y1);
}

void Drawing::selectStyles() {
    swf::StyleChange change;
    change.hasMoveTo = true;
    change.moveX = penX_;
    change.moveY = penY_;
    change.fill0 = 0;
    change.fill1 = fill_.value_or(0);
    change.line = line_.value_or(0);
    shape_.records.emplace_back(change);
}

void Drawing::beginFill(const swf::FillStyle& fill) {
    endFill();
    if (!room()) {
        return;
    }
    generation_ = freshGeneration();
    shape_.styles.fills.push_back(fill);
    fill_ = static_cast<std::uint32_t>(shape_.styles.fills.size());
    fillStartX_ = penX_;
    fillStartY_ = penY_;
    selectStyles();
}

std::optional<std::uint16_t> Drawing::keepBitmap(std::shared_ptr<const PixelSource> pixels) {
    // Bitmaps beyond what an id can name are not kept.
    constexpr std::size_t kMaxBitmaps = 0xFFFF;
    if (!pixels) {
        return std::nullopt;
    }
    auto it = std::find(bitmaps_.begin(), bitmaps_.end(), pixels);
    if (it == bitmaps_.end()) {
        if (bitmaps_.size() >= kMaxBitmaps) {
            return std::nullopt;
        }
        bitmaps_.push_back(std::move(pixels));
        it = bitmaps_.end() - 1;
    }
    return static_cast<std::uint16_t>(it - bitmaps_.begin());
}

void Drawing::beginBitmapFill(std::shared_ptr<const PixelSource> pixels, swf::FillStyle fill) {
    const std::optional<std::uint16_t> id = keepBitmap(std::move(pixels));
    if (!id) {
        endFill();
        return;
    }
    fill.bitmapId = *id;
    beginFill(fill);
}

void Drawing::lineBitmapFill(std::shared_ptr<const PixelSource> pixels, swf::FillStyle fill) {
    if (!lineStyle_) {
        return;
    }
    if (const std::optional<std::uint16_t> id = keepBitmap(std::move(pixels))) {
        fill.bitmapId = *id;
        lineFill(fill);
    }
}

const PixelSource* Drawing::bitmap(std::uint16_t id) const {
    return id < bitmaps_.size() ? bitmaps_[id].get() : nullptr;
}

void Drawing::lineStyle(const std::optional<swf::LineStyle>& line) {
    if (!room()) {
        return;
    }
    generation_ = freshGeneration();
    lineStyle_ = line;
    if (line) {
        shape_.styles.lines.push_back(*line);
        line_ = static_cast<std::uint32_t>(shape_.styles.lines.size());
        lineReach_ = pointBox_ ? line->width : line->width / 2.0;
    } else {
        line_.reset();
        lineReach_ = 0.0;
    }
    selectStyles();
}

void Drawing::lineFill(const swf::FillStyle& fill) {
    if (!lineStyle_) {
        return;
    }
    swf::LineStyle line = *lineStyle_;
    line.fill = fill;
    lineStyle(line);
}

void Drawing::moveTo(double x, double y) {
    if (!room()) {
        return;
    }
    generation_ = freshGeneration();
    // A move inside a fill closes the part drawn so far, as players do.
    if (fill_ && (penX_ != fillStartX_ || penY_ != fillStartY_)) {
        const auto line = line_;
        line_.reset();
        selectStyles();
        shape_.records.emplace_back(swf::StraightEdge{fillStartX_ - penX_, fillStartY_ - penY_});
        line_ = line;
    }
    penX_ = twips(x);
    penY_ = twips(y);
    fillStartX_ = penX_;
    fillStartY_ = penY_;
    selectStyles();
}

void Drawing::lineTo(double x, double y) {
    if (!room()) {
        return;
    }
    generation_ = freshGeneration();
    const std::int32_t nx = twips(x);
    const std::int32_t ny = twips(y);
    if (empty()) {
        selectStyles();
    }
    cover(penX_, penY_);
    shape_.records.emplace_back(swf::StraightEdge{nx - penX_, ny - penY_});
    penX_ = nx;
    penY_ = ny;
    cover(penX_, penY_);
}

void Drawing::curveTo(double controlX, double controlY, double anchorX, double anchorY) {
    if (!room()) {
        return;
    }
    generation_ = freshGeneration();
    const std::int32_t cx = twips(controlX);
    const std::int32_t cy = twips(controlY);
    const std::int32_t ax = twips(anchorX);
    const std::int32_t ay = twips(anchorY);
    if (empty()) {
        selectStyles();
    }
    cover(penX_, penY_);
    coverCurve(penX_, penY_, cx, cy, ax, ay);
    shape_.records.emplace_back(swf::CurvedEdge{cx - penX_, cy - penY_, ax - cx, ay - cy});
    penX_ = ax;
    penY_ = ay;
    cover(penX_, penY_);
}

void Drawing::cubicTo(double c1x, double c1y, double c2x, double c2y, double ax, double ay) {
    // Enough pieces that each stays well within a pixel of the cubic at drawing sizes; each
    // piece's control point is where the cubic's tangents at its ends would meet, averaged
    // from both ends so that it stays put when they are parallel.
    constexpr int kPieces = 8;
    const double x0 = penX_ / 20.0, y0 = penY_ / 20.0;
    const auto at = [&](double t, double p0, double p1, double p2, double p3) {
        const double u = 1.0 - t;
        return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
    };
    const auto slope = [&](double t, double p0, double p1, double p2, double p3) {
        const double u = 1.0 - t;
        return 3 * (u * u * (p1 - p0) + 2 * u * t * (p2 - p1) + t * t * (p3 - p2));
    };
    double sx = x0, sy = y0;
    for (int i = 1; i <= kPieces; ++i) {
        const double t0 = double(i - 1) / kPieces, t1 = double(i) / kPieces, h = (t1 - t0) / 2;
        const double ex = i == kPieces ? ax : at(t1, x0, c1x, c2x, ax);
        const double ey = i == kPieces ? ay : at(t1, y0, c1y, c2y, ay);
        const double cx =
            (sx + slope(t0, x0, c1x, c2x, ax) * h + ex - slope(t1, x0, c1x, c2x, ax) * h) / 2;
        const double cy =
            (sy + slope(t0, y0, c1y, c2y, ay) * h + ey - slope(t1, y0, c1y, c2y, ay) * h) / 2;
        curveTo(cx, cy, ex, ey);
        sx = ex;
        sy = ey;
    }
}

namespace {

bool bitmapFill(swf::FillType t) {
    return t == swf::FillType::RepeatingBitmap || t == swf::FillType::ClippedBitmap ||
           t == swf::FillType::NonSmoothedRepeatingBitmap ||
           t == swf::FillType::NonSmoothedClippedBitmap;
}

// The matrix that takes the bitmap's pixels (u, v) to the twips (x, y) at all three corners;
// none when the corners' places in the bitmap lie on one line.
std::optional<swf::Matrix> cornerMatrix(const std::array<double, 6>& xy,
                                        const std::array<double, 6>& uv, double w, double h) {
    const double u0 = uv[0] * w, v0 = uv[1] * h;
    const double du1 = uv[2] * w - u0, dv1 = uv[3] * h - v0;
    const double du2 = uv[4] * w - u0, dv2 = uv[5] * h - v0;
    const double det = du1 * dv2 - du2 * dv1;
    if (!std::isfinite(det) || std::abs(det) < 1e-12) {
        return std::nullopt;
    }
    const double x0 = xy[0] * 20.0, y0 = xy[1] * 20.0;
    const double dx1 = xy[2] * 20.0 - x0, dy1 = xy[3] * 20.0 - y0;
    const double dx2 = xy[4] * 20.0 - x0, dy2 = xy[5] * 20.0 - y0;
    swf::Matrix m;
    m.a = (dx1 * dv2 - dx2 * dv1) / det;
    m.c = (dx2 * du1 - dx1 * du2) / det;
    m.b = (dy1 * dv2 - dy2 * dv1) / det;
    m.d = (dy2 * du1 - dy1 * du2) / det;
    m.tx = x0 - m.a * u0 - m.c * v0;
    m.ty = y0 - m.b * u0 - m.d * v0;
    for (const double v : {m.a, m.b, m.c, m.d, m.tx, m.ty}) {
        if (!std::isfinite(v)) {
            return std::nullopt;
        }
    }
    return m;
}

} // namespace

void Drawing::triangle(const std::array<double, 6>& corners, const std::array<double, 6>* uv) {
    if (!room()) {
        return;
    }
    // A placed bitmap needs a fill of its own for each triangle; otherwise the triangles are
    // parts of the one path of the fill in force.
    if (fill_ && uv != nullptr && bitmapFill(shape_.styles.fills[*fill_ - 1].type)) {
        swf::FillStyle fill = shape_.styles.fills[*fill_ - 1];
        const PixelSource* pixels = bitmap(fill.bitmapId);
        if (pixels != nullptr && pixels->width() > 0 && pixels->height() > 0) {
            if (const auto m = cornerMatrix(corners, *uv, pixels->width(), pixels->height())) {
                fill.matrix = *m;
            }
        }
        beginFill(fill);
    }
    moveTo(corners[0], corners[1]);
    lineTo(corners[2], corners[3]);
    lineTo(corners[4], corners[5]);
    lineTo(corners[0], corners[1]);
}

void Drawing::endFill() {
    if (!fill_) {
        return;
    }
    generation_ = freshGeneration();
    if (room() && (penX_ != fillStartX_ || penY_ != fillStartY_)) {
        // The closing edge is drawn with the line in force, as players draw it.
        cover(penX_, penY_);
        shape_.records.emplace_back(swf::StraightEdge{fillStartX_ - penX_, fillStartY_ - penY_});
        penX_ = fillStartX_;
        penY_ = fillStartY_;
    }
    fill_.reset();
    if (room()) {
        selectStyles();
    }
}

swf::Shape Drawing::shownShape() const {
    swf::Shape shown = shape_;
    if (fill_ && (penX_ != fillStartX_ || penY_ != fillStartY_)) {
        shown.records.emplace_back(swf::StraightEdge{fillStartX_ - penX_, fillStartY_ - penY_});
    }
    return shown;
}

void Drawing::useNonZeroWinding() {
    if (!shape_.usesFillWindingRule) {
        shape_.usesFillWindingRule = true;
        generation_ = freshGeneration();
    }
}

void Drawing::clear() {
    shape_ = swf::Shape{};
    bitmaps_.clear();
    bounds_ = Bounds{};
    edges_ = Bounds{};
    fill_.reset();
    line_.reset();
    lineStyle_.reset();
    lineReach_ = 0.0;
    penX_ = penY_ = fillStartX_ = fillStartY_ = 0;
    generation_ = freshGeneration();
}

void Drawing::drawTo(RenderBackend& backend, const Transform& matrix, const ColorTransform& cx,
                     std::size_t& budget, const NineSlice* slices) const {
    if (empty() || budget == 0) {
        return;
    }
    --budget;
    DrawCharacter draw{CharacterKind::Shape, 0, 0, matrix, cx};
    draw.drawing = this;
    if (slices != nullptr) {
        draw.slices = *slices;
    }
    backend.draw(draw);
}

} // namespace mc
