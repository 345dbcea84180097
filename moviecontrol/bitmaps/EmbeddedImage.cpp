#include "EmbeddedImage.h"

#include "BitmapLimits.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <algorithm>
#include <array>

namespace mc {
namespace {

constexpr std::array<std::uint8_t, 8> kPngSignature{0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
constexpr std::array<std::uint8_t, 4> kGifSignature{0x47, 0x49, 0x46, 0x38};

template <std::size_t N>
bool startsWith(std::span<const std::uint8_t> data, const std::array<std::uint8_t, N>& prefix) {
    return data.size() >= N && std::equal(prefix.begin(), prefix.end(), data.begin());
}

} // namespace

EmbeddedImageKind embeddedImageKind(std::span<const std::uint8_t> data) {
    if (startsWith(data, kPngSignature)) {
        return EmbeddedImageKind::Png;
    }
    if (startsWith(data, kGifSignature)) {
        return EmbeddedImageKind::Gif;
    }
    return EmbeddedImageKind::Jpeg;
}

DecodedBitmap decodeEmbeddedImage(std::span<const std::uint8_t> data, EmbeddedImageKind kind) {
    if (kind == EmbeddedImageKind::Jpeg) {
        return failedBitmap(BitmapStatus::Unsupported);
    }
    // The bytes are only read while this function runs, so Qt may borrow them.
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data.data()),
                                                     static_cast<qsizetype>(data.size()));
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly)) {
        return failedBitmap(BitmapStatus::Malformed);
    }
    QImageReader reader(&buffer, kind == EmbeddedImageKind::Png ? "png" : "gif");
    reader.setAutoTransform(false);
    reader.setAllocationLimit(static_cast<int>(kMaxBitmapPixels * 4 / (1024 * 1024)));
    const QSize size = reader.size();
    if (!size.isValid()) {
        return failedBitmap(BitmapStatus::Malformed);
    }
    if (!bitmapSizeAllowed(size.width(), size.height())) {
        return failedBitmap(BitmapStatus::TooLarge);
    }
    QImage image = reader.read();
    if (image.isNull()) {
        return failedBitmap(BitmapStatus::Malformed);
    }
    if (!bitmapSizeAllowed(image.width(), image.height())) {
        return failedBitmap(BitmapStatus::TooLarge);
    }
    return DecodedBitmap{image.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                         BitmapStatus::Complete};
}

} // namespace mc
