#include "BitString.h"
#include "testsupport/SwfWriter.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <stdexcept>

namespace swftest {
namespace {

using testing::bits;
using testing::concat;
using Bytes = std::vector<uint8_t>;

Bytes tagOf(uint16_t code, std::size_t length) {
    BitWriter w;
    writeTag(w, code, Bytes(length, 0xAA));
    return w.take();
}

// The tags a timeline wrote, without the movie around them.
Bytes tagsOf(const Timeline& t) {
    return t.tagBytes();
}

TEST(TagHeader, ShortFormBelowSixtyThreeBytes) {
    const Bytes t = tagOf(2, 62);
    EXPECT_EQ(t.size(), 64u);
    EXPECT_EQ(t[0], 0xBE); // code 2 << 6 | 62
    EXPECT_EQ(t[1], 0x00);
}

TEST(TagHeader, LongFormFromSixtyThreeBytes) {
    const Bytes t = tagOf(2, 63);
    ASSERT_EQ(t.size(), 69u);
    EXPECT_EQ(Bytes(t.begin(), t.begin() + 6), (Bytes{0xBF, 0x00, 0x3F, 0x00, 0x00, 0x00}));
}

TEST(TagHeader, ForcedLongFormAndCodeLimit) {
    BitWriter w;
    writeTag(w, TagCode::ShowFrame, {}, true);
    EXPECT_EQ(w.data(), (Bytes{0x7F, 0x00, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_THROW(writeTag(w, 0x400, {}), std::out_of_range);
}

TEST(MovieEncoding, SmallestMovieByteForByte) {
    SwfWriter movie;
    movie.showFrame();
    const Bytes expected{0x46, 0x57, 0x53, 0x0A, 0x19, 0x00, 0x00, 0x00,       // FWS 10, 25 bytes
                         0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00, // 550 x 400
                         0x00, 0x18, 0x01, 0x00,                               // 24 fps, 1 frame
                         0x40, 0x00, 0x00, 0x00};                              // show frame, end
    EXPECT_EQ(movie.finish(), expected);
}

TEST(MovieEncoding, HeaderFieldsFollowTheSettings) {
    MovieHeader header;
    header.version = 6;
    header.frameSize = {0, 20, 0, 20};
    header.frameRate = 12.5;
    header.frameCountOverride = 300;
    SwfWriter movie(header);
    movie.setBackgroundColor({0x11, 0x22, 0x33});
    const Bytes expected = concat({{'F', 'W', 'S', 6, 0x17, 0x00, 0x00, 0x00},
                                   bits("00110 000000 010100 000000 010100"),
                                   {0x80, 0x0C, 0x2C, 0x01},
                                   {0x43, 0x02, 0x11, 0x22, 0x33}, // background colour
                                   {0x00, 0x00}});
    EXPECT_EQ(movie.finish(), expected);
}

TEST(MovieEncoding, CompressedMovieKeepsTheUncompressedLength) {
    const auto build = [](bool compressed) {
        MovieHeader header;
        header.compressed = compressed;
        SwfWriter movie(header);
        Shape box;
        box.fill1(box.addFill(FillStyle::solid({200, 10, 10}))).rectangle(0, 0, 400, 300);
        movie.place(movie.defineShape(box), 1);
        movie.showFrame();
        movie.showFrame();
        return movie.finish();
    };
    const Bytes plain = build(false);
    const Bytes packed = build(true);
    ASSERT_GT(packed.size(), 8u);
    EXPECT_EQ(packed[0], 'C');
    EXPECT_EQ(Bytes(packed.begin() + 1, packed.begin() + 8),
              Bytes(plain.begin() + 1, plain.begin() + 8));

    Bytes unpacked(plain.size() - 8 + 16);
    uLongf size = static_cast<uLongf>(unpacked.size());
    ASSERT_EQ(uncompress(unpacked.data(), &size, packed.data() + 8,
                         static_cast<uLong>(packed.size() - 8)),
              Z_OK);
    unpacked.resize(size);
    EXPECT_EQ(unpacked, Bytes(plain.begin() + 8, plain.end()));
}

TEST(MovieEncoding, CharacterIdsCountUpFromOne) {
    SwfWriter movie;
    Shape s;
    EXPECT_EQ(movie.nextId(), 1);
    EXPECT_EQ(movie.defineShape(s), 1);
    EXPECT_EQ(movie.defineShape(s, 1), 2);
    EXPECT_EQ(movie.defineSprite(Sprite{}), 3);
    EXPECT_THROW(movie.defineShape(s, 5), std::invalid_argument);
    EXPECT_EQ(movie.nextId(), 4); // a refused definition takes no id
}

TEST(PlaceObjectEncoding, SecondVersionPlacement) {
    Timeline t;
    t.place(1, 1);
    EXPECT_EQ(tagsOf(t), (Bytes{0x86, 0x06, 0x06, 0x01, 0x00, 0x01, 0x00, 0x00}));
}

TEST(PlaceObjectEncoding, SecondVersionWithEveryOptionalField) {
    PlaceObject p;
    p.depth = 3;
    p.move = true;
    p.matrix = Matrix::translate(20, -20);
    p.colorTransform = ColorTransform::alpha(0.5);
    p.ratio = 7;
    p.name = "a";
    p.clipDepth = 9;
    p.blendMode = BlendMode::Add; // not in this version: left out
    const Bytes expected = concat({{0x7D, 0x03, 0x00},
                                   bits("0 0 00110 010100 101100"),
                                   bits("0 1 1010 0100000000 0100000000 0100000000 0010000000"),
                                   {0x07, 0x00, 'a', 0x00, 0x09, 0x00}});
    EXPECT_EQ(encodePlaceObject(p, 2), expected);
}

TEST(PlaceObjectEncoding, ThirdVersionFieldsInTheirOrder) {
    PlaceObject p;
    p.characterId = 2;
    p.className = "Foo";
    p.filters = blurFilterList(4, 4, 1);
    p.blendMode = BlendMode::Multiply;
    p.cacheAsBitmap = true;
    p.visible = false;
    p.backgroundColor = Rgba{0x11, 0x22, 0x33, 0x44};
    const Bytes expected{0x02, 0x6F, 0x01, 0x00, 'F',  'o',  'o',  0x00, 0x02, 0x00,
                         0x01, 0x01, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x04, 0x00,
                         0x08, 0x03, 0x01, 0x00, 0x11, 0x22, 0x33, 0x44};
    EXPECT_EQ(encodePlaceObject(p, 3), expected);
}

TEST(PlaceObjectEncoding, FirstVersionNeedsACharacter) {
    PlaceObject p;
    p.depth = 2;
    EXPECT_THROW(encodePlaceObject(p, 1), std::invalid_argument);
    p.characterId = 1;
    EXPECT_EQ(encodePlaceObject(p, 1), (Bytes{0x01, 0x00, 0x02, 0x00, 0x00}));
    ColorTransform cx;
    cx.redAdd = -1;
    p.colorTransform = cx;
    EXPECT_EQ(encodePlaceObject(p, 1),
              concat({{0x01, 0x00, 0x02, 0x00, 0x00}, bits("1 0 0001 1 0 0")}));
    EXPECT_THROW(encodePlaceObject(p, 4), std::invalid_argument);
}

TEST(TimelineTags, RemoveLabelAndFrames) {
    Timeline t;
    t.removeObject(1, 2);
    t.removeObject(2);
    t.frameLabel("go");
    t.frameLabel("go", true);
    t.showFrame();
    t.showFrame();
    EXPECT_EQ(tagsOf(t), (Bytes{0x44, 0x01, 0x01, 0x00, 0x02, 0x00, // remove, first
                                0x02, 0x07, 0x02, 0x00,             // remove, second
                                0xC3, 0x0A, 'g',  'o',  0x00,       // label
                                0xC4, 0x0A, 'g',  'o',  0x00, 0x01, // named anchor
                                0x40, 0x00, 0x40, 0x00}));
    EXPECT_EQ(t.frameCount(), 2);
}

TEST(TimelineTags, ActionsEncodeCodesAndPayloads) {
    Actions a;
    a.play().stop().nextFrame().previousFrame().gotoFrame(0x0105).gotoLabel("end");
    EXPECT_EQ(a.bytes(), (Bytes{0x06, 0x07, 0x04, 0x05, 0x81, 0x02, 0x00, 0x05, 0x01, 0x8C, 0x04,
                                0x00, 'e', 'n', 'd', 0x00, 0x00}));
    Timeline t;
    t.doAction(Actions().stop());
    EXPECT_EQ(tagsOf(t), (Bytes{0x02, 0x03, 0x07, 0x00}));
}

TEST(SpriteEncoding, OwnFramesAndEndTag) {
    Sprite sprite;
    sprite.place(1, 1);
    sprite.showFrame();
    SwfWriter movie;
    movie.defineSprite(sprite);
    EXPECT_EQ(movie.tagBytes(), (Bytes{0xD0, 0x09, 0x01, 0x00, 0x01, 0x00, // id 1, 1 frame
                                       0x86, 0x06, 0x06, 0x01, 0x00, 0x01, 0x00, 0x00, // place
                                       0x40, 0x00, 0x00, 0x00}));
}

} // namespace
} // namespace swftest
