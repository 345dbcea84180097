#include "OutlineConverter.h"

#include <gtest/gtest.h>

namespace makesample {
namespace {

using moviemaker::CurvedEdge;
using moviemaker::StraightEdge;
using moviemaker::StyleChange;

std::vector<StyleChange> changes(const moviemaker::Shape& s) {
    std::vector<StyleChange> out;
    for (const auto& r : s.records()) {
        if (const auto* c = std::get_if<StyleChange>(&r)) {
            out.push_back(*c);
        }
    }
    return out;
}

QPainterPath square(double x, double y, double size, bool clockwise) {
    QPainterPath p;
    p.moveTo(x, y);
    if (clockwise) {
        p.lineTo(x + size, y);
        p.lineTo(x + size, y + size);
        p.lineTo(x, y + size);
    } else {
        p.lineTo(x, y + size);
        p.lineTo(x + size, y + size);
        p.lineTo(x + size, y);
    }
    p.closeSubpath();
    return p;
}

TEST(OutlineConverter, FillGoesOnTheInsideOfTheOuterContour) {
    moviemaker::Shape cw;
    appendOutline(cw, square(0, 0, 10, true), {}, 1);
    ASSERT_FALSE(changes(cw).empty());
    EXPECT_EQ(changes(cw).front().fill1, 1u);
    EXPECT_EQ(changes(cw).front().fill0, 0u);

    moviemaker::Shape ccw;
    appendOutline(ccw, square(0, 0, 10, false), {}, 1);
    EXPECT_EQ(changes(ccw).front().fill0, 1u);
    EXPECT_EQ(changes(ccw).front().fill1, 0u);
}

TEST(OutlineConverter, HolesKeepTheOuterContoursSideSoTheyStayEmpty) {
    QPainterPath ring = square(0, 0, 30, true);
    ring.addPath(square(10, 10, 10, false));
    moviemaker::Shape s;
    appendOutline(s, ring, {}, 2);
    const auto c = changes(s);
    ASSERT_EQ(c.size(), 2u); // one selection with the first move, then the hole's move
    EXPECT_EQ(c[0].fill1, 2u);
    EXPECT_FALSE(c[1].fill0.has_value());
    EXPECT_FALSE(c[1].fill1.has_value());
    EXPECT_EQ(c[1].moveTo, (moviemaker::Point{200, 200}));
}

TEST(OutlineConverter, PixelsBecomeTwipsAndCubicsBecomeQuadratics) {
    QPainterPath p;
    p.moveTo(0, 0);
    p.cubicTo(0, 10, 10, 10, 10, 0);
    p.closeSubpath();
    moviemaker::Shape s;
    appendOutline(s, p, QTransform::fromTranslate(5, 0), 1, 0.5);
    EXPECT_EQ(changes(s).front().moveTo, (moviemaker::Point{100, 0}));
    std::size_t curves = 0;
    for (const auto& r : s.records()) {
        curves += std::holds_alternative<CurvedEdge>(r) ? 1 : 0;
    }
    EXPECT_GE(curves, 2u);
    EXPECT_EQ(s.pen(), (moviemaker::Point{100, 0})); // closed back on the start
    EXPECT_EQ(s.edgeBounds().xMax, 300);
}

TEST(OutlineConverter, StrokesSelectOnlyTheLine) {
    QPainterPath p;
    p.moveTo(0, 0);
    p.lineTo(10, 0);
    moviemaker::Shape s;
    appendStroke(s, p, {}, 3);
    const auto c = changes(s);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].line, 3u);
    EXPECT_EQ(c[0].fill0, 0u);
    EXPECT_EQ(c[0].fill1, 0u);
    EXPECT_EQ(s.records().size(), 2u); // open: no closing edge
}

} // namespace
} // namespace makesample
