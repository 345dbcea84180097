#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace moviemaker {

// Smallest widths that hold a value in the movie's bit fields. Zero needs no bits at all;
// callers with a format minimum (edges need two) apply it themselves.
unsigned unsignedBitWidth(uint32_t value);
unsigned signedBitWidth(int32_t value);

// Collects movie bytes. Bit fields are packed most significant bit first; every byte-sized
// write first pads the current partial byte with zero bits, as the format expects between
// bit-packed records and byte fields.
class BitWriter {
  public:
    void ub(uint32_t value, unsigned bits);
    void sb(int32_t value, unsigned bits);
    // Fixed-point 16.16 bit field; the same layout as a signed field.
    void fb(int32_t fixed16, unsigned bits) { sb(fixed16, bits); }
    void flag(bool value) { ub(value ? 1u : 0u, 1); }
    void align() { bitsUsed_ = 0; }

    void u8(uint8_t value);
    void u16(uint16_t value);
    void i16(int16_t value) { u16(static_cast<uint16_t>(value)); }
    void u32(uint32_t value);
    void bytes(std::span<const uint8_t> data);
    // Zero-terminated, as the format stores names and labels.
    void string(std::string_view text);

    void patchU16(std::size_t at, uint16_t value);
    void patchU32(std::size_t at, uint32_t value);

    std::size_t size() const { return data_.size(); }
    const std::vector<uint8_t>& data() const { return data_; }
    std::vector<uint8_t> take();

  private:
    std::vector<uint8_t> data_;
    unsigned bitsUsed_ = 0; // bits already used in data_.back(); 0 means byte-aligned
};

} // namespace moviemaker
