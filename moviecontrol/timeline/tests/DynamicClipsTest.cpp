#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "DisplayProperties.h"
#include "Drawing.h"
#include "PixelSource.h"
#include "RecordingRunner.h"
#include "TextFieldState.h"
#include "TimelineBuilders.h"

namespace mc {
namespace {

using namespace mc::testing;
using Ids = std::vector<std::uint16_t>;
using Log = std::vector<std::string>;

// A catalog that also exports symbols by name.
class ExportingCatalog : public FakeCatalog {
  public:
    std::map<std::string, std::uint16_t> exports;
    std::optional<std::uint16_t> exported(std::string_view name) const override {
        const auto it = exports.find(std::string(name));
        return it == exports.end() ? std::nullopt : std::optional<std::uint16_t>(it->second);
    }
};

class DynamicClipsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        catalog.kinds = {
            {1, CharacterKind::Shape}, {2, CharacterKind::Shape}, {10, CharacterKind::Sprite}};
        TimelineBuilder inner(2);
        inner.at(0, place(1, 1)).at(1, moveTo(1, 40));
        catalog.sprites[10] = inner.timeline;
        catalog.exports = {{"Box", 10}, {"Dot", 2}};
        catalog.rects = {{1, swf::Rect{0, 200, 0, 100}}, {2, swf::Rect{-20, 20, -20, 20}}};
    }
    ExportingCatalog catalog;
    RecordingRunner runner;
};

TEST_F(DynamicClipsTest, TimelineDepthsSitBelowScriptDepthsAndScriptClipsSurviveTheTimeline) {
    TimelineBuilder root(2);
    root.at(0, place(1, 1, 100)).at(1, remove(1));
    TimelinePlayer player(catalog, root.timeline, {}, {}, &runner);
    DisplayObject& stage = player.rootObject();
    auto shape = player.childAtDepth(stage, -16383);
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->depth, -16383);
    auto box = player.edits().attachMovie(stage, "Box", "box", 0);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->name, "box");
    player.events().runQueuedScripts(); // its load event waits for the queue, as after a script
    EXPECT_EQ(runner.log, (Log{"construct box", "box.onLoad"}));
    // Its class constructor already sees the first frame's shape.
    EXPECT_EQ(runner.childrenAtConstruct, (std::vector<std::size_t>{1}));
    EXPECT_EQ(player.edits().nextHighestDepth(stage), 1);
    EXPECT_EQ(player.edits().attachMovie(stage, "Nothing", "x", 2), nullptr);
    EXPECT_EQ(player.edits().attachMovie(stage, "Box", "deep", kMaxScriptDepth + 1), nullptr);
    EXPECT_EQ(drawnIds(player), (Ids{1, 1})); // the timeline's shape below the new clip
    player.advance();
    EXPECT_EQ(drawnIds(player), (Ids{1}));
    EXPECT_EQ(player.childByName(stage, "BOX", false), box);
    EXPECT_EQ(player.childByName(stage, "BOX", true), nullptr);
    // Letters beyond ASCII compare through the fold the scripts' host hands in.
    auto accented = player.edits().attachMovie(stage, "Box", "äb", 3);
    ASSERT_NE(accented, nullptr);
    EXPECT_EQ(player.childByName(stage, "ÄB", false), nullptr);
    player.setNameFold(+[](std::string_view a, std::string_view b) {
        return (a == "äb" || a == "ÄB") && (b == "äb" || b == "ÄB");
    });
    EXPECT_EQ(player.childByName(stage, "ÄB", false), accented);
    EXPECT_EQ(player.childByName(stage, "ÄB", true), nullptr);
}

TEST_F(DynamicClipsTest, RemoveMovieClipOnlyTakesScriptDepthsAndSwapDepthsMovesBothWays) {
    TimelineBuilder root(1);
    swf::PlaceObject p = place(1, 10);
    p.name = "placed";
    root.at(0, p);
    TimelinePlayer player(catalog, root.timeline, {}, {}, &runner);
    DisplayObject& stage = player.rootObject();
    auto placed = player.childByName(stage, "placed", true);
    ASSERT_NE(placed, nullptr);
    EXPECT_FALSE(player.edits().removeByScript(*placed)); // a timeline depth
    auto a = player.edits().createEmptyClip(stage, "a", 5);
    ASSERT_TRUE(player.edits().swapDepths(*placed, 5));
    EXPECT_EQ(placed->depth, 5);
    EXPECT_EQ(a->depth, -16383);
    EXPECT_EQ(player.childAtDepth(stage, 5), placed);
    EXPECT_TRUE(player.edits().removeByScript(*placed)); // now at a script depth it can go
    EXPECT_TRUE(placed->removed);
    EXPECT_EQ(player.childByName(stage, "placed", true), nullptr);
    EXPECT_FALSE(player.edits().removeByScript(*placed));
}

