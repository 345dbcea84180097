#include "moviemaker/BitWriter.h"

#include "moviemaker/WriteError.h"

#include <bit>
#include <string>
#include <utility>

namespace moviemaker {

unsigned unsignedBitWidth(uint32_t value) {
    return static_cast<unsigned>(std::bit_width(value));
}

unsigned signedBitWidth(int32_t value) {
    if (value == 0) {
        return 0;
    }
    // One sign bit plus the magnitude bits of the value or, when negative, of its complement.
    const uint32_t magnitude =
        value < 0 ? ~static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    return unsignedBitWidth(magnitude) + 1;
}

void BitWriter::ub(uint32_t value, unsigned bits) {
    if (bits > 32 || (bits < 32 && (value >> bits) != 0)) {
        throw WriteError("unsigned value " + std::to_string(value) + " needs more than " +
                         std::to_string(bits) + " bits");
    }
    for (unsigned i = bits; i-- > 0;) {
        if (bitsUsed_ == 0) {
            data_.push_back(0);
        }
        if ((value >> i) & 1u) {
            data_.back() = static_cast<uint8_t>(data_.back() | (0x80u >> bitsUsed_));
        }
        bitsUsed_ = (bitsUsed_ + 1) % 8;
    }
}

void BitWriter::sb(int32_t value, unsigned bits) {
    if (signedBitWidth(value) > bits) {
        throw WriteError("signed value " + std::to_string(value) + " needs more than " +
                         std::to_string(bits) + " bits");
    }
    if (bits == 0) {
        return;
    }
    const uint32_t mask = bits >= 32 ? 0xFFFFFFFFu : ((1u << bits) - 1u);
    ub(static_cast<uint32_t>(value) & mask, bits);
}

void BitWriter::u8(uint8_t value) {
    align();
    data_.push_back(value);
}

void BitWriter::u16(uint16_t value) {
    u8(static_cast<uint8_t>(value & 0xFF));
    u8(static_cast<uint8_t>(value >> 8));
}

void BitWriter::u32(uint32_t value) {
    u16(static_cast<uint16_t>(value & 0xFFFF));
    u16(static_cast<uint16_t>(value >> 16));
}

void BitWriter::bytes(std::span<const uint8_t> data) {
    align();
    data_.insert(data_.end(), data.begin(), data.end());
}

void BitWriter::string(std::string_view text) {
    if (text.find('\0') != std::string_view::npos) {
        throw WriteError("a stored string cannot contain a zero byte");
    }
    align();
    data_.insert(data_.end(), text.begin(), text.end());
    data_.push_back(0);
}

void BitWriter::patchU16(std::size_t at, uint16_t value) {
    if (at + 2 > data_.size()) {
        throw WriteError("patch outside the written bytes");
    }
    data_[at] = static_cast<uint8_t>(value & 0xFF);
    data_[at + 1] = static_cast<uint8_t>(value >> 8);
}

void BitWriter::patchU32(std::size_t at, uint32_t value) {
    patchU16(at, static_cast<uint16_t>(value & 0xFFFF));
    patchU16(at + 2, static_cast<uint16_t>(value >> 16));
}

std::vector<uint8_t> BitWriter::take() {
    bitsUsed_ = 0;
    return std::exchange(data_, {});
}

} // namespace moviemaker
