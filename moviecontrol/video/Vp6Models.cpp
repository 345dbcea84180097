#include "Vp6Models.h"

#include <algorithm>
#include <cstring>

#include "Vp6Tables.h"

namespace video::vp6 {

namespace {

void buildScanOrder(Models& m, int version) {
    // Coefficients are sent band by band; within a band in zigzag order.
    int index = 1;
    m.indexToPosition[0] = 0;
    for (int band = 0; band < 16; ++band) {
        for (int pos = 1; pos < 64; ++pos) {
            if (m.reorder[static_cast<std::size_t>(pos)] == band) {
                m.indexToPosition[static_cast<std::size_t>(index++)] =
                    static_cast<std::uint8_t>(pos);
            }
        }
    }
    // A reorder table that leaves bands out would leave positions unset; keep them valid.
    for (; index < 64; ++index) {
        m.indexToPosition[static_cast<std::size_t>(index)] = 63;
    }
    int highest = 0;
    for (std::size_t i = 0; i < 64; ++i) {
        highest = std::max<int>(highest, m.indexToPosition[i]);
        m.indexToSelector[i] = static_cast<std::uint8_t>(highest + (version > 6 ? 1 : 0));
    }
}

} // namespace

void computeMbTypeProbabilities(Models& m) {
    for (int ctx = 0; ctx < 3; ++ctx) {
        int p[10];
        for (int t = 0; t < 10; ++t) {
            p[t] = 100 * m.mbTypeStats[ctx][t][1];
        }
        for (int t = 0; t < 10; ++t) {
            const int same = m.mbTypeStats[ctx][t][0];
            const int other = m.mbTypeStats[ctx][t][1];
            std::uint8_t* out = m.mbType[ctx][t];
            out[0] = static_cast<std::uint8_t>(255 - (255 * same) / (1 + same + other));
            // The tree excludes the previous type: it was the "same" branch.
            const int saved = p[t];
            p[t] = 0;
            const int p02 = p[0] + p[2];
            const int p34 = p[3] + p[4];
            const int p0234 = p02 + p34;
            const int p17 = p[1] + p[7];
            const int p56 = p[5] + p[6];
            const int p89 = p[8] + p[9];
            const int p5689 = p56 + p89;
            const int p156789 = p17 + p5689;
            const auto ratio = [](int num, int den) {
                return static_cast<std::uint8_t>(1 + 255 * num / (1 + den));
            };
            out[1] = ratio(p0234, p0234 + p156789);
            out[2] = ratio(p02, p0234);
            out[3] = ratio(p17, p156789);
            out[4] = ratio(p[0], p02);
            out[5] = ratio(p[3], p34);
            out[6] = ratio(p[1], p17);
            out[7] = ratio(p56, p5689);
            out[8] = ratio(p[5], p56);
            out[9] = ratio(p[8], p89);
            p[t] = saved;
        }
    }
}

void setDefaultModels(Models& m, int version) {
    m.vectorLongForm[0] = 0xA2;
    m.vectorLongForm[1] = 0xA4;
    m.vectorSign[0] = 0x80;
    m.vectorSign[1] = 0x80;
    std::memcpy(m.mbTypeStats, kDefaultMbTypeStats, sizeof m.mbTypeStats);
    std::memcpy(m.vectorLong, kDefaultLongVectorModel, sizeof m.vectorLong);
    std::memcpy(m.vectorShort, kDefaultShortVectorModel, sizeof m.vectorShort);
    std::memcpy(m.run, kDefaultRunModel, sizeof m.run);
    m.reorder = kDefaultCoeffReorder;
    buildScanOrder(m, version);
}

void readMbTypeModels(BoolDecoder& in, Models& m) {
    for (int ctx = 0; ctx < 3; ++ctx) {
        if (in.bit(174)) {
            const int preset = in.literal(4);
            std::memcpy(m.mbTypeStats[ctx], kPredefinedMbTypeStats[preset][ctx],
                        sizeof m.mbTypeStats[ctx]);
        }
        if (in.bit(254)) {
            for (int t = 0; t < 10; ++t) {
                for (int i = 0; i < 2; ++i) {
                    if (!in.bit(205)) {
                        continue;
                    }
                    const bool negative = in.bit();
                    int delta = in.tree(kMbTypeDeltaTree, kMbTypeModelModel.data());
                    if (delta == 0) {
                        delta = 4 * in.literal(7);
                    }
                    std::uint8_t& stat = m.mbTypeStats[ctx][t][i];
                    stat = static_cast<std::uint8_t>(stat + (negative ? -delta : delta));
                }
            }
        }
    }
    computeMbTypeProbabilities(m);
}

void readVectorModels(BoolDecoder& in, Models& m) {
    for (int c = 0; c < 2; ++c) {
        if (in.bit(kVectorSignUpdate[c][0])) {
            m.vectorLongForm[c] = static_cast<std::uint8_t>(in.probability7());
        }
        if (in.bit(kVectorSignUpdate[c][1])) {
            m.vectorSign[c] = static_cast<std::uint8_t>(in.probability7());
        }
    }
    for (int c = 0; c < 2; ++c) {
        for (int n = 0; n < 7; ++n) {
            if (in.bit(kShortVectorUpdate[c][n])) {
                m.vectorShort[c][n] = static_cast<std::uint8_t>(in.probability7());
            }
        }
    }
    for (int c = 0; c < 2; ++c) {
        for (int n = 0; n < 8; ++n) {
            if (in.bit(kLongVectorUpdate[c][n])) {
                m.vectorLong[c][n] = static_cast<std::uint8_t>(in.probability7());
            }
        }
    }
}

void readCoefficientModels(BoolDecoder& in, Models& m, bool keyFrame, bool huffman, int version) {
    // A key frame that does not update a node takes the value last sent for that node in
    // this header (128 before any), not the table default.
    std::uint8_t last[11];
    std::fill(std::begin(last), std::end(last), std::uint8_t{128});
    for (int pt = 0; pt < 2; ++pt) {
        for (int n = 0; n < 11; ++n) {
            if (in.bit(kDcUpdate[pt][n])) {
                last[n] = static_cast<std::uint8_t>(in.probability7());
                m.dc[pt][n] = last[n];
            } else if (keyFrame) {
                m.dc[pt][n] = last[n];
            }
        }
    }
    if (in.bit()) {
        for (std::size_t pos = 1; pos < 64; ++pos) {
            if (in.bit(kCoeffReorderUpdate[pos])) {
                m.reorder[pos] = static_cast<std::uint8_t>(in.literal(4));
            }
        }
        buildScanOrder(m, version);
    }
    for (int g = 0; g < 2; ++g) {
        for (int n = 0; n < 14; ++n) {
            if (in.bit(kRunUpdate[g][n])) {
                m.run[g][n] = static_cast<std::uint8_t>(in.probability7());
            }
        }
    }
    for (int ct = 0; ct < 3; ++ct) {
        for (int pt = 0; pt < 2; ++pt) {
            for (int g = 0; g < 6; ++g) {
                for (int n = 0; n < 11; ++n) {
                    if (in.bit(kAcUpdate[ct][pt][g][n])) {
                        last[n] = static_cast<std::uint8_t>(in.probability7());
                        m.ac[pt][ct][g][n] = last[n];
                    } else if (keyFrame) {
                        m.ac[pt][ct][g][n] = last[n];
                    }
                }
            }
        }
    }
    if (huffman) {
        for (int pt = 0; pt < 2; ++pt) {
            m.dcTree[pt].build(m.dc[pt], kHuffmanTokenMap.data(), 12);
            m.runTree[pt].build(m.run[pt], kHuffmanRunMap.data(), 9);
            for (int ct = 0; ct < 3; ++ct) {
                for (int g = 0; g < 4; ++g) {
                    m.acTree[pt][ct][g].build(m.ac[pt][ct][g], kHuffmanTokenMap.data(), 12);
                }
            }
        }
    }
    computeDcContexts(m);
}

void computeDcContexts(Models& m) {
    // The DC probabilities also depend on how many neighbours had a DC: a fixed linear
    // function of the plain ones.
    for (int pt = 0; pt < 2; ++pt) {
        for (int ctx = 0; ctx < 3; ++ctx) {
            for (int n = 0; n < 5; ++n) {
                const int v = ((m.dc[pt][n] * kDcContextLinear[ctx][n][0] + 128) >> 8) +
                              kDcContextLinear[ctx][n][1];
                m.dcContext[pt][ctx][n] = static_cast<std::uint8_t>(std::clamp(v, 1, 255));
            }
        }
    }
}

} // namespace video::vp6
