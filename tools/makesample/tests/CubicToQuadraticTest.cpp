#include "CubicToQuadratic.h"

#include <gtest/gtest.h>

#include <cmath>

namespace makesample {
namespace {

PointF cubicAt(PointF p0, PointF p1, PointF p2, PointF p3, double t) {
    const double u = 1 - t;
    return {u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x + t * t * t * p3.x,
            u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y + t * t * t * p3.y};
}

// Largest distance from points of the cubic to the nearest sampled point of the quadratics.
double worstDistance(PointF p0, PointF p1, PointF p2, PointF p3,
                     const std::vector<QuadSegment>& quads) {
    std::vector<PointF> samples;
    PointF from = p0;
    for (const QuadSegment& q : quads) {
        for (int i = 0; i <= 400; ++i) {
            const double t = i / 400.0;
            const double u = 1 - t;
            samples.push_back({u * u * from.x + 2 * u * t * q.control.x + t * t * q.end.x,
                               u * u * from.y + 2 * u * t * q.control.y + t * t * q.end.y});
        }
        from = q.end;
    }
    double worst = 0;
    for (int i = 0; i <= 1000; ++i) {
        const PointF c = cubicAt(p0, p1, p2, p3, i / 1000.0);
        double nearest = 1e300;
        for (const PointF& s : samples) {
            nearest = std::min(nearest, std::hypot(s.x - c.x, s.y - c.y));
        }
        worst = std::max(worst, nearest);
    }
    return worst;
}

TEST(CubicToQuadratic, StaysWithinTheToleranceAndEndsOnTheCubicsEnd) {
    const PointF p0{0, 0}, p1{300, -900}, p2{900, 900}, p3{1200, 0};
    for (const double tolerance : {8.0, 2.0, 0.5}) {
        const auto quads = cubicToQuadratics(p0, p1, p2, p3, tolerance);
        ASSERT_FALSE(quads.empty());
        EXPECT_DOUBLE_EQ(quads.back().end.x, 1200);
        EXPECT_DOUBLE_EQ(quads.back().end.y, 0);
        // Sampling adds a little error of its own.
        EXPECT_LE(worstDistance(p0, p1, p2, p3, quads), tolerance * 1.05 + 0.05) << tolerance;
    }
}

TEST(CubicToQuadratic, TighterToleranceNeedsMoreSegments) {
    const PointF p0{0, 0}, p1{0, 1000}, p2{1000, 1000}, p3{1000, 0};
    const auto coarse = cubicToQuadratics(p0, p1, p2, p3, 10);
    const auto fine = cubicToQuadratics(p0, p1, p2, p3, 0.1);
    EXPECT_LT(coarse.size(), fine.size());
}

TEST(CubicToQuadratic, ExactForCubicsThatAreQuadratics) {
    // The cubic form of the quadratic (0,0) (300,600) (600,0).
    const auto quads = cubicToQuadratics({0, 0}, {200, 400}, {400, 400}, {600, 0}, 0.01);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_NEAR(quads[0].control.x, 300, 1e-9);
    EXPECT_NEAR(quads[0].control.y, 600, 1e-9);
}

TEST(CubicToQuadratic, DepthLimitBoundsTheWork) {
    const auto quads = cubicToQuadratics({0, 0}, {1e6, -1e6}, {-1e6, 1e6}, {1, 1}, 1e-9, 5);
    EXPECT_EQ(quads.size(), 32u);
}

} // namespace
} // namespace makesample
