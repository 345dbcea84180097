// The arithmetic of nine-slice scaling, apart from any picture: where each part of a clip
// lands for a placement, and which placements and grids leave the clip to scale as usual.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "NineSlice.h"

namespace mc {
namespace {

constexpr Bounds kContent{0, 0, 400, 200, true};
constexpr Bounds kGrid{100, 50, 300, 150, true};

TEST(NineSliceTest, EachBandMovesByItsOwnScale) {
    struct Row {
        double scale;
        double at;
        double landsAt;
    };
    // Across: 100 twips each side stay 100 while there is room, the middle takes the rest.
    const Row rows[] = {
        {3.0, 0, 0},      {3.0, 50, 50},    {3.0, 100, 100}, {3.0, 200, 600}, {3.0, 300, 1100},
        {3.0, 400, 1200}, {1.0, 250, 250},  {0.5, 400, 200}, {0.5, 100, 100}, {0.5, 300, 100},
        {0.25, 100, 50},  {0.25, 400, 100}, {0.25, 200, 50}, {3.0, -20, -20}, {3.0, 420, 1220},
    };
    for (const Row& row : rows) {
        const auto slices = sliceClip(kGrid, kContent, Transform::scaling(row.scale, 1.0));
        ASSERT_TRUE(slices);
        EXPECT_DOUBLE_EQ(slices->mapX(row.at, 0), row.landsAt) << row.scale << " at " << row.at;
    }
    // Down, by the vertical scale alone; the content's own origin scales as a whole.
    const Bounds shifted{-100, 40, 300, 240, true};
    const auto down =
        sliceClip(Bounds{0, 90, 200, 190, true}, shifted, Transform{1, 0, 0, 2, 500, 500});
    ASSERT_TRUE(down);
    EXPECT_DOUBLE_EQ(down->mapY(0, 40), 80);
    EXPECT_DOUBLE_EQ(down->mapY(0, 90), 130);
    EXPECT_DOUBLE_EQ(down->mapY(0, 190), 430);
    EXPECT_DOUBLE_EQ(down->mapY(0, 240), 480);
    // The shape's own placement in the clip comes first.
    auto inner = *down;
    inner.inner = Transform::translation(0, 100);
    EXPECT_DOUBLE_EQ(inner.mapY(0, -10), 130);
}

TEST(NineSliceTest, TurnedPlacementsAndEmptyGridsScaleAsUsual) {
    const double inf = std::numeric_limits<double>::infinity();
    const Transform turned{0, 2, -2, 0, 0, 0};
    const Transform skewed{2, 0, 0.5, 2, 0, 0};
    EXPECT_FALSE(sliceClip(kGrid, kContent, turned));
    EXPECT_FALSE(sliceClip(kGrid, kContent, skewed));
    EXPECT_FALSE(sliceClip(kGrid, kContent, Transform::scaling(0, 1)));
    EXPECT_FALSE(sliceClip(kGrid, kContent, Transform::scaling(inf, 1)));
    EXPECT_FALSE(sliceClip(Bounds{}, kContent, Transform::scaling(2, 2)));
    EXPECT_FALSE(sliceClip(kGrid, Bounds{}, Transform::scaling(2, 2)));
    // A grid of no width, or wholly outside the content, leaves no middle.
    EXPECT_FALSE(sliceClip(Bounds{100, 50, 100, 150, true}, kContent, Transform::scaling(2, 2)));
    EXPECT_FALSE(sliceClip(Bounds{500, 50, 600, 150, true}, kContent, Transform::scaling(2, 2)));
    // A grid reaching past the content is cut to it: no corner that side.
    const auto wide =
        sliceClip(Bounds{-50, 50, 300, 150, true}, kContent, Transform::scaling(2, 1));
    ASSERT_TRUE(wide);
    EXPECT_DOUBLE_EQ(wide->mapX(0, 0), 0);
    EXPECT_DOUBLE_EQ(wide->mapX(300, 0), 700);
    // Mirrored, the slices see the size; the placement does the mirroring.
    const Transform mirrored{-2, 0, 0, 1, 1000, 0};
    const auto flipped = sliceClip(kGrid, kContent, mirrored);
    ASSERT_TRUE(flipped);
    EXPECT_DOUBLE_EQ(flipped->mapX(400, 0), 800);
    const Transform placed = unscaledPlacement(Transform::translation(5, 5) * mirrored, mirrored);
    EXPECT_DOUBLE_EQ(placed.mapX(800, 0), 5 + 1000 - 800);
}

} // namespace
} // namespace mc
