#include "pixels/Turbulence.h"

#include <cmath>

namespace pixels {

namespace {

constexpr std::int64_t kModulus = 2147483647; // 2^31 - 1
// Lattice coordinates are taken this far from zero, so that they truncate like a floor.
constexpr double kLatticeShift = 4096.0;

// The "minimal standard" step, state * 16807 mod (2^31 - 1), by Schrage's method so that
// it stays within 32 bits as the reference does.
std::int64_t nextRandom(std::int64_t state) {
    constexpr std::int64_t kMultiplier = 16807;
    constexpr std::int64_t kQuotient = kModulus / kMultiplier;
    constexpr std::int64_t kRemainder = kModulus % kMultiplier;
    std::int64_t r = kMultiplier * (state % kQuotient) - kRemainder * (state / kQuotient);
    return r <= 0 ? r + kModulus : r;
}

// Seeds of 0 and below start from 1 - (seed mod (2^31 - 2)); larger ones from 2^31 - 2 at most.
std::int64_t firstState(std::int64_t seed) {
    if (seed <= 0) {
        seed = -(seed % (kModulus - 1)) + 1;
    }
    return seed > kModulus - 1 ? kModulus - 1 : seed;
}

double sCurve(double t) {
    return t * t * (3.0 - 2.0 * t);
}

double lerp(double t, double a, double b) {
    return a + t * (b - a);
}

// A lattice coordinate kept where truncating it to an int is defined: NaN and the far
// reaches (where a double no longer resolves a cell) land on 0 and on the limit.
double heldCoordinate(double v) {
    constexpr double kLimit = 1 << 29;
    return std::isnan(v) ? 0.0 : std::fmax(-kLimit, std::fmin(v, kLimit));
}

} // namespace

Turbulence::Turbulence(std::int64_t seed) {
    std::int64_t state = firstState(seed);
    for (auto& table : gradients_) {
        for (int i = 0; i < kSize; ++i) {
            auto& g = table[static_cast<std::size_t>(i)];
            for (double& component : g) {
                state = nextRandom(state);
                component = static_cast<double>(state % (2 * kSize) - kSize) / kSize;
            }
            const double length = std::sqrt(g[0] * g[0] + g[1] * g[1]);
            // Both components at zero: the reference divides by zero here; such a gradient
            // adds nothing.
            if (length > 0.0) {
                g[0] /= length;
                g[1] /= length;
            }
        }
    }
    for (int i = 0; i < kSize; ++i) {
        lattice_[static_cast<std::size_t>(i)] = i;
    }
    for (int i = kSize - 1; i > 0; --i) {
        state = nextRandom(state);
        std::swap(lattice_[static_cast<std::size_t>(i)],
                  lattice_[static_cast<std::size_t>(state % kSize)]);
    }
    for (std::size_t i = 0; i < kSize + 2; ++i) {
        lattice_[kSize + i] = lattice_[i];
        for (auto& table : gradients_) {
            table[kSize + i] = table[i];
        }
    }
}

double Turbulence::noise(int channel, double x, double y, const Stitch* stitch) const {
    const double tx = heldCoordinate(x) + kLatticeShift;
    const double ty = heldCoordinate(y) + kLatticeShift;
    int bx0 = static_cast<int>(tx);
    int by0 = static_cast<int>(ty);
    int bx1 = bx0 + 1;
    int by1 = by0 + 1;
    const double rx0 = tx - bx0;
    const double ry0 = ty - by0;
    const double rx1 = rx0 - 1.0;
    const double ry1 = ry0 - 1.0;
    if (stitch != nullptr) {
        bx0 -= bx0 >= stitch->wrapX ? stitch->width : 0;
        bx1 -= bx1 >= stitch->wrapX ? stitch->width : 0;
        by0 -= by0 >= stitch->wrapY ? stitch->height : 0;
        by1 -= by1 >= stitch->wrapY ? stitch->height : 0;
    }
    const auto cell = [](int v) { return static_cast<std::size_t>(v & (kSize - 1)); };
    const auto at = [this](std::size_t i) { return static_cast<std::size_t>(lattice_[i]); };
    const std::size_t i = at(cell(bx0));
    const std::size_t j = at(cell(bx1));
    const auto& g = gradients_[static_cast<std::size_t>(channel & 3)];
    const auto dot = [&g](std::size_t corner, double rx, double ry) {
        return rx * g[corner][0] + ry * g[corner][1];
    };
    const double sx = sCurve(rx0);
    const double sy = sCurve(ry0);
    const double top = lerp(sx, dot(at(i + cell(by0)), rx0, ry0), dot(at(j + cell(by0)), rx1, ry0));
    const double bottom =
        lerp(sx, dot(at(i + cell(by1)), rx0, ry1), dot(at(j + cell(by1)), rx1, ry1));
    return lerp(sy, top, bottom);
}

double Turbulence::at(int channel, double x, double y, const Sum& sum) const {
    double fx = sum.baseX;
    double fy = sum.baseY;
    Stitch stitch;
    if (sum.stitch) {
        // The frequencies move to the nearer of two that fit whole cycles in the tile: the
        // whole cycles below and above. Flash takes the vertical frequency's lower choice
        // from the horizontal frequency (as the noise's first published reference program
        // did), so a tile whose sides fit different cycle counts may get the upper one
        // where the lower was nearer.
        const auto fitted = [](double f, double size, double lowFrom) {
            if (f == 0.0 || !(size > 0.0)) {
                return f;
            }
            const double low = std::floor(size * lowFrom) / size;
            const double high = std::ceil(size * f) / size;
            return f / low < high / f ? low : high;
        };
        fx = fitted(fx, sum.width, fx);
        fy = fitted(fy, sum.height, fx);
        stitch.width = static_cast<int>(heldCoordinate(sum.width * fx + 0.5));
        stitch.height = static_cast<int>(heldCoordinate(sum.height * fy + 0.5));
        stitch.wrapX = static_cast<int>(kLatticeShift) + stitch.width;
        stitch.wrapY = static_cast<int>(kLatticeShift) + stitch.height;
    }
    double total = 0.0;
    double ratio = 1.0;
    for (int octave = 0; octave < sum.octaves; ++octave) {
        const auto index = static_cast<std::size_t>(octave);
        const auto [ox, oy] =
            index < sum.offsets.size() ? sum.offsets[index] : std::pair<double, double>{0, 0};
        const double n = noise(channel, (x + ox) * fx * ratio, (y + oy) * fy * ratio,
                               sum.stitch ? &stitch : nullptr);
        total += (sum.fractal ? n : std::fabs(n)) / ratio;
        ratio *= 2.0;
        if (sum.stitch) {
            // Each octave doubles the cycles; the lattice shift is not doubled with them.
            stitch.width = static_cast<int>(heldCoordinate(2.0 * stitch.width));
            stitch.height = static_cast<int>(heldCoordinate(2.0 * stitch.height));
            stitch.wrapX = static_cast<int>(heldCoordinate(2.0 * stitch.wrapX - kLatticeShift));
            stitch.wrapY = static_cast<int>(heldCoordinate(2.0 * stitch.wrapY - kLatticeShift));
        }
    }
    return total;
}

} // namespace pixels
