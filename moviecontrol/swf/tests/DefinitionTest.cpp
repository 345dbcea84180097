// Fonts, texts, buttons, bitmaps, morph shapes and sprites in the dictionary.
#include "SwfBytes.h"
#include "swf/TagCodes.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>

using namespace swf;
using swf::test::Bytes;
using swf::test::operator+;

namespace {

// A glyph: a 4-bit/0-bit header byte, a move, one line, end.
Bytes glyph(std::int32_t dx) {
    Bytes g;
    g.u8(0x10).ub(1, 0).ub(5, 0x05).ub(5, 8).sb(8, 1).sb(8, 2).ub(1, 1).lineTo(dx, 0).endShape();
    return g;
}

} // namespace

TEST(Fonts, DefineFont3WithLayoutCodesAndKerning) {
    const Bytes g0 = glyph(100);
    const Bytes g1 = glyph(200);
    Bytes b;
    b.u16(3).u8(0x80 | 0x04 | 0x02).u8(1).u8(4).append({'A', 'r', 'i', 0}).u16(2);
    const std::uint32_t table = 2 * 2 + 2;
    b.u16(table).u16(static_cast<std::uint32_t>(table + g0.size()));
    b.u16(static_cast<std::uint32_t>(table + g0.size() + g1.size()));
    b.append(g0.data()).append(g1.data());
    b.u16(0x4E2D).u16('B');                                   // wide codes
    b.u16(900).u16(200).u16(static_cast<std::uint16_t>(-10)); // ascent, descent, leading
    b.u16(500).u16(33000);                                    // advances
    b.rect(0, 10, -20, 0).rect(1, 2, 3, 4);
    b.u16(1).u16(0x4E2D).u16('B').u16(static_cast<std::uint16_t>(-30));
    auto m = test::load(test::tag(tag::DefineFont3, b.data()));
    const Font* f = m->findAs<Font>(3);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->version, 3);
    EXPECT_EQ(f->emSquare(), 20480u);
    EXPECT_EQ(f->name, "Ari");
    EXPECT_TRUE(f->italic);
    EXPECT_TRUE(f->wideCodes);
    ASSERT_EQ(f->glyphs.size(), 2u);
    EXPECT_EQ(f->glyphs[0].code, 0x4E2D);
    EXPECT_EQ(f->glyphs[1].code, 'B');
    EXPECT_EQ(std::get<StraightEdge>(f->glyphs[1].records.at(1)).dx, 200);
    EXPECT_EQ(f->ascent, 900);
    EXPECT_EQ(f->leading, -10);
    EXPECT_EQ(f->glyphs[1].advance, 33000); // unsigned, though stored as a signed field
    EXPECT_EQ(f->glyphs[0].bounds, (Rect{0, 10, -20, 0}));
    ASSERT_EQ(f->kerning.size(), 1u);
    EXPECT_EQ(f->kerning[0].adjustment, -30);
    EXPECT_TRUE(m->diagnostics.empty());
}

TEST(Fonts, DefineFontOneCompletedByFontInfoAndName) {
    const Bytes g0 = glyph(50);
    const Bytes g1 = glyph(60);
    Bytes b;
    b.u16(2)
        .u16(4)
        .u16(static_cast<std::uint32_t>(4 + g0.size()))
        .append(g0.data())
        .append(g1.data());
    Bytes info;
    info.u16(2).u8(6).append({'S', 'i', 'm', 'S', 'u', 'n'}).u8(0x02).u8('x').u8('y');
    Bytes name;
    name.u16(2).str("SimSun Regular").str("(c)");
    auto m = test::load(test::tag(tag::DefineFont, b.data()) +
                        test::tag(tag::DefineFontInfo, info.data()) +
                        test::tag(tag::DefineFontName, name.data()));
    const Font* f = m->findAs<Font>(2);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->emSquare(), 1024u);
    ASSERT_EQ(f->glyphs.size(), 2u);
    EXPECT_EQ(std::get<StraightEdge>(f->glyphs[1].records.at(1)).dx, 60);
    EXPECT_EQ(f->name, "SimSun");
    EXPECT_TRUE(f->bold);
    EXPECT_EQ(f->glyphs[0].code, 'x');
    EXPECT_EQ(f->glyphs[1].code, 'y');
    EXPECT_EQ(f->fullName, "SimSun Regular");
    EXPECT_EQ(f->copyright, "(c)");
    EXPECT_TRUE(m->diagnostics.empty());
}

