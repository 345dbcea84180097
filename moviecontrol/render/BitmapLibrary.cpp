#include "BitmapLibrary.h"

#include <vector>

#ifdef MC_RENDER_HAS_BITMAPS
#include "JpegBitmaps.h"
#include "LosslessBitmaps.h"
#endif

namespace mc {

#ifdef MC_RENDER_HAS_BITMAPS
namespace {

void appendU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void appendU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    appendU16(out, v & 0xFFFF);
    appendU16(out, v >> 16);
}

// The decoders take tag bodies as stored after the character id; the reader hands out the
// parts, so the body is put back together.
DecodedBitmap decodeJpeg(const swf::JpegBitmap& b, std::span<const std::uint8_t> tables) {
    if (b.version <= 1) {
        return decodeDefineBits(b.imageData, tables);
    }
    if (b.version == 2) {
        return decodeDefineBitsJpeg2(b.imageData);
    }
    std::vector<std::uint8_t> body;
    body.reserve(b.imageData.size() + b.alphaData.size() + 6);
    appendU32(body, static_cast<std::uint32_t>(b.imageData.size()));
    if (b.version >= 4) {
        appendU16(body, b.deblocking);
    }
    body.insert(body.end(), b.imageData.begin(), b.imageData.end());
    body.insert(body.end(), b.alphaData.begin(), b.alphaData.end());
    return b.version >= 4 ? decodeDefineBitsJpeg4(body) : decodeDefineBitsJpeg3(body);
}

DecodedBitmap decodeLossless(const swf::LosslessBitmap& b) {
    std::vector<std::uint8_t> body;
    body.reserve(b.zlibData.size() + 6);
    body.push_back(b.format);
    appendU16(body, b.width);
    appendU16(body, b.height);
    if (b.format == 3) {
        body.push_back(b.colorTableSize);
    }
    body.insert(body.end(), b.zlibData.begin(), b.zlibData.end());
    return decodeDefineBitsLossless(body, b.version >= 2 ? LosslessVersion::WithAlpha
                                                         : LosslessVersion::Opaque);
}

} // namespace
#endif

const QImage& BitmapLibrary::image(std::uint16_t id) {
    auto it = images_.find(id);
    if (it == images_.end()) {
        it = images_.emplace(id, decode(id)).first;
    }
    return it->second;
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
