#include "ColorMatrix.h"
#include "Convolution.h"
#include "FilterTestImages.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace mc {
namespace {

QImage sampleLayer() {
    QImage image(4, 3, QImage::Format_ARGB32_Premultiplied);
    const QRgb colours[] = {qRgb(255, 0, 0),         qRgb(10, 200, 30),     qRgba(64, 32, 0, 128),
                            qRgba(0, 0, 0, 0),       qRgba(20, 20, 20, 40), qRgb(255, 255, 255),
                            qRgba(100, 0, 100, 200), qRgb(0, 0, 0),         qRgb(1, 2, 3),
                            qRgba(5, 5, 5, 5),       qRgb(90, 90, 200),     qRgba(0, 70, 0, 99)};
    for (int i = 0; i < 12; ++i) {
        image.setPixel(i % 4, i / 4, colours[i]);
    }
    return image;
}

void expectClose(const QImage& a, const QImage& b, int tolerance) {
    ASSERT_EQ(a.size(), b.size());
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            EXPECT_LE(std::abs(qRed(p) - qRed(q)), tolerance) << x << "," << y;
            EXPECT_LE(std::abs(qGreen(p) - qGreen(q)), tolerance) << x << "," << y;
            EXPECT_LE(std::abs(qBlue(p) - qBlue(q)), tolerance) << x << "," << y;
            EXPECT_EQ(qAlpha(p), qAlpha(q)) << x << "," << y;
        }
    }
}

swf::ColorMatrixFilter identityMatrix() {
    swf::ColorMatrixFilter filter;
    filter.matrix = {1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0};
    return filter;
}

TEST(ColorMatrix, IdentityKeepsPixels) {
    expectClose(applyColorMatrix(sampleLayer(), identityMatrix()), sampleLayer(), 1);
}

TEST(ColorMatrix, KnownMatrices) {
    QImage layer(1, 1, QImage::Format_ARGB32_Premultiplied);
    layer.setPixel(0, 0, qRgba(100, 50, 0, 200)); // straight (127.5, 63.75, 0)

    swf::ColorMatrixFilter swap = identityMatrix();
    swap.matrix[0] = 0;
    swap.matrix[2] = 1; // R' = B
    swap.matrix[12] = 0;
    swap.matrix[10] = 1; // B' = R
    EXPECT_EQ(applyColorMatrix(layer, swap).pixel(0, 0), qRgba(0, 50, 100, 200));

    swf::ColorMatrixFilter offsets = identityMatrix();
    offsets.matrix[4] = 255;   // red forced full
    offsets.matrix[18] = 0.5f; // half alpha
    EXPECT_EQ(applyColorMatrix(layer, offsets).pixel(0, 0), qRgba(100, 25, 0, 100));

    swf::ColorMatrixFilter grey{};
    for (int row = 0; row < 3; ++row) {
        grey.matrix[static_cast<std::size_t>(row * 5)] = 0.5f;
        grey.matrix[static_cast<std::size_t>(row * 5 + 1)] = 0.5f;
    }
    grey.matrix[18] = 1;
    const QRgb g = applyColorMatrix(layer, grey).pixel(0, 0);
    EXPECT_EQ(qRed(g), qGreen(g));
    EXPECT_EQ(qGreen(g), qBlue(g));
    EXPECT_NEAR(qRed(g), 75, 1); // (127.5 + 63.75) / 2 at alpha 200/255
}

swf::ConvolutionFilter kernel(std::uint8_t columns, std::uint8_t rows, std::vector<float> m) {
    swf::ConvolutionFilter filter;
    filter.columns = columns;
    filter.rows = rows;
    filter.matrix = std::move(m);
    filter.preserveAlpha = false;
    return filter;
}

TEST(Convolution, IdentityKernelKeepsPixels) {
    const swf::ConvolutionFilter identity = kernel(3, 3, {0, 0, 0, 0, 1, 0, 0, 0, 0});
    expectClose(applyConvolution(sampleLayer(), identity), sampleLayer(), 1);
    swf::ConvolutionFilter shifted = kernel(2, 1, {0, 1}); // centre at column 1
    expectClose(applyConvolution(sampleLayer(), shifted), sampleLayer(), 1);
}

TEST(Convolution, EdgesClampOrTakeTheDefaultColour) {
    QImage flat(3, 3, QImage::Format_ARGB32_Premultiplied);
    flat.fill(qRgb(90, 90, 90));
    swf::ConvolutionFilter box = kernel(3, 3, std::vector<float>(9, 1.0f));
    box.divisor = 9;
    EXPECT_EQ(applyConvolution(flat, box), flat) << "clamped edges repeat the border";

    box.clamp = false;
    box.defaultColor = swf::Rgba{0, 0, 0, 255};
    const QImage dark = applyConvolution(flat, box);
    EXPECT_EQ(dark.pixel(1, 1), qRgb(90, 90, 90));
    EXPECT_EQ(dark.pixel(0, 0), qRgb(40, 40, 40)) << "4 of 9 neighbours inside";
}

TEST(Convolution, DivisorBiasAndPreservedAlpha) {
    QImage layer(1, 1, QImage::Format_ARGB32_Premultiplied);
    layer.setPixel(0, 0, qRgba(50, 50, 50, 100));
    swf::ConvolutionFilter doubled = kernel(1, 1, {2});
    doubled.divisor = 0; // counts as 1
    doubled.bias = 10;
    doubled.preserveAlpha = true;
    // Straight 127.5 doubled plus 10, clamped; alpha kept at 100.
    EXPECT_EQ(applyConvolution(layer, doubled).pixel(0, 0), qRgba(100, 100, 100, 100));
    doubled.preserveAlpha = false;
    EXPECT_EQ(applyConvolution(layer, doubled).pixel(0, 0), qRgba(210, 210, 210, 210));
}

TEST(Convolution, OversizedWorkIsSkipped) {
    QImage big(512, 512, QImage::Format_ARGB32_Premultiplied);
    big.fill(qRgb(1, 2, 3));
    const swf::ConvolutionFilter huge = kernel(255, 255, {});
    EXPECT_EQ(applyConvolution(big, huge), big);
    EXPECT_EQ(applyConvolution(sampleLayer(), kernel(0, 3, {})), sampleLayer());
}

} // namespace
} // namespace mc
