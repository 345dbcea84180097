#pragma once
// Huffman codes for VP6 coefficient tokens. A frame that asks for them sends no codes: both
// sides build the same tree from the probabilities of the token tree, so the construction
// below (the order of merges and of ties) is what makes the codes agree with the encoder's.

#include <array>
#include <cstdint>

#include "BitStream.h"

namespace video::vp6 {

class HuffmanTree {
  public:
    static constexpr int kMaxSymbols = 12;

    // `probs` are the size-1 node probabilities of the token tree, `map` names for each
    // node's two branches a symbol (< size) or the inner node (size + n) they lead to.
    void build(const std::uint8_t* probs, const std::uint8_t* map, int size);
    // The next symbol; a stream that runs out reads as zero bits (BitStream flags it).
    int decode(BitStream& in) const;

  private:
    struct Node {
        int count = 0;
        int symbol = -1; // -1 for an inner node.
        int first = 0;   // Inner node: index of the child taken on a 0 bit (1 is next).
    };
    std::array<Node, 2 * kMaxSymbols> nodes_{};
    int root_ = 0;
};

} // namespace video::vp6
