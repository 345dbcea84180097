// Geometry ActionScript 3 reads and sets on the display tree: sizes set on turned, empty and
// odd objects, positions without a negative zero, the objects under a point, and where a
// text field's characters are drawn.

#include <gtest/gtest.h>

#include <cmath>

#include "As3DisplayTree.h"
#include "HitTest.h"
#include "ScriptedMovie.h"

namespace mc {
namespace {

using P = avm2::NodeProperty;
using Kind = avm2::GraphicsOp::Kind;

void op(As3DisplayTree& tree, avm2::NodeId node, Kind kind, double a = 0, double b = 0) {
    avm2::GraphicsOp g{kind};
    g.a = a;
    g.b = b;
    tree.graphics(node, g);
}

// A filled w by h box at (x, y).
void box(As3DisplayTree& tree, avm2::NodeId node, double x, double y, double w, double h) {
    op(tree, node, Kind::BeginFill);
    op(tree, node, Kind::MoveTo, x, y);
    op(tree, node, Kind::LineTo, x + w, y);
    op(tree, node, Kind::LineTo, x + w, y + h);
    op(tree, node, Kind::LineTo, x, y + h);
    op(tree, node, Kind::LineTo, x, y);
    op(tree, node, Kind::EndFill);
}

class As3GeometryRules : public ::testing::Test {
  protected:
    StoppedMovie movie{10};
    As3DisplayTree tree{*movie.player, {}};
    HitTester hit{*movie.loaded.movie, *movie.player};

    void SetUp() override { tree.setHitTester(&hit); }

