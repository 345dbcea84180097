// Place/remove objects, filters, actions and frame labels as frames see them.
#include "SwfBytes.h"
#include "swf/TagCodes.h"

#include <gtest/gtest.h>

using namespace swf;
using swf::test::Bytes;
using swf::test::operator+;

namespace {

const ControlTag& firstTag(const std::unique_ptr<Movie>& m) {
    static const ControlTag none = RawControlTag{};
    if (!m || m->root.frames.empty() || m->root.frames[0].tags.empty()) {
        ADD_FAILURE() << "no control tag";
        return none;
    }
    return m->root.frames[0].tags[0];
}

} // namespace

TEST(PlaceObject, VersionOneHasColourTransformOnlyWhenBytesRemain) {
    Bytes with;
    with.u16(5)
        .u16(3)
        .translate(100, 200)
        .ub(1, 1)
        .ub(1, 0)
        .ub(4, 6)
        .sb(6, 10)
        .sb(6, -10)
        .sb(6, 1)
        .align();
    auto m = test::load(test::tag(tag::PlaceObject, with.data()));
    const auto& p = std::get<PlaceObject>(firstTag(m));
    EXPECT_EQ(p.version, 1);
    EXPECT_FALSE(p.move);
    EXPECT_EQ(p.characterId, 5);
    EXPECT_EQ(p.depth, 3);
    ASSERT_TRUE(p.matrix);
    EXPECT_EQ(p.matrix->ty, 200);
    ASSERT_TRUE(p.colorTransform);
    EXPECT_EQ(p.colorTransform->addG, -10);
    EXPECT_EQ(p.colorTransform->multA, 256);
    EXPECT_TRUE(m->diagnostics.empty());

    Bytes without;
    without.u16(5).u16(3).translate(100, 200);
    auto m2 = test::load(test::tag(tag::PlaceObject, without.data()));
    EXPECT_FALSE(std::get<PlaceObject>(firstTag(m2)).colorTransform);
    EXPECT_TRUE(m2->diagnostics.empty());
}

TEST(PlaceObject, ClipActionsUseSixteenBitFlagsUpToVersionFive) {
    Bytes v6;
    v6.u8(0x80 | 0x02).u16(1).u16(3);
    v6.u16(0).u32(0x00020001);                       // reserved, all events
    v6.u32(0x00000001).u32(2).u8(0x07).u8(0x00);     // onLoad: stop, end
    v6.u32(0x00020000).u32(3).u8(65).u8(0x06).u8(0); // key press 'A': play, end
    v6.u32(0);
    auto m6 = test::load(test::tag(tag::PlaceObject2, v6.data()), 6);
    const auto& p6 = std::get<PlaceObject>(firstTag(m6));
    ASSERT_EQ(p6.clipActions.size(), 2u);
    EXPECT_EQ(p6.clipActions[0].events, 1u);
    ASSERT_EQ(p6.clipActions[0].actions.actions.size(), 1u);
    EXPECT_EQ(p6.clipActions[0].actions.actions[0].code, op::Stop);
    EXPECT_EQ(p6.clipActions[1].keyCode, 65);
    EXPECT_EQ(p6.clipActions[1].actions.actions[0].code, op::Play);
    EXPECT_TRUE(m6->diagnostics.empty());

    Bytes v5;
    v5.u8(0x80 | 0x02).u16(1).u16(3).u16(0).u16(0x0001);
    v5.u16(0x0001).u32(1).u8(0x07).u16(0);
    auto m5 = test::load(test::tag(tag::PlaceObject2, v5.data()), 5);
    const auto& p5 = std::get<PlaceObject>(firstTag(m5));
    ASSERT_EQ(p5.clipActions.size(), 1u);
    EXPECT_EQ(p5.clipActions[0].actions.actions[0].code, op::Stop);
    EXPECT_TRUE(m5->diagnostics.empty());
}

