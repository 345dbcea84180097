#include "Vp6Decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "Vp6BoolDecoder.h"
#include "Vp6Huffman.h"
#include "Vp6Stream.h"
#include "Vp6Writer.h"

namespace {

using video::Vp6Decoder;
using video::YuvPicture;
using vp6test::MacroblockSpec;
using vp6test::StreamWriter;
namespace vp6 = video::vp6;

// The level a flat block shows for a DC of `dc` (after prediction) at quantiser `q`: the
// two fixed-point 1/sqrt(2) passes of the transform, then the final rounding shift.
int flatLevel(int dc, int q) {
    const int coefficient = dc * (vp6::kDcDequant[static_cast<std::size_t>(q)] * 4);
    const int row = (46341 * coefficient) >> 16;
    const int column = (((46341 * row) >> 16) + 8) >> 4;
    return std::clamp(128 + column, 0, 255);
}

std::vector<MacroblockSpec> flat(int count, int type) {
    std::vector<MacroblockSpec> v(static_cast<std::size_t>(count));
    for (MacroblockSpec& s : v) {
        s.type = type;
    }
    return v;
}

// The DC differences that give each block the wanted DC: a block predicts from the
// average of its left and upper neighbours, from the one of them it has, or from the last
// block of its plane. `luma(bx, by)` is in blocks, `chroma(mbx, mby)` in macroblocks.
template <typename Luma, typename Chroma>
std::vector<MacroblockSpec> keyFrameDcs(int rows, int cols, Luma luma, Chroma chroma) {
    std::vector<MacroblockSpec> mbs = flat(rows * cols, vp6::Intra);
    int last[3] = {0, 128, 128};
    const auto predict = [&](int plane, bool hasLeft, int left, bool hasAbove, int above) {
        if (hasLeft && hasAbove) {
            return (left + above) / 2;
        }
        return hasLeft ? left : (hasAbove ? above : last[plane]);
    };
    for (int mby = 0; mby < rows; ++mby) {
        for (int mbx = 0; mbx < cols; ++mbx) {
            MacroblockSpec& s = mbs[static_cast<std::size_t>(mby * cols + mbx)];
            for (int b = 0; b < 4; ++b) {
                const int bx = mbx * 2 + (b & 1);
                const int by = mby * 2 + (b >> 1);
                const int p = predict(0, bx > 0, bx > 0 ? luma(bx - 1, by) : 0, by > 0,
                                      by > 0 ? luma(bx, by - 1) : 0);
                s.dc[b] = luma(bx, by) - p;
                last[0] = luma(bx, by);
            }
            for (int c = 0; c < 2; ++c) {
                const int p = predict(1 + c, mbx > 0, mbx > 0 ? chroma(c, mbx - 1, mby) : 0,
                                      mby > 0, mby > 0 ? chroma(c, mbx, mby - 1) : 0);
                s.dc[4 + c] = chroma(c, mbx, mby) - p;
                last[1 + c] = chroma(c, mbx, mby);
            }
        }
    }
    return mbs;
}

// A 2x2-macroblock key frame of luma blocks in a checkerboard of distinct levels, steps
// between neighbours too large for the loop filter to touch (it only smooths small ones),
// so that predictions can be checked sample by sample.
std::vector<std::uint8_t> patternKeyFrame(StreamWriter& w) {
    return w.frame(true, 30,
                   keyFrameDcs(
                       2, 2,
                       [](int bx, int by) {
                           const int level = 12 + (bx + 2 * by) % 3;
                           return (bx + by) % 2 == 0 ? level : -level;
                       },
                       [](int c, int mbx, int mby) { return (c == 0 ? 6 : -4) * (mbx - mby); }));
}

TEST(Vp6Decoder, KeyFrameBlocksTakeTheirPredictedDc) {
    StreamWriter w(1, 1);
    MacroblockSpec mb;
    // Differences from the prediction: none for the first block, the left one for the second,
    // the one above for the third, the average of both for the fourth; chroma starts at 128.
    mb.dc[0] = 3;
    mb.dc[1] = -1;   // 2
    mb.dc[2] = 2;    // 5
    mb.dc[3] = 0;    // (5 + 2) / 2 = 3
    mb.dc[4] = -118; // 10
    mb.dc[5] = -138; // -10
    Vp6Decoder d(false, 0, 0);
    ASSERT_TRUE(d.decode(w.frame(true, 20, {mb})));
    const YuvPicture& p = d.picture();
    ASSERT_EQ(p.width, 16);
    ASSERT_EQ(p.height, 16);
    const int expected[4] = {flatLevel(3, 20), flatLevel(2, 20), flatLevel(5, 20),
                             flatLevel(3, 20)};
    EXPECT_NE(expected[0], expected[1]);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(p.y.row(y)[x], expected[(y / 8) * 2 + x / 8]) << x << "," << y;
        }
    }
    EXPECT_EQ(p.cb.row(4)[4], flatLevel(10, 20));
    EXPECT_EQ(p.cr.row(7)[0], flatLevel(-10, 20));
}

