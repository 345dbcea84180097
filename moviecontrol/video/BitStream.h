#pragma once
// Most-significant-bit-first reader over one video frame. Reading past the end yields zero
// bits and sets a sticky failure flag, so a damaged frame can never reach outside its bytes;
// the decoder checks the flag once per macroblock.

#include <cstddef>
#include <cstdint>
#include <span>

namespace video {

class BitStream {
  public:
    explicit BitStream(std::span<const std::uint8_t> data) : data_(data) {}

    // The next `count` (0..32) bits without consuming them; zeros past the end.
    std::uint32_t peek(unsigned count) const;
    std::uint32_t bits(unsigned count);
    // Two's complement field of `count` (1..32) bits, sign-extended.
    std::int32_t signedBits(unsigned count);
    bool bit() { return bits(1) != 0; }
    void skip(unsigned count) { (void)bits(count); }

    std::size_t position() const { return pos_; }
    std::size_t sizeInBits() const { return data_.size() * 8; }
    bool failed() const { return failed_; }
    void setFailed() { failed_ = true; }

  private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0; // In bits.
    bool failed_ = false;
};

} // namespace video
