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

void inverseDct(Block& block) {
    const Basis& b = basis();
    double rows[8][8];
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            double sum = 0.0;
            for (int u = 0; u < 8; ++u) {
                sum += b.c[x][u] * block[y * 8 + u];
            }
            rows[y][x] = sum;
        }
    }
    for (int x = 0; x < 8; ++x) {
        for (int y = 0; y < 8; ++y) {
            double sum = 0.0;
            for (int v = 0; v < 8; ++v) {
                sum += b.c[y][v] * rows[v][x];
            }
            block[y * 8 + x] = static_cast<std::int32_t>(std::lround(sum));
        }
    }
}

} // namespace video