TEST_F(DynamicClipsTest, DuplicatesKeepPlacementAndEventsAndStartAtTheirFirstFrame) {
    TimelineBuilder root(2);
    swf::PlaceObject p = place(1, 10, 300);
    p.name = "orig";
    swf::ClipAction onLoad;
    onLoad.events = clip_event::Load;
    onLoad.actions = taggedBlock("loaded");
    p.clipActions = {onLoad};
    root.at(0, p);
    TimelinePlayer player(catalog, root.timeline, {}, {}, &runner);
    player.advance();
    auto orig = player.childByName(player.rootObject(), "orig", true);
    ASSERT_EQ(orig->clip->frame, 1u);
    runner.log.clear();
    auto copy = player.edits().duplicateClip(*orig, "copy", 3);
    ASSERT_NE(copy, nullptr);
    player.events().runQueuedScripts();
    EXPECT_EQ(copy->matrix.tx, 300);
    EXPECT_EQ(copy->clip->frame, 0u);
    EXPECT_EQ(runner.log, (Log{"construct copy", "copy:loaded", "copy.onLoad"}));

    // A clip's filters travel with its copy (an edit field's copy starts without them).
    orig->filters = {swf::BlurFilter{4.0, 4.0, 1}};
    EXPECT_EQ(player.edits().duplicateClip(*orig, "blurred", 4)->filters.size(), 1u);
}

TEST_F(DynamicClipsTest, AScriptMovedClipNoLongerFollowsItsPlaceTags) {
    TimelineBuilder root(3);
    swf::PlaceObject p = place(1, 10, 0);
    p.name = "c";
    root.at(0, p).at(1, moveTo(1, 500)).at(2, moveTo(1, 900));
    TimelinePlayer player(catalog, root.timeline, {}, {}, &runner);
    auto c = player.childByName(player.rootObject(), "c", true);
    player.advance();
    EXPECT_DOUBLE_EQ(props::x(*c), 25.0);
    props::setY(*c, 10.0);
    player.advance();
    EXPECT_DOUBLE_EQ(props::x(*c), 25.0);
    EXPECT_DOUBLE_EQ(props::y(*c), 10.0);
}

TEST(DisplayPropertiesTest, TheTimelineMovesAnObjectUntilAScriptDoesAndAgainOncePlacedAnew) {
    DisplayObject o;
    o.timelineMove(Transform::translation(100, 0));
    EXPECT_DOUBLE_EQ(o.matrix.tx, 100);
    props::setXScale(o, 50); // a scale counts as a move
    o.timelineMove(Transform::translation(300, 0));
    EXPECT_DOUBLE_EQ(o.matrix.tx, 100);
    EXPECT_DOUBLE_EQ(props::xScale(o), 50);
    // A duplicate moves as its original: the timeline leaves it too.
    DisplayObject copy;
    copy.copyScriptMove(o);
    copy.timelineMove(Transform::translation(300, 0));
    EXPECT_DOUBLE_EQ(copy.matrix.tx, 0);
    EXPECT_DOUBLE_EQ(props::xScale(copy), 50);
    o.resetScriptMove();
    o.timelineMove(Transform::translation(300, 0));
    EXPECT_DOUBLE_EQ(o.matrix.tx, 300);
}

