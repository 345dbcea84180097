// Edge assembly into fill contours, strokes, layers, glyphs and morph interpolation.
#include "swf/Geometry.h"

#include <gtest/gtest.h>

#include <memory>

using namespace swf;

namespace {

ShapeStyles solidFills(std::size_t fills, std::size_t lines = 0) {
    ShapeStyles s;
    for (std::size_t i = 0; i < fills; ++i) {
        FillStyle f;
        f.color = {static_cast<std::uint8_t>(i * 40), 0, 0, 255};
        s.fills.push_back(f);
    }
    for (std::size_t i = 0; i < lines; ++i) {
        LineStyle l;
        l.width = static_cast<std::uint16_t>(20 * (i + 1));
        s.lines.push_back(l);
    }
    return s;
}

StyleChange change(std::optional<std::uint32_t> fill0, std::optional<std::uint32_t> fill1,
                   std::optional<std::uint32_t> line = std::nullopt) {
    StyleChange c;
    c.fill0 = fill0;
    c.fill1 = fill1;
    c.line = line;
    return c;
}

StyleChange moveTo(std::int32_t x, std::int32_t y, std::optional<std::uint32_t> fill0 = {},
                   std::optional<std::uint32_t> fill1 = {},
                   std::optional<std::uint32_t> line = {}) {
    StyleChange c = change(fill0, fill1, line);
    c.hasMoveTo = true;
    c.moveX = x;
    c.moveY = y;
    return c;
}

std::vector<Point> points(const Path& path) {
    std::vector<Point> out;
    for (const PathElement& e : path.elements) {
        if (e.verb != PathVerb::Close) {
            out.push_back(e.to);
        }
    }
    return out;
}

std::size_t count(const Path& path, PathVerb verb) {
    std::size_t n = 0;
    for (const PathElement& e : path.elements) {
        n += e.verb == verb;
    }
    return n;
}

// Twice the signed area of the polygon through the path's points.
double signedArea(const Path& path) {
    const auto p = points(path);
    double a = 0;
    for (std::size_t i = 0; i + 1 < p.size(); ++i) {
        a += p[i].x * p[i + 1].y - p[i + 1].x * p[i].y;
    }
    return a;
}

} // namespace

TEST(FillAssembly, SquareOfFillOneEdgesIsOneClosedContour) {
    const std::vector<ShapeRecord> records{moveTo(0, 0, 0, 1), StraightEdge{100, 0},
                                           StraightEdge{0, 100}, StraightEdge{-100, 0},
                                           StraightEdge{0, -100}};
    const ShapeDrawing d = buildDrawing(solidFills(1), records);
    ASSERT_EQ(d.layers.size(), 1u);
    ASSERT_EQ(d.layers[0].fills.size(), 1u);
    const Path& p = d.layers[0].fills[0].path;
    EXPECT_EQ(count(p, PathVerb::MoveTo), 1u);
    EXPECT_EQ(count(p, PathVerb::LineTo), 4u);
    EXPECT_EQ(p.elements.back().verb, PathVerb::Close);
    EXPECT_EQ(d.fillRule, FillRule::EvenOdd);
}

TEST(FillAssembly, SharedEdgeIsReversedForTheFillOnItsRight) {
    // Two unit squares side by side; the middle edge has fill 1 on its left (first square's
    // side when walking down) and fill 2 on its right.
    const std::vector<ShapeRecord> records{
        moveTo(100, 0, 2, 1), StraightEdge{0, 100}, // shared, down
        change(0, 1),         StraightEdge{-100, 0}, StraightEdge{0, -100}, StraightEdge{100, 0},
        moveTo(100, 0, 0, 2), StraightEdge{100, 0},  StraightEdge{0, 100},  StraightEdge{-100, 0}};
    const ShapeDrawing d = buildDrawing(solidFills(2), records);
    ASSERT_EQ(d.layers.size(), 1u);
    ASSERT_EQ(d.layers[0].fills.size(), 2u);
    for (const FillPath& f : d.layers[0].fills) {
        SCOPED_TRACE(f.style);
        EXPECT_EQ(count(f.path, PathVerb::MoveTo), 1u) << "one contour per square";
        EXPECT_EQ(count(f.path, PathVerb::Close), 1u);
        EXPECT_EQ(count(f.path, PathVerb::LineTo), 4u);
    }
    // Both contours run the same way round once fill 0 edges are reversed.
    const double a1 = signedArea(d.layers[0].fills[0].path);
    const double a2 = signedArea(d.layers[0].fills[1].path);
    EXPECT_NE(a1, 0.0);
    EXPECT_GT(a1 * a2, 0.0);
    const auto second = points(d.layers[0].fills[1].path);
    EXPECT_NE(std::find(second.begin(), second.end(), Point{100, 0}), second.end());
}

