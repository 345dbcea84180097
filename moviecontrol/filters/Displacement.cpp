#include "Displacement.h"

#include "PixelMath.h"

#include <algorithm>
#include <cmath>

namespace mc {
namespace {

// Beyond this an offset crosses any layer many times over; it also keeps the arithmetic far
// from the limits of the integer conversions below.
constexpr double kMaxScale = 65536.0;

double boundedScale(double scale) {
    return std::isfinite(scale) ? std::clamp(scale, -kMaxScale, kMaxScale) : 0.0;
}

// The map channel a component names (the lowest channel bit set), or none.
int channelShift(std::uint8_t component) {
    if ((component & 1) != 0) {
        return 16; // red
    }
    if ((component & 2) != 0) {
        return 8; // green
    }
    if ((component & 4) != 0) {
        return 0; // blue
    }
    if ((component & 8) != 0) {
        return 24; // alpha
    }
    return -1;
}

// A channel of `argb`; 128 (no offset) for no channel.
int channel(std::uint32_t argb, int shift) {
    return shift < 0 ? 128 : static_cast<int>((argb >> shift) & 0xFFu);
}

// Where a displaced coordinate falls in 0..size-1 for the modes that move it inside; -1 when
// it stays outside (the modes that keep the pixel or use the colour).
long long placed(double at, int size, swf::DisplacementMode mode) {
    const double whole = std::floor(at);
    if (whole >= 0 && whole < size) {
        return static_cast<long long>(whole);
    }
    switch (mode) {
    case swf::DisplacementMode::Wrap: {
        const double wrapped = std::fmod(whole, static_cast<double>(size));
        return static_cast<long long>(wrapped < 0 ? wrapped + size : wrapped);
    }
    case swf::DisplacementMode::Clamp:
        return whole < 0 ? 0 : size - 1;
    default:
        return -1;
    }
}

} // namespace

QImage applyDisplacement(const QImage& source, const swf::DisplacementMapFilter& filter,
                         FilterScale scale) {
    const QImage input = premultipliedCopy(source);
    const swf::DisplacementMap* map = filter.map.get();
    if (input.isNull() || map == nullptr || map->width <= 0 || map->height <= 0 ||
        map->argb.size() < static_cast<std::size_t>(map->width) * map->height) {
        return input;
    }
    const double unitX = std::isfinite(scale.x) && scale.x > 0 ? scale.x : 1.0;
    const double unitY = std::isfinite(scale.y) && scale.y > 0 ? scale.y : 1.0;
    const double scaleX = boundedScale(filter.scaleX) * unitX / 256.0;
    const double scaleY = boundedScale(filter.scaleY) * unitY / 256.0;
    const double mapX = std::isfinite(filter.mapX) ? filter.mapX : 0.0;
    const double mapY = std::isfinite(filter.mapY) ? filter.mapY : 0.0;
    const int shiftX = channelShift(filter.componentX);
    const int shiftY = channelShift(filter.componentY);
    const QRgb outside = toPixel(premultiplied(filter.color));
    const int width = input.width();
    const int height = input.height();
    QImage result(input.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y) {
        auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        const auto* own = reinterpret_cast<const QRgb*>(input.constScanLine(y));
        const double mapRow = std::floor((y + 0.5) / unitY - mapY);
        const bool rowMapped = mapRow >= 0 && mapRow < map->height;
        for (int x = 0; x < width; ++x) {
            const double mapColumn = std::floor((x + 0.5) / unitX - mapX);
            if (!rowMapped || mapColumn < 0 || mapColumn >= map->width) {
                out[x] = own[x];
                continue;
            }
            const std::uint32_t m = map->argb[static_cast<std::size_t>(mapRow) * map->width +
                                              static_cast<std::size_t>(mapColumn)];
            const double dx = (channel(m, shiftX) - 128) * scaleX;
            const double dy = (channel(m, shiftY) - 128) * scaleY;
            const long long sx = placed(x + dx, width, filter.mode);
            const long long sy = placed(y + dy, height, filter.mode);
            if (sx >= 0 && sy >= 0) {
                out[x] =
                    reinterpret_cast<const QRgb*>(input.constScanLine(static_cast<int>(sy)))[sx];
            } else {
                out[x] = filter.mode == swf::DisplacementMode::Color ? outside : own[x];
            }
        }
    }
    return result;
}

} // namespace mc
