// Arbitrary tag bodies through every bitmap decoder. The first byte chooses the tag; for
// DefineBits the body is split in two at a point given by the second byte, the first part
// standing in for the movie's shared JPEG tables.

#include "BitmapTags.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

constexpr std::array<std::uint16_t, 6> kTags{6, 20, 21, 35, 36, 90};

void checkResult(const mc::DecodedBitmap& decoded) {
    if (!decoded.usable()) {
        return;
    }
    const QImage& image = decoded.image;
    if (image.format() != QImage::Format_ARGB32_Premultiplied) {
        std::abort();
    }
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int a = qAlpha(line[x]);
            if (qRed(line[x]) > a || qGreen(line[x]) > a || qBlue(line[x]) > a) {
                std::abort(); // premultiplied colour above alpha
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::uint16_t tag = kTags[data[0] % kTags.size()];
    std::span<const std::uint8_t> body(data + 1, size - 1);
    std::span<const std::uint8_t> tables;
    if (tag == 6 && !body.empty()) {
        const std::size_t split = std::min<std::size_t>(body[0], body.size() - 1);
        tables = body.subspan(1, split);
        body = body.subspan(1 + split);
    }
    checkResult(mc::decodeBitmapTag(tag, body, tables));
    return 0;
}
