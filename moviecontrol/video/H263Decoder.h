#pragma once
// Decodes the frames of one Sorenson Spark stream in order. Intra frames stand alone; inter
// frames predict from the picture before them with one half-pixel motion vector per
// macroblock. A frame that cannot be decoded leaves the last good picture in place.

#include <cstdint>
#include <span>
#include <vector>

#include "Deblock.h"
#include "H263Header.h"
#include "YuvPicture.h"

namespace video {

class SorensonDecoder {
  public:
    SorensonDecoder() = default;
    // `deblockingOff`: the stream turns the filter off whatever its frames ask for.
    explicit SorensonDecoder(bool deblockingOff) : deblockingOff_(deblockingOff) {}

    // False when the frame could not be decoded; the picture is then unchanged.
    bool decode(std::span<const std::uint8_t> frame);
    const YuvPicture& picture() const { return picture_; }
    bool hasPicture() const { return !picture_.empty(); }
    void reset() { picture_ = YuvPicture{}; }

  private:
    struct Vector {
        int x = 0;
        int y = 0;
    };
    bool decodeMacroblocks(BitStream& in, const PictureHeader& header, YuvPicture& out);
    bool decodeMacroblock(BitStream& in, const PictureHeader& header, int mbx, int mby,
                          int& quantiser, YuvPicture& out);
    Vector predictVector(int mbx, int mby) const;
    void predict(YuvPicture& out, int mbx, int mby, Vector mv) const;

    YuvPicture picture_;
    std::vector<Vector> vectors_;      // This frame's, one per macroblock, for prediction.
    std::vector<MacroblockInfo> info_; // This frame's, for the deblocking filter.
    int mbWide_ = 0;
    bool deblockingOff_ = false;
};

} // namespace video