TEST(Vp6Decoder, LargeDcValuesUseTheCategoryTokens) {
    StreamWriter w(1, 1);
    MacroblockSpec mb;
    mb.dc[0] = 300;  // saturates white
    mb.dc[1] = -600; // back down to -300: black
    mb.dc[2] = -306; // from 300 above: -6
    mb.dc[3] = 156;  // average of -6 and -300 is -153: 3
    Vp6Decoder d(false, 0, 0);
    ASSERT_TRUE(d.decode(w.frame(true, 40, {mb})));
    const YuvPicture& p = d.picture();
    EXPECT_EQ(p.y.row(0)[0], flatLevel(300, 40));
    EXPECT_EQ(p.y.row(0)[0], 255);
    EXPECT_EQ(p.y.row(0)[8], 0);
    EXPECT_EQ(p.y.row(8)[0], flatLevel(-6, 40));
    EXPECT_EQ(p.y.row(8)[8], flatLevel(3, 40));
}

int lumaAt(const YuvPicture& p, int x, int y) {
    return p.y.clamped(x, y);
}

TEST(Vp6Decoder, InterFrameMacroblocksCopyMoveAndSplitIntoFourVectors) {
    StreamWriter w(2, 2);
    Vp6Decoder d(false, 0, 0);
    ASSERT_TRUE(d.decode(patternKeyFrame(w)));
    const YuvPicture ref = d.picture();

    std::vector<MacroblockSpec> mbs = flat(4, vp6::InterNoVectorPrevious);
    // Top right: no neighbour vector yet, so the delta is the vector (one pixel right, up).
    mbs[1].type = vp6::InterDeltaPrevious;
    mbs[1].delta = {4, -4};
    // Bottom left: the top right's vector is a candidate but not a near one: delta alone,
    // half a pixel right.
    mbs[2].type = vp6::InterDeltaPrevious;
    mbs[2].delta = {2, 0};
    // Bottom right: above (4,-4) is the nearest candidate, left (2,0) the near one.
    mbs[3].type = vp6::InterFourVectors;
    mbs[3].fourKinds[0] = 0;
    mbs[3].fourKinds[1] = 2;
    mbs[3].fourKinds[2] = 3;
    mbs[3].fourKinds[3] = 1;
    mbs[3].fourDeltas[3] = {0, 4}; // added to the nearest: (4, 0)
    ASSERT_TRUE(d.decode(w.frame(false, 30, mbs)));
    const YuvPicture& p = d.picture();

    const auto shifted = [&](int x, int y, int dx, int dy) { return lumaAt(ref, x + dx, y + dy); };
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(lumaAt(p, x, y), lumaAt(ref, x, y)) << "copied " << x << "," << y;
            ASSERT_EQ(lumaAt(p, 16 + x, y), shifted(16 + x, y, 1, -1)) << x << "," << y;
            const int half = (lumaAt(ref, x, 16 + y) + lumaAt(ref, x + 1, 16 + y) + 1) >> 1;
            ASSERT_EQ(lumaAt(p, x, 16 + y), half) << "half pixel " << x << "," << y;
        }
    }
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            ASSERT_EQ(lumaAt(p, 16 + x, 16 + y), lumaAt(ref, 16 + x, 16 + y));
            ASSERT_EQ(lumaAt(p, 24 + x, 16 + y), shifted(24 + x, 16 + y, 1, -1));
            const int half = (lumaAt(ref, 16 + x, 24 + y) + lumaAt(ref, 17 + x, 24 + y) + 1) >> 1;
            ASSERT_EQ(lumaAt(p, 16 + x, 24 + y), half);
            ASSERT_EQ(lumaAt(p, 24 + x, 24 + y), shifted(24 + x, 24 + y, 1, 0));
        }
    }
    // Chroma of the four-vector macroblock moves by the average rounded towards zero:
    // (10,-4)/4 = (2,-1) eighths, a bilinear blend of four chroma samples.
    const auto c = [&](int x, int y) { return static_cast<int>(ref.cb.clamped(x, y)); };
    const int across0 = (6 * c(8, 7) + 2 * c(9, 7) + 4) >> 3;
    const int across1 = (6 * c(8, 8) + 2 * c(9, 8) + 4) >> 3;
    EXPECT_EQ(p.cb.row(8)[8], (1 * across0 + 7 * across1 + 4) >> 3);
    EXPECT_NE(c(8, 7), c(8, 8)); // the pattern has a chroma edge there
}

