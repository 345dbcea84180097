#pragma once
// What a bitmap decoder hands back: the picture (premultiplied ARGB32) and how it went.

#include <QImage>

namespace mc {

enum class BitmapStatus {
    Complete,    // every pixel came from the movie
    Partial,     // data ran short or broke; the missing part is transparent or black
    Malformed,   // nothing usable; the image is null
    Unsupported, // a pixel format or image kind this decoder does not know; null image
    TooLarge,    // refused before allocation; null image
};

struct DecodedBitmap {
    QImage image; // Format_ARGB32_Premultiplied, or null
    BitmapStatus status = BitmapStatus::Malformed;

    bool usable() const { return !image.isNull(); }
};

inline DecodedBitmap failedBitmap(BitmapStatus status) {
    return DecodedBitmap{QImage(), status};
}

} // namespace mc
