#include "Idct.h"

#include <cmath>
#include <numbers>

namespace video {

namespace {

struct Basis {
    double c[8][8]{}; // c[x][u] = C(u)/2 * cos((2x+1)u pi / 16)
    Basis() {
        for (int x = 0; x < 8; ++x) {
            for (int u = 0; u < 8; ++u) {
                const double cu = u == 0 ? std::sqrt(0.5) : 1.0;
                c[x][u] = cu / 2.0 * std::cos((2 * x + 1) * u * std::numbers::pi / 16.0);
            }
        }
    }
};

const Basis& basis() {
    static const Basis b;
    return b;
}

} // namespace

// Half away from zero, as lround; without the library call for the sums a block can hold.
std::int32_t roundHalfAway(double v) {
    const double magnitude = std::fabs(v);
    if (!(magnitude < 1073741824.0)) {
        return static_cast<std::int32_t>(std::lround(v));
    }
    const auto whole = static_cast<std::int32_t>(magnitude);
    const std::int32_t rounded = whole + (magnitude - whole >= 0.5 ? 1 : 0);
    return v < 0 ? -rounded : rounded;
}

void inverseDct(Block& block) {
    const Basis& b = basis();
    // Most coefficients are zero and adding an exact zero changes no sum, so only the terms up
    // to a row's last non-zero coefficient (and only non-zero rows) are added: the same
    // result, in a fraction of the work.
    double rows[8][8];
    bool rowUsed[8];
    for (int y = 0; y < 8; ++y) {
        int last = 7;
        while (last >= 0 && block[y * 8 + last] == 0) {
            --last;
        }
        rowUsed[y] = last >= 0;
        for (int x = 0; x < 8; ++x) {
            double sum = 0.0;
            for (int u = 0; u <= last; ++u) {
                sum += b.c[x][u] * block[y * 8 + u];
            }
            rows[y][x] = sum;
        }
    }
    for (int x = 0; x < 8; ++x) {
        for (int y = 0; y < 8; ++y) {
            double sum = 0.0;
            for (int v = 0; v < 8; ++v) {
                if (rowUsed[v]) {
                    sum += b.c[y][v] * rows[v][x];
                }
            }
            block[y * 8 + x] = roundHalfAway(sum);
        }
    }
}

} // namespace video
