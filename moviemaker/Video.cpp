#include "moviemaker/Video.h"

#include "moviemaker/WriteError.h"

#include <cstdlib>

namespace moviemaker {

H263Frame::H263Frame(Type type, uint16_t width, uint16_t height, uint8_t quantiser, uint8_t version,
                     bool deblocking)
    : version_(version) {
    out_.ub(1, 17);
    out_.ub(version, 5);
    out_.ub(0, 8); // temporal reference
    if (width < 256 && height < 256) {
        out_.ub(0, 3);
        out_.ub(width, 8);
        out_.ub(height, 8);
    } else {
        out_.ub(1, 3);
        out_.ub(width, 16);
        out_.ub(height, 16);
    }
    out_.ub(static_cast<uint32_t>(type), 2);
    out_.ub(deblocking ? 1 : 0, 1);
    out_.ub(quantiser, 5);
    out_.ub(0, 1); // no extra information
}

H263Frame& H263Frame::intraFlat(const std::array<uint8_t, 6>& dc) {
    out_.ub(1, 1);      // MCBPC: intra, no chroma coefficients
    out_.ub(0b0011, 4); // CBPY: no luma coefficients
    for (uint8_t d : dc) {
        out_.ub(d == 128 ? 255 : d, 8);
    }
    return *this;
}

H263Frame& H263Frame::intraWithAc(const std::array<uint8_t, 6>& dc, int level) {
    out_.ub(1, 1);       // MCBPC: intra, no chroma coefficients
    out_.ub(0b00010, 5); // CBPY: coefficients in the top-left luma block only
    for (int b = 0; b < 6; ++b) {
        out_.ub(dc[b] == 128 ? 255 : dc[b], 8);
        if (b != 0) {
            continue;
        }
        if (level == 1 || level == -1) {
            out_.ub(0b0111, 4); // last, run 0, level 1
            out_.ub(level < 0 ? 1 : 0, 1);
        } else {
            escape(true, 0, level);
        }
    }
    return *this;
}

void H263Frame::escape(bool last, int run, int level) {
    out_.ub(0b0000011, 7);
    if (version_ >= 1) {
        const bool wide = level < -64 || level > 63;
        out_.ub(wide ? 1 : 0, 1);
        out_.ub(last ? 1 : 0, 1);
        out_.ub(static_cast<uint32_t>(run), 6);
        out_.sb(level, wide ? 11 : 7);
    } else {
        out_.ub(last ? 1 : 0, 1);
        out_.ub(static_cast<uint32_t>(run), 6);
        out_.sb(level, 8);
    }
}

H263Frame& H263Frame::skipped() {
    out_.ub(1, 1);
    return *this;
}

H263Frame& H263Frame::moved(int dx, int dy) {
    out_.ub(0, 1);    // coded
    out_.ub(1, 1);    // MCBPC: inter, no chroma coefficients
    out_.ub(0b11, 2); // CBPY: no luma coefficients (inverted for inter)
    motionDelta(dx);
    motionDelta(dy);
    return *this;
}

void H263Frame::motionDelta(int delta) {
    const int magnitude = std::abs(delta);
    switch (magnitude) {
    case 0:
        out_.ub(1, 1);
        return;
    case 1:
        out_.ub(0b01, 2);
        break;
    case 2:
        out_.ub(0b001, 3);
        break;
    case 32:
        out_.ub(0b000000000010, 12);
        break;
    default:
        throw WriteError("motion vector differences are 0, 1, 2 or 32 half pixels");
    }
    out_.ub(delta < 0 ? 1 : 0, 1);
}

H263Frame& H263Frame::bits(uint32_t value, unsigned count) {
    out_.ub(value, count);
    return *this;
}

std::vector<uint8_t> H263Frame::take() {
    return out_.take();
}

std::vector<uint8_t> encodeDefineVideoStream(uint16_t id, uint16_t frames, uint16_t width,
                                             uint16_t height, uint8_t flags, uint8_t codec) {
    BitWriter w;
    w.u16(id);
    w.u16(frames);
    w.u16(width);
    w.u16(height);
    w.u8(flags);
    w.u8(codec);
    return w.take();
}

std::vector<uint8_t> encodeVideoFrame(uint16_t streamId, uint16_t frame,
                                      const std::vector<uint8_t>& data) {
    BitWriter w;
    w.u16(streamId);
    w.u16(frame);
    w.bytes(data);
    return w.take();
}

} // namespace moviemaker
