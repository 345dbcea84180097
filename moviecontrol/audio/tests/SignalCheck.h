#pragma once
// Measures on decoded and mixed samples, for checks against the known signals the tests
// encode.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace audiotest {

// One channel of interleaved samples, frames [from, to).
inline std::vector<double> channel(const std::vector<std::int16_t>& s, unsigned channels,
                                   unsigned which, std::size_t from = 0,
                                   std::size_t to = SIZE_MAX) {
    std::vector<double> out;
    const std::size_t frames = s.size() / channels;
    for (std::size_t f = from; f < std::min(to, frames); ++f) {
        out.push_back(s[f * channels + which]);
    }
    return out;
}

inline double rms(const std::vector<double>& x) {
    if (x.empty()) {
        return 0.0;
    }
    double sum = 0.0;
    for (const double v : x) {
        sum += v * v;
    }
    return std::sqrt(sum / static_cast<double>(x.size()));
}

// Frequency from the rising zero crossings: good to a few hertz over a tenth of a second
// of a clean tone.
inline double zeroCrossingFrequency(const std::vector<double>& x, double rate) {
    std::size_t first = 0;
    std::size_t last = 0;
    std::size_t crossings = 0;
    for (std::size_t i = 1; i < x.size(); ++i) {
        if (x[i - 1] < 0.0 && x[i] >= 0.0) {
            if (crossings == 0) {
                first = i;
            }
            last = i;
            ++crossings;
        }
    }
    if (crossings < 2) {
        return 0.0;
    }
    return static_cast<double>(crossings - 1) * rate / static_cast<double>(last - first);
}

// Signal to noise of `decoded` against `reference` (same length), in dB.
inline double snrDb(const std::vector<double>& reference, const std::vector<double>& decoded) {
    double signal = 0.0;
    double noise = 0.0;
    for (std::size_t i = 0; i < std::min(reference.size(), decoded.size()); ++i) {
        signal += reference[i] * reference[i];
        noise += (reference[i] - decoded[i]) * (reference[i] - decoded[i]);
    }
    return 10.0 * std::log10(signal / std::max(noise, 1e-9));
}

// The first frame whose absolute value passes `threshold`, or SIZE_MAX.
inline std::size_t onset(const std::vector<double>& x, double threshold) {
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (std::abs(x[i]) > threshold) {
            return i;
        }
    }
    return SIZE_MAX;
}

} // namespace audiotest
