#include "moviemaker/JpegBitmap.h"

#include "moviemaker/BitWriter.h"
#include "moviemaker/LosslessBitmap.h"
#include "moviemaker/WriteError.h"

namespace moviemaker {

std::vector<uint8_t> encodeDefineBitsJpeg(uint16_t id, std::span<const uint8_t> jpeg,
                                          std::span<const uint8_t> alpha) {
    if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) {
        throw WriteError("a JPEG bitmap needs a JPEG stream starting with its SOI marker");
    }
    BitWriter body;
    body.u16(id);
    if (!alpha.empty()) {
        body.u32(fieldValue<uint32_t>(jpeg.size(), "the JPEG length"));
    }
    body.bytes(jpeg);
    if (!alpha.empty()) {
        body.bytes(zlibCompress(alpha));
    }
    return body.data();
}

} // namespace moviemaker
