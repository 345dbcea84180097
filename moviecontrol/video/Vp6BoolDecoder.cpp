#include "Vp6BoolDecoder.h"

namespace video::vp6 {

BoolDecoder::BoolDecoder(std::span<const std::uint8_t> data) : data_(data), bits_(-8) {
    // The window starts with two bytes: the top one is compared with the range, the one
    // below supplies the bits that renormalisation shifts in.
    fill();
}

void BoolDecoder::fill() {
    // Keep at least one byte below the top byte so that a renormalisation shift of up to
    // seven bits always finds real bits to move in. The value stays below range << bits_.
    while (bits_ < 8) {
        std::uint32_t byte = 0;
        if (next_ < data_.size()) {
            byte = data_[next_++];
        } else {
            ++padding_;
        }
        value_ = (value_ << 8) | byte;
        bits_ += 8;
    }
}

bool BoolDecoder::bit(int probability) {
    const std::uint32_t split = 1 + (((range_ - 1) * static_cast<std::uint32_t>(probability)) >> 8);
    const std::uint32_t bigSplit = split << bits_;
    bool one = false;
    if (value_ >= bigSplit) {
        one = true;
        range_ -= split;
        value_ -= bigSplit;
    } else {
        range_ = split;
    }
    while (range_ < 128) {
        range_ <<= 1;
        --bits_;
        if (bits_ < 8) {
            fill();
        }
    }
    return one;
}

int BoolDecoder::literal(int count) {
    int v = 0;
    for (int i = 0; i < count; ++i) {
        v = (v << 1) | (bit() ? 1 : 0);
    }
    return v;
}

int BoolDecoder::probability7() {
    const int v = literal(7) << 1;
    return v == 0 ? 1 : v;
}

int BoolDecoder::tree(const TreeNode* nodes, const std::uint8_t* probs) {
    int at = 0;
    while (nodes[at].jump > 0) {
        at += bit(probs[nodes[at].prob]) ? nodes[at].jump : 1;
    }
    return -nodes[at].jump;
}

} // namespace video::vp6
