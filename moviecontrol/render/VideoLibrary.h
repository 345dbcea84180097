#pragma once

#include <QImage>
#include <cstdint>
#include <map>

#include "VideoDecoder.h"
#include "swf/Movie.h"

namespace mc {

// The movie's video streams decoded on demand. Each stream keeps its decoder and the picture
// of the frame it decoded last: playing forward decodes one frame at a time, a jump back or
// far ahead restarts at the nearest key frame before the one asked for. A stream in a codec
// we cannot decode, or whose frames are all damaged, is a null image (drawn as nothing).
class VideoLibrary {
  public:
    explicit VideoLibrary(const swf::Movie& movie) : movie_(movie) {}

    const QImage& frame(std::uint16_t id, std::uint16_t frameNumber);

  private:
    struct Stream {
        explicit Stream(const swf::VideoStream& def)
            : decoder(def.codec, def.width, def.height, def.deblocking) {}
        video::VideoDecoder decoder;
        int decodedUpTo = -1; // Last frame number fed to the decoder.
        QImage image;
    };
    void advance(const swf::VideoStream& def, Stream& s, std::uint16_t frameNumber);

    const swf::Movie& movie_;
    std::map<std::uint16_t, Stream> streams_;
    QImage none_;
};

} // namespace mc
