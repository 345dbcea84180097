// Boxes and points of the display tree as ActionScript 3 reads them: getRect leaves the
// strokes out, a box moved to another space lands on whole twips, a rotation keeps a half
// turn's sign, and only what a timeline placed has a fixed name.

#include <gtest/gtest.h>

#include "As3DisplayTree.h"
#include "ScriptedMovie.h"

namespace mc {
namespace {

void draw(As3DisplayTree& tree, avm2::NodeId node, avm2::GraphicsOp::Kind kind, double a = 0,
          double b = 0) {
    avm2::GraphicsOp op{kind};
    op.a = a;
    op.b = b;
    tree.graphics(node, op);
}

// A 10 by 10 square at the origin, stroked 4 pixels wide.
void strokedSquare(As3DisplayTree& tree, avm2::NodeId node) {
    draw(tree, node, avm2::GraphicsOp::Kind::LineStyle, 4);
    draw(tree, node, avm2::GraphicsOp::Kind::MoveTo, 0, 0);
    for (const auto& [x, y] : {std::pair{10.0, 0.0}, {10.0, 10.0}, {0.0, 10.0}, {0.0, 0.0}}) {
        draw(tree, node, avm2::GraphicsOp::Kind::LineTo, x, y);
    }
}

TEST(As3BoundsTest, RectLeavesStrokesOutAndOtherSpacesLandOnWholeTwips) {
    StoppedMovie movie(10);
    As3DisplayTree tree(*movie.player, {});
    const avm2::NodeId parent = tree.createNode(avm2::NodeKind::Sprite);
    const avm2::NodeId shape = tree.createNode(avm2::NodeKind::Shape);
    ASSERT_TRUE(tree.insertChild(parent, shape, 0));
    strokedSquare(tree, shape);

    struct Case {
        bool strokes;
        double xMin, yMin, xMax, yMax;
    };
    // In its own space, as drawn.
    for (const Case& c : {Case{true, -2, -2, 12, 12}, Case{false, 0, 0, 10, 10}}) {
        const auto box = tree.bounds(shape, shape, c.strokes);
        EXPECT_DOUBLE_EQ(box.xMin, c.xMin) << c.strokes;
        EXPECT_DOUBLE_EQ(box.yMin, c.yMin) << c.strokes;
        EXPECT_DOUBLE_EQ(box.xMax, c.xMax) << c.strokes;
        EXPECT_DOUBLE_EQ(box.yMax, c.yMax) << c.strokes;
    }
    // Turned a third of a right angle and stretched: every side on a whole twip.
    tree.setNumber(shape, avm2::NodeProperty::ScaleX, 2);
    tree.setNumber(shape, avm2::NodeProperty::Rotation, 30);
    for (const bool strokes : {true, false}) {
        const auto box = tree.bounds(shape, parent, strokes);
        for (const double side : {box.xMin, box.yMin, box.xMax, box.yMax}) {
            EXPECT_DOUBLE_EQ(side * 20.0, std::nearbyint(side * 20.0)) << strokes;
        }
    }
    const auto rect = tree.bounds(shape, parent, false);
    EXPECT_DOUBLE_EQ(rect.xMin, -5.0);  // the far corner: 10 * -sin(30)
    EXPECT_DOUBLE_EQ(rect.xMax, 17.3);  // 20 * cos(30), 346.41 twips
    EXPECT_DOUBLE_EQ(rect.yMax, 18.65); // 20 * sin(30) + 10 * cos(30), 373.2 twips
}

TEST(As3BoundsTest, PointsGoBetweenSpacesOnWholeTwips) {
    StoppedMovie movie(10);
    As3DisplayTree tree(*movie.player, {});
    const avm2::NodeId node = tree.createNode(avm2::NodeKind::Sprite);
    tree.setNumber(node, avm2::NodeProperty::Rotation, 30);
    double x = 1, y = 2;
    tree.toGlobal(node, x, y, false);
    EXPECT_DOUBLE_EQ(x * 20.0, std::nearbyint(x * 20.0));
    EXPECT_DOUBLE_EQ(y * 20.0, std::nearbyint(y * 20.0));
    tree.toGlobal(node, x, y, true);
    EXPECT_NEAR(x, 1, 0.05);
    EXPECT_NEAR(y, 2, 0.05);
}

TEST(As3BoundsTest, HalfTurnsKeepTheirSignAndTimelineNamesAreFixed) {
    StoppedMovie movie(10);
    As3DisplayTree tree(*movie.player, {});
    const avm2::NodeId node = tree.createNode(avm2::NodeKind::Sprite);
    for (const double turn : {-180.0, 180.0, -90.0, 45.5}) {
        tree.setNumber(node, avm2::NodeProperty::Rotation, turn);
        EXPECT_DOUBLE_EQ(tree.number(node, avm2::NodeProperty::Rotation), turn);
    }
    EXPECT_FALSE(tree.placedByTimeline(node));
    EXPECT_FALSE(tree.placedByTimeline(tree.stageNode()));
    EXPECT_TRUE(tree.placedByTimeline(tree.rootNode()));
}

} // namespace
} // namespace mc
