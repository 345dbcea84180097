// Signatures, header fields, compression and the tag stream.
#include "SwfBytes.h"
#include "swf/TagCodes.h"

#include <gtest/gtest.h>

using namespace swf;
using swf::test::Bytes;
using swf::test::operator+;

namespace {

std::vector<std::uint8_t> twoFrames() {
    return test::tag(tag::SetBackgroundColor, {9, 8, 7}) + test::tag(tag::ShowFrame, {}) +
           test::tag(tag::ShowFrame, {});
}

// Two frames and poorly compressible filler, so that half a compressed stream ends well
// inside the data.
std::vector<std::uint8_t> framesWithNoise() {
    std::vector<std::uint8_t> filler(3000);
    std::uint32_t seed = 12345;
    for (auto& byte : filler) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(seed >> 24);
    }
    return test::movie(twoFrames() + test::tag(200, filler), 8, 2);
}

} // namespace

TEST(MovieHeader, ReadsVersionRectangleRateAndCount) {
    Bytes body;
    body.rect(-200, 2000, 40, 1000).u16(0).u16(77).u16(0);
    Bytes file;
    file.u8('F')
        .u8('W')
        .u8('S')
        .u8(10)
        .u32(static_cast<std::uint32_t>(8 + body.size()))
        .append(body.data());
    const LoadResult result = loadMovie(file.data());
    ASSERT_TRUE(result.ok());
    const Header& h = result.movie->header;
    EXPECT_EQ(h.compression, Compression::None);
    EXPECT_EQ(h.version, 10);
    EXPECT_EQ(h.frameRect, (Rect{-200, 2000, 40, 1000}));
    EXPECT_EQ(h.frameRateRaw, 0) << "a zero rate is kept for the consumer to guard";
    EXPECT_EQ(h.frameCount, 77);
    EXPECT_TRUE(result.movie->diagnostics.empty());

    Header quick;
    ASSERT_TRUE(readHeader(file.data(), quick));
    EXPECT_EQ(quick.frameRect, h.frameRect);
    EXPECT_EQ(quick.frameCount, 77);
}

TEST(MovieHeader, RefusesNonMovies) {
    EXPECT_EQ(loadMovie(std::vector<std::uint8_t>{'F', 'W', 'S'}).error, LoadError::NotSwf);
    EXPECT_EQ(loadMovie(std::vector<std::uint8_t>{'G', 'W', 'S', 8, 0, 0, 0, 0}).error,
              LoadError::NotSwf);
    Header h;
    EXPECT_FALSE(readHeader(std::vector<std::uint8_t>{'x'}, h));
}

struct Compressor {
    const char* name;
    Compression kind;
    std::vector<std::uint8_t> (*compress)(const std::vector<std::uint8_t>&);
};

class Compressed : public ::testing::TestWithParam<Compressor> {
  protected:
    std::vector<std::uint8_t> pack(const std::vector<std::uint8_t>& fws) const {
        return GetParam().compress(fws);
    }
};

