#include "moviemaker/Mp3Stream.h"

#include "moviemaker/BitWriter.h"
#include "moviemaker/WriteError.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace moviemaker {

namespace {

constexpr std::array<uint16_t, 15> kMpeg1Rates = {0,   32,  40,  48,  56,  64,  80, 96,
                                                  112, 128, 160, 192, 224, 256, 320};
constexpr std::array<uint16_t, 15> kMpeg2Rates = {0,  8,  16, 24,  32,  40,  48, 56,
                                                  64, 80, 96, 112, 128, 144, 160};
constexpr std::array<uint32_t, 3> kMpeg1SampleRates = {44100, 48000, 32000};

// The frame whose header starts at data[at], if it is a layer III header with a bitrate.
std::optional<Mp3Frame> headerAt(std::span<const uint8_t> data, std::size_t at) {
    if (at + 4 > data.size() || data[at] != 0xFF || (data[at + 1] & 0xE0) != 0xE0) {
        return std::nullopt;
    }
    const unsigned version = (data[at + 1] >> 3) & 3; // 0: 2.5, 2: 2, 3: 1
    const unsigned layer = (data[at + 1] >> 1) & 3;   // 1: layer III
    const unsigned rateIndex = data[at + 2] >> 4;
    const unsigned sampleRateIndex = (data[at + 2] >> 2) & 3;
    if (version == 1 || layer != 1 || rateIndex == 0 || rateIndex == 15 || sampleRateIndex == 3) {
        return std::nullopt;
    }
    const bool mpeg1 = version == 3;
    Mp3Frame frame;
    frame.offset = at;
    frame.bitRate = 1000u * (mpeg1 ? kMpeg1Rates.at(rateIndex) : kMpeg2Rates.at(rateIndex));
    const unsigned divisor = version == 3 ? 1 : (version == 2 ? 2 : 4);
    frame.sampleRate = kMpeg1SampleRates.at(sampleRateIndex) / divisor;
    frame.samples = mpeg1 ? 1152 : 576;
    frame.stereo = (data[at + 3] >> 6) != 3;
    const unsigned padding = (data[at + 2] >> 1) & 1;
    frame.length = (mpeg1 ? 144u : 72u) * frame.bitRate / frame.sampleRate + padding;
    return frame;
}

} // namespace

std::vector<Mp3Frame> findMp3Frames(std::span<const uint8_t> data) {
    std::vector<Mp3Frame> frames;
    std::size_t at = 0;
    // An ID3v2 tag: "ID3", version, flags, then a 28-bit size in four 7-bit bytes.
    if (data.size() >= 10 && data[0] == 'I' && data[1] == 'D' && data[2] == '3') {
        const std::size_t size = (std::size_t{data[6]} & 0x7F) << 21 |
                                 (std::size_t{data[7]} & 0x7F) << 14 |
                                 (std::size_t{data[8]} & 0x7F) << 7 | (std::size_t{data[9]} & 0x7F);
        at = std::min(data.size(), 10 + size);
    }
    while (at + 4 <= data.size()) {
        const std::optional<Mp3Frame> frame = headerAt(data, at);
        if (!frame || frame->offset + frame->length > data.size()) {
            ++at;
            continue;
        }
        const std::size_t next = frame->offset + frame->length;
        const bool atEnd = next + 4 > data.size();
        // An ID3v1 tag ("TAG", 128 bytes) may close the file.
        const bool beforeTag = next + 128 == data.size() && data[next] == 'T' &&
                               data[next + 1] == 'A' && data[next + 2] == 'G';
        if (!atEnd && !beforeTag && !headerAt(data, next)) {
            ++at;
            continue;
        }
        if (frames.empty() || (frame->sampleRate == frames.front().sampleRate &&
                               frame->stereo == frames.front().stereo)) {
            frames.push_back(*frame);
        }
        at = next;
    }
    return frames;
}

Mp3StreamBlocks splitMp3Stream(std::span<const uint8_t> data, std::span<const Mp3Frame> frames,
                               double fps, uint32_t movieFrames, uint16_t leadingSamples) {
    if (frames.empty()) {
        throw WriteError("an MP3 stream needs at least one frame");
    }
    if (!(fps > 0)) {
        throw WriteError("a sound stream needs a positive frame rate");
    }
    Mp3StreamBlocks out;
    out.sampleRate = frames.front().sampleRate;
    out.stereo = frames.front().stereo;
    const double perFrame = out.sampleRate / fps;
    out.samplesPerFrame = fieldValue<uint16_t>(static_cast<uint64_t>(std::lround(perFrame)),
                                               "the samples a movie frame lasts");
    const auto frameStart = [&](uint32_t i) {
        return static_cast<uint64_t>(std::floor(i * perFrame)) + leadingSamples;
    };
    out.blocks.reserve(movieFrames);
    std::size_t next = 0;
    uint64_t written = 0; // samples of the frames already in earlier blocks
    for (uint32_t i = 0; i < movieFrames && next < frames.size(); ++i) {
        const uint64_t start = frameStart(i);
        const uint64_t end = frameStart(i + 1);
        BitWriter block;
        const int64_t seek = static_cast<int64_t>(start) - static_cast<int64_t>(written);
        const auto countAt = block.data().size();
        block.u16(0);
        block.i16(static_cast<int16_t>(std::clamp<int64_t>(
            seek, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max())));
        uint32_t samples = 0;
        // Whole MP3 frames until this movie frame's sound is covered.
        while (next < frames.size() && written < end) {
            const Mp3Frame& f = frames[next];
            block.bytes(data.subspan(f.offset, f.length));
            samples += f.samples;
            written += f.samples;
            ++next;
        }
        block.patchU16(countAt, fieldValue<uint16_t>(samples, "the samples of one block"));
        out.blocks.push_back(block.data());
    }
    return out;
}

} // namespace moviemaker