TEST(Texts, DefineEditTextReadsEveryField) {
    Bytes b;
    b.u16(6).rect(-40, 4000, 0, 600);
    b.u8(0xFF).u8(0x80 | 0x20 | 0x08 | 0x02 | 0x01);
    b.u16(3).str("_sans").u16(240).rgba(10, 20, 30, 255).u16(99);
    b.u8(2).u16(40).u16(50).u16(60).u16(static_cast<std::uint16_t>(-20));
    b.str("myVar").str("你好");
    auto m = test::load(test::tag(tag::DefineEditText, b.data()));
    const EditText* t = m->findAs<EditText>(6);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->bounds.xMin, -40);
    EXPECT_TRUE(t->wordWrap && t->multiline && t->password && t->readOnly);
    EXPECT_TRUE(t->border && t->html && t->useOutlines);
    EXPECT_FALSE(t->autoSize || t->noSelect || t->wasStatic);
    EXPECT_EQ(t->fontId, 3);
    EXPECT_EQ(t->fontClass, "_sans");
    EXPECT_EQ(t->fontHeight, 240);
    EXPECT_EQ(t->color, (Rgba{10, 20, 30, 255}));
    EXPECT_EQ(t->maxLength, 99);
    EXPECT_EQ(t->align, TextAlign::Center);
    EXPECT_EQ(t->rightMargin, 50);
    EXPECT_EQ(t->leading, -20);
    EXPECT_EQ(t->variableName, "myVar");
    EXPECT_EQ(t->initialText, "你好");
    EXPECT_TRUE(m->diagnostics.empty());
}

TEST(Texts, CsmTextSettingsSetHowAFieldIsDrawn) {
    auto settings = [](std::uint16_t id, std::uint8_t flags, float thickness, float sharpness) {
        Bytes b;
        b.u16(id).u8(flags);
        b.u32(std::bit_cast<std::uint32_t>(thickness)).u32(std::bit_cast<std::uint32_t>(sharpness));
        b.u8(0);
        return test::tag(tag::CsmTextSettings, b.data());
    };
    auto field = [](std::uint16_t id) {
        Bytes b;
        b.u16(id).rect(0, 2000, 0, 400).u8(0).u8(0).str("");
        return test::tag(tag::DefineEditText, b.data());
    };
    // Advanced anti-aliasing with subpixel fitting; then values past the ranges, a reserved
    // grid fit and a NaN; then a field the tag never names.
    auto m = test::load(field(1) + settings(1, 0x50, -2.5f, 150.0f) + field(2) +
                        settings(2, 0x38, 900.0f, std::numeric_limits<float>::quiet_NaN()) +
                        field(3) + settings(9, 0x40, 1, 1));
    const EditText* a = m->findAs<EditText>(1);
    const EditText* b = m->findAs<EditText>(2);
    const EditText* c = m->findAs<EditText>(3);
    ASSERT_TRUE(a != nullptr && b != nullptr && c != nullptr);
    EXPECT_TRUE(a->advancedAntiAlias);
    EXPECT_EQ(a->gridFit, 2);
    EXPECT_EQ(a->thickness, -2.5);
    EXPECT_EQ(a->sharpness, 150);
    EXPECT_FALSE(b->advancedAntiAlias);
    EXPECT_EQ(b->gridFit, 1);
    EXPECT_EQ(b->thickness, 200);
    EXPECT_EQ(b->sharpness, 0);
    EXPECT_FALSE(c->advancedAntiAlias);
    EXPECT_EQ(c->gridFit, 1);
}

