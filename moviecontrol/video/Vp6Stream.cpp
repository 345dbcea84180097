#include "Vp6Stream.h"

#include <utility>

#include "Vp6Tables.h"

namespace video::vp6 {

namespace {

constexpr int kLeftOf[6] = {0, 0, 1, 1, 2, 3};
constexpr int kPlaneOf[6] = {0, 0, 0, 0, 1, 2};

// The average of four luma vectors for chroma, rounded towards zero.
int quarterTowardsZero(int v) {
    return v / 4;
}

struct BlockPlace {
    int x;
    int y;
};

BlockPlace blockPlace(int b, int row, int col) {
    if (b < 4) {
        return {col * 16 + (b & 1) * 8, row * 16 + (b >> 1) * 8};
    }
    return {col * 8, row * 8};
}

Plane& planeOf(YuvPicture& p, int b) {
    return b < 4 ? p.y : (b == 4 ? p.cb : p.cr);
}

const Plane& planeOf(const YuvPicture& p, int b) {
    return b < 4 ? p.y : (b == 4 ? p.cb : p.cr);
}

} // namespace

bool StreamDecoder::decode(std::span<const std::uint8_t> frame) {
    // Keep everything but the pictures (which only change on success) to roll back a frame
    // that turns out to be damaged halfway.
    YuvPicture previous = std::move(previous_);
    YuvPicture golden = std::move(golden_);
    StreamDecoder saved = *this;
    previous_ = std::move(previous);
    golden_ = std::move(golden);

    FrameHeader header;
    bool ok = readFrameHeader(frame, profile_, header) == HeaderError::None;
    if (ok && !header.keyFrame && (version_ == 0 || previous_.empty() || golden_.empty())) {
        ok = false; // nothing to predict from
    }
    YuvPicture current;
    if (ok) {
        if (header.keyFrame) {
            version_ = header.version;
            profile_ = header.profile;
            mbWide_ = header.macroblockColumns;
            mbHigh_ = header.macroblockRows;
            macroblocks_.assign(static_cast<std::size_t>(mbWide_) * mbHigh_, Macroblock{});
            displayWidth_ = header.displayColumns * 16;
            displayHeight_ = header.displayRows * 16;
        }
        BoolDecoder modes(frame.subspan(header.modesOffset));
        ok = readFrameSettings(modes, header);
        if (ok) {
            current.allocate(mbWide_ * 16, mbHigh_ * 16);
            const std::span<const std::uint8_t> rest =
                header.coefficientsOffset != 0 ? frame.subspan(header.coefficientsOffset)
                                               : std::span<const std::uint8_t>{};
            BoolDecoder tokens(rest);
            BitStream bits(rest);
            if (header.coefficientsOffset == 0) {
                ok = decodeMacroblocks(modes, &modes, nullptr, current);
            } else if (huffman_) {
                ok = decodeMacroblocks(modes, nullptr, &bits, current);
            } else {
                ok = decodeMacroblocks(modes, &tokens, nullptr, current);
            }
        }
    }
    if (!ok) {
        saved.previous_ = std::move(previous_);
        saved.golden_ = std::move(golden_);
        *this = std::move(saved);
        return false;
    }
    if (header.keyFrame || goldenUpdate_) {
        golden_ = current;
    }
    previous_ = std::move(current);
    return true;
}

bool StreamDecoder::readFrameSettings(BoolDecoder& in, const FrameHeader& header) {
    quantiser_ = header.quantiser;
    isKeyFrame_ = header.keyFrame;
    filter_.deblockLimit = kFilterThreshold[static_cast<std::size_t>(quantiser_)];
    bool filterSettings = false;
    int varianceShift = 0;
    if (header.keyFrame) {
        (void)in.literal(2); // scaling mode: how to show the picture, not how to decode it
        filterSettings = profile_ != 0;
        varianceShift = version_ < 8 ? 5 : 0;
        goldenUpdate_ = false;
        // The loop filter is on unless an advanced-profile frame turns it off.
        filter_.deblock = true;
    } else {
        goldenUpdate_ = in.bit();
        if (profile_ != 0) {
            filter_.deblock = in.bit();
            if (filter_.deblock) {
                (void)in.bit();
            }
            if (version_ > 7) {
                filterSettings = in.bit();
            }
        }
    }
    if (filterSettings) {
        if (in.bit()) {
            filter_.mode = 2;
            filter_.varianceLimit = in.literal(5) << varianceShift;
            filter_.maxVector = 2 << in.literal(3);
        } else {
            filter_.mode = in.bit() ? 1 : 0;
        }
        filter_.taps = version_ > 7 ? in.literal(4) : 16;
    }
    huffman_ = in.bit();
    if (header.keyFrame) {
        setDefaultModels(models_, version_);
        for (Macroblock& mb : macroblocks_) {
            mb.type = Intra;
        }
    } else {
        readMbTypeModels(in, models_);
        readVectorModels(in, models_);
        previousType_ = InterNoVectorPrevious;
    }
    readCoefficientModels(in, models_, header.keyFrame, huffman_, version_);
    huffmanTokens_.reset();
    return !in.exhausted();
}

bool StreamDecoder::decodeMacroblocks(BoolDecoder& modes, BoolDecoder* tokens, BitStream* huffman,
                                      YuvPicture& out) {
    aboveLuma_.assign(static_cast<std::size_t>(mbWide_) * 2, Neighbour{});
    aboveChroma_.assign(static_cast<std::size_t>(mbWide_) * 2, Neighbour{});
    lastDc_ = {};
    lastDc_[1][static_cast<int>(RefFrame::Current)] = 128;
    lastDc_[2][static_cast<int>(RefFrame::Current)] = 128;
    const int dcDequant = kDcDequant[static_cast<std::size_t>(quantiser_)] << 2;
    const int acDequant = kAcDequant[static_cast<std::size_t>(quantiser_)] << 2;
    for (int row = 0; row < mbHigh_; ++row) {
        left_ = {};
        for (int col = 0; col < mbWide_; ++col) {
            if (modes.exhausted() || (tokens != nullptr && tokens->exhausted()) ||
                (huffman != nullptr && huffman->failed())) {
                return false;
            }
            std::array<MotionVector, 6> mvs{};
            int type = Intra;
            if (!isKeyFrame_) {
                type = readMacroblockModes(modes, row, col, mvs);
            }
            std::array<BlockCoefficients, 6> blocks{};
            for (int b = 0; b < 6; ++b) {
                const int plane = b < 4 ? 0 : 1;
                Neighbour& above =
                    b < 4 ? aboveLuma_[static_cast<std::size_t>(col * 2 + (b & 1))]
                          : aboveChroma_[static_cast<std::size_t>((b - 4) * mbWide_ + col)];
                Neighbour& left = left_[static_cast<std::size_t>(kLeftOf[b])];
                if (tokens != nullptr) {
                    const int context = (left.hasDc ? 1 : 0) + (above.hasDc ? 1 : 0);
                    readTokens(*tokens, models_, plane, context, acDequant, blocks[b]);
                    left.hasDc = above.hasDc = blocks[b].c[0] != 0;
                } else {
                    huffmanTokens_.read(*huffman, models_, plane, acDequant, blocks[b]);
                }
            }
            addDcPrediction(referenceOf(type), col, dcDequant, blocks);
            render(type, row, col, blocks, mvs, out);
        }
    }
    return true;
}

StreamDecoder::Candidates StreamDecoder::findCandidates(int row, int col, RefFrame ref) const {
    Candidates c;
    int found = 0;
    for (int pos = 0; pos < 12; ++pos) {
        const int x = col + kCandidatePositions[pos][0];
        const int y = row + kCandidatePositions[pos][1];
        if (x < 0 || x >= mbWide_ || y < 0 || y >= mbHigh_) {
            continue;
        }
        const Macroblock& mb = macroblocks_[static_cast<std::size_t>(y * mbWide_ + x)];
        if (referenceOf(mb.type) != ref || mb.mv == MotionVector{} || mb.mv == c.first) {
            continue;
        }
        if (found == 0) {
            c.first = mb.mv;
            c.firstIsNear = pos < 2;
            found = 1;
        } else {
            c.second = mb.mv;
            found = 2;
            break;
        }
    }
    c.context = found == 2 ? 0 : found + 1;
    return c;
}

MotionVector StreamDecoder::readVector(BoolDecoder& in, const Candidates& c) {
    MotionVector v = c.firstIsNear ? c.first : MotionVector{};
    for (int comp = 0; comp < 2; ++comp) {
        int delta = 0;
        if (in.bit(models_.vectorLongForm[comp])) {
            // Bits 0-2 and 7-4 first; bit 3 is only sent when a higher bit is set,
            // otherwise it must be 1 (smaller values use the short form).
            static constexpr int kOrder[7] = {0, 1, 2, 7, 6, 5, 4};
            for (int bitIndex : kOrder) {
                delta |= (in.bit(models_.vectorLong[comp][bitIndex]) ? 1 : 0) << bitIndex;
            }
            if ((delta & 0xF0) != 0) {
                delta |= (in.bit(models_.vectorLong[comp][3]) ? 1 : 0) << 3;
            } else {
                delta |= 8;
            }
        } else {
            delta = in.tree(kShortVectorTree, models_.vectorShort[comp]);
        }
        if (delta != 0 && in.bit(models_.vectorSign[comp])) {
            delta = -delta;
        }
        (comp == 0 ? v.x : v.y) += delta;
    }
    return v;
}

int StreamDecoder::readMacroblockModes(BoolDecoder& in, int row, int col,
                                       std::array<MotionVector, 6>& mvs) {
    const Candidates near = findCandidates(row, col, RefFrame::Previous);
    const std::uint8_t* probs = models_.mbType[near.context][previousType_];
    const int type = in.bit(probs[0]) ? previousType_ : in.tree(kMbTypeTree, probs);
    previousType_ = type;
    Macroblock& mb = macroblocks_[static_cast<std::size_t>(row * mbWide_ + col)];
    mb.type = static_cast<std::uint8_t>(type);
    MotionVector mv;
    switch (type) {
    case InterNearestPrevious:
        mv = near.first;
        break;
    case InterNearPrevious:
        mv = near.second;
        break;
    case InterNearestGolden:
        mv = findCandidates(row, col, RefFrame::Golden).first;
        break;
    case InterNearGolden:
        mv = findCandidates(row, col, RefFrame::Golden).second;
        break;
    case InterDeltaPrevious:
        mv = readVector(in, near);
        break;
    case InterDeltaGolden:
        mv = readVector(in, findCandidates(row, col, RefFrame::Golden));
        break;
    case InterFourVectors: {
        int kinds[4];
        for (int& k : kinds) {
            k = in.literal(2);
        }
        MotionVector sum;
        for (int b = 0; b < 4; ++b) {
            switch (kinds[b]) {
            case 1:
                mvs[b] = readVector(in, near);
                break;
            case 2:
                mvs[b] = near.first;
                break;
            case 3:
                mvs[b] = near.second;
                break;
            default:
                mvs[b] = MotionVector{};
                break;
            }
            sum.x += mvs[b].x;
            sum.y += mvs[b].y;
        }
        // Neighbours predict from the last luma vector; chroma moves by the average.
        mb.mv = mvs[3];
        mvs[4] = mvs[5] = MotionVector{quarterTowardsZero(sum.x), quarterTowardsZero(sum.y)};
        return type;
    }
    default:
        break;
    }
    mb.mv = mv;
    mvs.fill(mv);
    return type;
}

void StreamDecoder::addDcPrediction(RefFrame ref, int col, int dcDequant,
                                    std::array<BlockCoefficients, 6>& blocks) {
    const int r = static_cast<int>(ref);
    for (int b = 0; b < 6; ++b) {
        Neighbour& above = b < 4 ? aboveLuma_[static_cast<std::size_t>(col * 2 + (b & 1))]
                                 : aboveChroma_[static_cast<std::size_t>((b - 4) * mbWide_ + col)];
        Neighbour& left = left_[static_cast<std::size_t>(kLeftOf[b])];
        // The average of the left and above blocks that predict from the same picture, else
        // the last such block of the plane.
        int count = 0;
        int dc = 0;
        if (left.ref == ref) {
            dc += left.dc;
            ++count;
        }
        if (above.ref == ref) {
            dc += above.dc;
            ++count;
        }
        int& last = lastDc_[static_cast<std::size_t>(kPlaneOf[b])][static_cast<std::size_t>(r)];
        if (count == 0) {
            dc = last;
        } else if (count == 2) {
            dc /= 2;
        }
        const std::int16_t value = static_cast<std::int16_t>(blocks[b].c[0] + dc);
        last = value;
        above.dc = left.dc = value;
        above.ref = left.ref = ref;
        blocks[b].c[0] = static_cast<std::int16_t>(value * dcDequant);
    }
}

void StreamDecoder::render(int type, int row, int col,
                           const std::array<BlockCoefficients, 6>& blocks,
                           const std::array<MotionVector, 6>& mvs, YuvPicture& out) const {
    const RefFrame ref = referenceOf(type);
    const YuvPicture& source = ref == RefFrame::Golden ? golden_ : previous_;
    for (int b = 0; b < 6; ++b) {
        const BlockPlace at = blockPlace(b, row, col);
        Plane& plane = planeOf(out, b);
        if (type == Intra) {
            transformPut(blocks[b].c, plane, at.x, at.y);
            continue;
        }
        if (type == InterNoVectorPrevious || type == InterNoVectorGolden) {
            copyBlock(planeOf(source, b), plane, at.x, at.y);
        } else {
            predictBlock(planeOf(source, b), plane, at.x, at.y, mvs[b], b < 4, filter_);
        }
        transformAdd(blocks[b].c, blocks[b].selector, plane, at.x, at.y);
    }
}

} // namespace video::vp6
