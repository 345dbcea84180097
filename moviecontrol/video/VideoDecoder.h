#pragma once
// One decoder for whichever codec a video stream declares, so that the player needs no
// codec cases of its own.

#include <cstdint>
#include <span>

#include "H263Decoder.h"
#include "Vp6Decoder.h"
#include "YuvPicture.h"

namespace video {

class VideoDecoder {
  public:
    static constexpr int kSorenson = 2;
    static constexpr int kVp6 = 4;
    static constexpr int kVp6Alpha = 5;

    static bool supports(int codec) {
        return codec == kSorenson || codec == kVp6 || codec == kVp6Alpha;
    }

    // DefineVideoStream's deblocking setting that turns the Sorenson filter off, whatever
    // the frames' own flag says (Flash shows such a stream unfiltered). The other settings
    // leave it to each frame.
    static constexpr int kDeblockingOff = 1;

    // `width` and `height` are the stream's declared size; `deblocking` its setting.
    VideoDecoder(int codec, int width, int height, int deblocking = 0)
        : codec_(codec), sorenson_(deblocking == kDeblockingOff),
          vp6_(codec == kVp6Alpha, width, height) {}

    bool decode(std::span<const std::uint8_t> frame);
    const YuvPicture& picture() const;
    bool hasPicture() const;
    void reset();
    bool isKeyFrame(std::span<const std::uint8_t> frame) const;

  private:
    int codec_;
    SorensonDecoder sorenson_;
    Vp6Decoder vp6_;
};

} // namespace video
