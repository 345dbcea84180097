#pragma once
// Builds small VP6 frames for the tests: a bool encoder and just enough of an encoder's
// bookkeeping (neighbour contexts, vector candidates) to code flat blocks, macroblock modes
// and short vectors. Probabilities come from the decoder's own model defaults, so what the
// tests check is everything the decoder derives from them.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "BitStream.h"
#include "Vp6Huffman.h"
#include "Vp6Models.h"
#include "Vp6Reconstruct.h"
#include "Vp6Tables.h"

namespace vp6test {

using video::vp6::MotionVector;
namespace vp6 = video::vp6;

class BoolEncoder {
  public:
    void put(bool bit, int probability) {
        const std::uint32_t split =
            1 + (((range_ - 1) * static_cast<std::uint32_t>(probability)) >> 8);
        if (bit) {
            bottom_ += split;
            range_ -= split;
        } else {
            range_ = split;
        }
        while (range_ < 128) {
            range_ <<= 1;
            if ((bottom_ & (1u << 31)) != 0) {
                carry();
            }
            bottom_ <<= 1;
            if (--bitCount_ == 0) {
                out_.push_back(static_cast<std::uint8_t>(bottom_ >> 24));
                bottom_ &= (1u << 24) - 1;
                bitCount_ = 8;
            }
        }
    }
    void literal(int value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            put(((value >> i) & 1) != 0, 128);
        }
    }
    // Codes `symbol` with a tree read by BoolDecoder::tree.
    void tree(const vp6::TreeNode* nodes, const std::uint8_t* probs, int symbol) {
        std::vector<std::pair<int, bool>> path;
        if (!find(nodes, 0, symbol, path)) {
            std::abort();
        }
        for (const auto& [node, bit] : path) {
            put(bit, probs[nodes[node].prob]);
        }
    }
    std::vector<std::uint8_t> finish() {
        for (int i = 0; i < 32; ++i) {
            put(false, 128);
        }
        return out_;
    }

  private:
    static bool find(const vp6::TreeNode* nodes, int at, int symbol,
                     std::vector<std::pair<int, bool>>& path) {
        if (nodes[at].jump <= 0) {
            return -nodes[at].jump == symbol;
        }
        for (const bool bit : {false, true}) {
            path.emplace_back(at, bit);
            if (find(nodes, bit ? at + nodes[at].jump : at + 1, symbol, path)) {
                return true;
            }
            path.pop_back();
        }
        return false;
    }
    void carry() {
        for (std::size_t i = out_.size(); i-- > 0;) {
            if (out_[i] != 255) {
                ++out_[i];
                return;
            }
            out_[i] = 0;
        }
    }
    std::vector<std::uint8_t> out_;
    std::uint32_t range_ = 255;
    std::uint32_t bottom_ = 0;
    int bitCount_ = 24;
};

// One macroblock as the writer codes it: a type, its vector(s) and the DC difference of each
// block (luma 0-3, Cb, Cr; |dc| < 2115), all AC coefficients zero.
struct MacroblockSpec {
    int type = vp6::Intra;
    MotionVector delta;              // Delta types: the coded difference (short form, |d| < 8).
    int fourKinds[4] = {0, 0, 0, 0}; // Four vectors: 0 none, 1 delta, 2 nearest, 3 near.
    MotionVector fourDeltas[4];
    int dc[6] = {0, 0, 0, 0, 0, 0};
};

// Writes the frames of one simple-profile VP60 stream.
class StreamWriter {
  public:
    StreamWriter(int rows, int cols) : rows_(rows), cols_(cols) {
        mbs_.resize(static_cast<std::size_t>(rows * cols));
    }