// A NaN scale or rotation reads back as NaN; the matrix never holds one: the entries a NaN
// scale multiplies are 0, a NaN rotation leaves the matrix alone, and a later finite change
// keeps the matrix free of NaN too.
TEST(DisplayPropertiesTest, NaNScalesAndRotationsReadBackButNeverReachTheMatrix) {
    struct Row {
        const char* what;
        void (*set)(DisplayObject&);
        Transform expected;
    };
    const std::vector<Row> table = {
        {"scale x", props::setXScaleNaN, {0, 0, 4, 0, 100, 120}},
        {"scale y", props::setYScaleNaN, {2, 0, 0, 0, 100, 120}},
        {"rotation", props::setRotationNaN, {2, 0, 4, 0, 100, 120}},
    };
    for (const Row& r : table) {
        DisplayObject o;
        o.matrix = {2, 0, 4, 0, 100, 120};
        r.set(o);
        EXPECT_EQ(o.matrix.a, r.expected.a) << r.what;
        EXPECT_EQ(o.matrix.b, r.expected.b) << r.what;
        EXPECT_EQ(o.matrix.c, r.expected.c) << r.what;
        EXPECT_EQ(o.matrix.d, r.expected.d) << r.what;
        EXPECT_EQ(o.matrix.tx, 100) << r.what;
        const int nans = std::isnan(props::xScale(o)) + std::isnan(props::yScale(o)) +
                         std::isnan(props::rotation(o));
        EXPECT_EQ(nans, 1) << r.what;
        props::setXScale(o, 50);
        props::setYScale(o, 50);
        for (double v : {o.matrix.a, o.matrix.b, o.matrix.c, o.matrix.d}) {
            EXPECT_TRUE(std::isfinite(v)) << r.what;
        }
    }
}

// Scale and rotation set in turn: the y axis turns with the rotation as set, whatever the
// sign of the x scale (which turns the x axis half a turn) or a scale of 0 on the way.
TEST(DisplayPropertiesTest, RotationTurnsBothAxesWhateverTheScalesSignsOrZeros) {
    struct Step {
        void (*set)(DisplayObject&, double);
        double value;
    };
    struct Row {
        const char* what;
        std::vector<Step> steps;
        Transform expected; // a, b, c, d
    };
    const double h = std::sqrt(0.5);
    const std::vector<Row> table = {
        {"negative x scale, then turned",
         {{props::setRotation, 180}, {props::setXScale, -50}, {props::setRotation, 45}},
         {-0.5 * h, -0.5 * h, -h, h, 0, 0}},
        {"negative y scale, then turned",
         {{props::setYScale, -100}, {props::setRotation, 90}},
         {0, 1, 1, 0, 0, 0}},
        {"x scale 0 and back",
         {{props::setRotation, 180},
          {props::setXScale, 0},
          {props::setRotation, 0},
          {props::setXScale, 100}},
         {1, 0, 0, 1, 0, 0}},
        {"both negative, turned back",
         {{props::setXScale, -100},
          {props::setYScale, -100},
          {props::setRotation, 30},
          {props::setRotation, 0}},
         {-1, 0, 0, -1, 0, 0}},
    };
    for (const Row& r : table) {
        DisplayObject o;
        for (const Step& s : r.steps) {
            s.set(o, s.value);
        }
        EXPECT_NEAR(o.matrix.a, r.expected.a, 1e-9) << r.what;
        EXPECT_NEAR(o.matrix.b, r.expected.b, 1e-9) << r.what;
        EXPECT_NEAR(o.matrix.c, r.expected.c, 1e-9) << r.what;
        EXPECT_NEAR(o.matrix.d, r.expected.d, 1e-9) << r.what;
    }
}

TEST_F(DynamicClipsTest, ScriptMasksHideTheMaskAndClipTheMasked) {
    TimelineBuilder root(1);
    TimelinePlayer player(catalog, root.timeline, {}, {}, &runner);
    DisplayObject& stage = player.rootObject();
    auto masked = player.edits().attachMovie(stage, "Box", "masked", 1);
    auto mask = player.edits().attachMovie(stage, "Dot", "mask", 2);
    ASSERT_TRUE(masked && mask);
    player.edits().setMask(*masked, mask.get());
    RecordingBackend rec;
    player.render(rec);
    EXPECT_EQ(rec.outline(), "MDUDm");
    player.edits().setMask(*masked, nullptr);
    RecordingBackend plain;
    player.render(plain);
    EXPECT_EQ(plain.outline(), "DD");
}

