#pragma once
// The adaptive probabilities of one VP6 stream. Key frames start from the defaults; every
// frame header may then replace single probabilities, and inter frames carry them over from
// the frame before.

#include <array>
#include <cstdint>

#include "Vp6BoolDecoder.h"
#include "Vp6Huffman.h"

namespace video::vp6 {

struct Models {
    std::uint8_t mbTypeStats[3][10][2]{};
    // Per context and previous type: [0] "same as before", [1..9] the type tree's nodes.
    std::uint8_t mbType[3][10][10]{};
    std::uint8_t vectorLongForm[2]{};
    std::uint8_t vectorSign[2]{};
    std::uint8_t vectorShort[2][7]{};
    std::uint8_t vectorLong[2][8]{};
    std::uint8_t dc[2][11]{};
    std::uint8_t dcContext[2][3][5]{};
    std::uint8_t ac[2][3][6][11]{}; // [plane][code type][coefficient group][node]
    std::uint8_t run[2][14]{};
    std::array<std::uint8_t, 64> reorder{};
    std::array<std::uint8_t, 64> indexToPosition{}; // Coded order to zigzag position.
    std::array<std::uint8_t, 64> indexToSelector{}; // How much of the transform can be set.

    HuffmanTree dcTree[2];
    HuffmanTree runTree[2];
    HuffmanTree acTree[2][3][4];
};

void setDefaultModels(Models& m, int version);
// The macroblock type probabilities follow from the type statistics.
void computeMbTypeProbabilities(Models& m);
// The DC token probabilities for each neighbour context follow from the plain DC ones.
void computeDcContexts(Models& m);
void readMbTypeModels(BoolDecoder& in, Models& m);
void readVectorModels(BoolDecoder& in, Models& m);
void readCoefficientModels(BoolDecoder& in, Models& m, bool keyFrame, bool huffman, int version);

} // namespace video::vp6