TEST(PlaceObject, VersionThreeFiltersBlendCacheVisibilityAndBackground) {
    Bytes b;
    b.u8(0x02 | 0x04)
        .u8(0x01 | 0x02 | 0x04 | 0x08 | 0x20 | 0x40)
        .u16(2)
        .str("Cls")
        .u16(8)
        .identity();
    b.u8(8);
    // Drop shadow: colour, blur 4.5/2, angle 0.785, distance 5, strength 1.5, inner+knockout, 3.
    b.u8(0)
        .rgba(1, 2, 3, 4)
        .u32(0x48000)
        .u32(0x20000)
        .u32(0xC90F)
        .u32(0x50000)
        .u16(0x180)
        .u8(0x80 | 0x40 | 3);
    b.u8(1).u32(0x10000).u32(0x30000).u8(2 << 3);                               // blur, 2 passes
    b.u8(2).rgba(9, 9, 9, 9).u32(0x10000).u32(0x10000).u16(0x200).u8(0x20 | 1); // glow
    b.u8(3)
        .rgba(255, 255, 255, 255)
        .rgba(0, 0, 0, 255)
        .u32(0)
        .u32(0)
        .u32(0)
        .u32(0x40000)
        .u16(0x100)
        .u8(0x10 | 2); // bevel: highlight first, on top
    b.u8(4)
        .u8(2)
        .rgba(1, 0, 0, 255)
        .rgba(0, 1, 0, 255)
        .u8(0)
        .u8(255)
        .u32(0x10000)
        .u32(0x10000)
        .u32(0)
        .u32(0)
        .u16(0x100)
        .u8(0x80 | 1);                                   // gradient glow
    b.u8(5).u8(3).u8(1).u32(0x40000000).u32(0x3F800000); // convolution 3x1, divisor 2, bias 1
    b.u32(0x3F800000).u32(0xBF800000).u32(0x00000000).rgba(5, 5, 5, 5).u8(0x03);
    b.u8(6);
    for (int i = 0; i < 20; ++i) {
        b.u32(i == 0 ? 0x3F800000u : 0u);
    }
    b.u8(7).u8(1).rgba(7, 7, 7, 7).u8(128).u32(0).u32(0).u32(0).u32(0).u16(0).u8(4);
    b.u8(3).u8(1).u8(0).rgba(10, 20, 30, 40);
    auto m = test::load(test::tag(tag::PlaceObject3, b.data()));
    const auto& p = std::get<PlaceObject>(firstTag(m));
    EXPECT_EQ(p.version, 3);
    EXPECT_EQ(p.className, "Cls");
    EXPECT_EQ(p.characterId, 8);
    ASSERT_TRUE(p.filters);
    ASSERT_EQ(p.filters->size(), 8u);
    const auto& shadow = std::get<DropShadowFilter>((*p.filters)[0]);
    EXPECT_EQ(shadow.color, (Rgba{1, 2, 3, 4}));
    EXPECT_DOUBLE_EQ(shadow.blurX, 4.5);
    EXPECT_NEAR(shadow.angle, 0.785, 1e-3);
    EXPECT_DOUBLE_EQ(shadow.distance, 5.0);
    EXPECT_DOUBLE_EQ(shadow.strength, 1.5);
    EXPECT_TRUE(shadow.inner);
    EXPECT_TRUE(shadow.knockout);
    EXPECT_FALSE(shadow.compositeSource);
    EXPECT_EQ(shadow.passes, 3);
    EXPECT_EQ(std::get<BlurFilter>((*p.filters)[1]).passes, 2);
    EXPECT_DOUBLE_EQ(std::get<BlurFilter>((*p.filters)[1]).blurY, 3.0);
    const auto& glow = std::get<GlowFilter>((*p.filters)[2]);
    EXPECT_DOUBLE_EQ(glow.strength, 2.0);
    EXPECT_TRUE(glow.compositeSource);
    const auto& bevel = std::get<BevelFilter>((*p.filters)[3]);
    EXPECT_EQ(bevel.highlightColor, (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(bevel.shadowColor, (Rgba{0, 0, 0, 255}));
    EXPECT_TRUE(bevel.onTop);
    EXPECT_EQ(bevel.passes, 2);
    const auto& gglow = std::get<GradientGlowFilter>((*p.filters)[4]);
    ASSERT_EQ(gglow.stops.size(), 2u);
    EXPECT_EQ(gglow.stops[1].color, (Rgba{0, 1, 0, 255}));
    EXPECT_EQ(gglow.stops[1].ratio, 255);
    EXPECT_TRUE(gglow.inner);
    const auto& conv = std::get<ConvolutionFilter>((*p.filters)[5]);
    EXPECT_EQ(conv.columns, 3);
    EXPECT_FLOAT_EQ(conv.divisor, 2.0f);
    ASSERT_EQ(conv.matrix.size(), 3u);
    EXPECT_FLOAT_EQ(conv.matrix[1], -1.0f);
    EXPECT_TRUE(conv.clamp);
    EXPECT_TRUE(conv.preserveAlpha);
    EXPECT_FLOAT_EQ(std::get<ColorMatrixFilter>((*p.filters)[6]).matrix[0], 1.0f);
    EXPECT_EQ(std::get<GradientBevelFilter>((*p.filters)[7]).passes, 4);
    EXPECT_EQ(p.blendMode, BlendMode::Multiply);
    EXPECT_EQ(p.cacheAsBitmap, true);
    EXPECT_EQ(p.visible, false);
    EXPECT_EQ(p.backgroundColor, (Rgba{10, 20, 30, 40}));
    EXPECT_TRUE(m->diagnostics.empty());
}

TEST(PlaceObject, UnknownFilterStopsTheRecordButKeepsEarlierFields) {
    Bytes b;
    b.u8(0x02).u8(0x01 | 0x02).u16(2).u16(8).u8(2).u8(1).u32(0).u32(0).u8(0).u8(9).u8(3);
    auto m = test::load(test::tag(tag::PlaceObject3, b.data()));
    const auto& p = std::get<PlaceObject>(firstTag(m));
    EXPECT_EQ(p.characterId, 8);
    ASSERT_TRUE(p.filters);
    EXPECT_EQ(p.filters->size(), 1u);
    EXPECT_FALSE(p.blendMode);
    EXPECT_TRUE(m->has(Issue::InvalidRecord));
}

TEST(BlendModes, ZeroAndUnknownValuesAreNormal) {
    EXPECT_EQ(blendModeFromByte(0), BlendMode::Normal);
    EXPECT_EQ(blendModeFromByte(14), BlendMode::HardLight);
    EXPECT_EQ(blendModeFromByte(15), BlendMode::Normal);
}

TEST(Actions, TimelineControlsAreDecodedAndOthersKeptForSkipping) {
    Bytes b;
    b.u8(op::Stop).u8(op::Play).u8(op::NextFrame).u8(op::PreviousFrame);
    b.u8(op::GotoFrame).u16(2).u16(17);
    b.u8(op::GotoLabel).u16(6).str("intro");
    b.u8(op::GotoFrame2).u16(3).u8(0x03).u16(4);
    b.u8(0x96).u16(3).u8(0).u8('x').u8(0); // push: kept undecoded
    b.u8(op::End).u8(op::Stop);            // after End: not part of the block
    const std::vector<std::uint8_t>& bytes = b.data();
    const ActionBlock block = readActionBlock(bytes);
    ASSERT_EQ(block.actions.size(), 8u);
    EXPECT_EQ(block.actions[4].frame, 17);
    EXPECT_EQ(block.actions[4].offset, 4u);
    EXPECT_EQ(block.actions[5].text, "intro");
    EXPECT_TRUE(block.actions[6].play);
    EXPECT_EQ(block.actions[6].sceneBias, 4);
    EXPECT_EQ(block.actions[7].code, 0x96);
    EXPECT_EQ(block.actions[7].payload.size(), 3u);
    EXPECT_FALSE(block.truncated);
}

TEST(Actions, PayloadPastTheBlockEndsItAsTruncated) {
    const std::vector<std::uint8_t> bytes{op::Play, op::GotoFrame, 0x10, 0x00, 0x01};
    const ActionBlock block = readActionBlock(bytes);
    ASSERT_EQ(block.actions.size(), 1u);
    EXPECT_TRUE(block.truncated);
}

// The named-anchor byte after a frame label counts from version 6 only.
TEST(ControlTags, LabelsAreNamedAnchorsFromVersionSix) {
    Bytes label;
    label.str("start").u8(1);
    auto current = test::load(test::tag(tag::FrameLabel, label.data()), 6);
    EXPECT_TRUE(std::get<FrameLabel>(firstTag(current)).namedAnchor);
    auto old = test::load(test::tag(tag::FrameLabel, label.data()), 5);
    EXPECT_FALSE(std::get<FrameLabel>(firstTag(old)).namedAnchor);
}

// Scenes and their labels belong to the root; counts larger than the tag holds stop at its
// end, and a sprite's copy of the tag is ignored.
TEST(ControlTags, SceneTagNamesTheRootsScenesAndLabels) {
    Bytes scenes;
    scenes.u8(2).u8(0).str("Intro").u8(0x82).u8(0x01).str("Main"); // 130, encoded in two bytes
    scenes.u8(1).u8(3).str("loop");
    auto m = test::load(test::tag(tag::DefineSceneAndFrameLabelData, scenes.data()), 9);
    ASSERT_TRUE(m);
    ASSERT_EQ(m->root.scenes.size(), 2u);
    EXPECT_EQ(m->root.scenes[0].name, "Intro");
    EXPECT_EQ(m->root.scenes[1].name, "Main");
    EXPECT_EQ(m->root.scenes[1].firstFrame, 130u);
    ASSERT_EQ(m->root.sceneLabels.size(), 1u);
    EXPECT_EQ(m->root.sceneLabels[0].frame, 3u);
    EXPECT_EQ(m->root.sceneLabels[0].label, "loop");

    Bytes claimsMore;
    claimsMore.u8(0x7F).u8(0).str("Only");
    auto cut = test::load(test::tag(tag::DefineSceneAndFrameLabelData, claimsMore.data()), 9);
    ASSERT_TRUE(cut);
    ASSERT_EQ(cut->root.scenes.size(), 1u);
    EXPECT_TRUE(cut->root.sceneLabels.empty());

    Bytes sprite;
    sprite.u16(7).u16(1).append(test::tag(tag::DefineSceneAndFrameLabelData, scenes.data()));
    auto inSprite = test::load(test::tag(tag::DefineSprite, sprite.data()), 9);
    ASSERT_TRUE(inSprite);
    EXPECT_TRUE(inSprite->root.scenes.empty());
}
