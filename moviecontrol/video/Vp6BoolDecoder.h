#pragma once
// The binary arithmetic decoder of VP6 partitions: each bit is read against a probability
// (1..255, the chance of a zero in 256ths). Reading past the end of the partition feeds zero
// bytes, so a damaged frame can never read outside its bytes; `exhausted()` tells the decoder
// that it has gone further than any well-formed frame does.

#include <cstddef>
#include <cstdint>
#include <span>

#include "Vp6Tables.h"

namespace video::vp6 {

class BoolDecoder {
  public:
    BoolDecoder() = default;
    explicit BoolDecoder(std::span<const std::uint8_t> data);

    bool bit(int probability);
    bool bit() { return bit(128); }
    // `count` bits at probability one half, most significant first.
    int literal(int count);
    // A 7-bit probability update: the value doubled, with zero meaning 1.
    int probability7();
    int tree(const TreeNode* nodes, const std::uint8_t* probs);

    // True once more than two zero bytes past the end have been fed.
    bool exhausted() const { return padding_ > 2; }

  private:
    void fill();

    std::span<const std::uint8_t> data_;
    std::size_t next_ = 0;
    std::uint32_t value_ = 0; // The window, its top byte aligned with `range_`.
    int bits_ = 0;            // Bits in the window below the top byte.
    std::uint32_t range_ = 255;
    int padding_ = 0;
};

} // namespace video::vp6
