#include "BlendModes.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace mc {
namespace {

using swf::BlendMode;

QRgb blendOne(QRgb destinationPixel, QRgb layerPixel, BlendMode mode) {
    QImage destination(1, 1, QImage::Format_ARGB32_Premultiplied);
    destination.setPixel(0, 0, destinationPixel);
    QImage layer(1, 1, QImage::Format_ARGB32_Premultiplied);
    layer.setPixel(0, 0, layerPixel);
    blendLayer(destination, layer, {0, 0}, mode);
    return destination.pixel(0, 0);
}

void expectNear(QRgb actual, QRgb expected, int tolerance = 1) {
    EXPECT_LE(std::abs(qRed(actual) - qRed(expected)), tolerance) << std::hex << actual;
    EXPECT_LE(std::abs(qGreen(actual) - qGreen(expected)), tolerance) << std::hex << actual;
    EXPECT_LE(std::abs(qBlue(actual) - qBlue(expected)), tolerance) << std::hex << actual;
    EXPECT_LE(std::abs(qAlpha(actual) - qAlpha(expected)), tolerance) << std::hex << actual;
}

const QRgb kBase = qRgb(200, 100, 50);

TEST(BlendModes, NormalAndLayerPaintOver) {
    expectNear(blendOne(kBase, qRgb(1, 2, 3), BlendMode::Normal), qRgb(1, 2, 3));
    expectNear(blendOne(kBase, qRgba(0, 0, 128, 128), BlendMode::Layer), qRgb(100, 50, 153));
}

TEST(BlendModes, SeparableModesOnOpaquePixels) {
    const QRgb grey = qRgb(128, 128, 128);
    expectNear(blendOne(kBase, qRgb(255, 255, 255), BlendMode::Multiply), kBase);
    expectNear(blendOne(kBase, grey, BlendMode::Multiply), qRgb(100, 50, 25));
    expectNear(blendOne(kBase, grey, BlendMode::Screen), qRgb(228, 178, 153));
    expectNear(blendOne(kBase, grey, BlendMode::Lighten), qRgb(200, 128, 128));
    expectNear(blendOne(kBase, grey, BlendMode::Darken), qRgb(128, 100, 50));
    expectNear(blendOne(kBase, grey, BlendMode::Difference), qRgb(72, 28, 78));
    // Overlay decides by the destination, hard light by the layer.
    expectNear(blendOne(qRgb(64, 200, 0), qRgb(128, 128, 255), BlendMode::Overlay),
               qRgb(64, 200, 0));
    expectNear(blendOne(qRgb(64, 200, 0), qRgb(64, 200, 0), BlendMode::Overlay), qRgb(32, 231, 0));
    expectNear(blendOne(qRgb(100, 100, 100), qRgb(64, 200, 255), BlendMode::HardLight),
               qRgb(50, 188, 255));
}

TEST(BlendModes, AddAndSubtractClamp) {
    expectNear(blendOne(kBase, qRgb(100, 100, 100), BlendMode::Add), qRgb(255, 200, 150));
    expectNear(blendOne(kBase, qRgb(100, 100, 100), BlendMode::Subtract), qRgb(100, 0, 0));
    // Half-transparent layer on an empty destination: colour never exceeds alpha.
    const QRgb added = blendOne(qRgba(0, 0, 0, 0), qRgba(100, 100, 100, 128), BlendMode::Add);
    expectNear(added, qRgba(100, 100, 100, 128));
}

TEST(BlendModes, InvertUnderTheLayer) {
    expectNear(blendOne(qRgb(10, 20, 30), qRgb(0, 0, 0), BlendMode::Invert), qRgb(245, 235, 225));
    expectNear(blendOne(qRgb(10, 20, 30), qRgba(0, 0, 0, 0), BlendMode::Invert), qRgb(10, 20, 30));
    expectNear(blendOne(qRgb(0, 0, 0), qRgba(0, 0, 0, 128), BlendMode::Invert),
               qRgb(128, 128, 128));
}

TEST(BlendModes, AlphaAndEraseWorkOnTheDestinationAlpha) {
    expectNear(blendOne(qRgb(255, 0, 0), qRgba(0, 0, 0, 128), BlendMode::Alpha),
               qRgba(128, 0, 0, 128));
    expectNear(blendOne(qRgb(255, 0, 0), qRgba(0, 0, 0, 64), BlendMode::Erase),
               qRgba(191, 0, 0, 191));
    expectNear(blendOne(qRgb(255, 0, 0), qRgb(9, 9, 9), BlendMode::Erase), 0u);
}

TEST(BlendModes, OnlyTheCoveredAreaChanges) {
    for (const BlendMode mode : {BlendMode::Multiply, BlendMode::Add, BlendMode::Alpha}) {
        QImage destination(4, 4, QImage::Format_ARGB32_Premultiplied);
        destination.fill(kBase);
        QImage layer(2, 2, QImage::Format_ARGB32_Premultiplied);
        layer.fill(qRgba(60, 60, 60, 128));
        blendLayer(destination, layer, {3, 3}, mode);
        EXPECT_EQ(destination.pixel(2, 2), kBase);
        EXPECT_EQ(destination.pixel(2, 3), kBase);
        EXPECT_NE(destination.pixel(3, 3), kBase) << static_cast<int>(mode);
        blendLayer(destination, layer, {-10, 50}, mode); // entirely outside: no effect
        EXPECT_EQ(destination.pixel(0, 3), kBase);
    }
}

} // namespace
} // namespace mc
