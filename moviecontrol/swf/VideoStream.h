#pragma once
// Embedded video: a DefineVideoStream character and the VideoFrame tags that fill it.

#include <cstdint>
#include <map>
#include <span>

namespace swf {

enum class VideoCodec : std::uint8_t {
    None = 0,
    SorensonH263 = 2,
    ScreenVideo = 3,
    Vp6 = 4,
    Vp6Alpha = 5,
    ScreenVideo2 = 6,
};

struct VideoStream {
    std::uint16_t id = 0;
    std::uint16_t frameCount = 0; // As declared; frames may be fewer.
    std::uint16_t width = 0;      // Pixels; the character's size before placement scaling.
    std::uint16_t height = 0;
    std::uint8_t deblocking = 0; // 0 as the stream says, 1 off, 2.. on at some strength.
    bool smoothing = false;
    std::uint8_t codec = 0; // A VideoCodec value, or an unknown one as stored.
    // Frame number to the frame's encoded bytes (pointing into the movie); the first frame
    // stored under a number wins.
    std::map<std::uint16_t, std::span<const std::uint8_t>> frames;
};

} // namespace swf
