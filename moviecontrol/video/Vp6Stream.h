#pragma once
// Decodes the frames of one VP6 stream in order: key frames stand alone, inter frames
// predict each macroblock from the previous picture or from the golden one (the last key
// frame, or the last frame that asked to become golden). A frame that cannot be decoded
// leaves the last good picture in place.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "BitStream.h"
#include "Vp6BoolDecoder.h"
#include "Vp6Header.h"
#include "Vp6Models.h"
#include "Vp6Reconstruct.h"
#include "Vp6Tokens.h"
#include "YuvPicture.h"

namespace video::vp6 {

class StreamDecoder {
  public:
    // False when the frame could not be decoded; the picture is then unchanged.
    bool decode(std::span<const std::uint8_t> frame);
    // Whole macroblocks: width and height are the coded size.
    const YuvPicture& picture() const { return previous_; }
    bool hasPicture() const { return !previous_.empty(); }
    void reset() { *this = StreamDecoder{}; }
    // The size the last key frame asked the picture to be shown at, in pixels.
    int displayWidth() const { return displayWidth_; }
    int displayHeight() const { return displayHeight_; }

  private:
    struct Macroblock {
        std::uint8_t type = Intra;
        MotionVector mv;
    };
    // What the DC prediction and the token contexts remember of a neighbouring block.
    struct Neighbour {
        RefFrame ref = RefFrame::None;
        int dc = 0;
        bool hasDc = false;
    };
    struct Candidates {
        MotionVector first;
        MotionVector second;
        int context = 0;          // 0 two found, 1 none, 2 one
        bool firstIsNear = false; // The first was found at one of the two nearest places.
    };

    bool readFrameSettings(BoolDecoder& in, const FrameHeader& header);
    bool decodeMacroblocks(BoolDecoder& modes, BoolDecoder* tokens, BitStream* huffman,
                           YuvPicture& out);
    Candidates findCandidates(int row, int col, RefFrame ref) const;
    int readMacroblockModes(BoolDecoder& in, int row, int col, std::array<MotionVector, 6>& mvs);
    MotionVector readVector(BoolDecoder& in, const Candidates& c);
    void addDcPrediction(RefFrame ref, int col, int dcDequant,
                         std::array<BlockCoefficients, 6>& blocks);
    void render(int type, int row, int col, const std::array<BlockCoefficients, 6>& blocks,
                const std::array<MotionVector, 6>& mvs, YuvPicture& out) const;

    YuvPicture previous_;
    YuvPicture golden_;
    Models models_;
    HuffmanTokenReader huffmanTokens_;
    std::vector<Macroblock> macroblocks_;
    int mbWide_ = 0;
    int mbHigh_ = 0;
    int displayWidth_ = 0;
    int displayHeight_ = 0;
    int version_ = 0;
    int profile_ = 0;
    int quantiser_ = 0;
    bool huffman_ = false;
    bool goldenUpdate_ = false;
    bool isKeyFrame_ = false;
    PredictionFilter filter_;
    int previousType_ = InterNoVectorPrevious;

    // Per frame: neighbours for DC prediction and token contexts.
    std::vector<Neighbour> aboveLuma_;           // Two per macroblock column.
    std::vector<Neighbour> aboveChroma_;         // [column] for Cb, [mbWide + column] for Cr.
    std::array<Neighbour, 4> left_{};            // Upper luma, lower luma, Cb, Cr.
    std::array<std::array<int, 3>, 3> lastDc_{}; // [plane][reference]
};

} // namespace video::vp6
