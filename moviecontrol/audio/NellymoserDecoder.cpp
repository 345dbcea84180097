#include "NellymoserDecoder.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

#include "NellymoserTables.h"

namespace audio {

namespace {

constexpr int kLines = 124;      // coded lines of a half-block
constexpr int kHalf = 128;       // lines of a half-block, and the samples it yields
constexpr int kHeaderBits = 116; // the band levels: 6 bits, then 22 steps of 5
constexpr int kDetailBits = 198; // the coded lines of one half-block
constexpr int kMaxLineBits = 6;
constexpr std::int32_t kOffsetScale = 4228;
constexpr int kOffsetShift = 19;

// Little-endian bits: the first bit of the stream is the lowest of the first byte, and a
// field's first bit is its lowest. Past the end it reads zeros.
class LsbBits {
  public:
    LsbBits(std::span<const std::uint8_t> data, std::size_t bit) : data_(data), bit_(bit) {}
    unsigned read(int count) {
        unsigned v = 0;
        for (int i = 0; i < count; ++i, ++bit_) {
            const std::size_t byte = bit_ / 8;
            if (byte < data_.size()) {
                v |= ((data_[byte] >> (bit_ % 8)) & 1u) << i;
            }
        }
        return v;
    }

  private:
    std::span<const std::uint8_t> data_;
    std::size_t bit_;
};

// The allocation works in 32-bit integers that wrap, and with shifts both ways; hostile
// levels give shifts past the word, which are held to it.
std::int32_t shiftedLeft(std::int32_t v, int s) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v) << s);
}

std::int32_t shifted(std::int32_t v, int s) {
    s = std::clamp(s, -31, 31);
    return s >= 0 ? shiftedLeft(v, s) : v >> -s;
}

std::int32_t wrappingAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// Moves v's highest significant bit next to the sign bit; returns how far (31 for 0).
int normalise(std::int32_t& v) {
    if (v == 0) {
        return 31;
    }
    const std::uint32_t magnitude =
        v < 0 ? 0u - static_cast<std::uint32_t>(v) : static_cast<std::uint32_t>(v);
    const int by = std::max(0, std::countl_zero(magnitude) - 1);
    v = shiftedLeft(v, by);
    return by;
}

int lineBits(std::int16_t level, std::int32_t offset, int shift) {
    const std::int32_t b = wrappingAdd(level, -offset);
    return std::clamp(((b >> std::clamp(shift - 1, 0, 31)) + 1) >> 1, 0, kMaxLineBits);
}

int totalBits(const std::array<std::int16_t, kLines>& levels, std::int32_t offset, int shift) {
    int sum = 0;
    for (const std::int16_t level : levels) {
        sum += lineBits(level, offset, shift);
    }
    return sum;
}

} // namespace

// Each line's bits are its level less a common offset, scaled; the offset is searched for
// by steps and then by halving until the lines use the half-block's bits.
std::array<int, kLines> nellymoserLineBits(const std::array<std::int32_t, kLines>& level) {
    std::int32_t loudest = 0;
    for (const std::int32_t l : level) {
        loudest = std::max(loudest, l);
    }
    int shift = normalise(loudest) - 16;
    std::array<std::int16_t, kLines> scaled{};
    std::int32_t sum = 0;
    for (int i = 0; i < kLines; ++i) {
        const auto s = static_cast<std::int16_t>(shifted(level[i], shift));
        scaled[i] = static_cast<std::int16_t>((3 * std::int32_t{s}) >> 2);
        sum += scaled[i];
    }
    shift += 11;
    const int lineShift = shift;
    sum = wrappingAdd(sum, -shifted(kDetailBits, shift));
    shift += normalise(sum);
    std::int32_t smallOff = (kOffsetScale * (sum >> 16)) >> 15;
    smallOff = shifted(smallOff, lineShift - (kOffsetShift + shift - 31));

    const auto bitsAt = [&](std::int32_t offset) {
        return totalBits(scaled, static_cast<std::int16_t>(offset), lineShift);
    };
    int bitsum = bitsAt(smallOff);
    if (bitsum != kDetailBits) {
        // Steps of the offset towards the budget until it is passed, then halving.
        std::int32_t step = bitsum - kDetailBits;
        int doubled = 0;
        while (std::abs(step) <= 16383 && doubled < 32) {
            step *= 2;
            ++doubled;
        }
        step = shifted((step * kOffsetScale) >> 15, lineShift - (kOffsetShift + doubled - 15));
        std::int32_t lastOff = smallOff;
        int lastBitsum = bitsum;
        int tries = 0;
        for (int j = 1; j < 20; ++j) {
            lastOff = smallOff;
            smallOff = wrappingAdd(smallOff, step);
            lastBitsum = bitsum;
            tries = j;
            bitsum = bitsAt(smallOff);
            if ((bitsum - kDetailBits) * (lastBitsum - kDetailBits) <= 0) {
                break;
            }
        }
        std::int32_t bigOff = 0;
        int bigBitsum = 0;
        int smallBitsum = 0;
        if (bitsum > kDetailBits) {
            bigOff = smallOff;
            smallOff = lastOff;
            bigBitsum = bitsum;
            smallBitsum = lastBitsum;
        } else {
            bigOff = lastOff;
            bigBitsum = lastBitsum;
            smallBitsum = bitsum;
        }
        while (bitsum != kDetailBits && tries <= 19) {
            const auto middle = static_cast<std::int32_t>((std::int64_t{bigOff} + smallOff) >> 1);
            bitsum = bitsAt(middle);
            if (bitsum > kDetailBits) {
                bigOff = middle;
                bigBitsum = bitsum;
            } else {
                smallOff = middle;
                smallBitsum = bitsum;
            }
            ++tries;
        }
        // The nearer of the two ends of the search.
        if (std::abs(bigBitsum - kDetailBits) < std::abs(smallBitsum - kDetailBits)) {
            smallOff = bigOff;
        }
    }
    std::array<int, kLines> bits{};
    for (int i = 0; i < kLines; ++i) {
        bits[i] = lineBits(scaled[i], smallOff, lineShift);
    }
    // Over the budget (the search ended past it, or hostile levels wrapped the offset):
    // the lines past it get nothing, the last one what is left.
    int used = 0;
    int i = 0;
    while (used < kDetailBits && i < kLines) {
        used += bits[i++];
    }
    if (used > kDetailBits) {
        bits[i - 1] -= used - kDetailBits;
    }
    std::fill(bits.begin() + i, bits.end(), 0);
    return bits;
}

