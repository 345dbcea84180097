#include "BitStream.h"

namespace video {

std::uint32_t BitStream::peek(unsigned count) const {
    std::uint32_t value = 0;
    const std::size_t total = sizeInBits();
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t at = pos_ + i;
        std::uint32_t b = 0;
        if (at < total) {
            b = (data_[at >> 3] >> (7 - (at & 7))) & 1u;
        }
        value = (value << 1) | b;
    }
    return value;
}

std::uint32_t BitStream::bits(unsigned count) {
    const std::uint32_t value = peek(count);
    pos_ += count;
    if (pos_ > sizeInBits()) {
        failed_ = true;
        pos_ = sizeInBits();
    }
    return value;
}

std::int32_t BitStream::signedBits(unsigned count) {
    const std::uint32_t raw = bits(count);
    if (count == 0 || count >= 32) {
        return static_cast<std::int32_t>(raw);
    }
    const std::uint32_t sign = 1u << (count - 1);
    return static_cast<std::int32_t>((raw ^ sign)) - static_cast<std::int32_t>(sign);
}

} // namespace video
