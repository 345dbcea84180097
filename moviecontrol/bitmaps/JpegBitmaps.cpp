#include "JpegBitmaps.h"

#include "BoundedInflate.h"
#include "EmbeddedImage.h"
#include "JpegDecoder.h"
#include "JpegStream.h"

#include <algorithm>
#include <cstddef>

namespace mc {
namespace {

std::uint32_t readU32(std::span<const std::uint8_t> bytes) {
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

BitmapStatus worse(BitmapStatus a, BitmapStatus b) {
    return a == BitmapStatus::Complete ? b : a;
}

// Shared by the third and fourth versions: `headerSize` bytes precede the image data.
DecodedBitmap decodeWithAlphaPlane(std::span<const std::uint8_t> body, std::size_t headerSize) {
    if (body.size() < headerSize) {
        return failedBitmap(BitmapStatus::Malformed);
    }
    const std::size_t claimed = readU32(body);
    const std::span<const std::uint8_t> rest = body.subspan(headerSize);
    const std::size_t imageLength = std::min<std::size_t>(claimed, rest.size());
    const std::span<const std::uint8_t> imageData = rest.first(imageLength);
    const std::span<const std::uint8_t> alpha = rest.subspan(imageLength);

    DecodedBitmap decoded = decodeJpegImage(imageData, alpha);
    if (claimed > rest.size()) {
        decoded.status = worse(decoded.status, BitmapStatus::Partial);
    }
    return decoded;
}

} // namespace

BitmapStatus applyAlphaPlane(QImage& image, std::span<const std::uint8_t> zlibAlpha) {
    const auto width = static_cast<std::size_t>(image.width());
    const auto height = static_cast<std::size_t>(image.height());
    const std::vector<std::uint8_t> alpha = inflateBounded(zlibAlpha, width * height);
    if (alpha.empty()) {
        return zlibAlpha.empty() ? BitmapStatus::Complete : BitmapStatus::Partial;
    }
    for (std::size_t y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
        for (std::size_t x = 0; x < width; ++x) {
            const std::size_t index = y * width + x;
            const int a = index < alpha.size() ? alpha[index] : 0;
            const QRgb pixel = line[x];
            line[x] = qRgba(std::min(qRed(pixel), a), std::min(qGreen(pixel), a),
                            std::min(qBlue(pixel), a), a);
        }
    }
    return alpha.size() == width * height ? BitmapStatus::Complete : BitmapStatus::Partial;
}

DecodedBitmap decodeJpegImage(std::span<const std::uint8_t> imageData,
                              std::span<const std::uint8_t> zlibAlpha,
                              std::span<const std::uint8_t> sharedTables) {
    const EmbeddedImageKind kind = embeddedImageKind(imageData);
    if (kind != EmbeddedImageKind::Jpeg) {
        return decodeEmbeddedImage(imageData, kind);
    }
    DecodedBitmap decoded = decodeJpegStream(assembleJpegStream(sharedTables, imageData));
    if (decoded.usable() && !zlibAlpha.empty()) {
        decoded.status = worse(decoded.status, applyAlphaPlane(decoded.image, zlibAlpha));
    }
    return decoded;
}

DecodedBitmap decodeDefineBits(std::span<const std::uint8_t> imageData,
                               std::span<const std::uint8_t> sharedTables) {
    return decodeJpegStream(assembleJpegStream(sharedTables, imageData));
}

DecodedBitmap decodeDefineBitsJpeg2(std::span<const std::uint8_t> body) {
    return decodeJpegImage(body, {});
}

DecodedBitmap decodeDefineBitsJpeg3(std::span<const std::uint8_t> body) {
    return decodeWithAlphaPlane(body, 4);
}

DecodedBitmap decodeDefineBitsJpeg4(std::span<const std::uint8_t> body) {
    return decodeWithAlphaPlane(body, 6);
}

} // namespace mc
