// Texture sampling by the sampler flags: nearest and linear filtering, clamp and repeat per
// axis, mip levels by bias, cube faces by the direction's largest component, and the
// sampler states that replace a tex instruction's own when it asks for them.
#include <gtest/gtest.h>

#include "stage3d/Texture3D.h"

#include <cmath>

namespace stage3d {
namespace {

// A 2x2 texture: red, green / blue, white.
Texture3D quad() {
    Texture3D t(2, 2, false, true);
    *t.image(0, 0) = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
    *t.image(0, 1) = {0xFF808080u};
    return t;
}

void expectNear(const Vec4& got, const Vec4& want) {
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(got[i], want[i], 1.0 / 255) << "component " << i;
    }
}

TEST(Texture3D, FilterAndWrap) {
    const Texture3D t = quad();
    SamplerFlags nearest;
    expectNear(t.sample(nearest, {0.25f, 0.25f, 0, 0}), {1, 0, 0, 1});
    expectNear(t.sample(nearest, {0.75f, 0.75f, 0, 0}), {1, 1, 1, 1});
    // Clamp holds the edge texel; repeat wraps around.
    expectNear(t.sample(nearest, {1.25f, 0.25f, 0, 0}), {0, 1, 0, 1});
    SamplerFlags repeat;
    repeat.wrap = 1;
    expectNear(t.sample(repeat, {1.25f, 0.25f, 0, 0}), {1, 0, 0, 1});
    // clamp_u_repeat_v: u clamps, v wraps.
    SamplerFlags mixed;
    mixed.wrap = 2;
    expectNear(t.sample(mixed, {1.25f, 1.25f, 0, 0}), {0, 1, 0, 1});
    // Linear filtering between texel centres: halfway between red and green.
    SamplerFlags linear;
    linear.filter = 1;
    expectNear(t.sample(linear, {0.5f, 0.25f, 0, 0}), {0.5f, 0.5f, 0, 1});
    // Far outside and not finite coordinates stay inside the texture.
    expectNear(t.sample(repeat, {1e30f, std::nanf(""), 0, 0}), {1, 0, 0, 1});
}

TEST(Texture3D, MipLevelsByBias) {
    const Texture3D t = quad();
    EXPECT_EQ(t.levels(), 2);
    SamplerFlags level1;
    level1.mipmap = 1;
    level1.lodBias = 8; // one level
    expectNear(t.sample(level1, {0.25f, 0.25f, 0, 0}),
               {128 / 255.0f, 128 / 255.0f, 128 / 255.0f, 1});
    // A pixel stepping two texels at a time reads the next level; one texel stays on the
    // first.
    SamplerFlags mipmapped;
    mipmapped.mipmap = 1;
    const Derivatives twoTexels{{1, 0, 0, 0}, {0, 0, 0, 0}};
    const Derivatives oneTexel{{0.5f, 0, 0, 0}, {0, 0.5f, 0, 0}};
    expectNear(t.sample(mipmapped, {0.25f, 0.25f, 0, 0}, &twoTexels),
               {128 / 255.0f, 128 / 255.0f, 128 / 255.0f, 1});
    expectNear(t.sample(mipmapped, {0.25f, 0.25f, 0, 0}, &oneTexel), {1, 0, 0, 1});
    SamplerFlags none;
    none.lodBias = 8; // without mipmapping the bias has no effect
    expectNear(t.sample(none, {0.25f, 0.25f, 0, 0}), {1, 0, 0, 1});
}

TEST(Texture3D, CubeFacesAndSamplerStates) {
    Texture3D cube(1, 1, true, false);
    for (int face = 0; face < 6; ++face) {
        *cube.image(face, 0) = {0xFF000000u | static_cast<std::uint32_t>(face * 40)};
    }
    const SamplerFlags flags;
    expectNear(cube.sample(flags, {1, 0.2f, 0.1f, 0}), {0, 0, 0, 1});
    expectNear(cube.sample(flags, {-1, 0.2f, 0.1f, 0}), {0, 0, 40 / 255.0f, 1});
    expectNear(cube.sample(flags, {0, 0.2f, -3, 0}), {0, 0, 200 / 255.0f, 1});
    EXPECT_EQ(cube.image(6, 0), nullptr);

    BoundTextures bound;
    bound.units[1] = std::make_shared<Texture3D>(quad());
    SamplerFlags ignoring;
    ignoring.index = 1;
    ignoring.special = 4;
    bound.states[1] = BoundTextures::SamplerState{1, 0, 0}; // repeat
    expectNear(bound.sample(ignoring, {1.25f, 0.25f, 0, 0}), {1, 0, 0, 1});
    ignoring.special = 0; // its own clamp
    expectNear(bound.sample(ignoring, {1.25f, 0.25f, 0, 0}), {0, 1, 0, 1});
    // An empty sampler reads transparent black.
    ignoring.index = 3;
    expectNear(bound.sample(ignoring, {0, 0, 0, 0}), {0, 0, 0, 0});
}

} // namespace
} // namespace stage3d
