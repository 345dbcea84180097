#include "moviemaker/Sound.h"

#include "moviemaker/BitWriter.h"
#include "moviemaker/WriteError.h"

namespace moviemaker {

uint8_t SoundFormat::checkedByte() const {
    if (codec > 15 || rateCode > 3) {
        throw WriteError("sound codecs have four bits and rate codes two");
    }
    return byte();
}

std::vector<uint8_t> encodeSoundInfo(const SoundInfo& info) {
    BitWriter out;
    uint8_t flags = 0;
    flags |= info.syncStop ? 0x20 : 0;
    flags |= info.noMultiple ? 0x10 : 0;
    flags |= info.envelope.empty() ? 0 : 0x08;
    flags |= info.loops ? 0x04 : 0;
    flags |= info.outPoint ? 0x02 : 0;
    flags |= info.inPoint ? 0x01 : 0;
    out.u8(flags);
    if (info.inPoint) {
        out.u32(*info.inPoint);
    }
    if (info.outPoint) {
        out.u32(*info.outPoint);
    }
    if (info.loops) {
        out.u16(*info.loops);
    }
    if (!info.envelope.empty()) {
        out.u8(fieldValue<uint8_t>(info.envelope.size(), "envelope point count"));
        for (const EnvelopePoint& p : info.envelope) {
            out.u32(p.pos44);
            out.u16(p.left);
            out.u16(p.right);
        }
    }
    return out.take();
}

std::vector<int16_t> sineTone(double frequency, uint32_t rate, std::size_t frames,
                              double amplitude) {
    if (rate == 0 || !(std::abs(amplitude) <= 32767.0)) {
        throw WriteError("a tone needs a sampling rate and an amplitude within 16 bits");
    }
    std::vector<int16_t> out(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        out[i] = static_cast<int16_t>(std::lround(
            amplitude * std::sin(2.0 * M_PI * frequency * static_cast<double>(i) / rate)));
    }
    return out;
}

std::vector<uint8_t> pcm16Bytes(const std::vector<int16_t>& samples) {
    BitWriter out;
    for (const int16_t s : samples) {
        out.i16(s);
    }
    return out.take();
}

std::vector<uint8_t> pcm8Bytes(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> out;
    out.reserve(samples.size());
    for (const int16_t s : samples) {
        out.push_back(static_cast<uint8_t>((s >> 8) + 128));
    }
    return out;
}

} // namespace moviemaker
