#pragma once
// Bounds-checked readers for the little-endian byte fields and MSB-first bit fields of a movie.
// Reading past the end never touches memory outside the span: it yields zeros and sets a sticky
// failure flag that the caller checks once per record instead of after every field.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace swf {

class ByteReader {
  public:
    ByteReader() = default;
    explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    std::uint64_t u64();
    std::int8_t s8() { return static_cast<std::int8_t>(u8()); }
    std::int16_t s16() { return static_cast<std::int16_t>(u16()); }
    std::int32_t s32() { return static_cast<std::int32_t>(u32()); }
    // Signed 8.8 fixed point.
    double fixed8();
    // Signed 16.16 fixed point.
    double fixed16();
    float float16();
    float float32();
    // The format stores doubles as two little-endian words, high word first.
    double float64();
    // 1 to 5 bytes, 7 bits each, low group first.
    std::uint32_t encodedU32();

    // A NUL-terminated string of at most maxLength bytes (the NUL is consumed, not returned).
    // A string that runs to the end without NUL is returned as is and sets the failure flag.
    std::string string(std::size_t maxLength = SIZE_MAX);
    // A string of exactly `length` bytes (font names); trailing NULs are dropped.
    std::string fixedString(std::size_t length);

    // The next n bytes, or fewer when fewer remain (then the failure flag is set).
    std::span<const std::uint8_t> bytes(std::size_t n);
    // Everything that remains.
    std::span<const std::uint8_t> rest();
    void skip(std::size_t n) { (void)bytes(n); }

    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return data_.size() - pos_; }
    bool atEnd() const { return pos_ >= data_.size(); }
    bool failed() const { return failed_; }
    void setFailed() { failed_ = true; }
    std::span<const std::uint8_t> data() const { return data_; }

  private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

// Reads bit fields starting at the byte reader's position. Bits are consumed a byte at a time
// from the underlying reader, so after align() (or destruction) byte reads continue at the
// next whole byte, which is what every bit-packed record of the format expects.
class BitReader {
  public:
    explicit BitReader(ByteReader& bytes) : bytes_(bytes) {}

    // Unsigned field of 0..32 bits; wider requests are clamped to 32 bits after skipping.
    std::uint32_t ub(unsigned bits);
    // Signed (two's complement, sign-extended) field of 0..32 bits.
    std::int32_t sb(unsigned bits);
    // Signed 16.16 fixed point field.
    double fb(unsigned bits);
    bool flag() { return ub(1) != 0; }
    void align() { bitsLeft_ = 0; }
    bool failed() const { return bytes_.failed(); }

  private:
    ByteReader& bytes_;
    std::uint8_t current_ = 0;
    unsigned bitsLeft_ = 0;
};

} // namespace swf
