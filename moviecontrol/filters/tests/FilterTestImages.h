#pragma once
// Small layers for the filter tests.

#include <QImage>

namespace mc::test {

// A transparent layer with an opaque rectangle of `colour`.
inline QImage layerWithSquare(QSize size, QRect square, QRgb colour) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int y = square.top(); y <= square.bottom(); ++y) {
        for (int x = square.left(); x <= square.right(); ++x) {
            image.setPixel(x, y, colour);
        }
    }
    return image;
}

inline double alphaSum(const QImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            sum += qAlpha(image.pixel(x, y));
        }
    }
    return sum;
}

} // namespace mc::test
