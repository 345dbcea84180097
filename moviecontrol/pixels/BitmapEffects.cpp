// Channel operations of script-made bitmaps.

#include "pixels/BitmapEffects.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace pixels {

namespace {

constexpr int Shifts[4] = {16, 8, 0, 24}; // red, green, blue, alpha

std::uint32_t channel(std::uint32_t argb, int i) {
    return (argb >> Shifts[i]) & 0xFF;
}

std::uint32_t withChannel(std::uint32_t argb, int i, std::uint32_t value) {
    return (argb & ~(0xFFu << Shifts[i])) | ((value & 0xFF) << Shifts[i]);
}

int channelIndex(std::uint32_t bit) {
    switch (bit) {
    case 1:
        return 0;
    case 2:
        return 1;
    case 4:
        return 2;
    case 8:
        return 3;
    default:
        return -1;
    }
}

// Runs `f(sourcePixel, destX, destY)` over the overlap, reading the source first so that a
// bitmap may be its own source.
template <class F>
void forOverlap(BitmapPixels& dest, const BitmapPixels& source, Placement at, F&& f) {
    Overlap o = overlapOf(dest, source, at);
    PixelRect dst = o.dest;
    if (dst.width == 0) {
        return;
    }
    int sx = o.sourceX, sy = o.sourceY;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(dst.width) *
                                      static_cast<std::size_t>(dst.height));
    for (int y = 0; y < dst.height; ++y) {
        for (int x = 0; x < dst.width; ++x) {
            pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(dst.width) +
                   static_cast<std::size_t>(x)] = source.at(sx + x, sy + y);
        }
    }
    for (int y = 0; y < dst.height; ++y) {
        for (int x = 0; x < dst.width; ++x) {
            f(pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(dst.width) +
                     static_cast<std::size_t>(x)],
              dst.x + x, dst.y + y);
        }
    }
}

bool passes(std::string_view op, std::uint32_t value, std::uint32_t limit) {
    if (op == "<") {
        return value < limit;
    }
    if (op == "<=") {
        return value <= limit;
    }
    if (op == ">") {
        return value > limit;
    }
    if (op == ">=") {
        return value >= limit;
    }
    if (op == "==") {
        return value == limit;
    }
    return value != limit;
}

} // namespace

Overlap overlapOf(const BitmapPixels& dest, const BitmapPixels& source, Placement at) {
    PixelRect src = source.clip(at.from);
    long toX = static_cast<long>(at.toX) + (src.x - at.from.x);
    long toY = static_cast<long>(at.toY) + (src.y - at.from.y);
    // Far-off points stay far off without overflowing.
    toX = std::clamp(toX, -(1L << 30), 1L << 30);
    toY = std::clamp(toY, -(1L << 30), 1L << 30);
    PixelRect dst =
        dest.clip({static_cast<int>(toX), static_cast<int>(toY), src.width, src.height});
    if (dst.width == 0 || dst.height == 0) {
        return {};
    }
    return {dst, src.x + static_cast<int>(dst.x - toX), src.y + static_cast<int>(dst.y - toY)};
}

namespace {

bool onlyRaisesAlpha(const ChannelTransform& t) {
    // The player holds multipliers in 8.8 fixed point, so one that differs from 1 by less
    // than a 256th counts as 1.
    const auto fixed = [](double v) { return std::isfinite(v) ? std::trunc(v * 256.0) : 0.0; };
    for (std::size_t i = 0; i < 3; ++i) {
        if (fixed(t.mult[i]) != 256.0) {
            return false;
        }
    }
    return fixed(t.mult[3]) >= 256.0 && t.add == std::array<double, 4>{0, 0, 0, 0};
}

} // namespace

void colorTransform(BitmapPixels& bitmap, PixelRect rect, const ChannelTransform& t) {
    // A transform that leaves the colours as they are and only multiplies alpha up changes
    // nothing, even where alpha could grow.
    if (onlyRaisesAlpha(t)) {
        return;
    }
    rect = bitmap.clip(rect);
    for (int y = rect.y; y < rect.y + rect.height; ++y) {
        for (int x = rect.x; x < rect.x + rect.width; ++x) {
            std::uint32_t p = bitmap.at(x, y), out = 0;
            // A pixel with nothing left of it keeps nothing an offset could bring back: the
            // premultiplied store has lost its colour, and it stays as it is.
            if ((p >> 24) == 0) {
                continue;
            }
            for (int i = 0; i < 4; ++i) {
                double v = std::floor(channel(p, i) * t.mult[i] + t.add[i]);
                out = withChannel(
                    out, i,
                    static_cast<std::uint32_t>(std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 255.0)));
            }
            bitmap.set(x, y, out);
        }
    }
}

void copyChannel(BitmapPixels& dest, const BitmapPixels& source, Placement at,
                 std::uint32_t sourceChannel, std::uint32_t destChannel) {
    int from = channelIndex(sourceChannel), to = channelIndex(destChannel);
    if (from < 0 || to < 0 || (to == 3 && !dest.transparent())) {
        return;
    }
    forOverlap(dest, source, at, [&](std::uint32_t s, int x, int y) {
        dest.set(x, y, withChannel(dest.at(x, y), to, channel(s, from)));
    });
}

void merge(BitmapPixels& dest, const BitmapPixels& source, Placement at,
           const std::array<std::uint32_t, 4>& mult) {
    forOverlap(dest, source, at, [&](std::uint32_t s, int x, int y) {
        std::uint32_t d = dest.at(x, y), out = 0;
        for (int i = 0; i < 4; ++i) {
            std::uint32_t k = std::min<std::uint32_t>(mult[static_cast<std::size_t>(i)], 256);
            out = withChannel(out, i, (channel(s, i) * k + channel(d, i) * (256 - k)) / 256);
        }
        dest.set(x, y, out);
    });
}

void paletteMap(BitmapPixels& dest, const BitmapPixels& source, Placement at,
                const std::array<std::array<std::uint32_t, 256>, 4>& tables,
                const std::array<bool, 4>& present) {
    forOverlap(dest, source, at, [&](std::uint32_t s, int x, int y) {
        std::uint32_t out = 0;
        for (int i = 0; i < 4; ++i) {
            auto index = static_cast<std::size_t>(i);
            out += present[index] ? tables[index][channel(s, i)] : (channel(s, i) << Shifts[i]);
        }
        dest.set(x, y, out);
    });
}

int threshold(BitmapPixels& dest, const BitmapPixels& source, Placement at,
              std::string_view operation, std::uint32_t thresholdValue, std::uint32_t color,
              std::uint32_t mask, bool copySource) {
    static constexpr std::string_view Known[] = {"<", "<=", ">", ">=", "==", "!="};
    if (std::find(std::begin(Known), std::end(Known), operation) == std::end(Known)) {
        return -1;
    }
    int count = 0;
    const auto test = [&](std::uint32_t s, int x, int y) {
        if (passes(operation, s & mask, thresholdValue & mask)) {
            dest.set(x, y, color);
            ++count;
        } else if (copySource) {
            dest.set(x, y, s);
        }
    };
    if (&dest != &source) {
        forOverlap(dest, source, at, test);
        return count;
    }
    // A bitmap that is its own source is tested as it is written, row by row from the top
    // left: a pixel the test has already changed is read changed, and a change can cascade
    // along the offset.
    const Overlap o = overlapOf(dest, source, at);
    for (int y = 0; y < o.dest.height; ++y) {
        for (int x = 0; x < o.dest.width; ++x) {
            test(source.at(o.sourceX + x, o.sourceY + y), o.dest.x + x, o.dest.y + y);
        }
    }
    return count;
}

} // namespace pixels
