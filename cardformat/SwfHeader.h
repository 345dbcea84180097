#pragma once

#include "FileIO.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace cardformat {

// What the player needs of a movie's header before it shows it.
struct FlashHeader {
    // -1: no file at the path; 0: not an uncompressed movie ("FWS"); 1: read; 2: failed.
    std::int16_t Status = 0;
    std::int32_t Height = 0; // pixels, Ymax / 20
    std::int32_t Width = 0;  // pixels, Xmax / 20
    std::uint8_t BackRed = 0;
    std::uint8_t BackGreen = 0;
    std::uint8_t BackBlue = 0;
    std::int16_t FrameCount = 0;
    std::int32_t FileLength = 0; // the declared length
    std::int16_t FrameRate = 0;  // whole frames per second
    std::uint8_t MovieVersion = 0;
    friend bool operator==(const FlashHeader&, const FlashHeader&) = default;
};

namespace header_status {
inline constexpr std::int16_t Missing = -1;
inline constexpr std::int16_t NotFlash = 0;
inline constexpr std::int16_t Read = 1;
inline constexpr std::int16_t Failed = 2;
} // namespace header_status

// Never fails towards its caller; see Status. Failures are logged as "getFlashHeader".
FlashHeader getFlashHeader(const std::string& path);
// The same for a movie that starts `offset` bytes into a file (a card), without copying it.
FlashHeader getFlashHeaderAt(const std::string& path, std::uint64_t offset);

// The header of a movie as the player plays it: a compressed movie's ("CWS", "ZWS") read
// from its inflated bytes, and the colour its stage really shows (the background-colour tag
// among the first frame's tags, white without one) instead of the bytes after the first tag.
struct PlayedHeader {
    FlashHeader header;
    std::uint32_t background = 0xFFFFFF; // 0xRRGGBB
};
PlayedHeader getPlayedHeader(const std::string& path);

// Eight "0"/"1" characters, most significant bit first; "0" and a "Dec2Bin" record for a
// value that is no byte.
std::string Dec2Bin(int value);
// The binary digits as a number, most significant first; the empty text is 0. -1 and a
// "Bin2Dec" record for a character that is no digit or a number too large for 32 bits.
std::int32_t Bin2Dec(std::string_view digits);

} // namespace cardformat