TEST_F(DynamicClipsTest, BoundsAndGlobalMatricesFollowTheTree) {
    TimelineBuilder root(1);
    TimelinePlayer player(catalog, root.timeline, {}, {}, &runner);
    auto outer = player.edits().createEmptyClip(player.rootObject(), "outer", 1);
    props::setX(*outer, 10);
    props::setXScale(*outer, 200);
    auto inner = player.edits().attachMovie(*outer, "Box", "inner", 1);
    props::setY(*inner, 5);
    const Transform g = player.geometry().globalMatrix(*inner);
    EXPECT_DOUBLE_EQ(g.tx, 200);
    EXPECT_DOUBLE_EQ(g.ty, 100);
    const Bounds own = player.geometry().boundsOf(*inner, Transform{});
    EXPECT_DOUBLE_EQ(own.xMax, 200);
    EXPECT_DOUBLE_EQ(props::width(player.geometry(), *outer), 20.0); // 200 twips doubled
    props::setWidth(player.geometry(), *outer, 5.0);
    EXPECT_NEAR(props::xScale(*outer), 50.0, 1e-9);
    // Sizes read in whole twips, each edge rounded: 200 twips at 33.3% are 66.6, read as 67.
    props::setXScale(*outer, 33.3);
    EXPECT_DOUBLE_EQ(props::width(player.geometry(), *outer), 3.35);
    props::setX(*inner, 0.5); // edges at 3.33 and 69.93 twips: 3 and 70
    EXPECT_DOUBLE_EQ(props::width(player.geometry(), *outer), 3.35);
}

TEST(DisplayPropertiesTest, PositionsKeepWholeTwipsAlphaKeepsEighthBitSteps) {
    DisplayObject o;
    // What falls short of a whole twip is dropped, toward zero on both sides.
    props::setX(o, -10.333);
    EXPECT_DOUBLE_EQ(props::x(o), -10.3);
    props::setX(o, 10.333);
    EXPECT_DOUBLE_EQ(props::x(o), 10.3);
    props::setX(o, std::nan(""));
    EXPECT_DOUBLE_EQ(props::x(o), 10.3);
    props::setAlpha(o, 33);
    EXPECT_DOUBLE_EQ(props::alpha(o), 32.8125);
    props::setAlpha(o, -50);
    EXPECT_LT(props::alpha(o), 0.0);
}

TEST(DisplayPropertiesTest, ScaleAndRotationReadBackAsSetEvenThroughZeroAndNegativeScales) {
    DisplayObject o;
    props::setRotation(o, 90);
    EXPECT_NEAR(props::rotation(o), 90, 1e-9);
    EXPECT_NEAR(o.matrix.b, 1, 1e-9);
    props::setXScale(o, 0);
    props::setRotation(o, 45);
    EXPECT_DOUBLE_EQ(props::xScale(o), 0);
    EXPECT_NEAR(props::rotation(o), 45, 1e-9);
    props::setYScale(o, -50);
    EXPECT_DOUBLE_EQ(props::yScale(o), -50);
    props::setRotation(o, 270); // normalised into -180..180
    EXPECT_NEAR(props::rotation(o), -90, 1e-9);
    EXPECT_TRUE(o.movedByScript());
}

struct EdgeSummary {
    int straight = 0;
    std::int32_t sumX = 0;
    std::int32_t sumY = 0;
    std::optional<std::uint32_t> lineOfLastEdge;
};

EdgeSummary summarise(const swf::Shape& s) {
    EdgeSummary out;
    std::optional<std::uint32_t> lineInForce;
    for (const swf::ShapeRecord& r : s.records) {
        if (const auto* c = std::get_if<swf::StyleChange>(&r)) {
            lineInForce = c->line;
        } else if (const auto* e = std::get_if<swf::StraightEdge>(&r)) {
            ++out.straight;
            out.sumX += e->dx;
            out.sumY += e->dy;
            out.lineOfLastEdge = lineInForce;
        }
    }
    return out;
}

// A stroked and filled corner: (0, 0) to (10, 0) to (10, 10) pixels.
void drawCorner(Drawing& d) {
    swf::FillStyle red;
    red.color = swf::Rgba{255, 0, 0, 255};
    swf::LineStyle line;
    line.width = 40;
    d.lineStyle(line);
    d.beginFill(red);
    d.moveTo(0, 0);
    d.lineTo(10, 0);
    d.lineTo(10, 10);
}