TEST(FillAssembly, EdgesInAnyOrderAreJoinedByTheirEndpoints) {
    // Triangle written as three separate pieces out of order.
    const std::vector<ShapeRecord> records{moveTo(100, 0, 0, 1), StraightEdge{-50, 100},
                                           moveTo(0, 0),         StraightEdge{100, 0},
                                           moveTo(50, 100),      StraightEdge{-50, -100}};
    const ShapeDrawing d = buildDrawing(solidFills(1), records);
    ASSERT_EQ(d.layers[0].fills.size(), 1u);
    const Path& p = d.layers[0].fills[0].path;
    EXPECT_EQ(count(p, PathVerb::MoveTo), 1u);
    EXPECT_EQ(count(p, PathVerb::Close), 1u);
    EXPECT_EQ(points(p).size(), 4u);
}

TEST(FillAssembly, OpenContourIsKeptWithoutClose) {
    const std::vector<ShapeRecord> records{moveTo(0, 0, 0, 1), StraightEdge{100, 0},
                                           StraightEdge{0, 100}};
    const ShapeDrawing d = buildDrawing(solidFills(1), records);
    const Path& p = d.layers[0].fills.at(0).path;
    EXPECT_EQ(count(p, PathVerb::Close), 0u);
    EXPECT_EQ(count(p, PathVerb::LineTo), 2u);
}

TEST(FillAssembly, OutOfRangeStyleIndexesDrawNothing) {
    const std::vector<ShapeRecord> records{moveTo(0, 0, 5, 9, 3), StraightEdge{100, 0}};
    const ShapeDrawing d = buildDrawing(solidFills(1, 1), records);
    EXPECT_TRUE(d.layers[0].fills.empty());
    EXPECT_TRUE(d.layers[0].strokes.empty());
}

TEST(FillAssembly, CurvesKeepTheirControlPoints) {
    const std::vector<ShapeRecord> records{moveTo(0, 0, 1, 0), CurvedEdge{50, -50, 50, 50},
                                           StraightEdge{-100, 0}};
    const ShapeDrawing d = buildDrawing(solidFills(1), records);
    const Path& p = d.layers[0].fills.at(0).path;
    ASSERT_EQ(count(p, PathVerb::QuadTo), 1u);
    // Fill 0 only: the curve runs backwards, from its anchor to the pen position.
    const auto it = std::find_if(p.elements.begin(), p.elements.end(),
                                 [](const PathElement& e) { return e.verb == PathVerb::QuadTo; });
    EXPECT_EQ(it->control, (Point{50, -50}));
    EXPECT_EQ(it->to, (Point{0, 0}));
    EXPECT_EQ(p.elements.front().to, (Point{100, 0}));
}

TEST(Strokes, PathsFollowDrawingOrderAndCloseWhenTheyReturn) {
    const std::vector<ShapeRecord> records{
        moveTo(0, 0, {}, {}, 1), StraightEdge{10, 0}, StraightEdge{0, 10}, StraightEdge{-10, -10},
        moveTo(50, 50),          StraightEdge{5, 0},  change({}, {}, 2),   StraightEdge{5, 0}};
    const ShapeDrawing d = buildDrawing(solidFills(0, 2), records);
    ASSERT_EQ(d.layers[0].strokes.size(), 2u);
    const Path& first = d.layers[0].strokes[0].path;
    EXPECT_EQ(count(first, PathVerb::MoveTo), 2u);
    EXPECT_EQ(count(first, PathVerb::Close), 1u) << "the triangle returns to its start";
    EXPECT_EQ(first.elements.back().to, (Point{55, 50}));
    const Path& second = d.layers[0].strokes[1].path;
    EXPECT_EQ(d.layers[0].strokes[1].style, 1u);
    EXPECT_EQ(points(second), (std::vector<Point>{{55, 50}, {60, 50}}));
}