TEST(Buttons, DefineButton2RecordsAndConditionActions) {
    Bytes b;
    b.u16(9).u8(1);
    Bytes records;
    records.u8(0x01 | 0x08 | 0x20)
        .u16(2)
        .u16(1)
        .translate(5, 5)
        .ub(1, 0)
        .ub(1, 0)
        .ub(4, 0)
        .align()
        .u8(3);
    records.u8(0x04).u16(3).u16(2).identity().ub(1, 0).ub(1, 0).ub(4, 0).align();
    records.u8(0);
    b.u16(static_cast<std::uint32_t>(2 + records.size())).append(records.data());
    b.u16(6).u16(0x0008).u8(op::Play).u8(0);
    b.u16(0).u16(0x0100).u8(op::Stop).u8(0);
    auto m = test::load(test::tag(tag::DefineButton2, b.data()));
    const Button* button = m->findAs<Button>(9);
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->trackAsMenu);
    ASSERT_EQ(button->records.size(), 2u);
    EXPECT_EQ(button->records[0].states, button_state::Up | button_state::HitTest);
    EXPECT_EQ(button->records[0].blendMode, BlendMode::Multiply);
    EXPECT_EQ(button->records[0].matrix.tx, 5);
    EXPECT_EQ(button->records[1].states, button_state::Down);
    EXPECT_EQ(button->records[1].depth, 2);
    ASSERT_EQ(button->actions.size(), 2u);
    EXPECT_EQ(button->actions[0].conditions, 0x0008);
    EXPECT_EQ(button->actions[0].actions.actions.at(0).code, op::Play);
    EXPECT_EQ(button->actions[1].actions.actions.at(0).code, op::Stop);
    EXPECT_TRUE(m->diagnostics.empty());
}

TEST(Buttons, DefineButtonWithCxformTag) {
    Bytes b;
    b.u16(9).u8(0x02).u16(2).u16(1).identity().u8(0).u8(op::Stop).u8(0);
    Bytes cx;
    cx.u16(9).ub(1, 1).ub(1, 0).ub(4, 8).sb(8, 100).sb(8, 0).sb(8, -100).align();
    auto m = test::load(test::tag(tag::DefineButton, b.data()) +
                        test::tag(tag::DefineButtonCxform, cx.data()));
    const Button* button = m->findAs<Button>(9);
    ASSERT_NE(button, nullptr);
    ASSERT_EQ(button->records.size(), 1u);
    EXPECT_EQ(button->records[0].states, button_state::Over);
    EXPECT_EQ(button->records[0].colorTransform.addR, 100);
    EXPECT_EQ(button->records[0].colorTransform.addB, -100);
    ASSERT_EQ(button->actions.size(), 1u);
    EXPECT_EQ(button->actions[0].actions.actions.at(0).code, op::Stop);
}

