#include "Displacement.h"

#include "PixelMath.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace mc {
namespace {

// Beyond this an offset crosses any layer many times over; it also keeps the arithmetic far
// from the limits of the integer conversions below.
constexpr double kMaxScale = 65536.0;

// Displaced positions past this are as good as any other far outside, and stay exact.
constexpr double kFar = 1e9;

// Device pixels per stage pixel, within what any display reaches.
double deviceUnit(double scale) {
    return std::isfinite(scale) && scale > 0 ? std::clamp(scale, 1e-3, 1e3) : 1.0;
}

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

// Where a whole displaced coordinate falls in 0..size-1 for the modes that move it inside;
// -1 when it stays outside (the modes that keep the pixel or use the colour).
long long placed(double whole, int size, swf::DisplacementMode mode) {
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

// Four premultiplied pixels mixed by 8-bit weights that sum to 256 * 256.
QRgb mixed(const QRgb (&pixels)[4], const std::uint32_t (&weights)[4]) {
    QRgb out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        std::uint32_t sum = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            sum += ((pixels[i] >> shift) & 0xFFu) * weights[i];
        }
        out |= ((sum + 32768u) >> 16) << shift;
    }
    return out;
}

// The common case, a position whose four pixels all lie inside the picture.
QRgb sampledInside(const QImage& input, int left, int top, double fx, double fy) {
    const auto* row = reinterpret_cast<const QRgb*>(input.constScanLine(top));
    const auto wx = static_cast<std::uint32_t>(fx * 256.0 + 0.5);
    const auto wy = static_cast<std::uint32_t>(fy * 256.0 + 0.5);
    if (wx == 0 && wy == 0) {
        return row[left];
    }
    const auto* below = reinterpret_cast<const QRgb*>(input.constScanLine(top + 1));
    const QRgb pixels[4] = {row[left], row[left + 1], below[left], below[left + 1]};
    const std::uint32_t weights[4] = {(256 - wx) * (256 - wy), wx * (256 - wy), (256 - wx) * wy,
                                      wx * wy};
    return mixed(pixels, weights);
}

// The picture at a fractional position, blended from its four nearest pixels, each found
// as the mode says; `own` stands in for a pixel outside in the ignore mode.
QRgb sampled(const QImage& input, double x, double y, const swf::DisplacementMapFilter& filter,
             QRgb own, QRgb outside) {
    const double left = std::floor(x);
    const double top = std::floor(y);
    const auto fx = static_cast<float>(x - left);
    const auto fy = static_cast<float>(y - top);
    Premultiplied sum;
    for (int row = 0; row < 2; ++row) {
        const float wy = row == 0 ? 1.0f - fy : fy;
        if (wy == 0.0f) {
            continue;
        }
        const long long sy = placed(top + row, input.height(), filter.mode);
        for (int column = 0; column < 2; ++column) {
            const float w = wy * (column == 0 ? 1.0f - fx : fx);
            if (w == 0.0f) {
                continue;
            }
            const long long sx = placed(left + column, input.width(), filter.mode);
            QRgb pixel = filter.mode == swf::DisplacementMode::Color ? outside : own;
            if (sx >= 0 && sy >= 0) {
                pixel =
                    reinterpret_cast<const QRgb*>(input.constScanLine(static_cast<int>(sy)))[sx];
            }
            sum = sum + fromPixel(pixel) * w;
        }
    }
    return toPixel(sum);
}

} // namespace

QImage applyDisplacement(const QImage& source, const swf::DisplacementMapFilter& filter,
                         FilterScale scale) {
    QImage input = premultipliedCopy(source); // not const, so that returning it moves
    const swf::DisplacementMap* map = filter.map.get();
    if (input.isNull() || map == nullptr || map->width <= 0 || map->height <= 0 ||
        map->argb.size() < static_cast<std::size_t>(map->width) * map->height) {
        return input;
    }
    const double unitX = deviceUnit(scale.x);
    const double unitY = deviceUnit(scale.y);
    const double scaleX = boundedScale(filter.scaleX) * unitX / 256.0;
    const double scaleY = boundedScale(filter.scaleY) * unitY / 256.0;
    const double mapX = std::isfinite(filter.mapX) ? filter.mapX : 0.0;
    const double mapY = std::isfinite(filter.mapY) ? filter.mapY : 0.0;
    const int shiftX = channelShift(filter.componentX);
    const int shiftY = channelShift(filter.componentY);
    const QRgb outside = toPixel(premultiplied(filter.color));
    // The map column under each layer column (-1: none), the same on every row.
    std::vector<int> mapColumns(static_cast<std::size_t>(input.width()));
    for (int x = 0; x < input.width(); ++x) {
        const double column = std::floor((x + 0.5) / unitX - mapX);
        mapColumns[static_cast<std::size_t>(x)] =
            column >= 0 && column < map->width ? static_cast<int>(column) : -1;
    }
    QImage result(input.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < input.height(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        const auto* own = reinterpret_cast<const QRgb*>(input.constScanLine(y));
        const double mapRow = std::floor((y + 0.5) / unitY - mapY);
        if (!(mapRow >= 0 && mapRow < map->height)) {
            std::copy(own, own + input.width(), out);
            continue;
        }
        const std::uint32_t* mapLine =
            map->argb.data() + static_cast<std::size_t>(mapRow) * map->width;
        for (int x = 0; x < input.width(); ++x) {
            const int mapColumn = mapColumns[static_cast<std::size_t>(x)];
            if (mapColumn < 0) {
                out[x] = own[x];
                continue;
            }
            const std::uint32_t m = mapLine[mapColumn];
            const double dx = (channel(m, shiftX) - 128) * scaleX;
            const double dy = (channel(m, shiftY) - 128) * scaleY;
            const double sx = std::clamp(x + dx, -kFar, kFar);
            const double sy = std::clamp(y + dy, -kFar, kFar);
            const double left = std::floor(sx);
            const double top = std::floor(sy);
            if (left >= 0 && top >= 0 && left + 1 < input.width() && top + 1 < input.height()) {
                out[x] = sampledInside(input, static_cast<int>(left), static_cast<int>(top),
                                       sx - left, sy - top);
            } else {
                out[x] = sampled(input, sx, sy, filter, own[x], outside);
            }
        }
    }
    return result;
}

} // namespace mc
