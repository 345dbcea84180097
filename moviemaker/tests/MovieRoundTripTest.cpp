// The movie and its timelines written and read back with the player's reader: header,
// control tags, placements, sprites, scripts, buttons and tag framing.

#include "ReadBack.h"
#include "moviemaker/SwfWriter.h"
#include "swf/Movie.h"

#include <gtest/gtest.h>

#include <string>

namespace moviemaker {
namespace {

using namespace roundtrip;

uint16_t box(SwfWriter& movie) {
    Shape s;
    s.fill1(s.addFill(FillStyle::solid({200, 10, 10}))).rectangle(0, 0, 400, 200);
    return movie.defineShape(s);
}

TEST(MovieRoundTrip, HeaderFieldsAsSet) {
    MovieHeader header;
    header.version = 8;
    header.frameSize = {-200, 19000, 40, 12000};
    header.frameRate = 12.5;
    SwfWriter movie(header);
    movie.showFrame();
    movie.showFrame();
    movie.showFrame();
    const auto bytes = movie.finish();
    const auto read = readBack(bytes);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->header.compression, swf::Compression::None);
    EXPECT_EQ(read->header.version, 8);
    EXPECT_EQ(read->header.frameRect, (swf::Rect{-200, 19000, 40, 12000}));
    EXPECT_EQ(read->header.frameRateRaw, 12 * 256 + 128);
    EXPECT_EQ(read->header.frameCount, 3);
    EXPECT_EQ(read->header.declaredLength, bytes.size());
    EXPECT_EQ(read->root.frames.size(), 3u);

    // A movie that claims frames it lacks, as some damaged ones do.
    header.frameCountOverride = 9;
    SwfWriter claiming(header);
    claiming.showFrame();
    const auto claimed = readBack(claiming.finish());
    ASSERT_TRUE(claimed);
    EXPECT_EQ(claimed->header.frameCount, 9);
    EXPECT_EQ(claimed->root.frames.size(), 1u);
}

TEST(MovieRoundTrip, CompressedMovieReadsAsTheUncompressedOne) {
    const auto build = [](bool compressed) {
        MovieHeader header;
        header.compressed = compressed;
        SwfWriter movie(header);
        movie.setBackgroundColor({1, 2, 3});
        movie.place(box(movie), 1);
        movie.showFrame();
        return movie.finish();
    };
    const auto plain = build(false);
    const auto packed = build(true);
    const auto read = readBack(packed);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->header.compression, swf::Compression::Zlib);
    EXPECT_EQ(read->header.declaredLength, plain.size());
    ASSERT_EQ(read->bytes().size(), plain.size());
    // Everything after the signature is the same movie.
    EXPECT_TRUE(std::equal(plain.begin() + 1, plain.end(), read->bytes().begin() + 1));
}

TEST(MovieRoundTrip, ControlTagsLandInTheirFrames) {
    SwfWriter movie;
    movie.setBackgroundColor({10, 20, 30});
    const uint16_t shape = box(movie);
    EXPECT_EQ(shape, 1);
    movie.place(shape, 3, Matrix::translate(100, -40));
    movie.frameLabel("start");
    movie.showFrame();
    ColorTransform half = ColorTransform::alpha(0.5);
    half.redAdd = -30;
    movie.moveObject(3, Matrix::scale(2, 0.5, 7, 8), half);
    movie.frameLabel("anchor", true);
    movie.showFrame();
    movie.removeObject(shape, 3);
    movie.place(shape, 4);
    movie.removeObject(4);
    movie.showFrame();

    const auto read = readBack(movie.finish());
    ASSERT_TRUE(read);
    ASSERT_EQ(read->root.frames.size(), 3u);
    const auto& first = frameTags(*read, 0);
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(tagAs<swf::SetBackgroundColor>(first[0]).color, (swf::Rgba{10, 20, 30, 255}));
    const auto& placed = tagAs<swf::PlaceObject>(first[1]);
    EXPECT_EQ(placed.version, 2);
    EXPECT_FALSE(placed.move);
    EXPECT_EQ(placed.depth, 3);
    EXPECT_EQ(placed.characterId, shape);
    EXPECT_EQ(placed.matrix, expected(Matrix::translate(100, -40)));
    EXPECT_FALSE(placed.colorTransform);
    EXPECT_EQ(tagAs<swf::FrameLabel>(first[2]).label, "start");
    EXPECT_FALSE(tagAs<swf::FrameLabel>(first[2]).namedAnchor);

    const auto& second = frameTags(*read, 1);
    ASSERT_EQ(second.size(), 2u);
    const auto& moved = tagAs<swf::PlaceObject>(second[0]);
    EXPECT_TRUE(moved.move);
    EXPECT_FALSE(moved.characterId);
    EXPECT_EQ(moved.matrix, expected(Matrix::scale(2, 0.5, 7, 8)));
    EXPECT_EQ(moved.colorTransform, expected(half));
    EXPECT_TRUE(tagAs<swf::FrameLabel>(second[1]).namedAnchor);

    const auto& third = frameTags(*read, 2);
    ASSERT_EQ(third.size(), 3u);
    EXPECT_EQ(tagAs<swf::RemoveObject>(third[0]).characterId, shape);
    EXPECT_EQ(tagAs<swf::RemoveObject>(third[0]).depth, 3);
    EXPECT_FALSE(tagAs<swf::RemoveObject>(third[2]).characterId);
    EXPECT_EQ(tagAs<swf::RemoveObject>(third[2]).depth, 4);
}

