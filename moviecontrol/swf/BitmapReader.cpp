#include "DefinitionReaders.h"

namespace swf {

JpegBitmap readJpegBitmap(ByteReader& r, std::uint8_t jpegVersion) {
    JpegBitmap bitmap;
    bitmap.version = jpegVersion;
    bitmap.id = r.u16();
    if (jpegVersion < 3) {
        bitmap.imageData = r.rest();
        return bitmap;
    }
    const std::uint32_t imageLength = r.u32();
    if (jpegVersion >= 4) {
        bitmap.deblocking = r.u16();
    }
    bitmap.imageData = r.bytes(imageLength);
    bitmap.alphaData = r.rest();
    return bitmap;
}

LosslessBitmap readLosslessBitmap(ByteReader& r, std::uint8_t losslessVersion) {
    LosslessBitmap bitmap;
    bitmap.version = losslessVersion;
    bitmap.id = r.u16();
    bitmap.format = r.u8();
    bitmap.width = r.u16();
    bitmap.height = r.u16();
    if (bitmap.format == 3) {
        bitmap.colorTableSize = r.u8();
    }
    bitmap.zlibData = r.rest();
    return bitmap;
}

} // namespace swf
