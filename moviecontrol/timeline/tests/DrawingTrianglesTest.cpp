// Triangles a script draws: parts of the path of the fill in force, only outlined without a
// fill, and a bitmap fill laid anew for each triangle by its corners' places in the bitmap.
#include "Drawing.h"
#include "PixelSource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace mc {
namespace {

class Pixels final : public PixelSource {
  public:
    Pixels(int w, int h) : w_(w), h_(h) {}
    int width() const override { return w_; }
    int height() const override { return h_; }
    const std::uint32_t* premultiplied() const override { return &pixel_; }

  private:
    int w_;
    int h_;
    std::uint32_t pixel_ = 0xFF000000u;
};

swf::FillStyle bitmapFillOf(swf::FillType type) {
    swf::FillStyle f;
    f.type = type;
    f.matrix.a = 7; // a matrix of the script's, which placed triangles replace
    return f;
}

TEST(DrawingTriangles, PlainTrianglesArePartsOfThePathOfTheFillInForce) {
    Drawing d;
    swf::FillStyle red;
    red.color = swf::Rgba{255, 0, 0, 255};
    d.beginFill(red);
    const std::array<double, 6> corners{0, 0, 10, 0, 0, 10};
    const std::array<double, 6> uv{0, 0, 1, 0, 0, 1};
    d.triangle(corners, nullptr);
    // Places in a bitmap mean nothing to a fill of one colour.
    d.triangle(corners, &uv);
    d.endFill();
    ASSERT_EQ(d.shape().styles.fills.size(), 1u);
    EXPECT_EQ(d.edges().xMax, 200);
    EXPECT_EQ(d.edges().yMax, 200);
}

TEST(DrawingTriangles, WithoutAFillOnlyTheLineIsDrawn) {
    Drawing d;
    swf::LineStyle line;
    line.width = 20;
    d.lineStyle(line);
    d.triangle({0, 0, 10, 0, 0, 10}, nullptr);
    EXPECT_TRUE(d.shape().styles.fills.empty());
    EXPECT_FALSE(d.empty());
}

TEST(DrawingTriangles, PlacedBitmapsMeetTheirCornersForEveryBitmapKind) {
    const swf::FillType kinds[] = {swf::FillType::RepeatingBitmap, swf::FillType::ClippedBitmap,
                                   swf::FillType::NonSmoothedRepeatingBitmap,
                                   swf::FillType::NonSmoothedClippedBitmap};
    // Corners in pixels, their places in a 4 by 2 bitmap.
    const std::array<double, 6> corners{10, 20, 50, 20, 10, 60};
    const std::array<double, 6> uv{0, 0, 1, 0, 0, 1};
    const std::array<double, 6> mirrored{1, 0, 0, 0, 1, 1};
    for (const swf::FillType kind : kinds) {
        Drawing d;
        d.beginBitmapFill(std::make_shared<Pixels>(4, 2), bitmapFillOf(kind));
        d.triangle(corners, &uv);
        d.triangle(corners, &mirrored);
        ASSERT_EQ(d.shape().styles.fills.size(), 3u);
        const swf::Matrix& m = d.shape().styles.fills[1].matrix;
        // 4 bitmap pixels across 40 screen pixels (800 twips), 2 down 40.
        EXPECT_DOUBLE_EQ(m.a, 200);
        EXPECT_DOUBLE_EQ(m.d, 400);
        EXPECT_DOUBLE_EQ(m.b, 0);
        EXPECT_DOUBLE_EQ(m.c, 0);
        EXPECT_DOUBLE_EQ(m.tx, 200);
        EXPECT_DOUBLE_EQ(m.ty, 400);
        const swf::Matrix& flip = d.shape().styles.fills[2].matrix;
        EXPECT_DOUBLE_EQ(flip.a, -200);
        EXPECT_DOUBLE_EQ(flip.tx, 1000);
    }
}

TEST(DrawingTriangles, PlacesOnOneLineOrAnEmptyBitmapKeepTheFillsOwnMatrix) {
    const std::array<double, 6> corners{0, 0, 10, 0, 0, 10};
    const std::array<double, 6> line{0, 0, 0.5, 0.5, 1, 1};
    Drawing d;
    d.beginBitmapFill(std::make_shared<Pixels>(4, 4), bitmapFillOf(swf::FillType::ClippedBitmap));
    d.triangle(corners, &line);
    EXPECT_DOUBLE_EQ(d.shape().styles.fills.back().matrix.a, 7);

    // A bitmap of no pixels (disposed) keeps it too.
    Drawing gone;
    gone.beginBitmapFill(std::make_shared<Pixels>(0, 0),
                         bitmapFillOf(swf::FillType::RepeatingBitmap));
    const std::array<double, 6> uv{0, 0, 1, 0, 0, 1};
    gone.triangle(corners, &uv);
    EXPECT_DOUBLE_EQ(gone.shape().styles.fills.back().matrix.a, 7);
}

} // namespace
} // namespace mc
