#include "swf/Geometry.h"

#include <algorithm>
#include <cmath>

namespace swf {

namespace {

struct Lerp {
    double t;

    double operator()(double a, double b) const { return a + (b - a) * t; }

    template <typename Int> Int integer(Int a, Int b) const {
        return static_cast<Int>(std::lround(operator()(a, b)));
    }

    Rgba operator()(const Rgba& a, const Rgba& b) const {
        return {integer(a.r, b.r), integer(a.g, b.g), integer(a.b, b.b), integer(a.a, b.a)};
    }

    Matrix operator()(const Matrix& a, const Matrix& b) const {
        return {(*this)(a.a, b.a), (*this)(a.b, b.b),   (*this)(a.c, b.c),
                (*this)(a.d, b.d), (*this)(a.tx, b.tx), (*this)(a.ty, b.ty)};
    }

    FillStyle operator()(const FillStyle& a, const FillStyle& b) const {
        FillStyle f = a;
        f.color = (*this)(a.color, b.color);
        f.matrix = (*this)(a.matrix, b.matrix);
        f.gradient.focalPoint = (*this)(a.gradient.focalPoint, b.gradient.focalPoint);
        const std::size_t n = std::min(a.gradient.records.size(), b.gradient.records.size());
        f.gradient.records.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            f.gradient.records[i].ratio =
                integer(a.gradient.records[i].ratio, b.gradient.records[i].ratio);
            f.gradient.records[i].color =
                (*this)(a.gradient.records[i].color, b.gradient.records[i].color);
        }
        return f;
    }

    LineStyle operator()(const LineStyle& a, const LineStyle& b) const {
        LineStyle l = a;
        l.width = integer(a.width, b.width);
        l.color = (*this)(a.color, b.color);
        if (a.fill && b.fill) {
            l.fill = (*this)(*a.fill, *b.fill);
        }
        return l;
    }
};

struct Pen {
    std::int64_t x = 0;
    std::int64_t y = 0;
};

// An edge as absolute points; straight edges get their midpoint as control so that they
// can pair with curves.
struct AbsoluteEdge {
    double cx, cy, x, y;
    bool curved;
};

AbsoluteEdge absolute(const ShapeRecord& record, Pen& pen) {
    if (const auto* s = std::get_if<StraightEdge>(&record)) {
        const Pen from = pen;
        pen.x += s->dx;
        pen.y += s->dy;
        return {(from.x + pen.x) / 2.0, (from.y + pen.y) / 2.0, static_cast<double>(pen.x),
                static_cast<double>(pen.y), false};
    }
    const auto& c = std::get<CurvedEdge>(record);
    const double cx = static_cast<double>(pen.x + c.controlDx);
    const double cy = static_cast<double>(pen.y + c.controlDy);
    pen.x += std::int64_t{c.controlDx} + c.anchorDx;
    pen.y += std::int64_t{c.controlDy} + c.anchorDy;
    return {cx, cy, static_cast<double>(pen.x), static_cast<double>(pen.y), true};
}

std::int32_t toTwips(double v) {
    return static_cast<std::int32_t>(std::clamp(std::round(v), -2147483648.0, 2147483647.0));
}

std::int32_t delta(std::int32_t to, std::int32_t from) {
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(std::int64_t{to} - from, INT32_MIN, INT32_MAX));
}

} // namespace

Shape interpolateMorph(const MorphShape& morph, std::uint16_t ratio) {
    const Lerp lerp{ratio / 65535.0};
    Shape shape;
    shape.id = morph.id;
    // Version 4 keeps LINESTYLE2 semantics of morph shape 2; RGBA colours either way.
    shape.version = morph.version >= 2 ? 4 : 3;
    auto rect = [&](const Rect& a, const Rect& b) {
        return Rect{lerp.integer(a.xMin, b.xMin), lerp.integer(a.xMax, b.xMax),
                    lerp.integer(a.yMin, b.yMin), lerp.integer(a.yMax, b.yMax)};
    };
    shape.bounds = rect(morph.startBounds, morph.endBounds);
    shape.edgeBounds = rect(morph.startEdgeBounds, morph.endEdgeBounds);
    shape.usesNonScalingStrokes = morph.usesNonScalingStrokes;
    shape.usesScalingStrokes = morph.usesScalingStrokes;
    for (const MorphFillStyle& f : morph.fills) {
        shape.styles.fills.push_back(lerp(f.start, f.end));
    }
    for (const MorphLineStyle& l : morph.lines) {
        shape.styles.lines.push_back(lerp(l.start, l.end));
    }

    Pen startPen;
    Pen endPen;
    std::int32_t outX = 0;
    std::int32_t outY = 0;
    std::size_t j = 0;
    const auto& end = morph.endRecords;
    auto consumeEndMoves = [&]() -> bool {
        bool moved = false;
        while (j < end.size()) {
            const auto* change = std::get_if<StyleChange>(&end[j]);
            if (!change) {
                break;
            }
            if (change->hasMoveTo) {
                endPen = {change->moveX, change->moveY};
                moved = true;
            }
            ++j;
        }
        return moved;
    };
    auto moveOut = [&](StyleChange& change) {
        change.hasMoveTo = true;
        change.moveX =
            toTwips(lerp(static_cast<double>(startPen.x), static_cast<double>(endPen.x)));
        change.moveY =
            toTwips(lerp(static_cast<double>(startPen.y), static_cast<double>(endPen.y)));
        outX = change.moveX;
        outY = change.moveY;
    };

    shape.records.reserve(morph.startRecords.size());
    for (const ShapeRecord& record : morph.startRecords) {
        if (const auto* change = std::get_if<StyleChange>(&record)) {
            StyleChange out = *change;
            out.newStyles = nullptr; // Morph shapes have one set of styles.
            if (change->hasMoveTo) {
                startPen = {change->moveX, change->moveY};
            }
            const bool endMoved = consumeEndMoves();
            if (change->hasMoveTo || endMoved) {
                moveOut(out);
            }
            shape.records.push_back(std::move(out));
            continue;
        }
        if (consumeEndMoves()) {
            StyleChange move;
            moveOut(move);
            shape.records.push_back(move);
        }
        const AbsoluteEdge s = absolute(record, startPen);
        // A missing end edge morphs to itself.
        const AbsoluteEdge e = j < end.size() ? absolute(end[j++], endPen) : s;
        const std::int32_t x = toTwips(lerp(s.x, e.x));
        const std::int32_t y = toTwips(lerp(s.y, e.y));
        if (!s.curved && !e.curved) {
            shape.records.push_back(StraightEdge{delta(x, outX), delta(y, outY)});
        } else {
            const std::int32_t cx = toTwips(lerp(s.cx, e.cx));
            const std::int32_t cy = toTwips(lerp(s.cy, e.cy));
            shape.records.push_back(
                CurvedEdge{delta(cx, outX), delta(cy, outY), delta(x, cx), delta(y, cy)});
        }
        outX = x;
        outY = y;
    }
    return shape;
}

ShapeDrawing buildMorphDrawing(const MorphShape& morph, std::uint16_t ratio) {
    return buildDrawing(interpolateMorph(morph, ratio));
}

} // namespace swf
