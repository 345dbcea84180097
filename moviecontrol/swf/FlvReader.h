#pragma once
// Flash Video files (FLV) as NetStream plays them: a header, then tags of audio, video and
// script data, each stamped with the millisecond it plays at. Reading never trusts a
// length: a tag cut short or running past the file ends the stream there.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace swf {

struct FlvTag {
    enum class Type : std::uint8_t { Audio = 8, Video = 9, Script = 18 };
    std::uint8_t type = 0;
    std::uint32_t timeMs = 0;
    std::span<const std::uint8_t> data;
};

// Where the first tag starts (past the header and the first "previous size"), or nullopt
// when the bytes are no FLV file.
std::optional<std::size_t> flvFirstTag(std::span<const std::uint8_t> file);

// The tag at `offset`, moving `offset` past it (and past the size that follows it); nullopt
// at the end or where the file is damaged.
std::optional<FlvTag> readFlvTag(std::span<const std::uint8_t> file, std::size_t& offset);

// A video tag's codec (2 Sorenson, 4 VP6, 5 VP6 with alpha) and its frame as a SWF
// VideoFrame would hold it; nullopt for a command frame or a tag too short.
struct FlvVideoFrame {
    int codec = 0;
    bool keyFrame = false;
    std::span<const std::uint8_t> frame;
};
std::optional<FlvVideoFrame> flvVideoFrame(std::span<const std::uint8_t> tagData);

} // namespace swf