TEST(MovieRoundTrip, MatricesOfEveryShape) {
    const Matrix matrices[] = {
        Matrix{},
        Matrix::translate(-1, 1),
        Matrix::translate(-1073741823, 1073741823),
        Matrix::scale(-3.25, 0.001, 0, 0),
        Matrix::scale(1, 1.5),
        Matrix::scaleRotate(1, 0.5, 20, 20),
        Matrix::affine(0, 1, -1, 0, 0, 0),
        Matrix::affine(16000, -16000, 0.5, -0.25, -5, 6),
    };
    SwfWriter movie;
    const uint16_t shape = box(movie);
    uint16_t depth = 1;
    for (const Matrix& m : matrices) {
        movie.place(shape, depth++, m);
    }
    movie.showFrame();
    const auto read = readBack(movie.finish());
    ASSERT_TRUE(read);
    const auto& tags = frameTags(*read, 0);
    ASSERT_EQ(tags.size(), std::size(matrices));
    for (std::size_t i = 0; i < tags.size(); ++i) {
        EXPECT_EQ(tagAs<swf::PlaceObject>(tags[i]).matrix, expected(matrices[i])) << "matrix " << i;
    }
}

TEST(MovieRoundTrip, EveryPlacementFieldOfTheFirstAndThirdVersions) {
    SwfWriter movie;
    const uint16_t shape = box(movie);
    ColorTransform cx;
    cx.redMult = -256;
    cx.greenMult = 512;
    cx.blueAdd = 255;
    cx.alphaMult = 128;
    cx.alphaAdd = -255;

    PlaceObject first;
    first.characterId = shape;
    first.depth = 1;
    ColorTransform noAlpha = cx; // the first version's record has no alpha terms
    noAlpha.alphaMult = 256;
    noAlpha.alphaAdd = 0;
    first.colorTransform = noAlpha;
    movie.placeObject(first, 1);

    PlaceObject third;
    third.characterId = shape;
    third.depth = 3;
    third.matrix = Matrix::translate(5, 5);
    third.colorTransform = cx;
    third.ratio = 40000;
    third.clipDepth = 9;
    third.name = "名字";
    third.className = "Widget";
    third.filters = blurFilterList(4, 2.5, 3);
    third.blendMode = BlendMode::Multiply;
    third.cacheAsBitmap = true;
    third.visible = false;
    third.backgroundColor = Rgba{1, 2, 3, 4};
    movie.placeObject(third, 3);
    movie.showFrame();

    const auto read = readBack(movie.finish());
    ASSERT_TRUE(read);
    const auto& tags = frameTags(*read, 0);
    ASSERT_EQ(tags.size(), 2u);

    const auto& one = tagAs<swf::PlaceObject>(tags[0]);
    EXPECT_EQ(one.version, 1);
    EXPECT_EQ(one.characterId, shape);
    EXPECT_EQ(one.matrix.value_or(swf::Matrix{9}), swf::Matrix{});
    EXPECT_EQ(one.colorTransform, expected(noAlpha));

    const auto& three = tagAs<swf::PlaceObject>(tags[1]);
    EXPECT_EQ(three.version, 3);
    EXPECT_EQ(three.characterId, shape);
    EXPECT_EQ(three.matrix, expected(Matrix::translate(5, 5)));
    EXPECT_EQ(three.colorTransform, expected(cx));
    EXPECT_EQ(three.ratio, 40000);
    EXPECT_EQ(three.name, "名字");
    EXPECT_EQ(three.clipDepth, 9);
    EXPECT_EQ(three.className, "Widget");
    ASSERT_TRUE(three.filters);
    ASSERT_EQ(three.filters->size(), 1u);
    const auto* blur = std::get_if<swf::BlurFilter>(&three.filters->front());
    ASSERT_NE(blur, nullptr);
    EXPECT_EQ(blur->blurX, 4.0);
    EXPECT_EQ(blur->blurY, 2.5);
    EXPECT_EQ(blur->passes, 3);
    EXPECT_EQ(three.blendMode, swf::BlendMode::Multiply);
    EXPECT_EQ(three.cacheAsBitmap, true);
    EXPECT_EQ(three.visible, false);
    EXPECT_EQ(three.backgroundColor, (swf::Rgba{1, 2, 3, 4}));
}

