#include <gtest/gtest.h>

#include <QPainterPath>
#include <QPointF>

#include "FieldFrame.h"

namespace mc {
namespace {

// Whether the path covers the centre of device pixel (x, y).
bool covers(const QPainterPath& path, int x, int y) {
    return path.contains(QPointF(x + 0.5, y + 0.5));
}

TEST(FieldFrameTest, EdgesMoveToTheNearestPixelBoundaryWithHalvesGoingUpLeft) {
    // A 10 px field at (20.5, 50.25) px: its edges land on 20..30 and 50..60.
    const FieldFrame f =
        fieldFrame(QRectF(0, 0, 200, 200), QTransform(0.05, 0, 0, 0.05, 20.5, 50.25));
    EXPECT_TRUE(covers(f.border, 20, 50));
    EXPECT_FALSE(covers(f.border, 19, 50));
    EXPECT_FALSE(covers(f.border, 20, 49));
    EXPECT_TRUE(covers(f.border, 30, 55));
    EXPECT_TRUE(covers(f.border, 25, 60));
    EXPECT_FALSE(covers(f.border, 31, 55));
    EXPECT_FALSE(covers(f.border, 25, 61));
    EXPECT_FALSE(covers(f.border, 25, 55)); // inside stays the background's
    EXPECT_TRUE(covers(f.background, 21, 51));
    EXPECT_TRUE(covers(f.background, 29, 59));
    EXPECT_FALSE(covers(f.background, 30, 55));
    EXPECT_FALSE(covers(f.background, 25, 60));
}

TEST(FieldFrameTest, BorderLeavesTheBottomRightCornerPixelOut) {
    const FieldFrame f = fieldFrame(QRectF(0, 0, 200, 200), QTransform().scale(0.05, 0.05));
    EXPECT_TRUE(covers(f.border, 10, 0));   // top-right
    EXPECT_TRUE(covers(f.border, 0, 10));   // bottom-left
    EXPECT_TRUE(covers(f.border, 9, 10));   // bottom edge
    EXPECT_TRUE(covers(f.border, 10, 9));   // right edge
    EXPECT_FALSE(covers(f.border, 10, 10)); // bottom-right
}

TEST(FieldFrameTest, ScaledFieldSnapsBothCorners) {
    // 13.65 px wide from 38.2 px: 38..52.
    const QTransform t = QTransform(1.365 * 0.05, 0, 0, 1.365 * 0.05, 38.2, 48.2);
    const FieldFrame f = fieldFrame(QRectF(0, 0, 200, 200), t);
    EXPECT_TRUE(covers(f.border, 38, 55));
    EXPECT_TRUE(covers(f.border, 52, 55));
    EXPECT_FALSE(covers(f.border, 53, 55));
    EXPECT_TRUE(covers(f.background, 51, 61));
    EXPECT_FALSE(covers(f.background, 51, 62));
}

TEST(FieldFrameTest, RotatedFieldFollowsItsOutline) {
    QTransform t;
    t.translate(50, 10);
    t.rotate(45);
    t.scale(0.05, 0.05);
    const FieldFrame f = fieldFrame(QRectF(0, 0, 400, 400), t);
    EXPECT_TRUE(f.background.contains(QPointF(50, 24))); // centre of the turned square
    EXPECT_TRUE(f.border.contains(QPointF(50, 10.2)));   // its top corner
    EXPECT_FALSE(f.border.contains(QPointF(50, 24)));
}

TEST(FieldFrameTest, ASkewTooSmallToMoveACornerKeepsThePixelGrid) {
    // 10 px at 20.6 px: on the grid the left edge snaps to 21; stroked along the outline it
    // runs 20.1..21.1.
    const FieldFrame slight =
        fieldFrame(QRectF(0, 0, 200, 200), QTransform(0.05, 0.00002, 0, 0.05, 20.6, 20.6));
    EXPECT_TRUE(covers(slight.border, 21, 25));
    EXPECT_FALSE(covers(slight.border, 20, 25));
    EXPECT_FALSE(covers(slight.border, 31, 31)); // the corner pixel the grid leaves out
    const FieldFrame skewed =
        fieldFrame(QRectF(0, 0, 200, 200), QTransform(0.05, 0.01, 0, 0.05, 20.6, 20.6));
    EXPECT_TRUE(covers(skewed.border, 20, 25));
    EXPECT_FALSE(covers(skewed.border, 21, 25));
}

TEST(FieldFrameTest, HostileBoundsStayFinite) {
    const FieldFrame f =
        fieldFrame(QRectF(QPointF(-2147483648.0, -2147483648.0), QPointF(2147483647.0, 0)),
                   QTransform().scale(0.05, 0.05));
    EXPECT_TRUE(f.background.boundingRect().isValid());
    EXPECT_LE(f.border.boundingRect().width(), double(1 << 26));
}

} // namespace
} // namespace mc
