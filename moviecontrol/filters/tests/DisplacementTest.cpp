#include "Displacement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <optional>

namespace mc {
namespace {

constexpr int kWidth = 6;
constexpr int kHeight = 5;

// Every pixel tells where it came from: red is its column, green its row.
QRgb origin(int x, int y) {
    return qRgb(x * 40, y * 50, 7);
}

QImage numberedLayer() {
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            image.setPixel(x, y, origin(x, y));
        }
    }
    return image;
}

std::shared_ptr<const swf::DisplacementMap> uniformMap(int width, int height, std::uint32_t argb) {
    auto map = std::make_shared<swf::DisplacementMap>();
    map->width = width;
    map->height = height;
    map->argb.assign(static_cast<std::size_t>(width) * height, argb);
    return map;
}

// Red 192 and green 64 with scales of 8: two pixels right and two up, exactly.
swf::DisplacementMapFilter twoRightTwoUp(swf::DisplacementMode mode) {
    swf::DisplacementMapFilter f;
    f.map = uniformMap(kWidth, kHeight, 0xFFC04000u);
    f.componentX = 1; // red
    f.componentY = 2; // green
    f.scaleX = 8;
    f.scaleY = 8;
    f.mode = mode;
    f.color = swf::Rgba{0, 0, 255, 255};
    return f;
}

// Checks every pixel against the source pixel `from` names, or `fallback` where it names none.
void expectPixels(const QImage& result, const std::function<std::optional<QPoint>(int, int)>& from,
                  QRgb fallback = 0) {
    ASSERT_EQ(result.size(), QSize(kWidth, kHeight));
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const std::optional<QPoint> p = from(x, y);
            const QRgb expected = p ? origin(p->x(), p->y()) : fallback;
            EXPECT_EQ(result.pixel(x, y), expected) << x << "," << y;
        }
    }
}

bool inside(int x, int y) {
    return x >= 0 && y >= 0 && x < kWidth && y < kHeight;
}

TEST(DisplacementTest, EachModeTreatsOffsetsPastTheEdgeItsOwnWay) {
    const QImage layer = numberedLayer();
    using Mode = swf::DisplacementMode;
    expectPixels(applyDisplacement(layer, twoRightTwoUp(Mode::Wrap), {}), [](int x, int y) {
        return QPoint((x + 2) % kWidth, (y - 2 + kHeight) % kHeight);
    });
    expectPixels(applyDisplacement(layer, twoRightTwoUp(Mode::Clamp), {}), [](int x, int y) {
        return QPoint(std::min(x + 2, kWidth - 1), std::max(y - 2, 0));
    });
    expectPixels(applyDisplacement(layer, twoRightTwoUp(Mode::Ignore), {}), [](int x, int y) {
        return inside(x + 2, y - 2) ? QPoint(x + 2, y - 2) : QPoint(x, y);
    });
    expectPixels(
        applyDisplacement(layer, twoRightTwoUp(Mode::Color), {}),
        [](int x, int y) {
            return inside(x + 2, y - 2) ? std::optional(QPoint(x + 2, y - 2)) : std::nullopt;
        },
        qRgb(0, 0, 255));
}

TEST(DisplacementTest, ColourModeTakesTheFilterColourPremultiplied) {
    swf::DisplacementMapFilter f = twoRightTwoUp(swf::DisplacementMode::Color);
    f.color = swf::Rgba{255, 0, 0, 128};
    const QImage result = applyDisplacement(numberedLayer(), f, {});
    // Stored premultiplied: half-transparent full red.
    EXPECT_EQ(result.pixel(kWidth - 1, 0), qRgba(128, 0, 0, 128));
    EXPECT_EQ(result.pixel(0, 2), origin(2, 0));
}