// Each optional field alone, in the second version where it has one, so that a flag in the
// wrong place shows as a field missing or another one appearing.
TEST(MovieRoundTrip, EachOptionalPlacementFieldAlone) {
    std::vector<PlaceObject> placements(9);
    placements[0].characterId = 1;
    placements[1].matrix = Matrix::translate(3, 4);
    placements[2].colorTransform = ColorTransform::alpha(0.5);
    placements[3].ratio = 7;
    placements[4].name = "n";
    placements[5].clipDepth = 5;
    placements[6].blendMode = BlendMode::Screen;
    placements[7].cacheAsBitmap = true;
    placements[8].visible = true;
    SwfWriter movie;
    box(movie);
    for (std::size_t i = 0; i < placements.size(); ++i) {
        movie.placeObject(placements[i], i < 6 ? 2 : 3);
    }
    movie.showFrame();
    const auto read = readBack(movie.finish());
    ASSERT_TRUE(read);
    const auto& tags = frameTags(*read, 0);
    ASSERT_EQ(tags.size(), placements.size());
    for (std::size_t i = 0; i < tags.size(); ++i) {
        SCOPED_TRACE("placement " + std::to_string(i));
        const auto& got = tagAs<swf::PlaceObject>(tags[i]);
        const PlaceObject& want = placements[i];
        EXPECT_EQ(got.characterId, want.characterId);
        EXPECT_EQ(got.matrix.has_value(), want.matrix.has_value());
        EXPECT_EQ(got.colorTransform.has_value(), want.colorTransform.has_value());
        EXPECT_EQ(got.ratio, want.ratio);
        EXPECT_EQ(got.name, want.name);
        EXPECT_EQ(got.clipDepth, want.clipDepth);
        EXPECT_EQ(got.blendMode.has_value(), want.blendMode.has_value());
        EXPECT_EQ(got.cacheAsBitmap, want.cacheAsBitmap);
        EXPECT_EQ(got.visible, want.visible);
        EXPECT_FALSE(got.filters);
        EXPECT_FALSE(got.backgroundColor);
        EXPECT_FALSE(got.className);
    }
}

TEST(MovieRoundTrip, SpriteKeepsItsOwnFrames) {
    SwfWriter movie;
    const uint16_t shape = box(movie);
    Sprite sprite;
    sprite.place(shape, 1);
    sprite.showFrame();
    sprite.moveObject(1, Matrix::translate(40, 0));
    sprite.doAction(Actions().stop());
    sprite.showFrame();
    const uint16_t id = movie.defineSprite(sprite);
    EXPECT_EQ(id, 2);
    movie.exportAssets(id, "Spinner");
    movie.place(id, 1);
    movie.showFrame();

    const auto read = readBack(movie.finish());
    ASSERT_TRUE(read);
    const auto* readSprite = read->findAs<swf::Sprite>(id);
    ASSERT_NE(readSprite, nullptr);
    EXPECT_EQ(readSprite->timeline.declaredFrameCount, 2);
    ASSERT_EQ(readSprite->timeline.frames.size(), 2u);
    EXPECT_EQ(readSprite->timeline.frames[0].tags.size(), 1u);
    const auto& second = readSprite->timeline.frames[1].tags;
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(tagAs<swf::PlaceObject>(second[0]).matrix, expected(Matrix::translate(40, 0)));
    EXPECT_EQ(tagAs<swf::DoAction>(second[1]).actions.actions.at(0).code, swf::op::Stop);
    EXPECT_EQ(read->root.frames.size(), 1u);
    ASSERT_TRUE(read->exports.contains("Spinner"));
    EXPECT_EQ(read->exports.at("Spinner"), id);
}

TEST(MovieRoundTrip, TimelineActionsAndTheirOperands) {
    Actions actions;
    actions.stop().play().nextFrame().previousFrame().gotoFrame(300).gotoLabel("end");
    actions.setTarget("/clip").getUrl("http://example.org/", "_blank").gotoFrame2(true);
    SwfWriter movie;
    movie.doAction(actions);
    movie.showFrame();
    const auto read = readBack(movie.finish());
    ASSERT_TRUE(read);
    const auto& block = tagAs<swf::DoAction>(frameTags(*read, 0).at(0)).actions;
    EXPECT_FALSE(block.truncated);
    EXPECT_EQ(block.bytes.size(), actions.bytes().size());
    ASSERT_EQ(block.actions.size(), 9u);
    const uint8_t codes[] = {swf::op::Stop,          swf::op::Play,      swf::op::NextFrame,
                             swf::op::PreviousFrame, swf::op::GotoFrame, swf::op::GotoLabel,
                             swf::op::SetTarget,     swf::op::GetUrl,    swf::op::GotoFrame2};
    for (std::size_t i = 0; i < block.actions.size(); ++i) {
        EXPECT_EQ(block.actions[i].code, codes[i]) << "action " << i;
    }
    EXPECT_EQ(block.actions[4].frame, 300);
    EXPECT_EQ(block.actions[5].text, "end");
    EXPECT_EQ(block.actions[6].text, "/clip");
    EXPECT_EQ(block.actions[7].text, "http://example.org/");
    EXPECT_EQ(block.actions[7].target, "_blank");
    EXPECT_TRUE(block.actions[8].play);
}

