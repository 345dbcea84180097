#include "H263Decoder.h"

#include <algorithm>

#include "H263Blocks.h"
#include "Idct.h"

namespace video {

namespace {

std::uint8_t clampSample(int v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

int median(int a, int b, int c) {
    return std::max(std::min(a, b), std::min(std::max(a, b), c));
}

// Half-pixel prediction of one w x h block at (x, y) in the reference, moved by (hx, hy)
// half pixels. Rounds halves up, as H.263 without rounding control does.
void predictBlock(const Plane& ref, Plane& out, int x, int y, int size, int hx, int hy) {
    const int sx = x + (hx >> 1);
    const int sy = y + (hy >> 1);
    const bool halfX = (hx & 1) != 0;
    const bool halfY = (hy & 1) != 0;
    // Most blocks, and every unmoved one, read only samples inside the reference (the one
    // past the block included, for half positions): those need no clamping per sample.
    if (sx >= 0 && sy >= 0 && sx + size < ref.width && sy + size < ref.height) {
        for (int j = 0; j < size; ++j) {
            std::uint8_t* row = out.row(y + j) + x;
            const std::uint8_t* a = ref.row(sy + j) + sx;
            const std::uint8_t* b = ref.row(sy + j + 1) + sx;
            if (halfX && halfY) {
                for (int i = 0; i < size; ++i) {
                    row[i] =
                        static_cast<std::uint8_t>((a[i] + a[i + 1] + b[i] + b[i + 1] + 2) >> 2);
                }
            } else if (halfX) {
                for (int i = 0; i < size; ++i) {
                    row[i] = static_cast<std::uint8_t>((a[i] + a[i + 1] + 1) >> 1);
                }
            } else if (halfY) {
                for (int i = 0; i < size; ++i) {
                    row[i] = static_cast<std::uint8_t>((a[i] + b[i] + 1) >> 1);
                }
            } else {
                std::copy_n(a, size, row);
            }
        }
        return;
    }
    for (int j = 0; j < size; ++j) {
        std::uint8_t* row = out.row(y + j) + x;
        for (int i = 0; i < size; ++i) {
            const int a = ref.clamped(sx + i, sy + j);
            int v = a;
            if (halfX && halfY) {
                v = (a + ref.clamped(sx + i + 1, sy + j) + ref.clamped(sx + i, sy + j + 1) +
                     ref.clamped(sx + i + 1, sy + j + 1) + 2) >>
                    2;
            } else if (halfX) {
                v = (a + ref.clamped(sx + i + 1, sy + j) + 1) >> 1;
            } else if (halfY) {
                v = (a + ref.clamped(sx + i, sy + j + 1) + 1) >> 1;
            }
            row[i] = static_cast<std::uint8_t>(v);
        }
    }
}

// A luma vector in half pixels to the chroma one: quarter positions round to the half.
int chromaVector(int v) {
    return ((v >> 2) * 2) | ((v & 3) != 0 ? 1 : 0);
}

void putBlock(Plane& plane, int x, int y, const Block& samples, bool add) {
    for (int j = 0; j < 8; ++j) {
        std::uint8_t* row = plane.row(y + j) + x;
        for (int i = 0; i < 8; ++i) {
            const int base = add ? row[i] : 0;
            row[i] = clampSample(base + samples[j * 8 + i]);
        }
    }
}

} // namespace

bool SorensonDecoder::decode(std::span<const std::uint8_t> frame) {
    BitStream in(frame);
    PictureHeader header;
    if (readPictureHeader(in, header) != HeaderError::None) {
        return false;
    }
    if (header.type != PictureType::Intra &&
        (picture_.empty() || picture_.width != header.width || picture_.height != header.height)) {
        return false; // nothing to predict from
    }
    YuvPicture next;
    next.allocate(header.width, header.height);
    if (!decodeMacroblocks(in, header, next)) {
        return false;
    }
    picture_ = std::move(next);
    return true;
}

bool SorensonDecoder::decodeMacroblocks(BitStream& in, const PictureHeader& header,
                                        YuvPicture& out) {
    mbWide_ = out.macroblocksWide();
    vectors_.assign(static_cast<std::size_t>(mbWide_) * out.macroblocksHigh(), Vector{});
    info_.assign(vectors_.size(), MacroblockInfo{});
    int quantiser = header.quantiser;
    for (int mby = 0; mby < out.macroblocksHigh(); ++mby) {
        for (int mbx = 0; mbx < mbWide_; ++mbx) {
            if (!decodeMacroblock(in, header, mbx, mby, quantiser, out) || in.failed()) {
                return false;
            }
        }
    }
    if (header.deblocking && !deblockingOff_) {
        deblock(out, info_);
    }
    return true;
}

SorensonDecoder::Vector SorensonDecoder::predictVector(int mbx, int mby) const {
    const auto at = [&](int x, int y) {
        return vectors_[static_cast<std::size_t>(y) * mbWide_ + x];
    };
    const Vector left = mbx > 0 ? at(mbx - 1, mby) : Vector{};
    if (mby == 0) {
        return left; // the top row has no neighbours above: the left one stands for them
    }
    const Vector above = at(mbx, mby - 1);
    const Vector aboveRight = mbx + 1 < mbWide_ ? at(mbx + 1, mby - 1) : Vector{};
    return Vector{median(left.x, above.x, aboveRight.x), median(left.y, above.y, aboveRight.y)};
}

void SorensonDecoder::predict(YuvPicture& out, int mbx, int mby, Vector mv) const {
    predictBlock(picture_.y, out.y, mbx * 16, mby * 16, 16, mv.x, mv.y);
    const int cx = chromaVector(mv.x);
    const int cy = chromaVector(mv.y);
    predictBlock(picture_.cb, out.cb, mbx * 8, mby * 8, 8, cx, cy);
    predictBlock(picture_.cr, out.cr, mbx * 8, mby * 8, 8, cx, cy);
}

bool SorensonDecoder::decodeMacroblock(BitStream& in, const PictureHeader& header, int mbx, int mby,
                                       int& quantiser, YuvPicture& out) {
    const bool interPicture = header.type != PictureType::Intra;
    int type = 0; // 0 inter, 1 inter+q, 3 intra, 4 intra+q
    int cbpc = 0;
    // Stuffing codes may repeat; each one takes bits, so a frame of them ends at its end.
    for (;;) {
        if (interPicture && in.bit()) {
            // Not coded: the reference's macroblock, unmoved.
            predict(out, mbx, mby, Vector{});
            return true;
        }
        const int code = interPicture ? readInterMcbpc(in) : readIntraMcbpc(in);
        if (code < 0 || in.failed()) {
            return false;
        }
        if (interPicture ? code == 20 : code == 8) {
            continue;
        }
        type = interPicture ? code / 4 : 3 + code / 4;
        cbpc = code & 3;
        break;
    }
    if (type == 2) {
        return false; // four vectors per macroblock are not part of the Flash variant
    }
    const bool intra = type >= 3;
    int luma = readCbpy(in);
    if (luma < 0) {
        return false;
    }
    if (!intra) {
        luma ^= 15;
    }
    if (type == 1 || type == 4) {
        static constexpr int kChange[4] = {-1, -2, 1, 2};
        quantiser = std::clamp(quantiser + kChange[in.bits(2)], 1, 31);
    }
    const int coded = (luma << 2) | cbpc;
    info_[static_cast<std::size_t>(mby) * mbWide_ + mbx] =
        MacroblockInfo{true, static_cast<std::uint8_t>(quantiser)};
    Vector mv;
    if (!intra) {
        const Vector pred = predictVector(mbx, mby);
        int dx = 0;
        int dy = 0;
        if (!readMotionDelta(in, dx) || !readMotionDelta(in, dy)) {
            return false;
        }
        // Vectors wrap into -32..31 half pixels.
        const auto wrap = [](int v) { return ((v + 32) & 63) - 32; };
        mv = Vector{wrap(pred.x + dx), wrap(pred.y + dy)};
        vectors_[static_cast<std::size_t>(mby) * mbWide_ + mbx] = mv;
        predict(out, mbx, mby, mv);
    }
    for (int b = 0; b < 6; ++b) {
        Block block{};
        const bool hasCoefficients = (coded & (32 >> b)) != 0;
        int first = 0;
        if (intra) {
            int dc = static_cast<int>(in.bits(8));
            if ((dc & 0x7F) == 0) {
                return false; // 0 and 128 are not used
            }
            block[0] = (dc == 255 ? 128 : dc) * 8;
            first = 1;
        }
        if (hasCoefficients && !readCoefficients(in, block, first, header.version)) {
            return false;
        }
        if (!intra && !hasCoefficients) {
            continue;
        }
        dequantise(block, quantiser, first);
        inverseDct(block);
        Plane& plane = b < 4 ? out.y : (b == 4 ? out.cb : out.cr);
        const int x = b < 4 ? mbx * 16 + (b & 1) * 8 : mbx * 8;
        const int y = b < 4 ? mby * 16 + (b >> 1) * 8 : mby * 8;
        putBlock(plane, x, y, block, !intra);
    }
    return true;
}

} // namespace video
