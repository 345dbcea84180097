#include "BitmapTags.h"

#include "JpegBitmaps.h"
#include "LosslessBitmaps.h"

namespace mc {

bool isBitmapTag(std::uint16_t tagCode) {
    switch (static_cast<BitmapTag>(tagCode)) {
    case BitmapTag::DefineBits:
    case BitmapTag::DefineBitsLossless:
    case BitmapTag::DefineBitsJpeg2:
    case BitmapTag::DefineBitsJpeg3:
    case BitmapTag::DefineBitsLossless2:
    case BitmapTag::DefineBitsJpeg4:
        return true;
    }
    return false;
}

DecodedBitmap decodeBitmapTag(std::uint16_t tagCode, std::span<const std::uint8_t> body,
                              std::span<const std::uint8_t> sharedTables) {
    switch (static_cast<BitmapTag>(tagCode)) {
    case BitmapTag::DefineBits:
        return decodeDefineBits(body, sharedTables);
    case BitmapTag::DefineBitsLossless:
        return decodeDefineBitsLossless(body, LosslessVersion::Opaque);
    case BitmapTag::DefineBitsJpeg2:
        return decodeDefineBitsJpeg2(body);
    case BitmapTag::DefineBitsJpeg3:
        return decodeDefineBitsJpeg3(body);
    case BitmapTag::DefineBitsLossless2:
        return decodeDefineBitsLossless(body, LosslessVersion::WithAlpha);
    case BitmapTag::DefineBitsJpeg4:
        return decodeDefineBitsJpeg4(body);
    }
    return failedBitmap(BitmapStatus::Unsupported);
}

} // namespace mc
