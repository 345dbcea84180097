// The ActionScript 3 drawing API's styles as shape records: gradients with their matrix,
// spread, colour space and focal point, and line styles with their scale modes, caps,
// joints and limits.
#include "As3GraphicsStyles.h"

#include <gtest/gtest.h>

#include <cmath>

namespace mc {
namespace {

avm2::GraphicsGradient twoStops() {
    avm2::GraphicsGradient g;
    g.colors = {0xFF8000, 0x0000FF};
    g.alphas = {1.0, 0.5};
    g.ratios = {0, 255};
    return g;
}

TEST(As3GraphicsStyles, GradientsKeepTheirStopsAndPlaceTheSquareInTwips) {
    avm2::GraphicsGradient g = twoStops();
    g.matrix = {0.5, 0.1, -0.1, 0.25, 100, -20};
    const swf::FillStyle fill = graphicsGradient(g);
    EXPECT_EQ(fill.type, swf::FillType::LinearGradient);
    ASSERT_EQ(fill.gradient.records.size(), 2u);
    EXPECT_EQ(fill.gradient.records[0].color, (swf::Rgba{255, 128, 0, 255}));
    EXPECT_EQ(fill.gradient.records[1].color, (swf::Rgba{0, 0, 255, 128}));
    EXPECT_EQ(fill.gradient.records[1].ratio, 255);
    EXPECT_EQ(fill.matrix.a, 0.5);
    EXPECT_EQ(fill.matrix.c, -0.1);
    EXPECT_EQ(fill.matrix.tx, 2000);
    EXPECT_EQ(fill.matrix.ty, -400);
    EXPECT_EQ(fill.gradient.spread, swf::SpreadMode::Pad);
    EXPECT_EQ(fill.gradient.interpolation, swf::InterpolationMode::Rgb);
}

TEST(As3GraphicsStyles, RadialGradientsWithAFocalPointAreFocal) {
    struct Case {
        bool radial;
        double focal;
        const char* spread;
        swf::FillType type;
        swf::SpreadMode mode;
    };
    const Case table[] = {
        {true, 0.0, "pad", swf::FillType::RadialGradient, swf::SpreadMode::Pad},
        {true, 0.75, "reflect", swf::FillType::FocalGradient, swf::SpreadMode::Reflect},
        {true, std::nan(""), "repeat", swf::FillType::RadialGradient, swf::SpreadMode::Repeat},
        {false, 0.5, "wrap", swf::FillType::LinearGradient, swf::SpreadMode::Pad},
    };
    for (const Case& c : table) {
        avm2::GraphicsGradient g = twoStops();
        g.radial = c.radial;
        g.focalPoint = c.focal;
        g.spread = c.spread;
        g.interpolation = "linearRGB";
        const swf::FillStyle fill = graphicsGradient(g);
        EXPECT_EQ(fill.type, c.type) << c.focal;
        EXPECT_EQ(fill.gradient.spread, c.mode) << c.spread;
        EXPECT_EQ(fill.gradient.interpolation, swf::InterpolationMode::LinearRgb);
        if (c.type == swf::FillType::FocalGradient) {
            EXPECT_EQ(fill.gradient.focalPoint, c.focal);
        }
    }
}

TEST(As3GraphicsStyles, LineStylesMapTheirNames) {
    struct Case {
        const char* scaleMode;
        const char* caps;
        const char* joints;
        bool noH, noV;
        swf::CapStyle cap;
        swf::JoinStyle join;
    };
    const Case table[] = {
        {"normal", "round", "round", false, false, swf::CapStyle::Round, swf::JoinStyle::Round},
        {"none", "none", "miter", true, true, swf::CapStyle::None, swf::JoinStyle::Miter},
        {"horizontal", "square", "bevel", true, false, swf::CapStyle::Square,
         swf::JoinStyle::Bevel},
        {"vertical", "butt", "sharp", false, true, swf::CapStyle::Round, swf::JoinStyle::Round},
    };
    for (const Case& c : table) {
        avm2::GraphicsOp op{avm2::GraphicsOp::Kind::LineStyle};
        op.a = 2.5;
        op.color = 0x102030;
        op.alpha = 0.5;
        op.scaleMode = c.scaleMode;
        op.caps = c.caps;
        op.joints = c.joints;
        const swf::LineStyle line = graphicsLine(op);
        EXPECT_EQ(line.width, 50);
        EXPECT_EQ(line.color, (swf::Rgba{0x10, 0x20, 0x30, 128}));
        EXPECT_EQ(line.noHScale, c.noH) << c.scaleMode;
        EXPECT_EQ(line.noVScale, c.noV) << c.scaleMode;
        EXPECT_EQ(line.startCap, c.cap) << c.caps;
        EXPECT_EQ(line.endCap, c.cap) << c.caps;
        EXPECT_EQ(line.join, c.join) << c.joints;
    }
}

TEST(As3GraphicsStyles, BitmapFillsMapTheBitmapsPixelsToTwips) {
    struct Case {
        bool repeat, smooth;
        swf::FillType type;
    };
    const Case table[] = {
        {true, true, swf::FillType::RepeatingBitmap},
        {true, false, swf::FillType::NonSmoothedRepeatingBitmap},
        {false, true, swf::FillType::ClippedBitmap},
        {false, false, swf::FillType::NonSmoothedClippedBitmap},
    };
    for (const Case& c : table) {
        avm2::GraphicsOp op{avm2::GraphicsOp::Kind::BitmapFill};
        op.repeat = c.repeat;
        op.smooth = c.smooth;
        op.bitmapMatrix = {2, 0.5, 0, 1, 10, std::nan("")};
        const swf::FillStyle fill = graphicsBitmapFill(op);
        EXPECT_EQ(fill.type, c.type);
        EXPECT_EQ(fill.bitmapClipped(), !c.repeat);
        EXPECT_EQ(fill.bitmapSmoothed(), c.smooth);
        EXPECT_EQ(fill.matrix, (swf::Matrix{40, 10, 0, 20, 200, 0}));
    }
}

TEST(As3GraphicsStyles, OutOfRangeNumbersAreHeld) {
    avm2::GraphicsOp op{avm2::GraphicsOp::Kind::LineStyle};
    op.a = std::nan("");
    op.alpha = std::nan("");
    op.miterLimit = std::nan("");
    swf::LineStyle line = graphicsLine(op);
    EXPECT_EQ(line.width, 0);
    EXPECT_EQ(line.color.a, 0);
    EXPECT_EQ(line.miterLimit, 3);
    op.a = 1e9;
    op.alpha = 7;
    op.miterLimit = 1000;
    line = graphicsLine(op);
    EXPECT_EQ(line.width, 255 * 20);
    EXPECT_EQ(line.color.a, 255);
    EXPECT_EQ(line.miterLimit, 255);

    avm2::GraphicsGradient g = twoStops();
    g.ratios = {-5, std::nan("")};
    g.matrix = {INFINITY, 0, 0, 1, std::nan(""), 0};
    const swf::FillStyle fill = graphicsGradient(g);
    EXPECT_EQ(fill.gradient.records[0].ratio, 0);
    EXPECT_EQ(fill.gradient.records[1].ratio, 0);
    EXPECT_EQ(fill.matrix.a, 0);
    EXPECT_EQ(fill.matrix.tx, 0);
}

} // namespace
} // namespace mc
