#pragma once
// Hand-made movie payloads for the bitmap tests: JPEGs made with libjpeg, zlib planes,
// and the tag layouts around them.

#include <QImage>
#include <cstdint>
#include <span>
#include <vector>

namespace mc::test {

using Bytes = std::vector<std::uint8_t>;

// Smooth colour ramps: JPEG keeps them within a few levels.
QImage rampImage(int width, int height);

// A complete baseline JPEG of an RGB image.
Bytes encodeJpeg(const QImage& image, int quality = 95);
// A complete JPEG of the image's grey levels (one component).
Bytes encodeGreyJpeg(const QImage& image);
// A JPEG of one CMYK colour as libjpeg stores it (with the Adobe marker).
Bytes encodeCmykJpeg(int width, int height, std::uint8_t c, std::uint8_t m, std::uint8_t y,
                     std::uint8_t k);

// The same image written the way DefineBits stores it: a tables-only stream (for
// JPEGTables) and an abbreviated image stream without tables.
struct SplitJpeg {
    Bytes tables;
    Bytes image;
};
SplitJpeg encodeSplitJpeg(const QImage& image);

Bytes zlibCompress(std::span<const std::uint8_t> data);
Bytes encodeWithQt(const QImage& image, const char* format);

// Offset of the first marker `code` (the FF byte), or -1.
std::ptrdiff_t findMarker(std::span<const std::uint8_t> jpeg, std::uint8_t code);

Bytes concat(std::initializer_list<std::span<const std::uint8_t>> parts);
void appendU16(Bytes& out, std::uint16_t value);
void appendU32(Bytes& out, std::uint32_t value);

// Largest difference of any channel between two images of the same size (255 if the
// sizes differ), comparing premultiplied ARGB.
int maxChannelDifference(const QImage& a, const QImage& b);

// True when no pixel's colour exceeds its alpha (a valid premultiplied image).
bool validPremultiplied(const QImage& image);

} // namespace mc::test
