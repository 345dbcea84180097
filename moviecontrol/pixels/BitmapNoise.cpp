// Generated pixels of script-made bitmaps.

#include "pixels/BitmapNoise.h"
#include "pixels/Turbulence.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace pixels {

namespace {

constexpr std::uint64_t Modulus = 2147483647; // 2^31 - 1

std::uint32_t argbOf(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

} // namespace

ParkMiller::ParkMiller(std::int64_t seed) {
    // 1 - seed for seeds of 0 and below; kept in 64 bits so that the most negative seed
    // does not overflow.
    std::int64_t s = seed <= 0 ? 1 - seed : seed;
    state_ = static_cast<std::uint64_t>(s) % Modulus;
    if (state_ == 0) {
        state_ = 1;
    }
}

std::uint32_t ParkMiller::next() {
    state_ = state_ * 16807 % Modulus;
    return static_cast<std::uint32_t>(state_);
}

void fillNoise(BitmapPixels& bitmap, std::int64_t seed, int low, int high, std::uint32_t channels,
               bool gray) {
    low = std::clamp(low, 0, 255);
    high = std::clamp(high, 0, 255);
    ParkMiller random(seed);
    auto value = [&]() -> std::uint32_t {
        std::uint32_t r = random.next();
        return static_cast<std::uint32_t>(low) +
               (high > low ? r % static_cast<std::uint32_t>(high - low + 1) : 0);
    };
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            std::uint32_t r = 0, g = 0, b = 0;
            if (gray) {
                r = g = b = value();
            } else {
                r = (channels & RedBit) ? value() : 0;
                g = (channels & GreenBit) ? value() : 0;
                b = (channels & BlueBit) ? value() : 0;
            }
            std::uint32_t a = (channels & AlphaBit) ? value() : 255;
            bitmap.set(x, y, argbOf(a, r, g, b));
        }
    }
}

void fillPerlinNoise(BitmapPixels& bitmap, const PerlinOptions& options) {
    const std::uint64_t pixels =
        static_cast<std::uint64_t>(bitmap.width()) * static_cast<std::uint64_t>(bitmap.height());
    if (pixels == 0) {
        return;
    }
    // Which gradient table each channel reads: a grey picture takes the first for red, green
    // and blue and the second for alpha; otherwise the channels asked for take them in turn,
    // red first, and the others stay dark (alpha opaque).
    std::array<int, 4> table{-1, -1, -1, -1};
    if (options.gray) {
        table = {0, 0, 0, (options.channels & AlphaBit) != 0 ? 1 : -1};
    } else {
        int next = 0;
        const std::array<std::uint32_t, 4> bits{RedBit, GreenBit, BlueBit, AlphaBit};
        for (std::size_t c = 0; c < 4; ++c) {
            if ((options.channels & bits[c]) != 0) {
                table[c] = next++;
            }
        }
    }
    if (!bitmap.transparent()) {
        table[3] = -1;
    }
    std::uint64_t layers = 0;
    for (std::size_t c = 0; c < 4; ++c) {
        layers += table[c] >= 0 && (c == 0 || table[c] != table[c - 1]) ? 1 : 0;
    }
    layers = std::max<std::uint64_t>(layers, 1);
    // The first octave always: a bitmap within Flash's size limits costs at most four
    // passes, and leaving it out would paint nothing at all.
    const std::uint64_t affordable =
        std::max<std::uint64_t>(PerlinWorkLimit / (pixels * layers), 1);
    Turbulence::Sum sum;
    sum.octaves = static_cast<int>(std::min<std::uint64_t>(
        static_cast<std::uint64_t>(std::clamp(options.octaves, 0, MaxPerlinOctaves)), affordable));
    sum.baseX = 1.0 / options.baseX;
    sum.baseY = 1.0 / options.baseY;
    sum.fractal = options.fractal;
    sum.stitch = options.stitch;
    sum.width = bitmap.width();
    sum.height = bitmap.height();
    sum.offsets = options.offsets;
    const Turbulence turbulence(options.seed);
    // The values go into the stored pixels as they are, as Flash writes them, colour held to
    // alpha so that they stay a premultiplied pixel.
    std::vector<std::uint32_t> stored(pixels);
    // A channel's value as Flash rounds it: a fractal sum's -1..1 onto 0..255 with the half
    // added before halving, turbulence's 0..1 scaled; both cut off at the ends.
    const auto channel = [&](double n) {
        const double v = options.fractal ? (n * 255.0 + 255.0 + 0.5) / 2.0 : n * 255.0 + 0.5;
        return static_cast<std::uint32_t>(std::clamp(std::isnan(v) ? 0.0 : v, 0.0, 255.0));
    };
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            std::array<std::uint32_t, 4> argb{0, 0, 0, 255}; // red, green, blue, alpha
            for (std::size_t c = 0; c < 4; ++c) {
                if (table[c] < 0) {
                    continue;
                }
                if (c > 0 && table[c] == table[c - 1]) {
                    argb[c] = argb[c - 1];
                } else {
                    argb[c] = channel(turbulence.at(table[c], x, y, sum));
                }
            }
            const std::uint32_t a = argb[3];
            stored[static_cast<std::size_t>(y) * static_cast<std::size_t>(bitmap.width()) +
                   static_cast<std::size_t>(x)] =
                argbOf(a, std::min(argb[0], a), std::min(argb[1], a), std::min(argb[2], a));
        }
        if (options.afterRow) {
            options.afterRow(static_cast<std::uint64_t>(bitmap.width()) * layers *
                             static_cast<std::uint64_t>(sum.octaves));
        }
    }
    bitmap = BitmapPixels::fromPremultiplied(bitmap.width(), bitmap.height(), bitmap.transparent(),
                                             std::move(stored));
}

