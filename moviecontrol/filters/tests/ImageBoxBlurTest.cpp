#include "ImageBoxBlur.h"
#include "PixelMath.h"

#include <gtest/gtest.h>
#include <random>

namespace mc {
namespace {

// Random premultiplied pixels with transparent patches, so edges and holes both occur.
QImage noisyLayer(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int a = (x / 5 + y / 7) % 3 == 0 ? 0 : byte(random);
            line[x] =
                qRgba(byte(random) * a / 255, byte(random) * a / 255, byte(random) * a / 255, a);
        }
    }
    return image;
}

Plane channelPlane(const QImage& image, int shift) {
    Plane plane(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            plane.values[static_cast<std::size_t>(y) * image.width() + x] =
                static_cast<float>((line[x] >> shift) & 0xFF) / 255.0f;
        }
    }
    return plane;
}

// The integer blur against the float planes of the alpha effects: both truncate every pass
// to whole levels, so they agree but for a level where a true value sits on a level's edge.
TEST(ImageBoxBlur, MatchesThePlaneBlurLevelForLevel) {
    const QImage source = noisyLayer(61, 47);
    for (const BlurSize size :
         {BlurSize{5.0, 5.0, 1}, BlurSize{6.5, 2.25, 2}, BlurSize{1.0, 9.0, 1},
          BlurSize{0.0, 9.0, 1}, BlurSize{7.0, 0.5, 2}, BlurSize{40.0, 40.0, 3}}) {
        QImage blurred = source.copy();
        boxBlurImage(blurred, size);
        for (int shift : {0, 8, 16, 24}) {
            Plane expected = channelPlane(source, shift);
            boxBlur(expected, size);
            const Plane actual = channelPlane(blurred, shift);
            float worst = 0.0f;
            for (std::size_t i = 0; i < expected.values.size(); ++i) {
                worst = std::max(worst, std::abs(expected.values[i] - actual.values[i]) * 255.0f);
            }
            EXPECT_LE(worst, 1.01f) << "box " << size.x << "x" << size.y << " passes "
                                    << size.passes << " shift " << shift;
        }
    }
}

TEST(ImageBoxBlur, ColourStaysWithinAlphaAndNothingIsLost) {
    QImage image = noisyLayer(40, 30);
    boxBlurImage(image, BlurSize{7.3, 4.6, 3});
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            ASSERT_LE(qRed(p), qAlpha(p));
            ASSERT_LE(qGreen(p), qAlpha(p));
            ASSERT_LE(qBlue(p), qAlpha(p));
        }
    }
    // A lone opaque pixel spreads over the box, each pass keeping whole levels.
    QImage dot(21, 21, QImage::Format_ARGB32_Premultiplied);
    dot.fill(0u);
    dot.setPixel(10, 10, qRgba(255, 255, 255, 255));
    boxBlurImage(dot, BlurSize{3.0, 3.0, 1});
    EXPECT_EQ(qAlpha(dot.pixel(9, 9)), 28); // 255 / 3 = 85, then 85 / 3 = 28.3
    EXPECT_EQ(qAlpha(dot.pixel(11, 11)), 28);
    EXPECT_EQ(qAlpha(dot.pixel(12, 10)), 0);
}

TEST(ImageBoxBlur, PassesTruncateAndOpaqueAreasStayOpaque) {
    // 255 / 4 = 63.75 in the middle of a 4-wide box, half that at its ends: truncated, not
    // rounded up, as Flash's passes do.
    QImage dot(15, 3, QImage::Format_ARGB32_Premultiplied);
    dot.fill(0u);
    dot.setPixel(7, 1, qRgba(255, 255, 255, 255));
    boxBlurImage(dot, BlurSize{4.0, 1.0, 1});
    EXPECT_EQ(qAlpha(dot.pixel(7, 1)), 63);
    EXPECT_EQ(qAlpha(dot.pixel(6, 1)), 63);
    EXPECT_EQ(qAlpha(dot.pixel(5, 1)), 31);
    // Truncation must not eat into full coverage, whatever the box.
    for (const double width : {3.0, 4.0, 7.0, 9.3, 40.0}) {
        QImage solid(200, 200, QImage::Format_ARGB32_Premultiplied);
        solid.fill(qRgba(40, 80, 255, 255));
        boxBlurImage(solid, BlurSize{width, width, 3});
        EXPECT_EQ(solid.pixel(100, 100), qRgba(40, 80, 255, 255)) << width;
    }
}

} // namespace
} // namespace mc
