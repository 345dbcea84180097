#include "Vp6Huffman.h"

#include <algorithm>
#include <utility>

namespace video::vp6 {

void HuffmanTree::build(const std::uint8_t* probs, const std::uint8_t* map, int size) {
    // Weights: 256 at the root, split down the token tree by each node's probability; every
    // symbol keeps at least weight 1 so that it gets a code.
    std::array<int, 2 * kMaxSymbols> weight{};
    weight[static_cast<std::size_t>(size)] = 256;
    for (int i = 0; i < size - 1; ++i) {
        const int w = weight[static_cast<std::size_t>(size + i)];
        const int a = (w * probs[i]) >> 8;
        const int b = (w * (255 - probs[i])) >> 8;
        weight[map[2 * i]] = a == 0 ? 1 : a;
        weight[map[2 * i + 1]] = b == 0 ? 1 : b;
    }
    for (int i = 0; i < size; ++i) {
        nodes_[static_cast<std::size_t>(i)] = Node{weight[static_cast<std::size_t>(i)], i, 0};
    }
    // Lightest first; among equal weights the higher symbol first.
    std::sort(nodes_.begin(), nodes_.begin() + size, [](const Node& a, const Node& b) {
        return a.count != b.count ? a.count < b.count : a.symbol > b.symbol;
    });
    // Merge the two lightest, then sink the new node below heavier ones; an inner node goes
    // before leaves of equal weight, but never below its own children.
    int next = size;
    for (int i = 0; i + 1 < next; i += 2) {
        nodes_[static_cast<std::size_t>(next)] =
            Node{nodes_[static_cast<std::size_t>(i)].count +
                     nodes_[static_cast<std::size_t>(i + 1)].count,
                 -1, i};
        for (int j = next; j > 0; --j) {
            const Node& n = nodes_[static_cast<std::size_t>(j)];
            const Node& below = nodes_[static_cast<std::size_t>(j - 1)];
            if (n.count > below.count ||
                (n.count == below.count &&
                 (n.first == j - 1 || n.first == j - 2 || (n.symbol >= 0 && below.symbol >= 0)))) {
                break;
            }
            std::swap(nodes_[static_cast<std::size_t>(j)], nodes_[static_cast<std::size_t>(j - 1)]);
        }
        ++next;
    }
    root_ = 2 * size - 2;
}

int HuffmanTree::decode(BitStream& in) const {
    int at = root_;
    // A tree of at most 12 leaves is at most 11 deep; the bound also guards a corrupt tree.
    for (int depth = 0; depth < 2 * kMaxSymbols; ++depth) {
        const Node& n = nodes_[static_cast<std::size_t>(at)];
        if (n.symbol >= 0) {
            return n.symbol;
        }
        at = n.first + (in.bit() ? 1 : 0);
    }
    in.setFailed();
    return 0;
}

} // namespace video::vp6