TEST(Vp6Decoder, InterFramesLoopFilterTheReferenceEdgesTheyCross) {
    // Columns of blocks alternating between two close levels: a small step at each edge.
    StreamWriter w(1, 2);
    Vp6Decoder d(false, 0, 0);
    ASSERT_TRUE(d.decode(w.frame(true, 30,
                                 keyFrameDcs(
                                     1, 2, [](int bx, int) { return bx % 2 == 0 ? 0 : 2; },
                                     [](int, int, int) { return 0; }))));
    const int a = flatLevel(0, 30);
    const int b = flatLevel(2, 30);
    ASSERT_EQ(d.picture().y.row(3)[7], a);
    ASSERT_EQ(d.picture().y.row(3)[8], b);

    std::vector<MacroblockSpec> mbs = flat(2, vp6::InterNoVectorPrevious);
    mbs[0].type = vp6::InterDeltaPrevious;
    mbs[0].delta = {4, 0}; // one pixel right: the block's last two columns straddle x = 8
    ASSERT_TRUE(d.decode(w.frame(false, 30, mbs)));
    const int v = (2 * (b - a) + 4) >> 3; // small enough to pass the filter's limit whole
    ASSERT_NE(v, 0);
    EXPECT_EQ(d.picture().y.row(3)[5], a);
    EXPECT_EQ(d.picture().y.row(3)[6], a + v);
    EXPECT_EQ(d.picture().y.row(3)[7], b - v);
    EXPECT_EQ(d.picture().y.row(3)[24], b); // the copied macroblock is untouched
}

TEST(Vp6Decoder, GoldenFrameIsTheKeyFrameUntilAFrameAsksToReplaceIt) {
    StreamWriter w(2, 2);
    Vp6Decoder d(false, 0, 0);
    ASSERT_TRUE(d.decode(patternKeyFrame(w)));
    const YuvPicture key = d.picture();

    std::vector<MacroblockSpec> moved = flat(4, vp6::InterDeltaPrevious);
    moved[0].delta = {4, 0};
    ASSERT_TRUE(d.decode(w.frame(false, 30, moved)));
    const YuvPicture second = d.picture();
    ASSERT_NE(second.y.samples, key.y.samples);

    ASSERT_TRUE(d.decode(w.frame(false, 30, flat(4, vp6::InterNoVectorGolden), true)));
    EXPECT_EQ(d.picture().y.samples, key.y.samples);
    EXPECT_EQ(d.picture().cb.samples, key.cb.samples);

    // That frame asked to become golden, so moving again and going back finds it.
    ASSERT_TRUE(d.decode(w.frame(false, 30, moved)));
    ASSERT_TRUE(d.decode(w.frame(false, 30, flat(4, vp6::InterNoVectorGolden))));
    EXPECT_EQ(d.picture().y.samples, key.y.samples);
    ASSERT_TRUE(d.decode(w.frame(false, 30, moved, true)));
    const YuvPicture goldenNow = d.picture();
    ASSERT_TRUE(d.decode(w.frame(false, 30, moved)));
    ASSERT_TRUE(d.decode(w.frame(false, 30, flat(4, vp6::InterNoVectorGolden))));
    EXPECT_EQ(d.picture().y.samples, goldenNow.y.samples);
}

