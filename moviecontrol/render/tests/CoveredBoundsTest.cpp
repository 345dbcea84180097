// The covered bounds of a layer decide how much of it is filtered, copied and blended: a
// pixel left out is lost from the picture, and one taken in too many costs work.
#include <gtest/gtest.h>

#include <QImage>
#include <random>

#include "CoveredBounds.h"

namespace mc {
namespace {

QImage clear(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Every pixel looked at.
QRect everyPixel(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != 0) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

TEST(CoveredBoundsTest, AClearLayerCoversNothing) {
    EXPECT_TRUE(coveredBounds(clear(300, 200)).isEmpty());
    EXPECT_TRUE(coveredBounds(clear(1, 1)).isEmpty());
}

TEST(CoveredBoundsTest, SinglePixelsAtTheEdgesAndTheFaintestAlphaCount) {
    const QPoint spots[] = {{0, 0}, {299, 0}, {0, 199}, {299, 199}, {63, 64}, {64, 63}, {150, 1}};
    for (const QPoint& spot : spots) {
        QImage image = clear(300, 200);
        image.setPixel(spot, qRgba(0, 0, 0, 1));
        EXPECT_EQ(coveredBounds(image), QRect(spot, QSize(1, 1))) << spot.x() << "," << spot.y();
    }
}

TEST(CoveredBoundsTest, ScatteredContentMatchesAPixelByPixelSearch) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        const int w = 1 + int(random() % 260);
        const int h = 1 + int(random() % 90);
        QImage image = clear(w, h);
        const int spots = int(random() % 6);
        for (int i = 0; i < spots; ++i) {
            // Some spots are runs along a row, so that a line holds content between gaps.
            const int x = int(random() % w);
            const int y = int(random() % h);
            const int run = 1 + int(random() % 80);
            for (int k = x; k < std::min(w, x + run); k += 3) {
                image.setPixel(k, y, qRgba(9, 0, 0, 9));
            }
        }
        ASSERT_EQ(coveredBounds(image), everyPixel(image)) << round << ": " << w << "x" << h;
    }
}

} // namespace
} // namespace mc