    avm2::NodeId boxShape(double w, double h) {
        const avm2::NodeId node = tree.createNode(avm2::NodeKind::Shape);
        box(tree, node, 0, 0, w, h);
        return node;
    }
};

TEST_F(As3GeometryRules, SizesSetOnTurnedEmptyAndOddObjects) {
    struct Case {
        bool empty;
        double rotation;
        P property;
        double value;
        double scaleX, scaleY;
    };
    const double inf = INFINITY;
    // A 40 by 20 box: the scale along the axis set is the size over the turned box's reach
    // along it; the other scale moves toward the first by the turn.
    const Case cases[] = {
        {false, 0, P::Width, 80, 2, 1},
        {false, 0, P::Height, 10, 1, 0.5},
        {false, 180, P::Width, 80, 2, 1},
        {false, 30, P::Width, 80, 80 / (40 * std::cos(M_PI / 6) + 10), 1},
        {false, 30, P::Height, 10, 1, 10 / (20 * std::cos(M_PI / 6) + 20)},
        {false, 90, P::Width, 80, 4, 1},
        {false, 90, P::Height, 10, 1, 0.25},
        {false, -45, P::Width, 80, 80 / (60 * std::sqrt(0.5)), 1},
        // A negative or NaN size changes nothing; an infinite one leaves no scale.
        {false, 0, P::Width, -10, 1, 1},
        {false, 0, P::Height, NAN, 1, 1},
        {false, 0, P::Width, inf, 0, 1},
        {false, 0, P::Width, 0, 0, 1},
        // Nothing to measure: both scales go to 0, whatever the size.
        {true, 0, P::Width, 50, 0, 0},
        {true, 0, P::Height, 0, 0, 0},
        {true, 0, P::Width, -5, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.empty << " " << c.rotation << " "
                     << (c.property == P::Width ? "width" : "height") << " " << c.value);
        const avm2::NodeId node =
            c.empty ? tree.createNode(avm2::NodeKind::Sprite) : boxShape(40, 20);
        tree.setNumber(node, P::Rotation, c.rotation);
        tree.setNumber(node, c.property, c.value);
        EXPECT_NEAR(tree.number(node, P::ScaleX), c.scaleX, 1e-9);
        EXPECT_NEAR(tree.number(node, P::ScaleY), c.scaleY, 1e-9);
        EXPECT_DOUBLE_EQ(tree.number(node, P::Rotation), c.rotation);
    }
}

TEST_F(As3GeometryRules, PositionsAreWholeTwipsWithoutNegativeZero) {
    const avm2::NodeId node = tree.createNode(avm2::NodeKind::Sprite);
    for (const double v : {-0.04, -0.0, 0.01}) {
        for (const P p : {P::X, P::Y}) {
            tree.setNumber(node, p, v);
            const double read = tree.number(node, p);
            EXPECT_EQ(read, 0.0) << v;
            EXPECT_FALSE(std::signbit(read)) << v;
        }
    }
}

TEST_F(As3GeometryRules, ObjectsUnderAPointComeInPaintingOrder) {
    // p holds a (50 by 50) and q, a sprite drawing nothing itself that holds b (50 by 50
    // at 25), over the root; r is a sprite that draws a box itself and holds c.
    const avm2::NodeId p = tree.createNode(avm2::NodeKind::Sprite);
    const avm2::NodeId a = boxShape(50, 50);
    const avm2::NodeId q = tree.createNode(avm2::NodeKind::Sprite);
    const avm2::NodeId b = boxShape(50, 50);
    const avm2::NodeId r = tree.createNode(avm2::NodeKind::Sprite);
    const avm2::NodeId c = boxShape(10, 10);
    box(tree, r, 0, 0, 100, 100);
    tree.setNumber(b, P::X, 25);
    tree.setNumber(r, P::Y, 100);
    ASSERT_TRUE(tree.insertChild(q, b, 0));
    ASSERT_TRUE(tree.insertChild(p, a, 0));
    ASSERT_TRUE(tree.insertChild(p, q, 1));
    ASSERT_TRUE(tree.insertChild(r, c, 0));
    ASSERT_TRUE(tree.insertChild(p, r, 2));
    ASSERT_TRUE(tree.insertChild(tree.rootNode(), p, 0));
    struct Case {
        double x, y;
        std::vector<avm2::NodeId> found;
    };
    const Case cases[] = {
        {10, 10, {a}},    {30, 10, {a, b}}, {60, 10, {b}}, {200, 10, {}},
        {5, 105, {r, c}}, {50, 150, {r}},   {NAN, 10, {}},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(tree.objectsUnderPoint(p, k.x, k.y), k.found) << k.x << "," << k.y;
    }
    // Hidden objects are not found, nor what they hold; hitTestPoint still finds their
    // shapes.
    HitTester seenOrNot{*movie.loaded.movie, *movie.player};
    seenOrNot.includeHidden = true;
    tree.setScriptHitTester(&seenOrNot);
    tree.setNumber(q, P::Visible, 0);
    EXPECT_EQ(tree.objectsUnderPoint(p, 30, 10), std::vector<avm2::NodeId>{a});
    EXPECT_TRUE(tree.hitTestPoint(b, 60, 10, true));
    EXPECT_FALSE(tree.hitTestPoint(b, 80, 10, true));
}

TEST_F(As3GeometryRules, AHitAreaStandsForTheObjectsOwnContent) {
    // s draws a 50 by 50 box at (0, 0) and holds k (10 by 10 at 60); the area is a 20 by 20
    // box at (100, 0), hidden; w is a parent whose window ends at 110 across.
    const avm2::NodeId w = tree.createNode(avm2::NodeKind::Sprite);
    const avm2::NodeId s = tree.createNode(avm2::NodeKind::Sprite);
    const avm2::NodeId k = boxShape(10, 10);
    const avm2::NodeId area = tree.createNode(avm2::NodeKind::Sprite);
    box(tree, s, 0, 0, 50, 50);
    box(tree, area, 0, 0, 20, 20);
    tree.setNumber(k, P::X, 60);
    tree.setNumber(area, P::X, 100);
    tree.setNumber(area, P::Visible, 0);
    ASSERT_TRUE(tree.insertChild(s, k, 0));
    ASSERT_TRUE(tree.insertChild(w, s, 0));
    ASSERT_TRUE(tree.insertChild(w, area, 1));
    ASSERT_TRUE(tree.insertChild(tree.rootNode(), w, 0));
    const DisplayObject& object = *tree.find(s);
    const DisplayObject& by = *tree.find(area);
    struct Case {
        double x, y;
        bool own, through;
    };
    const Case cases[] = {
        {10, 10, true, false},  // the object's drawing
        {65, 5, true, false},   // its child
        {105, 5, false, true},  // the hidden area counts by its shape
        {119, 19, false, true}, // its far corner
        {125, 5, false, false}, // beside it
        {NAN, 5, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hit.hits(object, c.x * 20, c.y * 20), c.own) << c.x << "," << c.y;
        EXPECT_EQ(hit.hitsThrough(object, by, c.x * 20, c.y * 20), c.through) << c.x << "," << c.y;
    }
    // The object's own visibility and the windows around it still decide.
    tree.setScrollRect(w, std::array<double, 4>{0, 0, 110, 100});
    EXPECT_TRUE(hit.hitsThrough(object, by, 105 * 20, 5 * 20));
    EXPECT_FALSE(hit.hitsThrough(object, by, 115 * 20, 5 * 20));
    tree.setNumber(s, P::Visible, 0);
    EXPECT_FALSE(hit.hitsThrough(object, by, 105 * 20, 5 * 20));
}

TEST_F(As3GeometryRules, TextCharactersHaveBoxesAndPointsFindThem) {
    const avm2::NodeId field = tree.createNode(avm2::NodeKind::Text);
    tree.setNumber(field, P::Width, 300);
    tree.setNumber(field, P::Height, 100);
    tree.setTextSetting(field, "multiline", "true");
    tree.setText(field, "ab\ncd", false);
    const auto lines = tree.textLines(field);
    ASSERT_EQ(lines.lines.size(), 2u);

    const auto first = tree.textCharacterBox(field, 0);
    const auto second = tree.textCharacterBox(field, 1);
    const auto below = tree.textCharacterBox(field, 3);
    ASSERT_TRUE(first && second && below);
    // The text starts inside the gutter; neighbours abut; a line's characters advance as far
    // as the line measures.
    EXPECT_DOUBLE_EQ(first->x, 2);
    EXPECT_DOUBLE_EQ(first->y, 2);
    EXPECT_DOUBLE_EQ(first->x + first->width, second->x);
    EXPECT_DOUBLE_EQ(second->x + second->width - first->x, lines.lines[0].width);
    EXPECT_DOUBLE_EQ(below->y, first->y + first->height);
    // Paragraph ends and indices past the text have no box.
    for (const std::size_t none : {2u, 5u, 99u}) {
        EXPECT_FALSE(tree.textCharacterBox(field, none)) << none;
    }
    // A point finds the character drawn under it, none beside or below the text.
    for (const std::size_t i : {0u, 1u, 3u, 4u}) {
        const auto b = *tree.textCharacterBox(field, i);
        EXPECT_EQ(tree.textCharacterAt(field, b.x + b.width / 2, b.y + b.height / 2), i);
    }
    EXPECT_FALSE(tree.textCharacterAt(field, 0.5, 5));
    EXPECT_FALSE(tree.textCharacterAt(field, 290, 5));
    EXPECT_FALSE(tree.textCharacterAt(field, 5, 95));
    EXPECT_FALSE(tree.textCharacterAt(field, NAN, 5));

    // numLines counts what the line methods count: the empty line after a last paragraph
    // end too.
    struct Lines {
        const char* text;
        const char* count;
    };
    for (const Lines& l : {Lines{"ab\ncd", "2"}, Lines{"ab\n", "2"}, Lines{"", "1"}}) {
        tree.setText(field, l.text, false);
        EXPECT_EQ(tree.textSetting(field, "numLines"), l.count) << l.text;
        EXPECT_EQ(std::to_string(tree.textLines(field).lines.size()), l.count) << l.text;
    }
    tree.setText(field, "ab\ncd", false);

    // Scrolled down a line: the first line has no place, the second is at the top.
    tree.setNumber(field, P::Height, 20);
    tree.setTextSetting(field, "scrollV", "2");
    EXPECT_FALSE(tree.textCharacterBox(field, 0));
    const auto top = tree.textCharacterBox(field, 3);
    ASSERT_TRUE(top);
    EXPECT_DOUBLE_EQ(top->y, 2);
    EXPECT_EQ(tree.textCharacterAt(field, top->x + 1, top->y + 1), 3u);
}

} // namespace
} // namespace mc
