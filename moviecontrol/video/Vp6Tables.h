#pragma once
// The constant tables of the VP6 bitstream: default and update probabilities, dequantisers,
// token trees, scan order and the four-tap interpolation filters. They are part of the format:
// an encoder and every decoder use the same numbers.

#include <array>
#include <cstdint>

namespace video::vp6 {

// A binary tree read with the bool decoder. At an inner node (`jump` > 0) a bit is read with
// probability `probs[prob]`; 1 moves `jump` entries on, 0 to the next entry. A leaf holds
// the negated symbol in `jump` (0 for symbol 0).
struct TreeNode {
    std::int8_t jump;
    std::int8_t prob;
};

enum MbType : std::uint8_t {
    InterNoVectorPrevious = 0,
    Intra = 1,
    InterDeltaPrevious = 2,
    InterNearestPrevious = 3,
    InterNearPrevious = 4,
    InterNoVectorGolden = 5,
    InterDeltaGolden = 6,
    InterFourVectors = 7,
    InterNearestGolden = 8,
    InterNearGolden = 9,
};

enum class RefFrame : std::int8_t { None = -1, Current = 0, Previous = 1, Golden = 2 };

RefFrame referenceOf(int mbType);

extern const std::array<std::uint8_t, 64> kZigzag;
extern const std::array<std::uint8_t, 64> kAcDequant;
extern const std::array<std::uint8_t, 64> kDcDequant;
extern const std::array<std::uint8_t, 64> kFilterThreshold;

extern const std::uint8_t kDefaultMbTypeStats[3][10][2];
extern const std::uint8_t kPredefinedMbTypeStats[16][3][10][2];
extern const std::array<std::uint8_t, 6> kMbTypeModelModel;
extern const TreeNode kMbTypeDeltaTree[13];
extern const TreeNode kMbTypeTree[19];
extern const std::int8_t kCandidatePositions[12][2];

extern const std::uint8_t kDefaultLongVectorModel[2][8];
extern const std::uint8_t kDefaultShortVectorModel[2][7];
extern const std::uint8_t kVectorSignUpdate[2][2];
extern const std::uint8_t kShortVectorUpdate[2][7];
extern const std::uint8_t kLongVectorUpdate[2][8];
extern const TreeNode kShortVectorTree[15];

extern const std::array<std::uint8_t, 64> kDefaultCoeffReorder;
extern const std::uint8_t kDefaultRunModel[2][14];
extern const std::uint8_t kDcUpdate[2][11];
extern const std::array<std::uint8_t, 64> kCoeffReorderUpdate;
extern const std::uint8_t kRunUpdate[2][14];
extern const std::uint8_t kAcUpdate[3][2][6][11];
extern const int kDcContextLinear[3][5][2];
extern const std::array<std::uint8_t, 64> kCoeffGroups;
extern const std::uint8_t kCoeffParseProbs[6][11];
extern const std::array<std::uint8_t, 11> kCoeffBias;
extern const std::array<std::uint8_t, 6> kCoeffExtraBits;
extern const TreeNode kCoeffCategoryTree[11];
extern const TreeNode kRunTree[17];

extern const std::int16_t kFourTapFilters[17][8][4];

extern const std::array<std::uint8_t, 22> kHuffmanTokenMap;
extern const std::array<std::uint8_t, 16> kHuffmanRunMap;

} // namespace video::vp6
