#include "Deblock.h"

#include <gtest/gtest.h>

#include "H263Decoder.h"
#include "VideoDecoder.h"
#include "moviemaker/Video.h"

namespace {

struct Edge {
    std::uint8_t a, b, c, d;
};

Edge filtered(Edge e, int strength) {
    video::filterEdge(e.a, e.b, e.c, e.d, strength);
    return e;
}

TEST(Deblock, SmallStepsSoftenAndLargeOnesStay) {
    Edge e = filtered({100, 100, 104, 104}, 4);
    EXPECT_EQ(e.b, 101);
    EXPECT_EQ(e.c, 103);
    EXPECT_EQ(e.a, 100) << "too small a step to reach the outer samples";
    EXPECT_EQ(e.d, 104);

    e = filtered({100, 100, 116, 116}, 12);
    EXPECT_EQ(e.b, 106);
    EXPECT_EQ(e.c, 110);
    EXPECT_EQ(e.a, 103) << "outer samples move by at most half the inner change";
    EXPECT_EQ(e.d, 113);

    e = filtered({116, 116, 100, 100}, 12);
    EXPECT_EQ(e.b, 110);
    EXPECT_EQ(e.c, 106);

    // A real edge, well past twice the strength, is left alone.
    e = filtered({0, 0, 200, 200}, 2);
    EXPECT_EQ(e.b, 0);
    EXPECT_EQ(e.c, 200);
    // Half way up the ramp down: a step of 1.5 strengths is corrected by half a strength.
    e = filtered({0, 0, 16, 16}, 4);
    EXPECT_EQ(e.b, 2);
    EXPECT_EQ(e.c, 14);
}

TEST(Deblock, TheHeaderFlagFiltersBlockEdgesUnlessTheStreamTurnsTheFilterOff) {
    using moviemaker::H263Frame;
    // `stream` is DefineVideoStream's deblocking setting: 0 leaves it to the frame.
    const auto decode = [](bool deblocking, int stream = 0) {
        video::VideoDecoder d(video::VideoDecoder::kSorenson, 32, 16, stream);
        H263Frame f(H263Frame::Intra, 32, 16, 31, 0, deblocking);
        f.intraFlat({100, 100, 100, 100, 128, 128}).intraFlat({108, 108, 108, 108, 128, 128});
        EXPECT_TRUE(d.decode(f.take()));
        return d.picture();
    };
    const video::YuvPicture plain = decode(false);
    EXPECT_EQ(plain.y.row(4)[15], 100);
    EXPECT_EQ(plain.y.row(4)[16], 108);

    const video::YuvPicture soft = decode(true);
    EXPECT_EQ(soft.y.row(4)[14], 101);
    EXPECT_EQ(soft.y.row(4)[15], 103);
    EXPECT_EQ(soft.y.row(4)[16], 105);
    EXPECT_EQ(soft.y.row(4)[17], 107);
    EXPECT_EQ(soft.y.row(4)[8], 100) << "edges inside a flat macroblock have no step";

    // Flash shows a stream whose setting is "off" unfiltered, whatever its frames ask for.
    const video::YuvPicture off = decode(true, video::VideoDecoder::kDeblockingOff);
    EXPECT_EQ(off.y.row(4)[15], 100);
    EXPECT_EQ(off.y.row(4)[16], 108);
    // A level above "off" still filters a frame that asks for it.
    EXPECT_EQ(decode(true, 2).y.row(4)[15], 103);
}

} // namespace
