#pragma once
// VP6 video as Flash embeds it: codec 4 is one VP6 stream, codec 5 (VP6 with alpha) sends
// two per frame, the colour picture and then a second stream whose luma is the alpha plane.
// Frames are coded in whole macroblocks; the picture shows the stream's declared size.

#include <cstdint>
#include <span>

#include "Vp6Stream.h"
#include "YuvPicture.h"

namespace video {

class Vp6Decoder {
  public:
    // `width` and `height` are the stream's declared size (0 to show the coded size).
    Vp6Decoder(bool withAlpha, int width, int height)
        : withAlpha_(withAlpha), width_(width), height_(height) {}

    // False when the colour frame could not be decoded; the picture is then unchanged.
    bool decode(std::span<const std::uint8_t> frame);
    const YuvPicture& picture() const { return picture_; }
    bool hasPicture() const { return !picture_.empty(); }
    void reset();
    bool isKeyFrame(std::span<const std::uint8_t> frame) const;

  private:
    bool withAlpha_;
    int width_;
    int height_;
    vp6::StreamDecoder colour_;
    vp6::StreamDecoder alpha_;
    YuvPicture picture_;
};

} // namespace video
