#include "CubicToQuadratic.h"

#include <cmath>

namespace makesample {

namespace {

PointF mix(PointF a, PointF b) {
    return {(a.x + b.x) / 2, (a.y + b.y) / 2};
}

double errorBound(PointF p0, PointF p1, PointF p2, PointF p3) {
    const double dx = p3.x - 3 * p2.x + 3 * p1.x - p0.x;
    const double dy = p3.y - 3 * p2.y + 3 * p1.y - p0.y;
    return std::sqrt(3.0) / 36.0 * std::hypot(dx, dy);
}

void approximate(PointF p0, PointF p1, PointF p2, PointF p3, double tolerance, int depth,
                 std::vector<QuadSegment>& out) {
    if (depth <= 0 || errorBound(p0, p1, p2, p3) <= tolerance) {
        // The control point that matches the cubic's midpoint and end tangents on average.
        const PointF control{(3 * (p1.x + p2.x) - p0.x - p3.x) / 4,
                             (3 * (p1.y + p2.y) - p0.y - p3.y) / 4};
        out.push_back({control, p3});
        return;
    }
    const PointF a = mix(p0, p1);
    const PointF b = mix(p1, p2);
    const PointF c = mix(p2, p3);
    const PointF ab = mix(a, b);
    const PointF bc = mix(b, c);
    const PointF mid = mix(ab, bc);
    approximate(p0, a, ab, mid, tolerance, depth - 1, out);
    approximate(mid, bc, c, p3, tolerance, depth - 1, out);
}

} // namespace

std::vector<QuadSegment> cubicToQuadratics(PointF p0, PointF p1, PointF p2, PointF p3,
                                           double tolerance, int maxDepth) {
    std::vector<QuadSegment> out;
    approximate(p0, p1, p2, p3, tolerance, maxDepth, out);
    return out;
}

} // namespace makesample
