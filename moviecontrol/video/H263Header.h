#pragma once
// The picture header of Flash's H.263 variant (Sorenson Spark): a 17-bit start code, a
// version, the temporal reference, a size code (five fixed sizes or a custom one in 8 or 16
// bits), the picture type, the deblocking hint and the quantiser. Macroblocks follow directly:
// the variant has no group-of-blocks headers.

#include <cstdint>
#include <span>

#include "BitStream.h"

namespace video {

enum class PictureType : std::uint8_t { Intra, Inter, DisposableInter };

struct PictureHeader {
    std::uint8_t version = 0; // 0: plain escape codes; 1: 7- or 11-bit escaped levels.
    std::uint8_t temporalReference = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    PictureType type = PictureType::Intra;
    bool deblocking = false;
    std::uint8_t quantiser = 1; // 1..31
};

enum class HeaderError : std::uint8_t {
    None,
    Truncated,
    BadStartCode,
    BadVersion,
    BadSize,
    BadType,
    BadQuantiser,
};

// Largest picture accepted, in pixels per side: a claimed size never turns into memory
// beyond a few tens of megabytes.
inline constexpr std::uint16_t kMaxPictureSide = 4096;

// Reads the header at the stream's position; on success the stream is left at the first
// macroblock.
HeaderError readPictureHeader(BitStream& in, PictureHeader& out);

// Only the picture type of a frame's bytes, or nullopt-like false when the header is bad.
bool peekPictureType(std::span<const std::uint8_t> frame, PictureType& type);

} // namespace video