TEST(Layers, NewStylesStartALayerWithTheirOwnStyles) {
    auto styles = std::make_shared<ShapeStyles>(solidFills(3));
    StyleChange fresh = moveTo(0, 0, {}, 3);
    fresh.newStyles = styles;
    const std::vector<ShapeRecord> records{moveTo(0, 0, {}, 1),  StraightEdge{10, 0},
                                           StraightEdge{-10, 0}, fresh,
                                           StraightEdge{0, 10},  StraightEdge{0, -10}};
    const ShapeDrawing d = buildDrawing(solidFills(1), records);
    ASSERT_EQ(d.layers.size(), 2u);
    EXPECT_EQ(d.layers[0].styles.fills.size(), 1u);
    ASSERT_EQ(d.layers[1].styles.fills.size(), 3u);
    ASSERT_EQ(d.layers[1].fills.size(), 1u);
    EXPECT_EQ(d.layers[1].fills[0].style, 2u);
    ASSERT_EQ(d.layers[0].fills.size(), 1u);
    EXPECT_EQ(points(d.layers[0].fills[0].path).back(), (Point{0, 0}));
}

TEST(Layers, NewStylesResetTheSelectedStyles) {
    StyleChange fresh;
    fresh.newStyles = std::make_shared<ShapeStyles>(solidFills(2));
    const std::vector<ShapeRecord> records{moveTo(0, 0, {}, 1), fresh, StraightEdge{10, 0}};
    const ShapeDrawing d = buildDrawing(solidFills(1), records);
    ASSERT_EQ(d.layers.size(), 2u);
    EXPECT_TRUE(d.layers[1].fills.empty());
}

TEST(Layers, WindingRuleComesFromTheShapeFlag) {
    Shape shape;
    shape.version = 4;
    shape.usesFillWindingRule = true;
    EXPECT_EQ(buildDrawing(shape).fillRule, FillRule::NonZero);
}

TEST(Glyphs, AnyFillIndexIsTheOneImplicitFill) {
    const std::vector<ShapeRecord> records{moveTo(0, 0, {}, 1),    StraightEdge{100, 0},
                                           StraightEdge{0, 100},   StraightEdge{-100, -100},
                                           moveTo(10, 0, 1, 0, 1), StraightEdge{5, 5}};
    const ShapeDrawing d = buildGlyphDrawing(records);
    ASSERT_EQ(d.layers.size(), 1u);
    ASSERT_EQ(d.layers[0].styles.fills.size(), 1u);
    ASSERT_EQ(d.layers[0].fills.size(), 1u);
    EXPECT_EQ(d.layers[0].fills[0].style, 0u);
    EXPECT_TRUE(d.layers[0].strokes.empty()) << "glyphs are never stroked";
    EXPECT_EQ(count(d.layers[0].fills[0].path, PathVerb::MoveTo), 2u);
}

namespace {

MorphShape morphSquare() {
    MorphShape m;
    m.id = 5;
    MorphFillStyle f;
    f.start.color = {0, 0, 0, 255};
    f.end.color = {255, 100, 50, 0};
    f.start.type = f.end.type = FillType::LinearGradient;
    f.start.gradient.records = {{0, {0, 0, 0, 255}}, {100, {10, 10, 10, 10}}};
    f.end.gradient.records = {{200, {255, 255, 255, 255}}, {255, {20, 20, 20, 20}}};
    f.end.matrix.tx = 1000;
    f.end.matrix.a = 3.0;
    m.fills.push_back(f);
    MorphLineStyle l;
    l.start.width = 20;
    l.end.width = 120;
    m.lines.push_back(l);
    m.startRecords = {moveTo(0, 0, {}, 1, 1), StraightEdge{100, 0}, StraightEdge{0, 100},
                      StraightEdge{-100, 0}, StraightEdge{0, -100}};
    StyleChange endMove;
    endMove.hasMoveTo = true;
    endMove.moveX = 100;
    endMove.moveY = 100;
    m.endRecords = {endMove, CurvedEdge{100, -100, 100, 100}, StraightEdge{0, 200},
                    StraightEdge{-200, 0}, StraightEdge{0, -200}};
    return m;
}

} // namespace