TEST(Vp6Decoder, HuffmanCodedTokensGiveTheSamePictureAsBoolCodedOnes) {
    // Runs of zero DCs and of blocks without AC are coded as counts in the Huffman partition;
    // a long stretch of zero differences exercises them, large values the extra bits.
    std::vector<MacroblockSpec> mbs = flat(12, vp6::Intra);
    mbs[0].dc[0] = 40;
    mbs[0].dc[4] = -100;
    mbs[0].dc[5] = -150;
    mbs[5].dc[2] = -3;
    mbs[7].dc[1] = 700;
    mbs[7].dc[3] = -9;
    mbs[11].dc[4] = 2;
    StreamWriter boolWriter(3, 4);
    StreamWriter huffmanWriter(3, 4);
    Vp6Decoder viaBool(false, 0, 0);
    Vp6Decoder viaHuffman(false, 0, 0);
    ASSERT_TRUE(viaBool.decode(boolWriter.frame(true, 25, mbs)));
    ASSERT_TRUE(viaHuffman.decode(huffmanWriter.frame(true, 25, mbs, false, true)));
    EXPECT_EQ(viaHuffman.picture().y.samples, viaBool.picture().y.samples);
    EXPECT_EQ(viaHuffman.picture().cb.samples, viaBool.picture().cb.samples);
    EXPECT_EQ(viaHuffman.picture().cr.samples, viaBool.picture().cr.samples);
    EXPECT_EQ(viaHuffman.picture().y.row(0)[0], flatLevel(40, 25));

    // Cut short, the Huffman partition fails the frame instead of reading on.
    std::vector<std::uint8_t> cut = huffmanWriter.frame(true, 25, mbs, false, true);
    const std::size_t tokensAt = (static_cast<std::size_t>(cut[2]) << 8) | cut[3];
    ASSERT_LT(tokensAt + 2, cut.size());
    cut.resize(tokensAt + 2);
    Vp6Decoder shortened(false, 0, 0);
    EXPECT_FALSE(shortened.decode(cut));
}

TEST(Vp6Decoder, AlphaStreamBecomesTheAlphaPlaneAndTheDeclaredSizeCrops) {
    StreamWriter colour(1, 2);
    StreamWriter alpha(1, 2);
    MacroblockSpec red;
    red.dc[0] = -2;
    red.dc[4] = -140;
    red.dc[5] = -60;
    MacroblockSpec opaque;
    opaque.dc[0] = 150; // the other blocks inherit it through prediction
    MacroblockSpec clear;
    clear.dc[0] = -300; // from the left macroblock's 150: -150
    const std::vector<std::uint8_t> c = colour.frame(true, 10, {red, red});
    const std::vector<std::uint8_t> a = alpha.frame(true, 10, {opaque, clear});
    std::vector<std::uint8_t> frame = {0, static_cast<std::uint8_t>(c.size() >> 8),
                                       static_cast<std::uint8_t>(c.size() & 0xFF)};
    frame.insert(frame.end(), c.begin(), c.end());
    frame.insert(frame.end(), a.begin(), a.end());

    Vp6Decoder d(true, 20, 10);
    ASSERT_TRUE(d.isKeyFrame(frame));
    ASSERT_TRUE(d.decode(frame));
    const YuvPicture& p = d.picture();
    EXPECT_EQ(p.width, 20);
    EXPECT_EQ(p.height, 10);
    const std::vector<std::uint8_t> rgba = video::toRgba(p);
    ASSERT_EQ(rgba.size(), 20u * 10u * 4u);
    EXPECT_EQ(rgba[3], 255);                   // (0,0) opaque
    EXPECT_EQ(rgba[(2 * 20 + 19) * 4 + 3], 0); // (19,2) in the clear macroblock
    // The colour is premultiplied: never more than the alpha.
    EXPECT_EQ(rgba[(2 * 20 + 19) * 4], 0);
    EXPECT_LE(rgba[(9 * 20 + 19) * 4], 128);
    // Below it the DC is predicted from both the opaque and the clear block: half way.
    EXPECT_EQ(rgba[(9 * 20 + 19) * 4 + 3], 128);
    EXPECT_GT(rgba[0], rgba[2] + 100); // red beats blue

    // Without its alpha stream a codec-5 frame is not taken.
    std::vector<std::uint8_t> cut(frame.begin(), frame.begin() + 3);
    cut[2] = 0xFF;
    EXPECT_FALSE(d.decode(cut));
    EXPECT_EQ(d.picture().width, 20);
}

