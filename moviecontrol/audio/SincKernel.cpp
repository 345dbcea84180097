#include "SincKernel.h"

#include <cmath>

namespace audio {

namespace {

using Table = std::array<std::array<float, SincKernel::kTaps>, SincKernel::kPhases + 1>;

Table makeTable() {
    Table table{};
    for (int p = 0; p <= SincKernel::kPhases; ++p) {
        const double frac = static_cast<double>(p) / SincKernel::kPhases;
        double sum = 0.0;
        for (int k = 0; k < SincKernel::kTaps; ++k) {
            const double t = frac - (k - SincKernel::kBefore); // distance in samples
            double w = 0.0;
            if (t == 0.0) {
                w = 1.0;
            } else if (t != std::round(t)) {
                const double x = M_PI * t;
                // Blackman window over the kernel's span of kTaps samples.
                const double u = (t + SincKernel::kTaps / 2.0) / SincKernel::kTaps;
                const double window =
                    0.42 - 0.5 * std::cos(2 * M_PI * u) + 0.08 * std::cos(4 * M_PI * u);
                w = std::sin(x) / x * window;
            }
            table[p][k] = static_cast<float>(w);
            sum += w;
        }
        // Unit gain at every phase, so a constant stays constant.
        for (float& w : table[p]) {
            w = static_cast<float>(w / sum);
        }
    }
    return table;
}

} // namespace

const std::array<float, SincKernel::kTaps>& SincKernel::weights(float frac) {
    static const Table table = makeTable();
    const int p = static_cast<int>(std::lround(frac * kPhases));
    return table[p < 0 ? 0 : (p > kPhases ? kPhases : p)];
}

} // namespace audio
