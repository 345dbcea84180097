#include "H263Header.h"

#include <gtest/gtest.h>

#include "moviemaker/BitWriter.h"
#include "moviemaker/Video.h"

namespace {

using video::HeaderError;
using video::PictureHeader;

HeaderError parse(const std::vector<std::uint8_t>& bytes, PictureHeader& header) {
    video::BitStream in(bytes);
    return video::readPictureHeader(in, header);
}

// Start code, version, temporal reference, then whatever the case needs.
moviemaker::BitWriter headerStart(std::uint32_t startCode = 1, std::uint32_t version = 0) {
    moviemaker::BitWriter w;
    w.ub(startCode, 17);
    w.ub(version, 5);
    w.ub(7, 8);
    return w;
}

TEST(H263Header, ReadsCustomSizesTypeAndQuantiser) {
    PictureHeader h;
    ASSERT_EQ(parse(moviemaker::H263Frame(moviemaker::H263Frame::Inter, 200, 40, 17, 1).take(), h),
              HeaderError::None);
    EXPECT_EQ(h.width, 200);
    EXPECT_EQ(h.height, 40);
    EXPECT_EQ(h.type, video::PictureType::Inter);
    EXPECT_EQ(h.quantiser, 17);
    EXPECT_EQ(h.version, 1);

    ASSERT_EQ(
        parse(moviemaker::H263Frame(moviemaker::H263Frame::DisposableInter, 1024, 8, 3).take(), h),
        HeaderError::None);
    EXPECT_EQ(h.width, 1024);
    EXPECT_EQ(h.height, 8);
    EXPECT_EQ(h.type, video::PictureType::DisposableInter);
}

TEST(H263Header, FixedSizeCodesAndExtraInformationAreRead) {
    struct Case {
        std::uint32_t code;
        std::uint16_t w, h;
    };
    for (const Case c : {Case{2, 352, 288}, Case{3, 176, 144}, Case{4, 128, 96}, Case{5, 320, 240},
                         Case{6, 160, 120}}) {
        moviemaker::BitWriter w = headerStart();
        w.ub(c.code, 3);
        w.ub(0, 2);    // intra
        w.ub(1, 1);    // deblocking
        w.ub(9, 5);    // quantiser
        w.ub(1, 1);    // one extra information byte follows
        w.ub(0xAB, 8); //
        w.ub(0, 1);
        w.ub(0x5, 3); // the first macroblock's bits
        const auto bytes = w.take();
        video::BitStream in(bytes);
        PictureHeader h;
        ASSERT_EQ(video::readPictureHeader(in, h), HeaderError::None) << c.code;
        EXPECT_EQ(h.width, c.w);
        EXPECT_EQ(h.height, c.h);
        EXPECT_TRUE(h.deblocking);
        EXPECT_EQ(h.quantiser, 9);
        EXPECT_EQ(h.temporalReference, 7);
        EXPECT_EQ(in.bits(3), 0x5u) << "the stream must stop at the first macroblock";
    }
}

TEST(H263Header, RefusesWhatIsNotAPicture) {
    PictureHeader h;
    EXPECT_EQ(parse({}, h), HeaderError::Truncated);
    EXPECT_EQ(parse({0x00, 0x00, 0x80}, h), HeaderError::Truncated);

    const auto withSize = [](moviemaker::BitWriter w, std::uint32_t code, std::uint32_t type,
                             std::uint32_t quantiser) {
        w.ub(code, 3);
        if (code == 0) {
            w.ub(16, 8);
            w.ub(16, 8);
        }
        w.ub(type, 2);
        w.ub(0, 1);
        w.ub(quantiser, 5);
        w.ub(0, 1);
        return w.take();
    };
    EXPECT_EQ(parse(withSize(headerStart(2), 0, 0, 4), h), HeaderError::BadStartCode);
    EXPECT_EQ(parse(withSize(headerStart(1, 2), 0, 0, 4), h), HeaderError::BadVersion);
    EXPECT_EQ(parse(withSize(headerStart(), 7, 0, 4), h), HeaderError::BadSize);
    EXPECT_EQ(parse(withSize(headerStart(), 0, 3, 4), h), HeaderError::BadType);
    EXPECT_EQ(parse(withSize(headerStart(), 0, 0, 0), h), HeaderError::BadQuantiser);

    moviemaker::BitWriter zero = headerStart();
    zero.ub(0, 3);
    zero.ub(0, 8);
    zero.ub(16, 8);
    zero.ub(0, 9);
    EXPECT_EQ(parse(zero.take(), h), HeaderError::BadSize);

    EXPECT_EQ(parse(moviemaker::H263Frame(moviemaker::H263Frame::Intra, 5000, 16, 4).take(), h),
              HeaderError::BadSize);

    // Extra information announced but cut off at the end of the data.
    moviemaker::BitWriter endless = headerStart();
    endless.ub(3, 3);
    endless.ub(4, 8);
    for (int i = 0; i < 6; ++i) {
        endless.ub(0x1FF, 9);
    }
    endless.ub(1, 1); // 96 bits: one more byte announced, none left
    EXPECT_EQ(parse(endless.take(), h), HeaderError::Truncated);
}

} // namespace