TEST(DrawingTest, FillsCloseBackToTheirStartWithTheLineInForce) {
    Drawing d;
    drawCorner(d);
    d.endFill();
    const swf::Shape& s = d.shape();
    ASSERT_EQ(s.styles.fills.size(), 1u);
    ASSERT_EQ(s.styles.lines.size(), 1u);
    const EdgeSummary edges = summarise(s);
    EXPECT_EQ(edges.straight, 3);
    EXPECT_EQ(edges.sumX, 0); // the outline returns to where it began
    EXPECT_EQ(edges.sumY, 0);
    EXPECT_EQ(edges.lineOfLastEdge, std::optional<std::uint32_t>(1)); // the closing edge is stroked
    EXPECT_EQ(summarise(d.shownShape()).straight, 3);                 // nothing more to close
    const Bounds b = d.bounds();
    EXPECT_DOUBLE_EQ(b.xMin, -20); // half the line's width around the points
    EXPECT_DOUBLE_EQ(b.xMax, 220);
    const Bounds run = d.edges(); // where the edges run, without the line
    EXPECT_DOUBLE_EQ(run.xMin, 0);
    EXPECT_DOUBLE_EQ(run.xMax, 200);
    Drawing wide; // as ActionScript 2 measures it: the line's whole width around the points
    wide.setPointBox(true);
    drawCorner(wide);
    EXPECT_DOUBLE_EQ(wide.bounds().xMin, -40);
    EXPECT_DOUBLE_EQ(wide.bounds().xMax, 240);
}

TEST(DrawingTest, AnOpenFillShowsClosedWithTheLineInForceAndStaysOpen) {
    Drawing d;
    drawCorner(d);
    EXPECT_EQ(summarise(d.shape()).straight, 2);
    EdgeSummary shown = summarise(d.shownShape());
    EXPECT_EQ(shown.straight, 3);
    EXPECT_EQ(shown.sumX, 0);
    EXPECT_EQ(shown.sumY, 0);
    EXPECT_EQ(shown.lineOfLastEdge, std::optional<std::uint32_t>(1));
    // The script draws on: the records grow from where the pen was, and the shown shape
    // closes from the new end.
    d.lineTo(0, 10);
    EXPECT_EQ(summarise(d.shape()).straight, 3);
    shown = summarise(d.shownShape());
    EXPECT_EQ(shown.straight, 4);
    EXPECT_EQ(shown.sumY, 0);
}

TEST(DrawingTest, CurvesCoverWhereTheyTurnOrTheirControlPointsInThePointBox) {
    struct Case {
        double cx, cy, x, y;
        bool pointBox;
        double xMin, yMin, xMax, yMax; // twips
    };
    const Case table[] = {
        // Up to (0, -10) and back: the top of the arc is half way to the control point.
        {5, -10, 10, 0, false, 0, -100, 200, 0},
        {5, -10, 10, 0, true, 0, -200, 200, 0},
        // The control point between the ends: a straight curve.
        {5, 5, 10, 10, false, 0, 0, 200, 200},
        {5, 5, 10, 10, true, 0, 0, 200, 200},
        // Turning on both axes.
        {10, 10, 0, 10, false, 0, 0, 100, 200},
        {10, 10, 0, 10, true, 0, 0, 200, 200},
        // Past both ends on one axis, between them on the other.
        {-10, 5, 0, 10, false, -100, 0, 0, 200},
        {-10, 5, 0, 10, true, -200, 0, 0, 200},
    };
    for (const Case& c : table) {
        Drawing d;
        d.setPointBox(c.pointBox);
        d.moveTo(0, 0);
        d.curveTo(c.cx, c.cy, c.x, c.y);
        for (const Bounds& b : {d.bounds(), d.edges()}) {
            EXPECT_DOUBLE_EQ(b.xMin, c.xMin) << c.cx << "," << c.cy << " " << c.pointBox;
            EXPECT_DOUBLE_EQ(b.yMin, c.yMin) << c.cx << "," << c.cy << " " << c.pointBox;
            EXPECT_DOUBLE_EQ(b.xMax, c.xMax) << c.cx << "," << c.cy << " " << c.pointBox;
            EXPECT_DOUBLE_EQ(b.yMax, c.yMax) << c.cx << "," << c.cy << " " << c.pointBox;
        }
    }
}

