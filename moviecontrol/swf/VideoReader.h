#pragma once
// Readers for DefineVideoStream and VideoFrame; r spans the tag body.

#include "swf/ByteReader.h"
#include "swf/VideoStream.h"

namespace swf {

// Fields past the end read as zero and set the reader's failure flag.
VideoStream readDefineVideoStream(ByteReader& r);
// False when the tag is too short to name its stream and frame.
bool readVideoFrame(ByteReader& r, std::uint16_t& streamId, std::uint16_t& frameNumber,
                    std::span<const std::uint8_t>& data);

} // namespace swf
