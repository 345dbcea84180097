#include "VideoReader.h"

namespace swf {

VideoStream readDefineVideoStream(ByteReader& r) {
    VideoStream stream;
    stream.id = r.u16();
    stream.frameCount = r.u16();
    stream.width = r.u16();
    stream.height = r.u16();
    const std::uint8_t flags = r.u8();
    stream.deblocking = static_cast<std::uint8_t>((flags >> 1) & 7);
    stream.smoothing = (flags & 1) != 0;
    stream.codec = r.u8();
    return stream;
}

bool readVideoFrame(ByteReader& r, std::uint16_t& streamId, std::uint16_t& frameNumber,
                    std::span<const std::uint8_t>& data) {
    streamId = r.u16();
    frameNumber = r.u16();
    data = r.rest();
    return !r.failed();
}

} // namespace swf
