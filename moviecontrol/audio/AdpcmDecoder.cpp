#include "AdpcmDecoder.h"

#include <algorithm>
#include <array>

#include "AdpcmTables.h"

namespace audio {

namespace {

// MSB-first bits over a byte span; reports running out instead of reading past the end.
class Bits {
  public:
    explicit Bits(std::span<const std::uint8_t> data) : data_(data) {}
    bool has(unsigned n) const { return bitPos_ + n <= data_.size() * 8; }
    std::uint32_t take(unsigned n) {
        std::uint32_t v = 0;
        for (unsigned i = 0; i < n; ++i) {
            const std::uint8_t byte = data_[bitPos_ >> 3];
            v = (v << 1) | ((byte >> (7 - (bitPos_ & 7))) & 1u);
            ++bitPos_;
        }
        return v;
    }

  private:
    std::span<const std::uint8_t> data_;
    std::size_t bitPos_ = 0;
};

struct Channel {
    int predictor = 0;
    int index = 0;
};

void decodeCode(Channel& c, std::uint32_t code, unsigned bits) {
    const std::uint32_t sign = 1u << (bits - 1);
    int step = kAdpcmSteps[c.index];
    int diff = 0;
    for (std::uint32_t k = sign >> 1; k != 0; k >>= 1) {
        if (code & k) {
            diff += step;
        }
        step >>= 1;
    }
    diff += step;
    c.predictor += (code & sign) ? -diff : diff;
    c.predictor = std::clamp(c.predictor, -32768, 32767);
    c.index = std::clamp(c.index + adpcmIndexShift(bits, code & (sign - 1)), 0,
                         static_cast<int>(kAdpcmSteps.size()) - 1);
}

} // namespace

void decodeAdpcm(std::span<const std::uint8_t> data, bool stereo, std::size_t maxFrames,
                 std::vector<std::int16_t>& out) {
    Bits in(data);
    if (!in.has(2)) {
        return;
    }
    const unsigned bits = in.take(2) + 2;
    const unsigned channels = stereo ? 2 : 1;
    std::array<Channel, 2> ch{};
    std::size_t frames = 0;
    while (frames < maxFrames && in.has(22 * channels)) {
        for (unsigned c = 0; c < channels; ++c) {
            ch[c].predictor = static_cast<std::int16_t>(in.take(16));
            ch[c].index = static_cast<int>(in.take(6));
            ch[c].index = std::min(ch[c].index, static_cast<int>(kAdpcmSteps.size()) - 1);
            out.push_back(static_cast<std::int16_t>(ch[c].predictor));
        }
        ++frames;
        for (int i = 1; i < 4096 && frames < maxFrames && in.has(bits * channels); ++i) {
            for (unsigned c = 0; c < channels; ++c) {
                decodeCode(ch[c], in.take(bits), bits);
                out.push_back(static_cast<std::int16_t>(ch[c].predictor));
            }
            ++frames;
        }
    }
}

} // namespace audio
