#include "BitmapLibrary.h"

#ifdef MC_RENDER_HAS_BITMAPS
#include "EmbeddedImage.h"
#include "JpegBitmaps.h"
#include "LosslessBitmaps.h"
#endif

namespace mc {

#ifdef MC_RENDER_HAS_BITMAPS
namespace {

DecodedBitmap decodeJpeg(const swf::JpegBitmap& b, std::span<const std::uint8_t> tables) {
    if (b.version <= 1) {
        return decodeDefineBits(b.imageData, tables);
    }
    return decodeJpegImage(b.imageData, b.alphaData);
}

DecodedBitmap decodeLossless(const swf::LosslessBitmap& b) {
    const LosslessHeader header{b.format, b.width, b.height, b.colorTableSize};
    return decodeLosslessPixels(
        header, b.zlibData, b.version >= 2 ? LosslessVersion::WithAlpha : LosslessVersion::Opaque);
}

} // namespace
#endif

const QImage& BitmapLibrary::image(std::uint16_t id) {
    auto it = images_.find(id);
    if (it == images_.end()) {
        QImage decoded = held_ < budget_ ? decode(id) : QImage();
        if (held_ + decoded.sizeInBytes() > budget_) {
            decoded = QImage();
        }
        held_ += decoded.sizeInBytes();
        it = images_.emplace(id, std::move(decoded)).first;
    }
    return it->second;
}

bool BitmapLibrary::transparent(std::uint16_t id) const {
    if (const auto* lossless = movie_.findAs<swf::LosslessBitmap>(id)) {
        return lossless->version >= 2;
    }
    if (const auto* jpeg = movie_.findAs<swf::JpegBitmap>(id)) {
        if (jpeg->version >= 3) {
            return true;
        }
#ifdef MC_RENDER_HAS_BITMAPS
        return embeddedImageKind(jpeg->imageData) != EmbeddedImageKind::Jpeg;
#endif
    }
    return true;
}

QImage BitmapLibrary::tinted(std::uint16_t id, const ColorTransform& cx) {
    const QImage& source = image(id);
    if (source.isNull() || cx.isIdentity()) {
        return source;
    }
    return tints_.tinted(id, source, cx);
}

QImage BitmapLibrary::decode(std::uint16_t id) const {
#ifndef MC_RENDER_HAS_BITMAPS
    (void)id;
    return {};
#else
    DecodedBitmap decoded;
    if (const auto* jpeg = movie_.findAs<swf::JpegBitmap>(id)) {
        decoded = decodeJpeg(*jpeg, movie_.jpegTables);
    } else if (const auto* lossless = movie_.findAs<swf::LosslessBitmap>(id)) {
        decoded = decodeLossless(*lossless);
    } else {
        return {};
    }
    if (decoded.image.isNull()) {
        return {};
    }
    if (decoded.image.format() != QImage::Format_ARGB32_Premultiplied) {
        return decoded.image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    return decoded.image;
#endif
}

} // namespace mc
