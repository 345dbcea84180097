// Definitions read on first use: what a caller sees through find() and the diagnostics must be
// what a whole load gives, whatever order the definitions are asked for in.
#include "SwfBytes.h"
#include "swf/Movie.h"
#include "swf/TagCodes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace swf {
namespace {

using test::Bytes;
using test::operator+;

// DefineShape body for `id`: no styles, `edges` unit lines.
std::vector<std::uint8_t> lineShape(std::uint16_t id, int edges, std::int32_t width = 100) {
    Bytes b;
    b.u16(id).rect(0, width, 0, 100).u8(0).u8(0).u8(0x00);
    for (int i = 0; i < edges; ++i) {
        b.lineTo(1, 1);
    }
    b.endShape();
    return test::tag(tag::DefineShape, b.data());
}

// A shape whose only fill has an unknown type: it reads as damaged.
std::vector<std::uint8_t> damagedShape(std::uint16_t id) {
    Bytes b;
    b.u16(id).rect(0, 100, 0, 100).u8(1).u8(0x33).u8(0).u8(0x44).endShape();
    return test::tag(tag::DefineShape2, b.data());
}

std::vector<std::uint8_t> staticText(std::uint16_t id) {
    Bytes b;
    b.u16(id).rect(0, 7, 0, 7).identity().u8(1).u8(1).u8(0);
    return test::tag(tag::DefineText, b.data());
}

std::unique_ptr<Movie> loadOnFirstUse(const std::vector<std::uint8_t>& tags,
                                      const LoadLimits& limits = {}) {
    return loadMovie(test::movie(tags), limits, LoadMode::DefinitionsOnFirstUse).movie;
}

} // namespace

TEST(DefinitionsOnFirstUse, AShapeIsReadWhenFirstFoundAndThenKept) {
    const auto tags = lineShape(4, 3, 250) + test::tag(tag::ShowFrame, {});
    auto lazy = loadOnFirstUse(tags);
    ASSERT_NE(lazy, nullptr);
    EXPECT_EQ(lazy->dictionary.count(4), 0u);
    const Shape* s = lazy->findAs<Shape>(4);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->records.size(), 3u);
    EXPECT_EQ(s->bounds.xMax, 250);
    EXPECT_EQ(lazy->findAs<Shape>(4), s);
    EXPECT_EQ(lazy->find(5), nullptr);

    auto whole = test::load(tags);
    ASSERT_EQ(whole->dictionary.count(4), 1u);
    EXPECT_EQ(whole->findAs<Shape>(4)->records.size(), s->records.size());
    EXPECT_TRUE(lazy->diagnostics.empty());
    EXPECT_TRUE(whole->diagnostics.empty());
}

TEST(DefinitionsOnFirstUse, MorphShapesWaitAsWellAndShortBodiesAreReadAtOnce) {
    Bytes morph;
    morph.u16(9).rect(0, 10, 0, 10).rect(0, 20, 0, 20).u32(4).u8(0).u8(0).u8(0).endShape();
    morph.u8(0).endShape();
    auto m = loadOnFirstUse(test::tag(tag::DefineMorphShape, morph.data()) +
                            test::tag(tag::DefineShape, {7}));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->dictionary.count(9), 0u);
    const MorphShape* ms = m->findAs<MorphShape>(9);
    ASSERT_NE(ms, nullptr);
    EXPECT_EQ(ms->endBounds.xMax, 20);
    // One byte cannot hold an id: the tag is read while loading, as damaged as it is.
    EXPECT_EQ(m->dictionary.count(7), 1u);
    EXPECT_TRUE(m->has(Issue::RecordOverrun));
}

TEST(DefinitionsOnFirstUse, TheFirstDefinitionOfAnIdWinsWhicheverKindComesSecond) {
    auto shapeFirst = loadOnFirstUse(lineShape(3, 2) + staticText(3) + lineShape(3, 5));
    ASSERT_NE(shapeFirst, nullptr);
    const Shape* s = shapeFirst->findAs<Shape>(3);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->records.size(), 2u);
    EXPECT_EQ(
        std::count_if(shapeFirst->diagnostics.begin(), shapeFirst->diagnostics.end(),
                      [](const Diagnostic& d) { return d.issue == Issue::DuplicateCharacter; }),
        2);

    auto textFirst = loadOnFirstUse(staticText(3) + lineShape(3, 2));
    ASSERT_NE(textFirst, nullptr);
    EXPECT_NE(textFirst->findAs<StaticText>(3), nullptr);
    EXPECT_EQ(textFirst->findAs<Shape>(3), nullptr);
    EXPECT_TRUE(textFirst->has(Issue::DuplicateCharacter));
}