TEST(DisplacementTest, MapCoversOnlyItsOwnAreaFromItsPoint) {
    // A 2x2 map at (3, 1) moving one pixel left (blue 96, scale 8): the rest stays put.
    swf::DisplacementMapFilter f;
    f.map = uniformMap(2, 2, 0xFF000060u);
    f.mapX = 3;
    f.mapY = 1;
    f.componentX = 4; // blue
    f.componentY = 0; // no channel: no vertical offset
    f.scaleX = 8;
    f.scaleY = 1000;
    expectPixels(applyDisplacement(numberedLayer(), f, {}), [](int x, int y) {
        const bool mapped = x >= 3 && x < 5 && y >= 1 && y < 3;
        return mapped ? QPoint(x - 1, y) : QPoint(x, y);
    });
}

TEST(DisplacementTest, AlphaChannelAndDeviceScaleMoveInStagePixels) {
    // Alpha 0 with scale 4: two stage pixels left; at twice the size that is four device
    // pixels, and the map's pixels cover two device pixels each.
    swf::DisplacementMapFilter f;
    f.map = uniformMap(3, 3, 0x00000000u);
    f.componentX = 8; // alpha
    f.scaleX = 4;
    f.mode = swf::DisplacementMode::Ignore;
    expectPixels(applyDisplacement(numberedLayer(), f, FilterScale{2.0, 2.0}),
                 [](int x, int y) { return x >= 4 ? QPoint(x - 4, y) : QPoint(x, y); });
}

TEST(DisplacementTest, FractionalOffsetsBlendTheNeighbouringPixels) {
    // Red 144 with scale 8 is half a pixel right: each pixel is half itself, half the next,
    // and the last column wraps to half the first.
    swf::DisplacementMapFilter f = twoRightTwoUp(swf::DisplacementMode::Wrap);
    f.map = uniformMap(kWidth, kHeight, 0xFF908000u);
    const QImage result = applyDisplacement(numberedLayer(), f, {});
    for (int x = 0; x < kWidth; ++x) {
        const QColor c = result.pixelColor(x, 1);
        const int expected = (x * 40 + ((x + 1) % kWidth) * 40) / 2;
        EXPECT_NEAR(c.red(), expected, 1) << x;
        EXPECT_EQ(c.green(), 50) << x;
        EXPECT_EQ(c.alpha(), 255) << x;
    }
}

TEST(DisplacementTest, HostileParametersStayBoundedAndFinite) {
    const QImage layer = numberedLayer();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const double scale : {1e300, -1e300, inf, -inf, nan, 65536.0}) {
        for (const auto mode : {swf::DisplacementMode::Wrap, swf::DisplacementMode::Clamp,
                                swf::DisplacementMode::Ignore, swf::DisplacementMode::Color}) {
            swf::DisplacementMapFilter f = twoRightTwoUp(mode);
            f.scaleX = scale;
            f.scaleY = -scale;
            f.mapX = nan;
            const QImage result = applyDisplacement(layer, f, FilterScale{inf, nan});
            EXPECT_EQ(result.size(), layer.size());
        }
    }
    // NaN scales move nothing.
    swf::DisplacementMapFilter still = twoRightTwoUp(swf::DisplacementMode::Wrap);
    still.scaleX = nan;
    still.scaleY = nan;
    expectPixels(applyDisplacement(layer, still, {}), [](int x, int y) { return QPoint(x, y); });
    // A map claiming more pixels than it holds, or none at all, leaves the picture as it is.
    auto broken = std::make_shared<swf::DisplacementMap>();
    broken->width = 1000;
    broken->height = 1000;
    broken->argb.assign(10, 0xFFFFFFFFu);
    swf::DisplacementMapFilter f = twoRightTwoUp(swf::DisplacementMode::Wrap);
    f.map = broken;
    expectPixels(applyDisplacement(layer, f, {}), [](int x, int y) { return QPoint(x, y); });
    f.map = nullptr;
    expectPixels(applyDisplacement(layer, f, {}), [](int x, int y) { return QPoint(x, y); });
}

} // namespace
} // namespace mc