TEST(Bitmaps, JpegAndLosslessTagsKeepSpansIntoTheMovie) {
    Bytes tables;
    tables.u8(0xFF).u8(0xD8).u8(0xFF).u8(0xD9);
    Bytes bits;
    bits.u16(1).u8(0xAA).u8(0xBB);
    Bytes jpeg3;
    jpeg3.u16(2).u32(3).u8(1).u8(2).u8(3).u8(0x78).u8(0x9C);
    Bytes jpeg4;
    jpeg4.u16(3).u32(1).u16(0x0180).u8(7).u8(8);
    Bytes lossless;
    lossless.u16(4).u8(3).u16(17).u16(5).u8(15).u8(0x78);
    Bytes lossless2;
    lossless2.u16(5).u8(5).u16(2).u16(2).u8(0x78).u8(0x01);
    auto m = test::load(test::tag(tag::JpegTables, tables.data()) +
                        test::tag(tag::DefineBits, bits.data()) +
                        test::tag(tag::DefineBitsJpeg3, jpeg3.data()) +
                        test::tag(tag::DefineBitsJpeg4, jpeg4.data()) +
                        test::tag(tag::DefineBitsLossless, lossless.data()) +
                        test::tag(tag::DefineBitsLossless2, lossless2.data()));
    EXPECT_EQ(m->jpegTables.size(), 4u);
    const JpegBitmap* b1 = m->findAs<JpegBitmap>(1);
    ASSERT_NE(b1, nullptr);
    EXPECT_EQ(b1->version, 1);
    ASSERT_EQ(b1->imageData.size(), 2u);
    EXPECT_EQ(b1->imageData[1], 0xBB);
    const auto* whole = m->bytes().data();
    EXPECT_TRUE(b1->imageData.data() > whole && b1->imageData.data() < whole + m->bytes().size());
    const JpegBitmap* b3 = m->findAs<JpegBitmap>(2);
    ASSERT_NE(b3, nullptr);
    EXPECT_EQ(b3->imageData.size(), 3u);
    EXPECT_EQ(b3->alphaData.size(), 2u);
    const JpegBitmap* b4 = m->findAs<JpegBitmap>(3);
    ASSERT_NE(b4, nullptr);
    EXPECT_EQ(b4->deblocking, 0x0180);
    EXPECT_EQ(b4->imageData.size(), 1u);
    EXPECT_EQ(b4->alphaData.size(), 1u);
    const LosslessBitmap* l1 = m->findAs<LosslessBitmap>(4);
    ASSERT_NE(l1, nullptr);
    EXPECT_EQ(l1->format, 3);
    EXPECT_EQ(l1->width, 17);
    EXPECT_EQ(l1->colorTableSize, 15);
    EXPECT_EQ(l1->zlibData.size(), 1u);
    const LosslessBitmap* l2 = m->findAs<LosslessBitmap>(5);
    ASSERT_NE(l2, nullptr);
    EXPECT_EQ(l2->version, 2);
    EXPECT_EQ(l2->zlibData.size(), 2u);
    EXPECT_TRUE(m->diagnostics.empty());
}

TEST(Bitmaps, JpegThreeImageLengthBeyondTheTagIsCut) {
    Bytes jpeg3;
    jpeg3.u16(2).u32(1000).u8(1).u8(2);
    auto m = test::load(test::tag(tag::DefineBitsJpeg3, jpeg3.data()));
    const JpegBitmap* b = m->findAs<JpegBitmap>(2);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->imageData.size(), 2u);
    EXPECT_TRUE(b->alphaData.empty());
    EXPECT_TRUE(m->has(Issue::RecordOverrun));
}

TEST(Sprites, OwnTimelineAndNestedDefinitionsIgnored) {
    Bytes place;
    place.u8(0x02).u16(1).u16(5);
    Bytes nested;
    nested.u16(8).u16(1).append(test::tag(tag::ShowFrame, {})).u16(0);
    Bytes sprite;
    sprite.u16(7)
        .u16(2)
        .append(test::tag(tag::PlaceObject2, place.data()))
        .append(test::tag(tag::ShowFrame, {}))
        .append(test::tag(tag::DefineSprite, nested.data()))
        .append(test::tag(tag::DoAction, {op::Stop, 0}))
        .append(test::tag(tag::ShowFrame, {}))
        .u16(0);
    auto m =
        test::load(test::tag(tag::DefineSprite, sprite.data()) + test::tag(tag::ShowFrame, {}));
    const Sprite* s = m->findAs<Sprite>(7);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->timeline.declaredFrameCount, 2);
    ASSERT_EQ(s->timeline.frames.size(), 2u);
    EXPECT_EQ(std::get<PlaceObject>(s->timeline.frames[0].tags.at(0)).characterId, 5);
    EXPECT_EQ(s->timeline.frames[1].tags.size(), 1u);
    EXPECT_EQ(m->findAs<Sprite>(8), nullptr);
    EXPECT_TRUE(m->has(Issue::IgnoredInSprite));
    EXPECT_EQ(m->root.frames.size(), 1u);
}
