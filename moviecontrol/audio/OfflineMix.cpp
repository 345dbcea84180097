#include "OfflineMix.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace audio {

OfflineMix::OfflineMix(Mixer& mixer, double framesPerSecond, bool keep)
    : mixer_(mixer), framesPerSecond_(framesPerSecond > 0.0 ? framesPerSecond : 12.0), keep_(keep) {
}

void OfflineMix::mixFrame() {
    const double rate = mixer_.outputRate();
    const auto from = static_cast<std::size_t>(std::llround(frames_ * rate / framesPerSecond_));
    const auto to = static_cast<std::size_t>(std::llround((frames_ + 1) * rate / framesPerSecond_));
    ++frames_;
    const std::size_t count = to - from;
    if (!keep_) {
        samples_.clear();
    }
    const std::size_t at = samples_.size();
    samples_.resize(at + 2 * count);
    mixer_.mix(samples_.data() + at, count);
}

namespace {

void put16(std::ofstream& out, std::uint16_t v) {
    const char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    out.write(b, 2);
}

void put32(std::ofstream& out, std::uint32_t v) {
    put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

} // namespace

bool writeWav(const std::string& path, const std::vector<std::int16_t>& stereo,
              std::uint32_t rate) {
    const std::uint64_t dataBytes = stereo.size() * 2;
    if (dataBytes > 0xFFFFFFFFull - 36) {
        return false;
    }
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            return false;
        }
        out.write("RIFF", 4);
        put32(out, static_cast<std::uint32_t>(36 + dataBytes));
        out.write("WAVEfmt ", 8);
        put32(out, 16);
        put16(out, 1); // integer PCM
        put16(out, 2);
        put32(out, rate);
        put32(out, rate * 4);
        put16(out, 4);
        put16(out, 16);
        out.write("data", 4);
        put32(out, static_cast<std::uint32_t>(dataBytes));
        for (const std::int16_t s : stereo) {
            put16(out, static_cast<std::uint16_t>(s));
        }
        out.flush();
        if (!out) {
            out.close();
            std::remove(temporary.c_str());
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace audio
