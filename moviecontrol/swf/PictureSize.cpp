#include "PictureSize.h"

#include <algorithm>
#include <initializer_list>

namespace swf {

namespace {

std::uint32_t bigEndian16(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t{b[at]} << 8 | b[at + 1];
}

std::uint32_t bigEndian32(std::span<const std::uint8_t> b, std::size_t at) {
    return bigEndian16(b, at) << 16 | bigEndian16(b, at + 2);
}

std::optional<PictureSize> jpegSize(std::span<const std::uint8_t> b) {
    // Markers after the start of image, each with a 16-bit length, until a frame header.
    std::size_t at = 2;
    while (at + 4 <= b.size()) {
        if (b[at] != 0xFF) {
            return std::nullopt;
        }
        const std::uint8_t marker = b[at + 1];
        if (marker == 0xFF) {
            ++at; // fill byte
            continue;
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2; // markers without a length
            continue;
        }
        const std::uint32_t length = bigEndian16(b, at + 2);
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 7 || at + 9 > b.size()) {
                return std::nullopt;
            }
            return PictureSize{bigEndian16(b, at + 7), bigEndian16(b, at + 5)};
        }
        if (length < 2) {
            return std::nullopt;
        }
        at += 2 + length;
    }
    return std::nullopt;
}

bool startsWith(std::span<const std::uint8_t> b, std::initializer_list<std::uint8_t> sig) {
    return b.size() >= sig.size() && std::equal(sig.begin(), sig.end(), b.begin());
}

} // namespace

std::optional<PictureSize> pictureSize(std::span<const std::uint8_t> b) {
    std::optional<PictureSize> size;
    if (startsWith(b, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})) {
        // The IHDR chunk comes first: length, type, width, height.
        if (b.size() >= 24 && startsWith(b.subspan(12), {'I', 'H', 'D', 'R'})) {
            size = PictureSize{bigEndian32(b, 16), bigEndian32(b, 20)};
        }
    } else if (startsWith(b, {'G', 'I', 'F', '8'})) {
        if (b.size() >= 10) {
            size = PictureSize{std::uint32_t{b[6]} | std::uint32_t{b[7]} << 8,
                               std::uint32_t{b[8]} | std::uint32_t{b[9]} << 8};
        }
    } else if (startsWith(b, {0xFF, 0xD8})) {
        size = jpegSize(b);
    }
    if (size && (size->width == 0 || size->height == 0 || size->width > kMaxPictureSide ||
                 size->height > kMaxPictureSide)) {
        return std::nullopt;
    }
    return size;
}

} // namespace swf
