#include "LosslessBitmaps.h"

#include "BitmapLimits.h"
#include "BoundedInflate.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace mc {
namespace {

enum class PixelFormat : std::uint8_t { Palette8 = 3, Rgb15 = 4, Rgb32 = 5 };

struct LosslessLayout {
    PixelFormat format;
    int width;
    int height;
    std::size_t paletteEntries; // format 3 only
    std::size_t paletteEntrySize;
    std::size_t pixelSize; // bytes per pixel in the rows
    std::size_t rowStride;

    std::size_t paletteBytes() const { return paletteEntries * paletteEntrySize; }
    std::size_t expectedSize() const {
        return paletteBytes() + rowStride * static_cast<std::size_t>(height);
    }
};

std::uint16_t readU16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

// Turns a premultiplied colour whose channels may exceed alpha into a valid one; a
// premultiplied QImage with colour above alpha overflows when composited.
QRgb clampedPremultiplied(int r, int g, int b, int a) {
    return qRgba(std::min(r, a), std::min(g, a), std::min(b, a), a);
}

std::uint8_t expand5(unsigned component) {
    return static_cast<std::uint8_t>((component * 255 + 15) / 31);
}

// Rows of format 3: one palette index per pixel, rows padded to four bytes.
void fillPaletteRows(QImage& image, const LosslessLayout& layout,
                     std::span<const std::uint8_t> data, QRgb missing, bool withAlpha) {
    std::vector<QRgb> palette;
    const std::size_t available = std::min(data.size(), layout.paletteBytes());
    palette.reserve(available / layout.paletteEntrySize);
    for (std::size_t at = 0; at + layout.paletteEntrySize <= available;
         at += layout.paletteEntrySize) {
        const int a = withAlpha ? data[at + 3] : 255;
        palette.push_back(clampedPremultiplied(data[at], data[at + 1], data[at + 2], a));
    }
    const std::span<const std::uint8_t> pixels = data.subspan(available);
    for (int y = 0; y < layout.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const std::size_t rowStart = static_cast<std::size_t>(y) * layout.rowStride;
        for (int x = 0; x < layout.width; ++x) {
            const std::size_t at = rowStart + static_cast<std::size_t>(x);
            if (at >= pixels.size()) {
                return;
            }
            const std::size_t index = pixels[at];
            line[x] = index < palette.size() ? palette[index] : missing;
        }
    }
}

// Rows of format 4: big-endian 0RRRRRGGGGGBBBBB, rows padded to an even pixel count.
void fillRgb15Rows(QImage& image, const LosslessLayout& layout,
                   std::span<const std::uint8_t> data) {
    for (int y = 0; y < layout.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const std::size_t rowStart = static_cast<std::size_t>(y) * layout.rowStride;
        for (int x = 0; x < layout.width; ++x) {
            const std::size_t at = rowStart + static_cast<std::size_t>(x) * 2;
            if (at + 2 > data.size()) {
                return;
            }
            const unsigned value = unsigned{data[at]} << 8 | data[at + 1];
            line[x] = qRgb(expand5(value >> 10 & 0x1F), expand5(value >> 5 & 0x1F),
                           expand5(value & 0x1F));
        }
    }
}

// Rows of format 5: A R G B bytes; the first version's A byte means nothing.
void fillRgb32Rows(QImage& image, const LosslessLayout& layout, std::span<const std::uint8_t> data,
                   bool withAlpha) {
    for (int y = 0; y < layout.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const std::size_t rowStart = static_cast<std::size_t>(y) * layout.rowStride;
        for (int x = 0; x < layout.width; ++x) {
            const std::size_t at = rowStart + static_cast<std::size_t>(x) * 4;
            if (at + 4 > data.size()) {
                return;
            }
            const int a = withAlpha ? data[at] : 255;
            line[x] = clampedPremultiplied(data[at + 1], data[at + 2], data[at + 3], a);
        }
    }
}

bool readLayout(const LosslessHeader& header, bool withAlpha, LosslessLayout& layout,
                BitmapStatus& failure) {
    failure = BitmapStatus::Unsupported;
    layout.width = header.width;
    layout.height = header.height;
    layout.paletteEntries = 0;
    layout.paletteEntrySize = withAlpha ? 4 : 3;
    const auto width = static_cast<std::size_t>(layout.width);
    switch (header.format) {
    case static_cast<std::uint8_t>(PixelFormat::Palette8):
        layout.format = PixelFormat::Palette8;
        layout.paletteEntries = std::size_t{header.colorTableSize} + 1;
        layout.pixelSize = 1;
        layout.rowStride = (width + 3) & ~std::size_t{3};
        break;
    case static_cast<std::uint8_t>(PixelFormat::Rgb15):
        if (withAlpha) {
            return false; // the alpha version has no 15-bit form
        }
        layout.format = PixelFormat::Rgb15;
        layout.pixelSize = 2;
        layout.rowStride = ((width + 1) & ~std::size_t{1}) * 2;
        break;
    case static_cast<std::uint8_t>(PixelFormat::Rgb32):
        layout.format = PixelFormat::Rgb32;
        layout.pixelSize = 4;
        layout.rowStride = width * 4;
        break;
    default:
        return false;
    }
    if (!bitmapSizeAllowed(layout.width, layout.height)) {
        failure = layout.width == 0 || layout.height == 0 ? BitmapStatus::Malformed
                                                          : BitmapStatus::TooLarge;
        return false;
    }
    return true;
}

} // namespace