TEST(DefinitionsOnFirstUse, ADuplicateIsReportedAtItsBodyBehindALongHeader) {
    const auto first = lineShape(3, 2);
    Bytes text;
    text.u16(3).rect(0, 7, 0, 7).identity().u8(1).u8(1).u8(0);
    auto m = loadOnFirstUse(first + test::tag(tag::DefineText, text.data(), true));
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(m->diagnostics.size(), 1u);
    EXPECT_EQ(m->diagnostics[0].issue, Issue::DuplicateCharacter);
    // File header, stage rectangle, rate and count, the first tag, then a six-byte header.
    const std::size_t movieHeader = test::movie({}).size() - 2;
    EXPECT_EQ(m->diagnostics[0].offset, movieHeader + first.size() + 6);
}

TEST(DefinitionsOnFirstUse, DamageIsReportedWhenTheShapeIsRead) {
    const auto tags = damagedShape(2) + lineShape(3, 1);
    auto lazy = loadOnFirstUse(tags);
    ASSERT_NE(lazy, nullptr);
    EXPECT_FALSE(lazy->has(Issue::InvalidRecord));
    ASSERT_NE(lazy->findAs<Shape>(2), nullptr);
    EXPECT_TRUE(lazy->has(Issue::InvalidRecord));
    // Found again, the shape is not read again and says nothing more.
    lazy->find(2);
    lazy->readAllDefinitions();
    EXPECT_EQ(lazy->diagnostics.size(), 1u);
    EXPECT_EQ(lazy->diagnostics[0].tagCode, tag::DefineShape2);

    auto whole = test::load(tags);
    ASSERT_EQ(whole->diagnostics.size(), 1u);
    EXPECT_EQ(whole->diagnostics[0].offset, lazy->diagnostics[0].offset);
}

TEST(DefinitionsOnFirstUse, ReadingEverythingFillsTheDictionaryAsAWholeLoadDoes) {
    const auto tags = lineShape(1, 1) + lineShape(2, 2) + staticText(5) + lineShape(3, 3);
    auto lazy = loadOnFirstUse(tags);
    ASSERT_NE(lazy, nullptr);
    EXPECT_EQ(lazy->dictionary.size(), 1u);
    ASSERT_NE(lazy->findAs<Shape>(2), nullptr);
    lazy->readAllDefinitions();
    auto whole = test::load(tags);
    ASSERT_EQ(lazy->dictionary.size(), whole->dictionary.size());
    for (const std::uint16_t id : {1, 2, 3}) {
        ASSERT_NE(lazy->findAs<Shape>(id), nullptr) << id;
        EXPECT_EQ(lazy->findAs<Shape>(id)->records.size(), static_cast<std::size_t>(id));
    }
}

TEST(DefinitionsOnFirstUse, LateReadsShareTheMovieRecordBudget) {
    // Two shapes of 20 records with room for 30 in all: whichever is read first is whole, the
    // other is cut, so a hostile movie costs no more read late than read at once.
    LoadLimits limits;
    limits.maxTotalRecords = 30;
    const auto tags = lineShape(1, 20) + lineShape(2, 20);
    auto lazy = loadOnFirstUse(tags, limits);
    ASSERT_NE(lazy, nullptr);
    ASSERT_NE(lazy->findAs<Shape>(2), nullptr);
    EXPECT_EQ(lazy->findAs<Shape>(2)->records.size(), 20u);
    ASSERT_NE(lazy->findAs<Shape>(1), nullptr);
    EXPECT_EQ(lazy->findAs<Shape>(1)->records.size(), 10u);
    EXPECT_TRUE(lazy->has(Issue::WorkLimitReached));

    auto whole = loadMovie(test::movie(tags), limits).movie;
    EXPECT_EQ(whole->findAs<Shape>(1)->records.size(), 20u);
    EXPECT_EQ(whole->findAs<Shape>(2)->records.size(), 10u);
}

TEST(DefinitionsOnFirstUse, ShapesInsideSpritesAreStillIgnored) {
    Bytes sprite;
    sprite.u16(7).u16(1).append(lineShape(8, 1)).append(test::tag(tag::ShowFrame, {})).u16(0);
    auto m = loadOnFirstUse(test::tag(tag::DefineSprite, sprite.data()));
    ASSERT_NE(m, nullptr);
    EXPECT_NE(m->findAs<Sprite>(7), nullptr);
    EXPECT_EQ(m->find(8), nullptr);
    EXPECT_TRUE(m->has(Issue::IgnoredInSprite));
}

