// An unsmoothed bitmap keeps hard edges between its pixels while its outline is blended like a
// shape's edge, whatever part of a device pixel it covers.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cstdlib>

#include "BitmapFill.h"

namespace mc {
namespace {

bool near(QColor c, int r, int g, int b) {
    return std::abs(c.red() - r) <= 12 && std::abs(c.green() - g) <= 12 &&
           std::abs(c.blue() - b) <= 12;
}

// A red and a blue pixel drawn 10 times enlarged from x = `left` on a white 40 x 10 device.
QImage drawnPair(double left, bool antialiased) {
    QImage pair(2, 1, QImage::Format_ARGB32_Premultiplied);
    pair.setPixel(0, 0, qRgb(255, 0, 0));
    pair.setPixel(1, 0, qRgb(0, 0, 255));
    QImage device(40, 10, QImage::Format_ARGB32_Premultiplied);
    device.fill(Qt::white);
    QPainter p(&device);
    p.setRenderHint(QPainter::Antialiasing, antialiased);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.setTransform(QTransform(10, 0, 0, 10, left, 0));
    drawBitmap(p, pair, nullptr);
    p.end();
    return device;
}

TEST(HardPixelsTest, OutlineIsBlendedAndInsideStaysHard) {
    const QImage image = drawnPair(10.25, true);
    // Three quarters of pixel 10 are red.
    EXPECT_TRUE(near(image.pixelColor(10, 5), 255, 64, 64))
        << image.pixelColor(10, 5).name().toStdString();
    EXPECT_TRUE(near(image.pixelColor(19, 5), 255, 0, 0));
    // The seam between the two pixels falls on whichever the device pixel's centre lies in.
    EXPECT_TRUE(near(image.pixelColor(20, 5), 0, 0, 255));
    // A quarter of pixel 30 is blue, though its centre lies past the bitmap.
    EXPECT_TRUE(near(image.pixelColor(30, 5), 191, 191, 255))
        << image.pixelColor(30, 5).name().toStdString();
    EXPECT_TRUE(near(image.pixelColor(31, 5), 255, 255, 255));
}

TEST(HardPixelsTest, WholePixelPlacesAndLowQualityDrawPlainPixels) {
    for (double left : {10.0, 10.25}) {
        const QImage image = drawnPair(left, left == 10.0);
        EXPECT_TRUE(near(image.pixelColor(10, 5), 255, 0, 0)) << left;
        EXPECT_TRUE(near(image.pixelColor(9, 5), 255, 255, 255)) << left;
        EXPECT_TRUE(near(image.pixelColor(29, 5), 0, 0, 255)) << left;
        // Without blending a pixel is drawn when its centre is covered.
        EXPECT_TRUE(near(image.pixelColor(30, 5), 255, 255, 255)) << left;
    }
}

} // namespace
} // namespace mc