    // `huffman` codes the tokens with the Huffman codes instead of the bool coder.
    std::vector<std::uint8_t> frame(bool key, int quantiser,
                                    const std::vector<MacroblockSpec>& specs, bool golden = false,
                                    bool huffman = false) {
        BoolEncoder modes;
        if (key) {
            modes.literal(0, 2);
            vp6::setDefaultModels(models_, 6);
        } else {
            modes.put(golden, 128);
        }
        modes.put(huffman, 128);
        if (!key) {
            for (int ctx = 0; ctx < 3; ++ctx) {
                modes.put(false, 174);
                modes.put(false, 254);
            }
            vp6::computeMbTypeProbabilities(models_);
            for (int c = 0; c < 2; ++c) {
                modes.put(false, vp6::kVectorSignUpdate[c][0]);
                modes.put(false, vp6::kVectorSignUpdate[c][1]);
            }
            for (int c = 0; c < 2; ++c) {
                for (int n = 0; n < 7; ++n) {
                    modes.put(false, vp6::kShortVectorUpdate[c][n]);
                }
            }
            for (int c = 0; c < 2; ++c) {
                for (int n = 0; n < 8; ++n) {
                    modes.put(false, vp6::kLongVectorUpdate[c][n]);
                }
            }
            previousType_ = vp6::InterNoVectorPrevious;
        }
        for (int pt = 0; pt < 2; ++pt) {
            for (int n = 0; n < 11; ++n) {
                modes.put(false, vp6::kDcUpdate[pt][n]);
                if (key) {
                    models_.dc[pt][n] = 128;
                }
            }
        }
        modes.put(false, 128); // scan order kept
        for (int g = 0; g < 2; ++g) {
            for (int n = 0; n < 14; ++n) {
                modes.put(false, vp6::kRunUpdate[g][n]);
            }
        }
        for (int ct = 0; ct < 3; ++ct) {
            for (int pt = 0; pt < 2; ++pt) {
                for (int g = 0; g < 6; ++g) {
                    for (int n = 0; n < 11; ++n) {
                        modes.put(false, vp6::kAcUpdate[ct][pt][g][n]);
                        if (key) {
                            models_.ac[pt][ct][g][n] = 128;
                        }
                    }
                }
            }
        }
        vp6::computeDcContexts(models_);
        if (huffman) {
            for (int pt = 0; pt < 2; ++pt) {
                models_.dcTree[pt].build(models_.dc[pt], vp6::kHuffmanTokenMap.data(), 12);
                for (int ct = 0; ct < 3; ++ct) {
                    models_.acTree[pt][ct][0].build(models_.ac[pt][ct][0],
                                                    vp6::kHuffmanTokenMap.data(), 12);
                }
            }
        }

        BoolEncoder tokens;
        std::vector<bool> aboveLuma(static_cast<std::size_t>(cols_ * 2));
        std::vector<bool> aboveChroma(static_cast<std::size_t>(cols_ * 2));
        for (int row = 0; row < rows_; ++row) {
            bool left[4] = {};
            for (int col = 0; col < cols_; ++col) {
                const MacroblockSpec& s = specs[static_cast<std::size_t>(row * cols_ + col)];
                if (key) {
                    mbs_[static_cast<std::size_t>(row * cols_ + col)] = {vp6::Intra, {}};
                } else {
                    writeModes(modes, row, col, s);
                }
                static constexpr int kLeftOf[6] = {0, 0, 1, 1, 2, 3};
                for (int b = 0; b < 6; ++b) {
                    const std::size_t above = b < 4
                                                  ? static_cast<std::size_t>(col * 2 + (b & 1))
                                                  : static_cast<std::size_t>((b - 4) * cols_ + col);
                    std::vector<bool>& aboveRow = b < 4 ? aboveLuma : aboveChroma;
                    const int context = (left[kLeftOf[b]] ? 1 : 0) + (aboveRow[above] ? 1 : 0);
                    writeDcOnly(tokens, b < 4 ? 0 : 1, context, s.dc[b]);
                    left[kLeftOf[b]] = s.dc[b] != 0;
                    aboveRow[above] = s.dc[b] != 0;
                }
            }
        }
        const std::vector<std::uint8_t> first = modes.finish();
        const std::vector<std::uint8_t> second = huffman ? huffmanTokens(specs) : tokens.finish();
        std::vector<std::uint8_t> out;
        out.push_back(static_cast<std::uint8_t>((key ? 0 : 0x80) | (quantiser << 1)));
        if (key) {
            out.push_back(6 << 3); // VP60, simple profile
        }
        const std::size_t headerSize = key ? 8 : 3;
        const std::size_t offset = headerSize + first.size();
        out.push_back(static_cast<std::uint8_t>(offset >> 8));
        out.push_back(static_cast<std::uint8_t>(offset & 0xFF));
        if (key) {
            out.insert(out.end(),
                       {static_cast<std::uint8_t>(rows_), static_cast<std::uint8_t>(cols_),
                        static_cast<std::uint8_t>(rows_), static_cast<std::uint8_t>(cols_)});
        }
        out.insert(out.end(), first.begin(), first.end());
        out.insert(out.end(), second.begin(), second.end());
        return out;
    }

