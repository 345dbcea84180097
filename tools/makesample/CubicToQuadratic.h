#pragma once

#include <vector>

namespace makesample {

struct PointF {
    double x = 0;
    double y = 0;
};

struct QuadSegment {
    PointF control;
    PointF end;
};

// Quadratic segments that follow the cubic from p0 to p3 within `tolerance` (same units).
// The cubic is halved until the single-quadratic error bound
// sqrt(3)/36 * |p3 - 3 p2 + 3 p1 - p0| holds for each part; halving stops after
// `maxDepth` levels, so the count is at most 2^maxDepth.
std::vector<QuadSegment> cubicToQuadratics(PointF p0, PointF p1, PointF p2, PointF p3,
                                           double tolerance, int maxDepth = 8);

} // namespace makesample
