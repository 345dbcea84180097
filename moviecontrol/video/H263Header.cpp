#include "H263Header.h"

namespace video {

namespace {

struct FixedSize {
    std::uint16_t width;
    std::uint16_t height;
};
constexpr FixedSize kFixedSizes[] = {{352, 288}, {176, 144}, {128, 96}, {320, 240}, {160, 120}};

} // namespace

HeaderError readPictureHeader(BitStream& in, PictureHeader& out) {
    if (in.sizeInBits() - in.position() < 17 + 5 + 8 + 3) {
        return HeaderError::Truncated;
    }
    if (in.bits(17) != 1) {
        return HeaderError::BadStartCode;
    }
    const std::uint32_t version = in.bits(5);
    if (version > 1) {
        return HeaderError::BadVersion;
    }
    out.version = static_cast<std::uint8_t>(version);
    out.temporalReference = static_cast<std::uint8_t>(in.bits(8));
    const std::uint32_t sizeCode = in.bits(3);
    if (sizeCode == 0 || sizeCode == 1) {
        const unsigned bits = sizeCode == 0 ? 8 : 16;
        out.width = static_cast<std::uint16_t>(in.bits(bits));
        out.height = static_cast<std::uint16_t>(in.bits(bits));
    } else if (sizeCode <= 6) {
        out.width = kFixedSizes[sizeCode - 2].width;
        out.height = kFixedSizes[sizeCode - 2].height;
    } else {
        return HeaderError::BadSize;
    }
    const std::uint32_t type = in.bits(2);
    out.deblocking = in.bit();
    const std::uint32_t quantiser = in.bits(5);
    // Extra information bytes, each announced by a set bit; none carries meaning for us.
    while (!in.failed() && in.bit()) {
        in.skip(8);
    }
    if (in.failed()) {
        return HeaderError::Truncated;
    }
    if (out.width == 0 || out.height == 0 || out.width > kMaxPictureSide ||
        out.height > kMaxPictureSide) {
        return HeaderError::BadSize;
    }
    if (type > 2) {
        return HeaderError::BadType;
    }
    out.type = static_cast<PictureType>(type);
    if (quantiser == 0) {
        return HeaderError::BadQuantiser;
    }
    out.quantiser = static_cast<std::uint8_t>(quantiser);
    return HeaderError::None;
}

bool peekPictureType(std::span<const std::uint8_t> frame, PictureType& type) {
    BitStream in(frame);
    PictureHeader header;
    if (readPictureHeader(in, header) != HeaderError::None) {
        return false;
    }
    type = header.type;
    return true;
}

} // namespace video
