#pragma once
// Hand-built Sorenson Spark (Flash H.263) frames and the video tags that carry them. Codes are
// written from the H.263 tables for the few symbols tests need, independently of the decoder.

#include "moviemaker/BitWriter.h"

#include <array>
#include <cstdint>
#include <vector>

namespace moviemaker {

class H263Frame {
  public:
    enum Type { Intra = 0, Inter = 1, DisposableInter = 2 };

    // Picks the 8-bit custom size when both sides fit, else the 16-bit one.
    H263Frame(Type type, uint16_t width, uint16_t height, uint8_t quantiser, uint8_t version = 0,
              bool deblocking = false);

    // An intra macroblock whose six blocks (four luma, Cb, Cr) hold only their DC level
    // (1..254; 128 is written as 255).
    H263Frame& intraFlat(const std::array<uint8_t, 6>& dc);
    // An intra macroblock with one AC coefficient, at the first zigzag position after the DC,
    // in the top-left luma block. Level 1 uses the table code, others the escape.
    H263Frame& intraWithAc(const std::array<uint8_t, 6>& dc, int level);
    // Inter frames: a macroblock copied from the reference unmoved.
    H263Frame& skipped();
    // Inter frames: a macroblock moved by its vector difference (half pixels; 0, +-1, +-2
    // or +-32; others are refused), no residual.
    H263Frame& moved(int dx, int dy);
    // Raw bits, for damaged streams.
    H263Frame& bits(uint32_t value, unsigned count);

    std::vector<uint8_t> take();

  private:
    void motionDelta(int delta);
    void escape(bool last, int run, int level);
    uint8_t version_;
    BitWriter out_;
};

// The DefineVideoStream body: flags hold deblocking in bits 1-3 and smoothing in bit 0.
std::vector<uint8_t> encodeDefineVideoStream(uint16_t id, uint16_t frames, uint16_t width,
                                             uint16_t height, uint8_t flags, uint8_t codec);
std::vector<uint8_t> encodeVideoFrame(uint16_t streamId, uint16_t frame,
                                      const std::vector<uint8_t>& data);

} // namespace moviemaker