  private:
    // Codes of a tree, found by reading every bit pattern back through the decoder's tree.
    struct Code {
        std::uint32_t bits = 0;
        int length = 0;
    };
    static std::vector<Code> codesOf(const vp6::HuffmanTree& tree, int symbols) {
        std::vector<Code> codes(static_cast<std::size_t>(symbols));
        for (std::uint32_t pattern = 0; pattern < 4096; ++pattern) {
            const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(pattern >> 4),
                                           static_cast<std::uint8_t>(pattern << 4)};
            video::BitStream in(bytes);
            const int symbol = tree.decode(in);
            const int length = static_cast<int>(in.position());
            codes[static_cast<std::size_t>(symbol)] = {pattern >> (12 - length), length};
        }
        return codes;
    }

    struct BitWriter {
        std::vector<std::uint8_t> bytes;
        int used = 8;
        void put(std::uint32_t value, int count) {
            for (int i = count - 1; i >= 0; --i) {
                if (used == 8) {
                    bytes.push_back(0);
                    used = 0;
                }
                if (((value >> i) & 1) != 0) {
                    bytes.back() |= static_cast<std::uint8_t>(0x80 >> used);
                }
                ++used;
            }
        }
        void put(const Code& c) { put(c.bits, c.length); }
        // A count of following blocks (0..73) in its short form.
        void count(int n) {
            if (n < 2) {
                put(static_cast<std::uint32_t>(n), 2);
            } else if (n < 6) {
                put(2, 2);
                put(static_cast<std::uint32_t>(n - 2), 2);
            } else if (n < 10) {
                put(6, 3);
                put(static_cast<std::uint32_t>(n - 6), 2);
            } else {
                put(7, 3);
                put(static_cast<std::uint32_t>(n - 10), 6);
            }
        }
    };

    // Blocks are DC only: every one ends at the first AC position, so an end of block is
    // followed by the count of the blocks of its plane type after it (up to 73); a zero DC
    // starts a run of the zero DCs that follow it.
    std::vector<std::uint8_t> huffmanTokens(const std::vector<MacroblockSpec>& specs) {
        for (int pt = 0; pt < 2; ++pt) {
            dcCodes_[pt] = codesOf(models_.dcTree[pt], 12);
            for (int ct = 0; ct < 3; ++ct) {
                acCodes_[pt][ct] = codesOf(models_.acTree[pt][ct][0], 12);
            }
        }
        std::vector<int> order[2];
        for (const MacroblockSpec& s : specs) {
            for (int b = 0; b < 6; ++b) {
                order[b < 4 ? 0 : 1].push_back(s.dc[b]);
            }
        }
        BitWriter out;
        int skipDc[2] = {0, 0};
        int skipAc[2] = {0, 0};
        std::size_t at[2] = {0, 0};
        for (const MacroblockSpec& s : specs) {
            for (int b = 0; b < 6; ++b) {
                const int pt = b < 4 ? 0 : 1;
                const std::size_t i = at[pt]++;
                const int dc = s.dc[b];
                int codeType = 0;
                if (skipDc[pt] > 0) {
                    --skipDc[pt];
                } else if (dc == 0) {
                    out.put(dcCodes_[pt][0]);
                    int run = 0;
                    while (i + 1 + static_cast<std::size_t>(run) < order[pt].size() &&
                           order[pt][i + 1 + static_cast<std::size_t>(run)] == 0 && run < 73) {
                        ++run;
                    }
                    out.count(run);
                    skipDc[pt] = run;
                } else {
                    const int m = std::abs(dc);
                    int token = std::min(m, 4);
                    for (int t = 5; t <= 10; ++t) {
                        if (m >= vp6::kCoeffBias[static_cast<std::size_t>(t)]) {
                            token = t;
                        }
                    }
                    out.put(dcCodes_[pt][static_cast<std::size_t>(token)]);
                    if (token > 4) {
                        out.put(static_cast<std::uint32_t>(
                                    m - vp6::kCoeffBias[static_cast<std::size_t>(token)]),
                                token <= 9 ? token - 4 : 11);
                    }
                    out.put(dc < 0 ? 1 : 0, 1);
                    codeType = m > 1 ? 2 : 1;
                }
                if (skipAc[pt] > 0) {
                    --skipAc[pt];
                } else {
                    out.put(acCodes_[pt][codeType][11]); // end of block at the first AC
                    skipAc[pt] = std::min(static_cast<int>(order[pt].size() - i - 1), 73);
                    out.count(skipAc[pt]);
                }
            }
        }
        out.put(0, 32);
        return out.bytes;
    }

    std::vector<Code> dcCodes_[2];
    std::vector<Code> acCodes_[2][3];

    struct Mb {
        int type = vp6::Intra;
        MotionVector mv;
    };
    struct Candidates {
        MotionVector first;
        MotionVector second;
        int context = 1;
        bool firstIsNear = false;
    };

    // Written from the format's rule rather than shared with the decoder: the twelve places
    // nearest first, vectors that are zero or repeat the first skipped.
    Candidates candidates(int row, int col, vp6::RefFrame ref) const {
        Candidates c;
        int found = 0;
        for (const auto& p : vp6::kCandidatePositions) {
            const int x = col + p[0];
            const int y = row + p[1];
            if (x < 0 || y < 0 || x >= cols_ || y >= rows_) {
                continue;
            }
            const Mb& mb = mbs_[static_cast<std::size_t>(y * cols_ + x)];
            if (vp6::referenceOf(mb.type) != ref || mb.mv == MotionVector{} ||
                (found > 0 && mb.mv == c.first)) {
                continue;
            }
            if (found == 0) {
                c.first = mb.mv;
                c.firstIsNear = (&p - vp6::kCandidatePositions) < 2;
            } else {
                c.second = mb.mv;
            }
            if (++found == 2) {
                break;
            }
        }
        c.context = found == 2 ? 0 : found + 1;
        return c;
    }

    MotionVector writeVector(BoolEncoder& e, const Candidates& c, MotionVector delta) {
        const int d[2] = {delta.x, delta.y};
        for (int comp = 0; comp < 2; ++comp) {
            e.put(false, models_.vectorLongForm[comp]);
            e.tree(vp6::kShortVectorTree, models_.vectorShort[comp], std::abs(d[comp]));
            if (d[comp] != 0) {
                e.put(d[comp] < 0, models_.vectorSign[comp]);
            }
        }
        const MotionVector base = c.firstIsNear ? c.first : MotionVector{};
        return {base.x + delta.x, base.y + delta.y};
    }

    void writeModes(BoolEncoder& e, int row, int col, const MacroblockSpec& s) {
        const Candidates near = candidates(row, col, vp6::RefFrame::Previous);
        const std::uint8_t* probs = models_.mbType[near.context][previousType_];
        e.put(s.type == previousType_, probs[0]);
        if (s.type != previousType_) {
            e.tree(vp6::kMbTypeTree, probs, s.type);
        }
        previousType_ = s.type;
        Mb& mb = mbs_[static_cast<std::size_t>(row * cols_ + col)];
        mb.type = s.type;
        mb.mv = {};
        switch (s.type) {
        case vp6::InterDeltaPrevious:
            mb.mv = writeVector(e, near, s.delta);
            break;
        case vp6::InterDeltaGolden:
            mb.mv = writeVector(e, candidates(row, col, vp6::RefFrame::Golden), s.delta);
            break;
        case vp6::InterNearestPrevious:
            mb.mv = near.first;
            break;
        case vp6::InterFourVectors:
            for (const int kind : s.fourKinds) {
                e.literal(kind, 2);
            }
            for (int b = 0; b < 4; ++b) {
                if (s.fourKinds[b] == 1) {
                    mb.mv = writeVector(e, near, s.fourDeltas[b]);
                } else {
                    mb.mv = s.fourKinds[b] == 2
                                ? near.first
                                : (s.fourKinds[b] == 3 ? near.second : MotionVector{});
                }
            }
            break;
        default:
            break;
        }
    }

    void writeDcOnly(BoolEncoder& e, int plane, int context, int dc) {
        const std::uint8_t* tokens = models_.dcContext[plane][context];
        int codeType = 0;
        if (dc == 0) {
            e.put(false, tokens[0]);
        } else {
            const int m = std::abs(dc);
            e.put(true, tokens[0]);
            e.put(m > 1, tokens[2]);
            if (m > 4) {
                // A category of ranges from 5 up, then the offset in it, high bit first.
                e.put(true, tokens[3]);
                int category = 5;
                while (category > 0 &&
                       m < vp6::kCoeffBias[static_cast<std::size_t>(category + 5)]) {
                    --category;
                }
                e.tree(vp6::kCoeffCategoryTree, models_.dc[plane], category);
                const int extra = m - vp6::kCoeffBias[static_cast<std::size_t>(category + 5)];
                for (int i = vp6::kCoeffExtraBits[static_cast<std::size_t>(category)]; i >= 0;
                     --i) {
                    e.put(((extra >> i) & 1) != 0, vp6::kCoeffParseProbs[category][i]);
                }
            } else if (m > 1) {
                e.put(false, tokens[3]);
                e.put(m > 2, tokens[4]);
                if (m > 2) {
                    e.put(m == 4, models_.dc[plane][5]);
                }
            }
            e.put(dc < 0, 128);
            codeType = m > 1 ? 2 : 1;
        }
        // End of block at the first AC position.
        const std::uint8_t* ac = models_.ac[plane][codeType][vp6::kCoeffGroups[1]];
        e.put(false, ac[0]);
        e.put(false, ac[1]);
    }

    int rows_;
    int cols_;
    vp6::Models models_;
    std::vector<Mb> mbs_;
    int previousType_ = vp6::InterNoVectorPrevious;
};

} // namespace vp6test
