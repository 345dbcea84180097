// DefineVideoStream and the VideoFrame tags that fill it.
#include "SwfBytes.h"
#include "swf/TagCodes.h"

#include <gtest/gtest.h>

using namespace swf;
using swf::test::Bytes;
using swf::test::operator+;

namespace {

Bytes stream(std::uint16_t id, std::uint8_t flags, std::uint8_t codec) {
    Bytes b;
    b.u16(id).u16(3).u16(320).u16(240).u8(flags).u8(codec);
    return b;
}

Bytes frame(std::uint16_t id, std::uint16_t number, const std::vector<std::uint8_t>& data) {
    Bytes b;
    b.u16(id).u16(number).append(data);
    return b;
}

} // namespace

TEST(Video, StreamFieldsAndItsFramesByNumber) {
    auto m = test::load(test::tag(tag::DefineVideoStream, stream(4, 0x07, 2).data()) +
                        test::tag(tag::VideoFrame, frame(4, 1, {0xAA, 0xBB}).data()) +
                        test::tag(tag::VideoFrame, frame(4, 0, {0x01}).data()) +
                        test::tag(tag::VideoFrame, frame(4, 1, {0xCC}).data()) +
                        test::tag(tag::VideoFrame, frame(9, 2, {0x02}).data()));
    const auto* v = m->findAs<VideoStream>(4);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->frameCount, 3);
    EXPECT_EQ(v->width, 320);
    EXPECT_EQ(v->height, 240);
    EXPECT_EQ(v->deblocking, 3);
    EXPECT_TRUE(v->smoothing);
    EXPECT_EQ(v->codec, static_cast<std::uint8_t>(VideoCodec::SorensonH263));
    ASSERT_EQ(v->frames.size(), 2u) << "the unknown stream's frame is dropped";
    ASSERT_EQ(v->frames.at(1).size(), 2u) << "the first frame under a number wins";
    EXPECT_EQ(v->frames.at(1)[0], 0xAA);
    EXPECT_EQ(v->frames.at(0)[0], 0x01);
    EXPECT_EQ(m->findAs<VideoStream>(9), nullptr);
}

TEST(Video, ShortTagsAreCheckedAgainstTheirLength) {
    Bytes shortStream;
    shortStream.u16(5).u16(1).u16(16);
    auto m = test::load(test::tag(tag::DefineVideoStream, shortStream.data()) +
                        test::tag(tag::DefineVideoStream, stream(6, 0, 2).data()) +
                        test::tag(tag::VideoFrame, Bytes().u16(6).u8(0).data()) +
                        test::tag(tag::VideoFrame, frame(6, 7, {}).data()));
    EXPECT_TRUE(m->has(Issue::RecordOverrun));
    const auto* v = m->findAs<VideoStream>(6);
    ASSERT_NE(v, nullptr);
    ASSERT_EQ(v->frames.size(), 1u) << "a frame tag without its number is dropped";
    EXPECT_TRUE(v->frames.at(7).empty());
}