namespace {

// The inverse MDCT of a half-block with its sine window: 256 samples from 128 lines.
struct Synthesis {
    // cos(pi / 128 * (n + 0.5 + 64) * (k + 0.5)) times the window at n.
    std::vector<float> basis = std::vector<float>(std::size_t{2 * kHalf} * kLines);
    Synthesis() {
        const double pi = std::numbers::pi;
        for (int n = 0; n < 2 * kHalf; ++n) {
            const double window = std::sin(pi * (n + 0.5) / (2 * kHalf));
            for (int k = 0; k < kLines; ++k) {
                basis[static_cast<std::size_t>(n) * kLines + k] = static_cast<float>(
                    window * std::cos(pi / kHalf * (n + 0.5 + kHalf / 2.0) * (k + 0.5)));
            }
        }
    }
};

const Synthesis& synthesis() {
    static const Synthesis s;
    return s;
}

} // namespace

void NellymoserDecoder::decodeBlock(std::span<const std::uint8_t, kBlockBytes> block,
                                    std::array<float, kBlockSamples>& samples) {
    // The band levels, each line at its band's.
    std::array<std::int32_t, kLines> level{};
    std::array<float, kLines> gain{};
    LsbBits header(block, 0);
    std::int32_t value = nelly::kInitialLevel[header.read(6)];
    int line = 0;
    for (int band = 0; band < nelly::kBands; ++band) {
        if (band > 0) {
            value += nelly::kLevelStep[header.read(5)];
        }
        // Lines come out 8 times louder than 16-bit samples.
        const auto g = static_cast<float>(-std::exp2(value / 2048.0) / 8.0);
        for (int j = 0; j < nelly::kBandSizes[band]; ++j, ++line) {
            level[line] = value;
            gain[line] = g;
        }
    }
    const std::array<int, kLines> bits = nellymoserLineBits(level);
    const Synthesis& syn = synthesis();
    for (int half = 0; half < 2; ++half) {
        LsbBits detail(block, kHeaderBits + static_cast<std::size_t>(half) * kDetailBits);
        std::array<float, kLines> lines{};
        for (int k = 0; k < kLines; ++k) {
            if (bits[k] <= 0) {
                // A line without bits is noise at its band's level.
                noise_ = noise_ * 1664525u + 1013904223u;
                const float sign = (noise_ >> 31) != 0 ? -1.0f : 1.0f;
                lines[k] = sign * std::numbers::sqrt2_v<float> / 2 * gain[k];
            } else {
                const unsigned v = detail.read(bits[k]);
                lines[k] = nelly::kDequantised[(1u << bits[k]) - 1 + v] * gain[k];
            }
        }
        float* out = samples.data() + half * kHalf;
        for (int n = 0; n < 2 * kHalf; ++n) {
            const float* row = syn.basis.data() + static_cast<std::size_t>(n) * kLines;
            float y = 0.0f;
            for (int k = 0; k < kLines; ++k) {
                y += lines[k] * row[k];
            }
            if (n < kHalf) {
                out[n] = overlap_[n] + y;
            } else {
                overlap_[n - kHalf] = y;
            }
        }
    }
}

void NellymoserDecoder::decode(std::span<const std::uint8_t> data, std::size_t maxFrames,
                               std::vector<std::int16_t>& out, unsigned channels) {
    channels = std::max(1u, channels);
    std::array<float, kBlockSamples> samples{};
    std::size_t written = 0;
    for (std::size_t at = 0; at + kBlockBytes <= data.size() && written < maxFrames;
         at += kBlockBytes) {
        decodeBlock(data.subspan(at).first<kBlockBytes>(), samples);
        for (const float s : samples) {
            if (written == maxFrames) {
                break;
            }
            const auto v =
                static_cast<std::int16_t>(std::lround(std::clamp(s, -32768.0f, 32767.0f)));
            out.insert(out.end(), channels, v);
            ++written;
        }
    }
}

} // namespace audio
