#include "H263Blocks.h"

#include <algorithm>

#include "VlcTable.h"

namespace video {

namespace {

const VlcTable& intraMcbpc() {
    static const VlcTable t{{1, 1}, {1, 3}, {2, 3}, {3, 3}, {1, 4}, {1, 6}, {2, 6}, {3, 6}, {1, 9}};
    return t;
}

const VlcTable& interMcbpc() {
    static const VlcTable t{
        {1, 1}, {3, 4}, {2, 4}, {5, 6}, // inter
        {3, 3}, {7, 7}, {6, 7}, {5, 9}, // inter + quantiser
        {2, 3}, {5, 7}, {4, 7}, {5, 8}, // inter, four vectors
        {3, 5}, {4, 8}, {3, 8}, {3, 7}, // intra
        {4, 6}, {4, 9}, {3, 9}, {2, 9}, // intra + quantiser
        {1, 9},                         // stuffing
    };
    return t;
}

const VlcTable& cbpy() {
    static const VlcTable t{{3, 4}, {5, 5}, {4, 5}, {9, 4},  {3, 5}, {7, 4}, {2, 6}, {11, 4},
                            {2, 5}, {3, 6}, {5, 4}, {10, 4}, {4, 4}, {8, 4}, {6, 4}, {3, 2}};
    return t;
}

// Symbol i is the magnitude i; a set sign bit follows every non-zero magnitude.
const VlcTable& motion() {
    static const VlcTable t{{1, 1},   {1, 2},   {1, 3},   {1, 4},   {3, 6},   {5, 7},   {4, 7},
                            {3, 7},   {11, 9},  {10, 9},  {9, 9},   {17, 10}, {16, 10}, {15, 10},
                            {14, 10}, {13, 10}, {12, 10}, {11, 10}, {10, 10}, {9, 10},  {8, 10},
                            {7, 10},  {6, 10},  {5, 10},  {4, 10},  {7, 11},  {6, 11},  {5, 11},
                            {4, 11},  {3, 11},  {2, 11},  {3, 12},  {2, 12}};
    return t;
}

// Transform coefficients: symbols 0..57 are not last in their block, 58..101 are, 102 is the
// escape.
const VlcTable& tcoef() {
    static const VlcTable t{
        {0x2, 2},   {0xf, 4},   {0x15, 6},  {0x17, 7},  {0x1f, 8},  {0x25, 9},  {0x24, 9},
        {0x21, 10}, {0x20, 10}, {0x7, 11},  {0x6, 11},  {0x20, 11}, {0x6, 3},   {0x14, 6},
        {0x1e, 8},  {0xf, 10},  {0x21, 11}, {0x50, 12}, {0xe, 4},   {0x1d, 8},  {0xe, 10},
        {0x51, 12}, {0xd, 5},   {0x23, 9},  {0xd, 10},  {0xc, 5},   {0x22, 9},  {0x52, 12},
        {0xb, 5},   {0xc, 10},  {0x53, 12}, {0x13, 6},  {0xb, 10},  {0x54, 12}, {0x12, 6},
        {0xa, 10},  {0x11, 6},  {0x9, 10},  {0x10, 6},  {0x8, 10},  {0x16, 7},  {0x55, 12},
        {0x15, 7},  {0x14, 7},  {0x1c, 8},  {0x1b, 8},  {0x21, 9},  {0x20, 9},  {0x1f, 9},
        {0x1e, 9},  {0x1d, 9},  {0x1c, 9},  {0x1b, 9},  {0x1a, 9},  {0x22, 11}, {0x23, 11},
        {0x56, 12}, {0x57, 12}, {0x7, 4},   {0x19, 9},  {0x5, 11},  {0xf, 6},   {0x4, 11},
        {0xe, 6},   {0xd, 6},   {0xc, 6},   {0x13, 7},  {0x12, 7},  {0x11, 7},  {0x10, 7},
        {0x1a, 8},  {0x19, 8},  {0x18, 8},  {0x17, 8},  {0x16, 8},  {0x15, 8},  {0x14, 8},
        {0x13, 8},  {0x18, 9},  {0x17, 9},  {0x16, 9},  {0x15, 9},  {0x14, 9},  {0x13, 9},
        {0x12, 9},  {0x11, 9},  {0x7, 10},  {0x6, 10},  {0x5, 10},  {0x4, 10},  {0x24, 11},
        {0x25, 11}, {0x26, 11}, {0x27, 11}, {0x58, 12}, {0x59, 12}, {0x5a, 12}, {0x5b, 12},
        {0x5c, 12}, {0x5d, 12}, {0x5e, 12}, {0x5f, 12}, {0x3, 7},
    };
    return t;
}

constexpr int kEscape = 102;
constexpr int kFirstLast = 58;

constexpr std::uint8_t kRun[102] = {
    0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  1,  1,  1,  1,  1,  1,  2,  2,  2,
    2,  3,  3,  3,  4,  4,  4,  5,  5,  5,  6,  6,  6,  7,  7,  8,  8,  9,  9,  10, 10,
    11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 0,  0,  0,  1,  1,
    2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
    23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40};

constexpr std::uint8_t kLevel[102] = {
    1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 1, 2, 3, 1,
    2, 3, 1, 2, 3, 1, 2, 3, 1, 2,  1,  2,  1, 2, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    1, 1, 1, 1, 1, 1, 1, 2, 3, 1,  2,  1,  1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  1,  1,  1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

constexpr std::uint8_t kZigzag[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

} // namespace

int readIntraMcbpc(BitStream& in) {
    return intraMcbpc().read(in);
}

int readInterMcbpc(BitStream& in) {
    return interMcbpc().read(in);
}

int readCbpy(BitStream& in) {
    return cbpy().read(in);
}

bool readMotionDelta(BitStream& in, int& delta) {
    const int magnitude = motion().read(in);
    if (magnitude < 0) {
        return false;
    }
    delta = magnitude != 0 && in.bit() ? -magnitude : magnitude;
    return true;
}

bool readCoefficients(BitStream& in, Block& block, int first, std::uint8_t version) {
    int i = first;
    for (;;) {
        const int symbol = tcoef().read(in);
        if (symbol < 0 || in.failed()) {
            return false;
        }
        bool last = false;
        int run = 0;
        int level = 0;
        if (symbol == kEscape) {
            if (version >= 1) {
                const bool wide = in.bit();
                last = in.bit();
                run = static_cast<int>(in.bits(6));
                level = in.signedBits(wide ? 11 : 7);
            } else {
                last = in.bit();
                run = static_cast<int>(in.bits(6));
                level = in.signedBits(8);
                if (level == -128) {
                    return false;
                }
            }
            if (level == 0) {
                return false;
            }
        } else {
            last = symbol >= kFirstLast;
            run = kRun[symbol];
            level = kLevel[symbol];
            if (in.bit()) {
                level = -level;
            }
        }
        i += run;
        if (i > 63) {
            return false;
        }
        block[kZigzag[i]] = level;
        if (last) {
            return !in.failed();
        }
        ++i;
    }
}

void dequantise(Block& block, int quantiser, int first) {
    const int scale = quantiser * 2;
    const int offset = (quantiser - 1) | 1;
    for (int i = 0; i < 64; ++i) {
        if (i == 0 && first == 1) {
            continue; // the intra DC has its own scale
        }
        const int level = block[i];
        if (level == 0) {
            continue;
        }
        const int value = level < 0 ? level * scale - offset : level * scale + offset;
        block[i] = std::clamp(value, -2048, 2047);
    }
}

} // namespace video
