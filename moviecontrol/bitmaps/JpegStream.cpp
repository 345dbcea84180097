#include "JpegStream.h"

#include <algorithm>
#include <cstddef>

namespace mc {
namespace {

constexpr std::uint8_t kMarkerPrefix = 0xFF;
constexpr std::uint8_t kStartOfImage = 0xD8;
constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kStartOfScan = 0xDA;
constexpr std::uint8_t kTemporary = 0x01;

bool isStandaloneMarker(std::uint8_t code) {
    const bool restart = code >= 0xD0 && code <= 0xD7;
    return restart || code == kStartOfImage || code == kEndOfImage || code == kTemporary ||
           code == 0x00;
}

// Frame headers: SOF0..SOF15 except DHT (C4), JPG (C8) and DAC (CC), which share the range.
bool isFrameHeader(std::uint8_t code) {
    return code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
}

// The shared tables piece only ever contributes tables: a frame or scan in it would clash
// with the image's own.
enum class ScanPolicy { TablesOnly, CopyRest };

// Appends the segments of one piece; returns true when a scan was reached and copied.
bool appendSegments(std::span<const std::uint8_t> piece, ScanPolicy policy,
                    std::vector<std::uint8_t>& out) {
    std::size_t pos = 0;
    const std::size_t size = piece.size();
    while (pos + 1 < size) {
        if (piece[pos] != kMarkerPrefix) {
            ++pos; // not a marker where one belongs: look for the next one
            continue;
        }
        const std::uint8_t code = piece[pos + 1];
        if (code == kMarkerPrefix) {
            ++pos; // fill byte before a marker
            continue;
        }
        if (isStandaloneMarker(code)) {
            pos += 2; // start/end markers are re-made once for the whole stream
            continue;
        }
        if (code == kStartOfScan) {
            if (policy == ScanPolicy::TablesOnly) {
                return false;
            }
            out.insert(out.end(), piece.begin() + static_cast<std::ptrdiff_t>(pos), piece.end());
            return true;
        }
        if (pos + 4 > size) {
            break;
        }
        const std::size_t length = (std::size_t{piece[pos + 2]} << 8) | piece[pos + 3];
        if (length < 2) {
            pos += 2; // a length that cannot hold itself: drop the marker, keep looking
            continue;
        }
        const std::size_t end = std::min(size, pos + 2 + length);
        if (policy == ScanPolicy::TablesOnly && isFrameHeader(code)) {
            pos = end;
            continue;
        }
        out.insert(out.end(), piece.begin() + static_cast<std::ptrdiff_t>(pos),
                   piece.begin() + static_cast<std::ptrdiff_t>(end));
        pos = end;
    }
    return false;
}

} // namespace

std::vector<std::uint8_t> assembleJpegStream(std::span<const std::uint8_t> tables,
                                             std::span<const std::uint8_t> image) {
    std::vector<std::uint8_t> out;
    out.reserve(tables.size() + image.size() + 4);
    out.push_back(kMarkerPrefix);
    out.push_back(kStartOfImage);
    appendSegments(tables, ScanPolicy::TablesOnly, out);
    appendSegments(image, ScanPolicy::CopyRest, out);
    const bool endsWithEoi =
        out.size() >= 4 && out[out.size() - 2] == kMarkerPrefix && out.back() == kEndOfImage;
    if (!endsWithEoi) {
        out.push_back(kMarkerPrefix);
        out.push_back(kEndOfImage);
    }
    return out;
}

} // namespace mc
