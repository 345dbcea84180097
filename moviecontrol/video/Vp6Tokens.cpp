#include "Vp6Tokens.h"

#include <algorithm>

#include "Vp6Tables.h"

namespace video::vp6 {

namespace {

void store(const Models& m, int index, int value, int acDequant, BlockCoefficients& out) {
    if (index > 0) {
        value *= acDequant;
    }
    const int zigzag = m.indexToPosition[static_cast<std::size_t>(index)];
    // Stored in 16 bits like the reference transform's input: absurd values wrap.
    out.c[kZigzag[static_cast<std::size_t>(zigzag)]] = static_cast<std::int16_t>(value);
}

int finishSelector(const Models& m, int index) {
    return m.indexToSelector[static_cast<std::size_t>(std::min(index, 63))];
}

} // namespace

void readTokens(BoolDecoder& in, const Models& m, int plane, int context, int acDequant,
                BlockCoefficients& out) {
    const std::uint8_t* values = m.dc[plane];
    const std::uint8_t* tokens = m.dcContext[plane][context];
    int codeType = 1; // 0 after a zero, 1 after a one, 2 after anything larger
    int index = 0;
    for (;;) {
        int run = 1;
        // After a zero the next token cannot be another zero: the run said how many.
        if ((index > 1 && codeType == 0) || in.bit(tokens[0])) {
            int value = 1;
            codeType = 1;
            if (in.bit(tokens[2])) {
                codeType = 2;
                if (in.bit(tokens[3])) {
                    const int category = in.tree(kCoeffCategoryTree, values);
                    value = kCoeffBias[static_cast<std::size_t>(category + 5)];
                    for (int i = kCoeffExtraBits[static_cast<std::size_t>(category)]; i >= 0; --i) {
                        value += (in.bit(kCoeffParseProbs[category][i]) ? 1 : 0) << i;
                    }
                } else if (in.bit(tokens[4])) {
                    value = 3 + (in.bit(values[5]) ? 1 : 0);
                } else {
                    value = 2;
                }
            }
            if (in.bit()) {
                value = -value;
            }
            store(m, index, value, acDequant, out);
        } else {
            codeType = 0;
            if (index > 0) {
                if (!in.bit(tokens[1])) {
                    break; // end of block
                }
                const std::uint8_t* runProbs = m.run[index >= 6 ? 1 : 0];
                run = in.tree(kRunTree, runProbs);
                if (run == 0) {
                    run = 9;
                    for (int i = 0; i < 6; ++i) {
                        run += (in.bit(runProbs[i + 8]) ? 1 : 0) << i;
                    }
                }
            }
        }
        index += run;
        if (index >= 64) {
            break;
        }
        values = tokens = m.ac[plane][codeType][kCoeffGroups[static_cast<std::size_t>(index)]];
    }
    out.selector = finishSelector(m, index);
}

namespace {

// How many following blocks have no DC (or no AC): a short code for small counts.
int readEmptyBlockCount(BitStream& in) {
    int v = static_cast<int>(in.bits(2));
    if (v == 2) {
        v += static_cast<int>(in.bits(2));
    } else if (v == 3) {
        const int wide = in.bit() ? 4 : 0;
        v = 6 + wide + static_cast<int>(in.bits(static_cast<unsigned>(2 + wide)));
    }
    return v;
}

} // namespace

void HuffmanTokenReader::read(BitStream& in, const Models& m, int plane, int acDequant,
                              BlockCoefficients& out) {
    const HuffmanTree* tree = &m.dcTree[plane];
    int codeType = 0;
    int index = 0;
    for (;;) {
        int run = 1;
        if (index < 2 && emptyBlocks_[static_cast<std::size_t>(index)][plane] > 0) {
            --emptyBlocks_[static_cast<std::size_t>(index)][plane];
            if (index == 1) {
                break;
            }
        } else {
            if (in.failed() || in.position() >= in.sizeInBits()) {
                in.setFailed();
                break;
            }
            const int token = tree->decode(in);
            if (token == 0) {
                if (index > 0) {
                    run += m.runTree[index >= 6 ? 1 : 0].decode(in);
                    if (run >= 9) {
                        run += static_cast<int>(in.bits(6));
                    }
                } else {
                    emptyBlocks_[0][plane] = readEmptyBlockCount(in);
                }
                codeType = 0;
            } else if (token == 11) {
                if (index == 1) {
                    emptyBlocks_[1][plane] = readEmptyBlockCount(in);
                }
                break;
            } else {
                int value = kCoeffBias[static_cast<std::size_t>(token)];
                if (token > 4) {
                    value += static_cast<int>(in.bits(token <= 9 ? token - 4 : 11));
                }
                codeType = value > 1 ? 2 : 1;
                if (in.bit()) {
                    value = -value;
                }
                store(m, index, value, acDequant, out);
            }
        }
        index += run;
        if (index >= 64) {
            break;
        }
        tree = &m.acTree[plane][codeType]
                        [std::min<int>(kCoeffGroups[static_cast<std::size_t>(index)], 3)];
    }
    out.selector = finishSelector(m, index);
}

} // namespace video::vp6