namespace {

// Feedback masks of maximal-length shift registers, by register width: each runs through
// every value from 1 to 2^width - 1 before it repeats.
constexpr std::array<std::uint32_t, 25> DissolveMasks{
    0,       0,       0x3,     0x5,      0x9,      0x12,     0x21,     0x41,   0x8E,
    0x108,   0x204,   0x402,   0x829,    0x100D,   0x2015,   0x4001,   0x8016, 0x10004,
    0x20013, 0x40013, 0x80004, 0x100002, 0x200001, 0x400010, 0x80000D,
};

} // namespace

std::int64_t nextDissolvePosition(std::int64_t position, std::int64_t count) {
    if (count <= 1) {
        return 0;
    }
    std::size_t width = 2;
    while (width + 1 < DissolveMasks.size() && ((std::int64_t{1} << width) - 1) < count) {
        ++width;
    }
    std::uint32_t mask = DissolveMasks[width];
    // Register values 1 .. 2^width - 1 stand for positions 0 .. 2^width - 2; those past the
    // end are stepped over.
    auto reg = static_cast<std::uint32_t>(position % count) + 1;
    do {
        reg = (reg & 1) ? (reg >> 1) ^ mask : reg >> 1;
    } while (reg > count);
    return static_cast<std::int64_t>(reg) - 1;
}

std::int64_t pixelDissolve(BitmapPixels& dest, const BitmapPixels& source, Placement at,
                           std::int64_t seed, std::int64_t numPixels, std::uint32_t fill) {
    Overlap o = overlapOf(dest, source, at);
    std::int64_t count = static_cast<std::int64_t>(o.dest.width) * o.dest.height;
    if (count == 0 || numPixels < 0) {
        return seed;
    }
    bool self = &dest == &source;
    std::int64_t position = seed % count;
    if (position < 0) {
        position += count;
    }
    auto write = [&](std::int64_t p) {
        int dx = static_cast<int>(p % o.dest.width), dy = static_cast<int>(p / o.dest.width);
        std::uint32_t v = self ? fill : source.at(o.sourceX + dx, o.sourceY + dy);
        dest.set(o.dest.x + dx, o.dest.y + dy, v);
    };
    write(position);
    // The order is one cycle through all `count` positions: past a full round every pixel
    // has been written, and only where the walk stops still depends on the rest.
    std::int64_t steps = numPixels >= count ? count + numPixels % count : numPixels;
    for (std::int64_t i = 0; i < steps; ++i) {
        position = nextDissolvePosition(position, count);
        write(position);
    }
    return position;
}

} // namespace pixels