TEST(DefinitionsOnFirstUse, SpritesWaitAndTellWhetherTheyHoldScriptsOrSound) {
    Bytes place;
    place.u8(0x02).u16(1).u16(4);
    Bytes quiet;
    quiet.u16(7).u16(1).append(test::tag(tag::PlaceObject2, place.data()));
    quiet.append(test::tag(tag::ShowFrame, {})).u16(0);
    auto m = loadOnFirstUse(lineShape(4, 1) + test::tag(tag::DefineSprite, quiet.data()));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->dictionary.count(7), 0u);
    EXPECT_FALSE(m->unreadSprites.scripts);
    EXPECT_FALSE(m->unreadSprites.sound);
    const Sprite* s = m->findAs<Sprite>(7);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->timeline.frames.size(), 1u);
    EXPECT_EQ(std::get<PlaceObject>(s->timeline.frames[0].tags.at(0)).characterId, 4);

    Bytes busy;
    busy.u16(8).u16(2).append(test::tag(tag::DoAction, {0}));
    busy.append(test::tag(tag::ShowFrame, {}));
    busy.append(test::tag(tag::SoundStreamBlock, {1, 2})).append(test::tag(tag::ShowFrame, {}));
    busy.u16(0);
    auto b = loadOnFirstUse(test::tag(tag::DefineSprite, busy.data()));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->dictionary.count(8), 0u);
    EXPECT_TRUE(b->unreadSprites.scripts);
    EXPECT_TRUE(b->unreadSprites.sound);
    ASSERT_NE(b->findAs<Sprite>(8), nullptr);
    EXPECT_EQ(b->findAs<Sprite>(8)->timeline.frames.size(), 2u);
}

TEST(DefinitionsOnFirstUse, SpritesThatChangeTheMovieOrCarryClipEventsAreReadAtOnce) {
    Bytes exports;
    exports.u16(1).u16(4).str("box");
    Bytes exporting;
    exporting.u16(7).u16(1).append(test::tag(tag::ExportAssets, exports.data()));
    exporting.append(test::tag(tag::ShowFrame, {})).u16(0);
    auto m = loadOnFirstUse(lineShape(4, 1) + test::tag(tag::DefineSprite, exporting.data()));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->dictionary.count(7), 1u);
    ASSERT_EQ(m->exports.count("box"), 1u);
    EXPECT_EQ(m->exports.at("box"), 4);

    Bytes events;
    events.u8(0x82).u16(1).u16(4).u16(0).u32(0).u32(0);
    Bytes clipped;
    clipped.u16(9).u16(1).append(test::tag(tag::PlaceObject2, events.data()));
    clipped.append(test::tag(tag::ShowFrame, {})).u16(0);
    auto c = loadOnFirstUse(test::tag(tag::DefineSprite, clipped.data()));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->dictionary.count(9), 1u);
    EXPECT_FALSE(c->unreadSprites.scripts);
}

TEST(DefinitionsOnFirstUse, ASpriteReadLateMatchesOneReadAtOnce) {
    Bytes place;
    place.u8(0x06).u16(1).u16(4).identity();
    Bytes sprite;
    sprite.u16(7).u16(3).append(test::tag(tag::PlaceObject2, place.data()));
    sprite.append(test::tag(tag::ShowFrame, {})).append(test::tag(tag::RemoveObject2, {1, 0}));
    sprite.append(test::tag(tag::ShowFrame, {})).append(test::tag(tag::FrameLabel, {'x', 0}));
    sprite.u16(0);
    const auto tags = test::tag(tag::DefineSprite, sprite.data()) + lineShape(4, 2);
    auto lazy = loadOnFirstUse(tags);
    auto whole = test::load(tags);
    ASSERT_NE(lazy, nullptr);
    ASSERT_NE(whole, nullptr);
    const Sprite* late = lazy->findAs<Sprite>(7);
    const Sprite* early = whole->findAs<Sprite>(7);
    ASSERT_NE(late, nullptr);
    ASSERT_NE(early, nullptr);
    EXPECT_EQ(late->timeline.declaredFrameCount, 3);
    EXPECT_EQ(late->timeline.byteLength, early->timeline.byteLength);
    ASSERT_EQ(late->timeline.frames.size(), early->timeline.frames.size());
    for (std::size_t i = 0; i < late->timeline.frames.size(); ++i) {
        ASSERT_EQ(late->timeline.frames[i].tags.size(), early->timeline.frames[i].tags.size());
        for (std::size_t t = 0; t < late->timeline.frames[i].tags.size(); ++t) {
            EXPECT_EQ(late->timeline.frames[i].tags[t].index(),
                      early->timeline.frames[i].tags[t].index());
        }
    }
    // The sprite read at once in the whole load: no sprite is left unread to tell about.
    EXPECT_TRUE(lazy->has(Issue::MissingEnd) == whole->has(Issue::MissingEnd));
    EXPECT_EQ(lazy->diagnostics.size(), whole->diagnostics.size());
}

} // namespace swf