std::vector<std::uint8_t> corpusFrame(const char* caseName) {
    const std::filesystem::path path =
        std::filesystem::path("/work/shared/swf-corpus/cases") / caseName / "test.swf";
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> swf((std::istreambuf_iterator<char>(in)), {});
    if (swf.size() < 9 || swf[0] != 'F') {
        return {};
    }
    const int nbits = swf[8] >> 3;
    std::size_t at = 8 + static_cast<std::size_t>((5 + 4 * nbits + 7) / 8) + 4;
    while (at + 2 <= swf.size()) {
        const int header = swf[at] | (swf[at + 1] << 8);
        std::size_t length = static_cast<std::size_t>(header & 63);
        at += 2;
        if (length == 63 && at + 4 <= swf.size()) {
            length = swf[at] | (swf[at + 1] << 8) | (swf[at + 2] << 16) |
                     (static_cast<std::size_t>(swf[at + 3]) << 24);
            at += 4;
        }
        if (at + length > swf.size()) {
            break;
        }
        if ((header >> 6) == 61 && length > 4) { // VideoFrame: stream id, frame number, data
            return {swf.begin() + static_cast<std::ptrdiff_t>(at + 4),
                    swf.begin() + static_cast<std::ptrdiff_t>(at + length)};
        }
        at += length;
    }
    return {};
}

TEST(Vp6Decoder, RealKeyFrameShowsItsColourBars) {
    const std::vector<std::uint8_t> frame = corpusFrame("visual__video__colorconversion__vp6");
    if (frame.empty()) {
        GTEST_SKIP() << "corpus not available";
    }
    Vp6Decoder d(false, 640, 480);
    ASSERT_TRUE(d.decode(frame));
    ASSERT_EQ(d.picture().width, 640);
    ASSERT_EQ(d.picture().height, 480);
    const std::vector<std::uint8_t> rgba = video::toRgba(d.picture());
    struct Probe {
        int x, y, r, g, b;
    };
    // Colours of Flash's picture of this frame.
    for (const Probe p :
         {Probe{160, 175, 249, 210, 0}, Probe{225, 175, 2, 35, 252}, Probe{290, 175, 15, 252, 1},
          Probe{350, 175, 253, 0, 3}, Probe{480, 175, 250, 3, 237}, Probe{540, 175, 1, 1, 1},
          Probe{8, 8, 73, 73, 73}, Probe{40, 8, 255, 255, 255}}) {
        const std::size_t at = (static_cast<std::size_t>(p.y) * 640 + p.x) * 4;
        EXPECT_NEAR(rgba[at], p.r, 6) << p.x << "," << p.y;
        EXPECT_NEAR(rgba[at + 1], p.g, 6) << p.x << "," << p.y;
        EXPECT_NEAR(rgba[at + 2], p.b, 6) << p.x << "," << p.y;
    }

    // The same frame with a different display size in its header shows the same picture.
    const std::vector<std::uint8_t> other = corpusFrame("visual__video__vp6_dispsize");
    ASSERT_FALSE(other.empty());
    ASSERT_NE(other, frame);
    Vp6Decoder e(false, 640, 480);
    ASSERT_TRUE(e.decode(other));
    EXPECT_EQ(e.picture().y.samples, d.picture().y.samples);
    EXPECT_EQ(e.picture().cr.samples, d.picture().cr.samples);

    // Every truncation fails cleanly or decodes; none reads outside the bytes (sanitisers).
    for (std::size_t n = 0; n < frame.size(); n += 997) {
        Vp6Decoder t(false, 640, 480);
        const bool ok = t.decode(std::span(frame).first(n));
        EXPECT_EQ(ok, t.hasPicture());
    }
}