TEST(MovieRoundTrip, ButtonRecordsAndConditionBlocks) {
    SwfWriter movie;
    const uint16_t shape = box(movie);
    Button button;
    button.trackAsMenu = true;
    ColorTransform dim = ColorTransform::alpha(0.25);
    button.records.push_back({0x01, shape, 1, Matrix::translate(10, 10), {}});
    button.records.push_back({0x0E, shape, 2, Matrix::scale(2, 2), dim});
    button.conditions.push_back({0x0008, Actions().play()});
    button.conditions.push_back({0x0001, Actions().gotoFrame(0).stop()});
    const uint16_t id = movie.defineButton2(button);
    movie.place(id, 1);
    movie.showFrame();

    const auto read = readBack(movie.finish());
    ASSERT_TRUE(read);
    const auto* readButton = read->findAs<swf::Button>(id);
    ASSERT_NE(readButton, nullptr);
    EXPECT_EQ(readButton->version, 2);
    EXPECT_TRUE(readButton->trackAsMenu);
    ASSERT_EQ(readButton->records.size(), 2u);
    EXPECT_EQ(readButton->records[0].states, 0x01);
    EXPECT_EQ(readButton->records[0].characterId, shape);
    EXPECT_EQ(readButton->records[0].matrix, expected(Matrix::translate(10, 10)));
    EXPECT_EQ(readButton->records[1].states, 0x0E);
    EXPECT_EQ(readButton->records[1].depth, 2);
    EXPECT_EQ(readButton->records[1].colorTransform, expected(dim));
    ASSERT_EQ(readButton->actions.size(), 2u);
    EXPECT_EQ(readButton->actions[0].conditions, 0x0008);
    ASSERT_EQ(readButton->actions[0].actions.actions.size(), 1u);
    EXPECT_EQ(readButton->actions[0].actions.actions[0].code, swf::op::Play);
    EXPECT_EQ(readButton->actions[1].conditions, 0x0001);
    ASSERT_EQ(readButton->actions[1].actions.actions.size(), 2u);
    EXPECT_EQ(readButton->actions[1].actions.actions[1].code, swf::op::Stop);
}

// A tag's length shares its first word below 63 bytes; from 63 on, the word holds 63 and a
// 32-bit length follows. Bodies around the threshold must read back whole.
TEST(MovieRoundTrip, TagLengthsAroundTheShortFormLimit) {
    for (std::size_t length : {61u, 62u, 63u, 64u, 300u}) {
        // A push of a string: 3 bytes of action header, the type byte, the text and its zero,
        // then the closing End.
        const std::string text(length - 6, 'x');
        SwfWriter movie;
        movie.doAction(Actions().push(text));
        movie.showFrame();
        const auto read = readBack(movie.finish());
        ASSERT_TRUE(read);
        const auto& block = tagAs<swf::DoAction>(frameTags(*read, 0).at(0)).actions;
        EXPECT_EQ(block.bytes.size(), length) << "body of " << length;
        EXPECT_EQ(read->root.frames.size(), 1u);
    }
}

// Authoring tools write bitmap tags in the long form whatever their length, and players
// that look for bitmap data at a fixed offset from the tag start depend on it; the reader
// takes both forms, so this one is checked byte by byte.
TEST(MovieEncoding, BitmapTagsUseTheLongHeader) {
    MovieHeader header;
    header.frameSize = {}; // an empty rectangle takes one byte
    SwfWriter movie(header);
    movie.defineBitsLossless({1, 1, {Rgba{}}});
    const auto bytes = movie.finish();
    const std::size_t tagStart = 8 + 1 + 4; // signature to length, rectangle, rate, count
    ASSERT_GT(bytes.size(), tagStart + 6);
    const unsigned word = bytes[tagStart] | bytes[tagStart + 1] << 8;
    EXPECT_EQ(word >> 6, 36u);     // DefineBitsLossless2
    EXPECT_EQ(word & 0x3F, 0x3Fu); // the long form, although the body is short
}

} // namespace
} // namespace moviemaker
