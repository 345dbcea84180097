#include "OutlineConverter.h"

#include "CubicToQuadratic.h"

#include <cmath>
#include <vector>

namespace makesample {

namespace {

struct Segment {
    bool curve = false;
    PointF control;
    PointF end;
};

struct Contour {
    PointF start;
    std::vector<Segment> segments;

    // Twice the signed area over the anchor and control points; positive when the contour
    // runs clockwise on screen.
    double signedArea() const {
        double sum = 0;
        PointF prev = start;
        const auto step = [&](PointF next) {
            sum += prev.x * next.y - next.x * prev.y;
            prev = next;
        };
        for (const Segment& s : segments) {
            if (s.curve) {
                step(s.control);
            }
            step(s.end);
        }
        step(start);
        return sum;
    }
};

std::vector<Contour> contoursOf(const QPainterPath& path, const QTransform& toPixels,
                                double tolerance) {
    const auto twipsOf = [&](QPointF p) {
        const QPointF q = toPixels.map(p);
        return PointF{q.x() * moviemaker::kTwipsPerPixel, q.y() * moviemaker::kTwipsPerPixel};
    };
    std::vector<Contour> contours;
    PointF pen;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const PointF p = twipsOf(e);
        if (e.isMoveTo() || contours.empty()) {
            contours.push_back({p, {}});
            pen = p;
            if (e.isMoveTo()) {
                continue;
            }
        }
        if (e.isLineTo()) {
            contours.back().segments.push_back({false, {}, p});
            pen = p;
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const PointF c2 = twipsOf(path.elementAt(i + 1));
            const PointF end = twipsOf(path.elementAt(i + 2));
            for (const QuadSegment& q : cubicToQuadratics(pen, p, c2, end, tolerance)) {
                contours.back().segments.push_back({true, q.control, q.end});
            }
            pen = end;
            i += 2;
        }
    }
    return contours;
}

int32_t rounded(double v) {
    return static_cast<int32_t>(std::lround(v));
}

void draw(moviemaker::Shape& shape, const Contour& contour, bool close) {
    shape.moveTo(rounded(contour.start.x), rounded(contour.start.y));
    for (const Segment& s : contour.segments) {
        if (s.curve) {
            shape.curveTo(rounded(s.control.x), rounded(s.control.y), rounded(s.end.x),
                          rounded(s.end.y));
        } else {
            shape.lineTo(rounded(s.end.x), rounded(s.end.y));
        }
    }
    if (close) {
        shape.close();
    }
}

} // namespace

void appendOutline(moviemaker::Shape& shape, const QPainterPath& path, const QTransform& toPixels,
                   uint32_t fillIndex, double toleranceTwips) {
    const std::vector<Contour> contours = contoursOf(path, toPixels, toleranceTwips);
    double largest = 0;
    for (const Contour& c : contours) {
        const double area = c.signedArea();
        if (std::abs(area) > std::abs(largest)) {
            largest = area;
        }
    }
    // Fill 1 lies right of the edge direction on screen: the inside of a clockwise contour.
    if (largest >= 0) {
        shape.fill0(0).fill1(fillIndex);
    } else {
        shape.fill0(fillIndex).fill1(0);
    }
    shape.line(0);
    for (const Contour& c : contours) {
        if (!c.segments.empty()) {
            draw(shape, c, true);
        }
    }
}

void appendStroke(moviemaker::Shape& shape, const QPainterPath& path, const QTransform& toPixels,
                  uint32_t lineIndex, double toleranceTwips) {
    shape.fill0(0).fill1(0).line(lineIndex);
    for (const Contour& c : contoursOf(path, toPixels, toleranceTwips)) {
        if (!c.segments.empty()) {
            draw(shape, c, false);
        }
    }
}

} // namespace makesample