TEST(Vp6Decoder, HostileFramesFailAndKeepThePicture) {
    StreamWriter w(2, 2);
    Vp6Decoder d(false, 0, 0);
    // Nothing to predict from yet.
    EXPECT_FALSE(d.decode(w.frame(false, 30, flat(4, vp6::InterNoVectorPrevious))));
    StreamWriter w2(2, 2);
    const std::vector<std::uint8_t> key = patternKeyFrame(w2);
    for (std::size_t n = 0; n < 10; ++n) {
        EXPECT_FALSE(d.decode(std::span(key).first(n))) << n;
    }
    ASSERT_TRUE(d.decode(key));
    const YuvPicture good = d.picture();

    // 255 x 255 macroblocks promised, a few bytes sent: the decoder runs dry and gives up.
    std::vector<std::uint8_t> huge = {0x00, 6 << 3, 0, 8, 255, 255, 255, 255, 0x55, 0xAA};
    EXPECT_FALSE(d.decode(huge));
    // A coefficient partition past the end, an unknown version, interlacing, no size.
    EXPECT_FALSE(d.decode(std::vector<std::uint8_t>{0x00, 6 << 3, 0x40, 0, 2, 2, 2, 2}));
    EXPECT_FALSE(d.decode(std::vector<std::uint8_t>{0x00, 9 << 3, 0, 8, 2, 2, 2, 2}));
    EXPECT_FALSE(d.decode(std::vector<std::uint8_t>{0x00, (6 << 3) | 1, 0, 8, 2, 2, 2, 2}));
    EXPECT_FALSE(d.decode(std::vector<std::uint8_t>{0x00, 6 << 3, 0, 8, 0, 2, 0, 2}));
    EXPECT_EQ(d.picture().y.samples, good.y.samples);
    EXPECT_EQ(d.picture().width, 32);

    // A truncated inter frame neither decodes nor disturbs what comes next.
    std::vector<MacroblockSpec> moved = flat(4, vp6::InterDeltaPrevious);
    moved[0].delta = {4, 4};
    const std::vector<std::uint8_t> inter = w2.frame(false, 30, moved);
    EXPECT_FALSE(d.decode(std::span(inter).first(5)));
    EXPECT_EQ(d.picture().y.samples, good.y.samples);
    EXPECT_TRUE(d.decode(inter));
}

TEST(Vp6BoolDecoder, ReadsBackWhatWasCodedThenZerosPastTheEnd) {
    std::mt19937 random(7);
    vp6test::BoolEncoder e;
    std::vector<std::pair<bool, int>> coded;
    for (int i = 0; i < 5000; ++i) {
        const int probability = 1 + static_cast<int>(random() % 255);
        const bool bit = (random() % 256) >= static_cast<unsigned>(probability);
        coded.emplace_back(bit, probability);
        e.put(bit, probability);
    }
    const std::vector<std::uint8_t> bytes = e.finish();
    vp6::BoolDecoder d(bytes);
    for (const auto& [bit, probability] : coded) {
        ASSERT_EQ(d.bit(probability), bit);
    }
    EXPECT_FALSE(d.exhausted());
    for (int i = 0; i < 64; ++i) {
        (void)d.bit(1);
    }
    EXPECT_TRUE(d.exhausted());

    vp6::BoolDecoder empty(std::span<const std::uint8_t>{});
    EXPECT_EQ(empty.literal(16), 0);
    EXPECT_TRUE(empty.exhausted());
}

TEST(Vp6Huffman, CodesFollowTheTokenTreeProbabilities) {
    // Every branch of the token tree even: the twelve symbols split 256 between them.
    std::uint8_t even[11];
    std::fill(std::begin(even), std::end(even), std::uint8_t{128});
    // Nearly every block ends at once: the end-of-block token (11) dominates.
    std::uint8_t skewed[11] = {250, 255, 128, 128, 128, 128, 128, 128, 128, 128, 128};
    for (const std::uint8_t* probs :
         {static_cast<const std::uint8_t*>(even), static_cast<const std::uint8_t*>(skewed)}) {
        vp6::HuffmanTree tree;
        tree.build(probs, vp6::kHuffmanTokenMap.data(), 12);
        // Read every 12-bit pattern: each symbol must come out, code lengths must fill the
        // code space exactly (a complete prefix code).
        std::vector<int> length(12, 0);
        for (int pattern = 0; pattern < 4096; ++pattern) {
            const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(pattern >> 4),
                                           static_cast<std::uint8_t>(pattern << 4)};
            video::BitStream in(bytes);
            const int symbol = tree.decode(in);
            ASSERT_GE(symbol, 0);
            ASSERT_LT(symbol, 12);
            length[static_cast<std::size_t>(symbol)] = static_cast<int>(in.position());
        }
        double kraft = 0;
        for (const int l : length) {
            ASSERT_GT(l, 0);
            kraft += 1.0 / (1 << l);
        }
        EXPECT_DOUBLE_EQ(kraft, 1.0);
        if (probs == skewed) {
            EXPECT_EQ(length[11], 1);
        }
    }
}

} // namespace