INSTANTIATE_TEST_SUITE_P(Both, Compressed,
                         ::testing::Values(Compressor{"zlib", Compression::Zlib, &test::compressed},
                                           Compressor{"lzma", Compression::Lzma,
                                                      &test::lzmaCompressed}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(Compressed, MovieLoadsLikeTheUncompressedOne) {
    const auto fws = test::movie(twoFrames(), 9, 2);
    const LoadResult packed = loadMovie(pack(fws));
    ASSERT_TRUE(packed.ok());
    EXPECT_EQ(packed.movie->header.compression, GetParam().kind);
    EXPECT_EQ(packed.movie->header.version, 9);
    EXPECT_EQ(packed.movie->root.frames.size(), 2u);
    EXPECT_TRUE(std::equal(fws.begin() + 8, fws.end(), packed.movie->bytes().begin() + 8,
                           packed.movie->bytes().end()));
    EXPECT_TRUE(packed.movie->diagnostics.empty());

    Header h;
    ASSERT_TRUE(readHeader(pack(fws), h));
    EXPECT_EQ(h.compression, GetParam().kind);
    EXPECT_EQ(h.frameCount, 2);
    EXPECT_EQ(h.frameRateRaw, 12 << 8);
}

TEST_P(Compressed, DecodesNoMoreThanTheDeclaredLengthOrTheCap) {
    // 5000 bytes of unknown tag padding compress to almost nothing.
    const std::vector<std::uint8_t> padding(5000, 0);
    const auto fws = test::movie(test::tag(200, padding) + twoFrames(), 8, 2);
    const auto packed = pack(fws);

    auto shortDeclared = packed;
    const std::uint32_t declared = 8 + 100;
    shortDeclared[4] = declared & 0xFF;
    shortDeclared[5] = (declared >> 8) & 0xFF;
    shortDeclared[6] = shortDeclared[7] = 0;
    const LoadResult cut = loadMovie(shortDeclared);
    ASSERT_TRUE(cut.ok());
    EXPECT_EQ(cut.movie->bytes().size(), declared);
    EXPECT_TRUE(cut.movie->has(Issue::TagTruncated));

    LoadLimits limits;
    limits.maxBodyBytes = 1000;
    const LoadResult capped = loadMovie(packed, limits);
    ASSERT_TRUE(capped.ok());
    EXPECT_EQ(capped.movie->bytes().size(), 8u + 1000u);
    EXPECT_TRUE(capped.movie->has(Issue::SizeCapReached));
}

TEST_P(Compressed, TruncatedStreamGivesWhatWasDecoded) {
    auto packed = pack(framesWithNoise());
    packed.resize(packed.size() / 2);
    const LoadResult result = loadMovie(packed);
    ASSERT_TRUE(result.ok());
    EXPECT_TRUE(result.movie->has(Issue::BodyShorterThanDeclared));
    EXPECT_EQ(result.movie->root.frames.size(), 2u);
    EXPECT_FALSE(result.movie->has(Issue::CompressedDataCorrupt));
}

TEST(ZlibCompression, DamagedStreamGivesWhatWasInflated) {
    // A stored block with the first part of the body, then a block of the reserved type.
    const auto fws = framesWithNoise();
    const std::size_t keep = 40;
    std::vector<std::uint8_t> broken(fws.begin(), fws.begin() + 8);
    broken[0] = 'C';
    broken.insert(broken.end(), {0x78, 0x01, 0x00, keep, 0x00, 0xFF - keep, 0xFF});
    broken.insert(broken.end(), fws.begin() + 8, fws.begin() + 8 + keep);
    broken.push_back(0x07);
    const LoadResult damaged = loadMovie(broken);
    ASSERT_TRUE(damaged.ok());
    EXPECT_EQ(damaged.movie->bytes().size(), 8 + keep);
    EXPECT_TRUE(damaged.movie->has(Issue::CompressedDataCorrupt));
}

TEST(LzmaCompression, HostileHeaderFieldsCostNothing) {
    const auto fws = framesWithNoise();
    // A dictionary of 4 GiB is never needed for a small body: the movie still loads.
    auto hugeDictionary = test::lzmaCompressed(fws);
    std::fill_n(hugeDictionary.begin() + 13, 4, 0xFF);
    const LoadResult huge = loadMovie(hugeDictionary);
    ASSERT_TRUE(huge.ok());
    EXPECT_EQ(huge.movie->bytes().size(), fws.size());

    // Properties beyond the valid range (lc, lp and pb combinations stop at 224).
    auto badProperties = test::lzmaCompressed(fws);
    badProperties[12] = 225;
    EXPECT_EQ(loadMovie(badProperties).error, LoadError::NoBody);

    // The eight bytes and nothing of the LZMA header.
    auto headerOnly = test::lzmaCompressed(fws);
    headerOnly.resize(10);
    EXPECT_EQ(loadMovie(headerOnly).error, LoadError::NoBody);
}

TEST(TagStream, LongHeadersUnknownTagsAndTrailingFrame) {
    const auto tags = test::tag(tag::SetBackgroundColor, {1, 1, 1}, true) +
                      test::tag(tag::Metadata, {'<', 'x', '/', '>', 0}) +
                      test::tag(1000 & 0x3FF, {1, 2, 3}) + test::tag(tag::ShowFrame, {}) +
                      test::tag(tag::SetBackgroundColor, {2, 2, 2});
    auto m = test::load(tags);
    ASSERT_EQ(m->root.frames.size(), 2u) << "tags after the last ShowFrame form a frame";
    EXPECT_EQ(std::get<SetBackgroundColor>(m->root.frames[0].tags.at(0)).color.r, 1);
    EXPECT_EQ(m->root.frames[0].tags.size(), 1u);
    EXPECT_EQ(std::get<SetBackgroundColor>(m->root.frames[1].tags.at(0)).color.r, 2);
    EXPECT_TRUE(m->diagnostics.empty());
}

TEST(TagStream, TagLongerThanTheFileIsCutToWhatRemains) {
    Bytes label;
    label.u16(tag::FrameLabel << 6 | 0x3F).u32(1000).str("last");
    const LoadResult result = loadMovie(test::movie(label.data(), 8, 1, false));
    ASSERT_TRUE(result.ok());
    const Movie& m = *result.movie;
    EXPECT_TRUE(m.has(Issue::TagTruncated));
    EXPECT_TRUE(m.has(Issue::MissingEnd));
    ASSERT_EQ(m.root.frames.size(), 1u);
    EXPECT_EQ(std::get<FrameLabel>(m.root.frames[0].tags.at(0)).label, "last");
}

TEST(TagStream, HalfATagHeaderEndsTheStream) {
    auto file = test::movie(test::tag(tag::ShowFrame, {}), 8, 1, false);
    file.push_back(0x40);
    const LoadResult result = loadMovie(file);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.movie->root.frames.size(), 1u);
    EXPECT_TRUE(result.movie->has(Issue::TagTruncated));
}

TEST(TagStream, SecondDefinitionOfAnIdKeepsTheFirst) {
    Bytes a;
    a.u16(3).str("first");
    Bytes first;
    first.u16(3).rect(0, 0, 0, 0).identity().u8(1).u8(1).u8(0);
    Bytes second;
    second.u16(3).rect(0, 9, 0, 9).identity().u8(1).u8(1).u8(0);
    auto m = test::load(test::tag(tag::DefineText, first.data()) +
                        test::tag(tag::DefineText, second.data()));
    ASSERT_NE(m->findAs<StaticText>(3), nullptr);
    EXPECT_EQ(m->findAs<StaticText>(3)->bounds.xMax, 0);
    EXPECT_TRUE(m->has(Issue::DuplicateCharacter));
    EXPECT_EQ(m->find(4), nullptr);
}

TEST(TagStream, SoundTagsStayInTheirFramesUndecoded) {
    auto m =
        test::load(test::tag(tag::SoundStreamHead, {1, 2, 3, 4}) + test::tag(tag::ShowFrame, {}) +
                   test::tag(tag::SoundStreamBlock, {9, 9}) + test::tag(tag::ShowFrame, {}));
    ASSERT_EQ(m->root.frames.size(), 2u);
    const auto& head = std::get<RawControlTag>(m->root.frames[0].tags.at(0));
    EXPECT_EQ(head.code, tag::SoundStreamHead);
    EXPECT_EQ(head.body.size(), 4u);
    EXPECT_EQ(std::get<RawControlTag>(m->root.frames[1].tags.at(0)).body[1], 9);
}

TEST(TagStream, NameExportedTwiceNamesTheLaterCharacter) {
    Bytes first;
    first.u16(2).u16(2).str("test").u16(5).str("other");
    Bytes second;
    second.u16(1).u16(4).str("test");
    auto m =
        test::load(test::tag(tag::ExportAssets, first.data()) +
                   test::tag(tag::ExportAssets, second.data()) + test::tag(tag::ShowFrame, {}));
    EXPECT_EQ(m->exports.at("test"), 4);
    EXPECT_EQ(m->exports.at("other"), 5);
    EXPECT_EQ(m->exports.size(), 2u);
}

TEST(TagStream, ScalingGridsAreKeptByIdTheLaterOneWinning) {
    Bytes first;
    first.u16(3).rect(100, 300, 50, 150);
    Bytes second;
    second.u16(3).rect(-20, 40, 60, 80);
    Bytes other;
    other.u16(7).rect(0, 10, 0, 10);
    Bytes cut; // an id and half a rectangle
    cut.u16(9).u8(0x80);
    auto m =
        test::load(test::tag(tag::DefineScalingGrid, first.data()) +
                   test::tag(tag::DefineScalingGrid, other.data()) +
                   test::tag(tag::DefineScalingGrid, second.data()) +
                   test::tag(tag::DefineScalingGrid, cut.data()) + test::tag(tag::ShowFrame, {}));
    ASSERT_EQ(m->scalingGrids.size(), 2u);
    EXPECT_EQ(m->scalingGrids.at(3), (Rect{-20, 40, 60, 80}));
    EXPECT_EQ(m->scalingGrids.at(7), (Rect{0, 10, 0, 10}));
}

TEST(TagStream, EachFrameHoldsItsEntriesWithoutSpareRoom) {
    Bytes place;
    place.u8(0x02).u16(1).u16(1);
    // Frame 1: three entries around tags that make none; frame 2: one; a final frame without
    // ShowFrame: two. A truncated last tag still joins its frame.
    const auto tags = test::tag(tag::PlaceObject2, place.data()) + test::tag(tag::DoAction, {0}) +
                      test::tag(777, {1, 2, 3}) + test::tag(tag::FrameLabel, {'a', 0}) +
                      test::tag(tag::ShowFrame, {}) + test::tag(tag::RemoveObject2, {1, 0}) +
                      test::tag(tag::ShowFrame, {}) +
                      test::tag(tag::SetBackgroundColor, {1, 2, 3}) +
                      test::tag(tag::PlaceObject2, place.data());
    auto file = test::movie(tags, 8, 3, false);
    file.insert(file.end(), {0x05, 0x03, 1}); // DoAction claiming 5 bytes with 1 left
    const LoadResult result = loadMovie(file);
    ASSERT_TRUE(result.ok());
    const auto& frames = result.movie->root.frames;
    ASSERT_EQ(frames.size(), 3u);
    const std::size_t expected[] = {3, 1, 3};
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].tags.size(), expected[i]) << i;
        EXPECT_EQ(frames[i].tags.capacity(), frames[i].tags.size()) << i;
    }
    EXPECT_TRUE(result.movie->has(Issue::TagTruncated));
}