DecodedBitmap decodeLosslessPixels(const LosslessHeader& header,
                                   std::span<const std::uint8_t> zlibData,
                                   LosslessVersion version) {
    const bool withAlpha = version == LosslessVersion::WithAlpha;
    LosslessLayout layout{};
    BitmapStatus failure = BitmapStatus::Malformed;
    if (!readLayout(header, withAlpha, layout, failure)) {
        return failedBitmap(failure);
    }
    const std::vector<std::uint8_t> data = inflateBounded(zlibData, layout.expectedSize());
    // A big picture whose data covers less than half of it is refused before its memory is
    // taken; small partial pictures still show what they have.
    const auto pixels = static_cast<std::int64_t>(layout.width) * layout.height;
    if (pixels > kTrustedBitmapPixels && data.size() < layout.expectedSize() / 2) {
        return failedBitmap(BitmapStatus::TooLarge);
    }
    QImage image(layout.width, layout.height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        return failedBitmap(BitmapStatus::TooLarge);
    }
    const QRgb missing = withAlpha ? qRgba(0, 0, 0, 0) : qRgb(0, 0, 0);
    image.fill(missing);
    switch (layout.format) {
    case PixelFormat::Palette8:
        fillPaletteRows(image, layout, data, missing, withAlpha);
        break;
    case PixelFormat::Rgb15:
        fillRgb15Rows(image, layout, data);
        break;
    case PixelFormat::Rgb32:
        fillRgb32Rows(image, layout, data, withAlpha);
        break;
    }
    // The last row's padding may be missing without losing a pixel.
    const std::size_t lastPixelEnd = layout.expectedSize() - layout.rowStride +
                                     static_cast<std::size_t>(layout.width) * layout.pixelSize;
    const bool complete = data.size() >= lastPixelEnd;
    return DecodedBitmap{image, complete ? BitmapStatus::Complete : BitmapStatus::Partial};
}

DecodedBitmap decodeDefineBitsLossless(std::span<const std::uint8_t> body,
                                       LosslessVersion version) {
    if (body.size() < 5) {
        return failedBitmap(BitmapStatus::Malformed);
    }
    LosslessHeader header;
    header.format = body[0];
    header.width = readU16(body, 1);
    header.height = readU16(body, 3);
    std::size_t dataOffset = 5;
    if (header.format == static_cast<std::uint8_t>(PixelFormat::Palette8)) {
        if (body.size() < 6) {
            return failedBitmap(BitmapStatus::Malformed);
        }
        header.colorTableSize = body[5];
        dataOffset = 6;
    }
    return decodeLosslessPixels(header, body.subspan(dataOffset), version);
}

} // namespace mc
