// Generated pixels of script-made bitmaps.

#include "pixels/BitmapNoise.h"

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

// --- Perlin's improved gradient noise, on a shuffled lattice --------------------------------

double fade(double t) {
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

double lerp(double t, double a, double b) {
    return a + t * (b - a);
}

// The gradient of a lattice corner dotted with the offset from it, in the plane z = 0.
double gradient(int hash, double x, double y) {
    int h = hash & 15;
    double u = h < 8 ? x : y;
    double v = h < 4 ? y : (h == 12 || h == 14 ? x : 0.0);
    return ((h & 1) ? -u : u) + ((h & 2) ? -v : v);
}

class Lattice {
  public:
    explicit Lattice(std::int64_t seed) {
        std::array<int, 256> p{};
        std::iota(p.begin(), p.end(), 0);
        ParkMiller random(seed);
        for (int i = 255; i > 0; --i) {
            std::swap(p[static_cast<std::size_t>(i)], p[random.next() % (i + 1)]);
        }
        for (std::size_t i = 0; i < 512; ++i) {
            perm_[i] = p[i & 255];
        }
    }

    // Noise in about -1..1 at x, y on the slice `layer`; a period > 0 wraps the lattice so
    // that the noise repeats after that many cells.
    double at(double x, double y, int layer, std::int64_t periodX, std::int64_t periodY) const {
        double fx = std::floor(x), fy = std::floor(y);
        x -= fx;
        y -= fy;
        std::int64_t x0 = wrap(static_cast<std::int64_t>(fx), periodX);
        std::int64_t y0 = wrap(static_cast<std::int64_t>(fy), periodY);
        std::int64_t x1 = wrap(x0 + 1, periodX), y1 = wrap(y0 + 1, periodY);
        double u = fade(x), v = fade(y);
        return lerp(v, lerp(u, corner(x0, y0, layer, x, y), corner(x1, y0, layer, x - 1, y)),
                    lerp(u, corner(x0, y1, layer, x, y - 1), corner(x1, y1, layer, x - 1, y - 1)));
    }

  private:
    static std::int64_t wrap(std::int64_t v, std::int64_t period) {
        if (period <= 0) {
            return v;
        }
        v %= period;
        return v < 0 ? v + period : v;
    }
    double corner(std::int64_t cx, std::int64_t cy, int layer, double x, double y) const {
        int h = perm_[static_cast<std::size_t>(perm_[static_cast<std::size_t>(cx & 255)] +
                                               static_cast<int>(cy & 255))];
        h = perm_[static_cast<std::size_t>(h + (layer & 255))];
        return gradient(h, x, y);
    }
    std::array<int, 512> perm_{};
};

struct Octave {
    double freqX, freqY, offX, offY, amplitude;
    std::int64_t periodX, periodY;
};

// Cycles per pixel of the first octave; stitching rounds them so that whole cycles fill
// the bitmap.
double baseFrequency(double base, int size, bool stitch, std::int64_t& period) {
    period = 0;
    if (!std::isfinite(base) || base == 0.0) {
        return 0.0;
    }
    double f = 1.0 / std::fabs(base);
    if (stitch) {
        double cycles = std::max(1.0, std::round(size * f));
        if (cycles < 1e9) {
            period = static_cast<std::int64_t>(cycles);
            f = cycles / size;
        }
    }
    return f;
}

std::vector<Octave> octavesOf(const PerlinOptions& o, int width, int height, int count) {
    std::int64_t px = 0, py = 0;
    double fx = baseFrequency(o.baseX, width, o.stitch, px);
    double fy = baseFrequency(o.baseY, height, o.stitch, py);
    std::vector<Octave> out;
    double amplitude = 1.0;
    for (int i = 0; i < count; ++i) {
        auto [ox, oy] = static_cast<std::size_t>(i) < o.offsets.size()
                            ? o.offsets[static_cast<std::size_t>(i)]
                            : std::pair<double, double>{0.0, 0.0};
        out.push_back({fx, fy, std::isfinite(ox) ? ox : 0.0, std::isfinite(oy) ? oy : 0.0,
                       amplitude, px, py});
        fx *= 2;
        fy *= 2;
        // A period past the lattice's reach repeats nowhere inside the bitmap anyway.
        px = px > 0 && px < (std::int64_t{1} << 40) ? px * 2 : 0;
        py = py > 0 && py < (std::int64_t{1} << 40) ? py * 2 : 0;
        amplitude *= 0.5;
    }
    return out;
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
    std::uint64_t pixels =
        static_cast<std::uint64_t>(bitmap.width()) * static_cast<std::uint64_t>(bitmap.height());
    // The grey value, then red, green, blue and alpha as asked.
    std::array<bool, 4> wanted{
        !options.gray && (options.channels & RedBit) != 0,
        !options.gray && (options.channels & GreenBit) != 0,
        !options.gray && (options.channels & BlueBit) != 0,
        (options.channels & AlphaBit) != 0,
    };
    std::uint64_t layers =
        static_cast<std::uint64_t>(std::count(wanted.begin(), wanted.end(), true)) +
        (options.gray ? 1 : 0);
    if (pixels == 0 || layers == 0) {
        if (pixels != 0) {
            bitmap.fill({0, 0, bitmap.width(), bitmap.height()}, 0xFF000000u);
        }
        return;
    }
    // The first octave always: a bitmap within Flash's size limits costs at most four
    // passes, and leaving it out would paint nothing at all.
    std::uint64_t affordable = std::max<std::uint64_t>(PerlinWorkLimit / (pixels * layers), 1);
    int count = static_cast<int>(std::min<std::uint64_t>(
        static_cast<std::uint64_t>(std::clamp(options.octaves, 0, MaxPerlinOctaves)), affordable));
    std::vector<Octave> octaves = octavesOf(options, bitmap.width(), bitmap.height(), count);
    double amplitudes = 0.0;
    for (const Octave& o : octaves) {
        amplitudes += o.amplitude;
    }
    Lattice lattice(options.seed);
    auto sample = [&](int x, int y, int layer) -> std::uint32_t {
        if (octaves.empty()) {
            return options.fractal ? 128 : 0;
        }
        double sum = 0.0;
        for (const Octave& o : octaves) {
            double n = lattice.at((x + o.offX) * o.freqX, (y + o.offY) * o.freqY, layer, o.periodX,
                                  o.periodY);
            sum += (options.fractal ? n : std::fabs(n)) * o.amplitude;
        }
        double v = sum / amplitudes;
        v = options.fractal ? (v + 1.0) * 127.5 : v * 255.0;
        return static_cast<std::uint32_t>(std::clamp(std::round(v), 0.0, 255.0));
    };
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            std::uint32_t r = 0, g = 0, b = 0;
            if (options.gray) {
                r = g = b = sample(x, y, 0);
            } else {
                r = wanted[0] ? sample(x, y, 0) : 0;
                g = wanted[1] ? sample(x, y, 1) : 0;
                b = wanted[2] ? sample(x, y, 2) : 0;
            }
            std::uint32_t a = wanted[3] ? sample(x, y, 3) : 255;
            bitmap.set(x, y, argbOf(a, r, g, b));
        }
        if (options.afterRow) {
            options.afterRow(static_cast<std::uint64_t>(bitmap.width()) * layers * octaves.size());
        }
    }
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
