#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "NellymoserDecoder.h"
#include "SoundDecoding.h"
#include "SoundFormat.h"

namespace {

// Writes fields lowest bit first, as the codec's bit stream holds them.
struct LsbWriter {
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(64, 0);
    std::size_t bit = 0;
    void put(unsigned value, int count) {
        for (int i = 0; i < count; ++i, ++bit) {
            if ((value >> i) & 1u) {
                bytes[bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
            }
        }
    }
};

// Band b starts at this line; lines are (k + 0.5) * rate / 256 hertz.
constexpr int kBandStart[] = {0,  2,  4,  6,  8,  10, 12, 14, 16, 18, 21, 24,
                              28, 32, 37, 43, 49, 56, 64, 73, 83, 95, 109};

// One block whose band `loud` stands about 38 dB over the others, every coded line at its
// largest positive level.
std::vector<std::uint8_t> loudBandBlock(int loud) {
    LsbWriter w;
    w.put(20, 6); // the first band's level
    for (int band = 1; band < 23; ++band) {
        // +12975 into the loud band, -11725 out of it, otherwise no change.
        w.put(band == loud ? 31 : band == loud + 1 ? 0 : 17, 5);
    }
    while (w.bit < 512) {
        w.put(1, 1);
    }
    return w.bytes;
}

// Share of the signal's energy between lo and hi hertz.
double energyShare(const std::vector<std::int16_t>& x, double rate, double lo, double hi) {
    const std::size_t n = x.size();
    double total = 0.0;
    for (const auto v : x) {
        total += static_cast<double>(v) * v;
    }
    double band = 0.0;
    for (auto k = static_cast<std::size_t>(lo * n / rate); k <= hi * n / rate; ++k) {
        double re = 0.0;
        double im = 0.0;
        for (std::size_t t = 0; t < n; ++t) {
            const double a = 2.0 * std::numbers::pi * double(k) * double(t) / double(n);
            re += x[t] * std::cos(a);
            im -= x[t] * std::sin(a);
        }
        band += 2.0 * (re * re + im * im) / double(n);
    }
    return total > 0.0 ? band / total : 0.0;
}

std::vector<std::uint8_t> repeated(const std::vector<std::uint8_t>& block, int times) {
    std::vector<std::uint8_t> out;
    for (int i = 0; i < times; ++i) {
        out.insert(out.end(), block.begin(), block.end());
    }
    return out;
}

TEST(Nellymoser, ALoudBandIsHeardAtItsFrequenciesAtEveryRate) {
    // The codec codes with a fixed rate, then the general one at each of its four rates.
    const struct {
        std::uint8_t formatByte;
        std::uint32_t rate;
    } variants[] = {{0x42, 16000}, {0x52, 8000},  {0x62, 5512},
                    {0x66, 11025}, {0x6A, 22050}, {0x6E, 44100}};
    for (const auto& v : variants) {
        for (const int band : {6, 15, 20}) {
            const auto data = repeated(loudBandBlock(band), 12);
            audio::SoundDefinition sound;
            sound.format = audio::formatFromByte(v.formatByte);
            sound.data = data;
            const auto pcm = audio::decodeEventSound(sound);
            ASSERT_TRUE(pcm) << int(v.formatByte);
            EXPECT_EQ(pcm->rate, v.rate);
            ASSERT_EQ(pcm->samples.size(), 12u * 256);
            // Past the first block, which rises from the silence before it.
            const std::vector<std::int16_t> steady(pcm->samples.begin() + 512,
                                                   pcm->samples.begin() + 2560);
            const int size = kBandStart[band + 1] - kBandStart[band];
            const double lo = (kBandStart[band] - 1.0) * v.rate / 256.0;
            const double hi = (kBandStart[band] + size + 1.0) * v.rate / 256.0;
            EXPECT_GT(energyShare(steady, v.rate, lo, hi), 0.9)
                << "format " << int(v.formatByte) << " band " << band;
            double peak = 0.0;
            for (const auto s : steady) {
                peak = std::max(peak, std::abs(static_cast<double>(s)));
            }
            EXPECT_GT(peak, 1000.0);
        }
    }
}

TEST(Nellymoser, ZeroBytesDecodeToNearSilence) {
    audio::NellymoserDecoder d;
    std::vector<std::int16_t> out;
    d.decode(std::vector<std::uint8_t>(640, 0), SIZE_MAX, out);
    ASSERT_EQ(out.size(), 2560u);
    for (const auto s : out) {
        ASSERT_LE(std::abs(int{s}), 8);
    }
}

TEST(Nellymoser, AStreamSplitIntoBlocksDecodesAsOneAndHostileBytesStayInBounds) {
    std::mt19937 random(7);
    std::vector<std::uint8_t> data(64 * 40 + 17); // and a part block at the end
    for (auto& b : data) {
        b = static_cast<std::uint8_t>(random());
    }
    audio::NellymoserDecoder whole;
    std::vector<std::int16_t> once;
    whole.decode(data, SIZE_MAX, once);
    EXPECT_EQ(once.size(), 40u * 256);

    audio::NellymoserDecoder pieces;
    std::vector<std::int16_t> split;
    for (std::size_t at = 0; at + 64 <= data.size(); at += 64) {
        pieces.decode(std::span(data).subspan(at, 64), SIZE_MAX, split);
    }
    EXPECT_EQ(once, split);

    // The frame limit holds mid-block, and a stereo head gets each sample twice.
    audio::NellymoserDecoder limited;
    std::vector<std::int16_t> some;
    limited.decode(data, 300, some, 2);
    ASSERT_EQ(some.size(), 600u);
    EXPECT_EQ(some[0], some[1]);
    EXPECT_EQ(some[598], once[299]);
}

} // namespace

namespace {

int sum(const std::array<int, 124>& bits) {
    int total = 0;
    for (const int b : bits) {
        total += b;
    }
    return total;
}

TEST(Nellymoser, LineBitsFollowTheLevelsWithinTheHalfBlocksBudget) {
    // Even levels: the lines alike until the 198 bits are spent, nothing after.
    std::array<std::int32_t, 124> level{};
    level.fill(20000);
    const auto even = audio::nellymoserLineBits(level);
    EXPECT_EQ(sum(even), 198);
    EXPECT_GT(even[0], 0);
    EXPECT_TRUE(std::is_sorted(even.rbegin(), even.rend()));
    EXPECT_EQ(even[123], 0);

    // A band far over the rest takes the most bits a line can have, the rest less.
    for (int k = 43; k < 49; ++k) {
        level[k] = 40000;
    }
    const auto loud = audio::nellymoserLineBits(level);
    EXPECT_LE(sum(loud), 198);
    EXPECT_GT(sum(loud), 124);
    for (int k = 43; k < 49; ++k) {
        EXPECT_EQ(loud[k], 6);
    }
    EXPECT_LT(loud[0], 6);

    // Levels rising with the line: the bits never fall with it, and all are used.
    for (int k = 0; k < 124; ++k) {
        level[k] = 8000 + 150 * k;
    }
    const auto rising = audio::nellymoserLineBits(level);
    EXPECT_NEAR(sum(rising), 198, 2);
    EXPECT_TRUE(std::is_sorted(rising.begin(), rising.end()));
    EXPECT_GT(rising[123], rising[0]);

    // Hostile levels (the extremes a block can code, and below) keep to the bounds.
    for (const std::int32_t extreme : {-300000, 0, 31355 + 22 * 12975}) {
        level.fill(extreme);
        level[5] = 1;
        const auto bits = audio::nellymoserLineBits(level);
        EXPECT_LE(sum(bits), 198);
        for (const int b : bits) {
            EXPECT_GE(b, 0);
            EXPECT_LE(b, 6);
        }
    }
}

} // namespace
