#include <gtest/gtest.h>

#include "ColorTransform.h"
#include "Transform.h"

namespace mc {
namespace {

ColorTransform makeCx(std::int32_t mr, std::int32_t mg, std::int32_t mb, std::int32_t ma,
                      std::int32_t ar, std::int32_t ag, std::int32_t ab, std::int32_t aa) {
    ColorTransform cx;
    cx.mult[0] = mr;
    cx.mult[1] = mg;
    cx.mult[2] = mb;
    cx.mult[3] = ma;
    cx.add[0] = ar;
    cx.add[1] = ag;
    cx.add[2] = ab;
    cx.add[3] = aa;
    return cx;
}

TEST(ColorTransformTest, AppliesMultiplyThenAddAndClamps) {
    const ColorTransform half = makeCx(128, 128, 128, 128, 0, 0, 0, 0);
    EXPECT_EQ(half.apply({200, 100, 51, 255}), (Rgba{100, 50, 25, 127}));

    const ColorTransform shift = makeCx(256, 256, 256, 256, 100, -100, 0, -300);
    EXPECT_EQ(shift.apply({200, 50, 7, 255}), (Rgba{255, 0, 7, 0}));

    // Negative multipliers invert the channel's contribution and clamp at zero.
    const ColorTransform invert = makeCx(-256, 256, 256, 256, 255, 0, 0, 0);
    EXPECT_EQ(invert.apply({55, 1, 2, 3}), (Rgba{200, 1, 2, 3}));
}

TEST(ColorTransformTest, ComposesParentAfterChild) {
    const ColorTransform parent = makeCx(128, 256, 512, 256, 10, 0, 0, 0);
    const ColorTransform child = makeCx(256, 128, 128, 128, 100, 20, 8, -10);
    const ColorTransform both = compose(parent, child);
    // The parent's multiplier scales the child's offset: 10 + 128/256 * 100.
    EXPECT_EQ(both.add[0], 60);
    // Without clamping in between, composing equals applying one after the other.
    const Rgba c{40, 80, 60, 200};
    EXPECT_EQ(both.apply(c), parent.apply(child.apply(c)));
}

TEST(ColorTransformTest, IdentityAndAlphaOnlyAreRecognised) {
    EXPECT_TRUE(ColorTransform{}.isIdentity());
    EXPECT_TRUE(makeCx(256, 256, 256, 64, 0, 0, 0, 0).onlyScalesAlpha());
    EXPECT_FALSE(makeCx(256, 256, 256, 64, 0, 0, 0, 1).onlyScalesAlpha());
    EXPECT_FALSE(makeCx(255, 256, 256, 256, 0, 0, 0, 0).isIdentity());
}

TEST(ColorTransformTest, LongChainsSaturateInsteadOfOverflowing) {
    ColorTransform strong = makeCx(30000, 30000, 30000, 30000, 30000, 30000, 30000, 30000);
    ColorTransform acc;
    for (int i = 0; i < 50; ++i) {
        acc = compose(acc, strong);
    }
    EXPECT_EQ(acc.apply({1, 1, 1, 1}), (Rgba{255, 255, 255, 255}));
}

TEST(TransformTest, ComposesChildFirst) {
    const Transform parent = Transform::translation(100, 0) * Transform::scaling(2, 3);
    const Transform child = Transform::translation(5, 7);
    const Transform both = parent * child;
    EXPECT_DOUBLE_EQ(both.mapX(1, 1), 100 + 2 * 6);
    EXPECT_DOUBLE_EQ(both.mapY(1, 1), 3 * 8);

    // A quarter turn: b and c are the rotate-skew terms.
    const Transform rot{0, 1, -1, 0, 0, 0};
    EXPECT_DOUBLE_EQ(rot.mapX(1, 0), 0);
    EXPECT_DOUBLE_EQ(rot.mapY(1, 0), 1);
    EXPECT_DOUBLE_EQ((rot * rot).mapX(1, 0), -1);
}

TEST(TransformTest, AverageScaleOfAnisotropicAndRotated) {
    EXPECT_DOUBLE_EQ(Transform::scaling(2, 4).averageScale(), 3.0);
    const Transform rot{0, 2, -2, 0, 0, 0};
    EXPECT_DOUBLE_EQ(rot.averageScale(), 2.0);
}

} // namespace
} // namespace mc
