#include "swf/ByteReader.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace swf {

std::uint8_t ByteReader::u8() {
    if (pos_ >= data_.size()) {
        failed_ = true;
        return 0;
    }
    return data_[pos_++];
}

std::uint16_t ByteReader::u16() {
    const std::uint16_t lo = u8();
    const std::uint16_t hi = u8();
    return static_cast<std::uint16_t>(lo | (hi << 8));
}

std::uint32_t ByteReader::u32() {
    const std::uint32_t lo = u16();
    const std::uint32_t hi = u16();
    return lo | (hi << 16);
}

std::uint64_t ByteReader::u64() {
    const std::uint64_t lo = u32();
    const std::uint64_t hi = u32();
    return lo | (hi << 32);
}

double ByteReader::fixed8() {
    return s16() / 256.0;
}

double ByteReader::fixed16() {
    return s32() / 65536.0;
}

float ByteReader::float16() {
    const std::uint16_t bits = u16();
    const int sign = (bits & 0x8000) ? -1 : 1;
    const int exponent = (bits >> 10) & 0x1F;
    const int mantissa = bits & 0x3FF;
    float value = 0.0f;
    if (exponent == 0) {
        value = std::ldexp(static_cast<float>(mantissa), -24);
    } else if (exponent == 31) {
        value = mantissa ? NAN : INFINITY;
    } else {
        value = std::ldexp(static_cast<float>(mantissa | 0x400), exponent - 25);
    }
    return static_cast<float>(sign) * value;
}

float ByteReader::float32() {
    return std::bit_cast<float>(u32());
}

double ByteReader::float64() {
    const std::uint64_t high = u32();
    const std::uint64_t low = u32();
    return std::bit_cast<double>((high << 32) | low);
}

std::uint32_t ByteReader::encodedU32() {
    std::uint32_t value = 0;
    for (int i = 0; i < 5; ++i) {
        const std::uint8_t byte = u8();
        value |= static_cast<std::uint32_t>(byte & 0x7F) << (7 * i);
        if (!(byte & 0x80)) {
            break;
        }
    }
    return value;
}

std::string ByteReader::string(std::size_t maxLength) {
    const std::size_t limit = std::min(maxLength, remaining());
    const auto begin = data_.begin() + static_cast<std::ptrdiff_t>(pos_);
    const auto end = begin + static_cast<std::ptrdiff_t>(limit);
    const auto nul = std::find(begin, end, std::uint8_t{0});
    std::string text(begin, nul);
    pos_ += text.size();
    if (nul == end) {
        // No terminator within bounds: what was there is the text, but the record is damaged.
        failed_ = true;
    } else {
        ++pos_;
    }
    return text;
}

std::string ByteReader::fixedString(std::size_t length) {
    const auto raw = bytes(length);
    std::string text(raw.begin(), raw.end());
    while (!text.empty() && text.back() == '\0') {
        text.pop_back();
    }
    return text;
}

std::span<const std::uint8_t> ByteReader::bytes(std::size_t n) {
    if (n > remaining()) {
        failed_ = true;
        n = remaining();
    }
    const auto out = data_.subspan(pos_, n);
    pos_ += n;
    return out;
}

std::span<const std::uint8_t> ByteReader::rest() {
    return bytes(remaining());
}

std::uint32_t BitReader::ub(unsigned bits) {
    // Fields wider than 32 bits do not exist in valid files; skip the excess high bits so the
    // stream stays in step with what the writer produced.
    while (bits > 32) {
        (void)ub(1);
        --bits;
    }
    // As many bits at a time as the current byte holds: shapes are mostly bit fields, and a
    // large movie's loading spends much of its time here.
    std::uint32_t value = 0;
    while (bits > 0) {
        if (bitsLeft_ == 0) {
            current_ = bytes_.u8();
            bitsLeft_ = 8;
        }
        const unsigned take = std::min(bits, bitsLeft_);
        bitsLeft_ -= take;
        value = (value << take) | ((current_ >> bitsLeft_) & ((1u << take) - 1u));
        bits -= take;
    }
    return value;
}

std::int32_t BitReader::sb(unsigned bits) {
    if (bits == 0) {
        return 0;
    }
    const unsigned width = std::min(bits, 32u);
    const std::uint32_t raw = ub(bits);
    if (width == 32) {
        return static_cast<std::int32_t>(raw);
    }
    const std::uint32_t signBit = 1u << (width - 1);
    return static_cast<std::int32_t>((raw ^ signBit) - signBit);
}

double BitReader::fb(unsigned bits) {
    return sb(bits) / 65536.0;
}

} // namespace swf