TEST(Morph, RatioZeroIsTheStartShape) {
    const Shape s = interpolateMorph(morphSquare(), 0);
    ASSERT_EQ(s.records.size(), 5u);
    const auto& move = std::get<StyleChange>(s.records[0]);
    EXPECT_EQ(move.moveX, 0);
    EXPECT_EQ(move.fill1, 1u);
    // The straight start edge is paired with a curve, so it becomes a curve on its midpoint.
    const auto& first = std::get<CurvedEdge>(s.records[1]);
    EXPECT_EQ(first.controlDx, 50);
    EXPECT_EQ(first.controlDy, 0);
    EXPECT_EQ(first.controlDx + first.anchorDx, 100);
    EXPECT_EQ(std::get<StraightEdge>(s.records[2]).dy, 100);
    EXPECT_EQ(s.styles.fills.at(0).color, (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(s.styles.lines.at(0).width, 20);
}

TEST(Morph, RatioMaxIsTheEndShape) {
    const Shape s = interpolateMorph(morphSquare(), 65535);
    const auto& move = std::get<StyleChange>(s.records[0]);
    EXPECT_EQ(move.moveX, 100);
    EXPECT_EQ(move.moveY, 100);
    const auto& first = std::get<CurvedEdge>(s.records[1]);
    EXPECT_EQ(first.controlDx, 100);
    EXPECT_EQ(first.controlDy, -100);
    EXPECT_EQ(first.anchorDy, 100);
    EXPECT_EQ(std::get<StraightEdge>(s.records[2]).dy, 200);
    const FillStyle& f = s.styles.fills.at(0);
    EXPECT_EQ(f.color, (Rgba{255, 100, 50, 0}));
    EXPECT_EQ(f.gradient.records.at(0).ratio, 200);
    EXPECT_DOUBLE_EQ(f.matrix.tx, 1000);
    EXPECT_EQ(s.styles.lines.at(0).width, 120);
}

TEST(Morph, MidpointInterpolatesPositionsAndStyles) {
    const Shape s = interpolateMorph(morphSquare(), 32768);
    const auto& move = std::get<StyleChange>(s.records[0]);
    EXPECT_EQ(move.moveX, 50);
    const auto& first = std::get<CurvedEdge>(s.records[1]);
    // Control: (50,0) -> (200,0) absolute; anchor (100,0) -> (300,100).
    EXPECT_EQ(move.moveX + first.controlDx, 125);
    EXPECT_EQ(move.moveY + first.controlDy, 0);
    EXPECT_EQ(move.moveX + first.controlDx + first.anchorDx, 200);
    EXPECT_EQ(move.moveY + first.controlDy + first.anchorDy, 50);
    const FillStyle& f = s.styles.fills.at(0);
    EXPECT_EQ(f.color.r, 128);
    EXPECT_EQ(f.color.a, 127);
    EXPECT_EQ(f.gradient.records.at(1).ratio, 178);
    EXPECT_NEAR(f.matrix.a, 2.0, 1e-4);
    EXPECT_EQ(s.styles.lines.at(0).width, 70);

    const ShapeDrawing d = buildMorphDrawing(morphSquare(), 32768);
    ASSERT_EQ(d.layers.size(), 1u);
    ASSERT_EQ(d.layers[0].fills.size(), 1u);
    EXPECT_EQ(count(d.layers[0].fills[0].path, PathVerb::Close), 1u) << "still closes";
    EXPECT_EQ(d.layers[0].strokes.size(), 1u);
}

TEST(Morph, MissingEndEdgesMorphToThemselves) {
    MorphShape m = morphSquare();
    m.endRecords.resize(2);
    const Shape s = interpolateMorph(m, 65535);
    ASSERT_EQ(s.records.size(), 5u);
    EXPECT_EQ(std::get<StraightEdge>(s.records[4]).dy, -100);
}