TEST(DrawingTest, CubicsBecomeQuadraticsThatFollowThem) {
    Drawing d;
    d.moveTo(0, 0);
    d.cubicTo(0, 100, 100, 100, 100, 0);
    // Pieces of quadratic curves that end where the cubic does.
    std::int32_t x = 0, y = 0, curves = 0;
    for (const swf::ShapeRecord& r : d.shape().records) {
        if (const auto* c = std::get_if<swf::CurvedEdge>(&r)) {
            x += c->controlDx + c->anchorDx;
            y += c->controlDy + c->anchorDy;
            ++curves;
        }
    }
    EXPECT_GT(curves, 1);
    EXPECT_EQ(x, 2000);
    EXPECT_EQ(y, 0);
    // The cubic's top, 75 pixels down at its middle, bounds it within a twip or two.
    EXPECT_NEAR(d.bounds().yMax, 1500, 2);
    EXPECT_DOUBLE_EQ(d.bounds().xMin, 0);
}

// Pixels of one colour, standing for a script's bitmap.
class SolidPixels final : public PixelSource {
  public:
    int width() const override { return 1; }
    int height() const override { return 1; }
    const std::uint32_t* premultiplied() const override { return &pixel_; }

  private:
    std::uint32_t pixel_ = 0xFF000000u;
};

TEST(DrawingTest, BitmapFillsNameTheDrawingsOwnBitmapsUntilCleared) {
    Drawing d;
    const auto first = std::make_shared<SolidPixels>();
    const auto second = std::make_shared<SolidPixels>();
    swf::FillStyle fill;
    fill.type = swf::FillType::ClippedBitmap;
    d.beginBitmapFill(first, fill);
    d.beginBitmapFill(second, fill);
    d.beginBitmapFill(first, fill); // the same pixels keep their id
    d.beginBitmapFill(nullptr, fill);
    const auto& fills = d.shape().styles.fills;
    ASSERT_EQ(fills.size(), 3u);
    EXPECT_EQ(fills[0].bitmapId, 0);
    EXPECT_EQ(fills[1].bitmapId, 1);
    EXPECT_EQ(fills[2].bitmapId, 0);
    EXPECT_EQ(d.bitmap(0), first.get());
    EXPECT_EQ(d.bitmap(1), second.get());
    EXPECT_EQ(d.bitmap(2), nullptr);
    // A line painted with pixels names them the same way; without a line there is none.
    d.lineBitmapFill(second, fill);
    EXPECT_TRUE(d.shape().styles.lines.empty());
    d.lineStyle(swf::LineStyle{});
    d.lineBitmapFill(second, fill);
    ASSERT_EQ(d.shape().styles.lines.size(), 2u);
    ASSERT_TRUE(d.shape().styles.lines[1].fill.has_value());
    EXPECT_EQ(d.shape().styles.lines[1].fill->bitmapId, 1);
    d.clear();
    EXPECT_EQ(d.bitmap(0), nullptr);
}

TEST(DrawingTest, ClearEmptiesAndEveryChangeIsANewGeneration) {
    Drawing d;
    const auto g0 = d.generation();
    d.curveTo(5, 5, 10, 0);
    EXPECT_NE(d.generation(), g0);
    EXPECT_FALSE(d.empty());
    RecordingBackend rec;
    std::size_t budget = 10;
    d.drawTo(rec, Transform{}, ColorTransform{}, budget);
    ASSERT_EQ(rec.entries().size(), 1u);
    EXPECT_EQ(rec.entries()[0].draw.drawing, &d);
    EXPECT_EQ(budget, 9u);
    const auto g1 = d.generation();
    d.clear();
    EXPECT_TRUE(d.empty());
    EXPECT_TRUE(d.bounds().empty());
    EXPECT_NE(d.generation(), g1);
    Drawing other;
    EXPECT_NE(other.generation(), d.generation());
}

TEST(DrawingTest, HugeOrEndlessInputStaysBounded) {
    Drawing d;
    for (std::size_t i = 0; i < Drawing::kMaxRecords + 10; ++i) {
        d.lineTo(static_cast<double>(i % 7), 1e300);
    }
    EXPECT_EQ(d.shape().records.size(), Drawing::kMaxRecords);
    d.lineTo(std::nan(""), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(d.shape().records.size(), Drawing::kMaxRecords);
}

} // namespace
} // namespace mc
