#include "GradientLookup.h"

#include <algorithm>

namespace mc {
namespace {

swf::Rgba mix(const swf::Rgba& from, const swf::Rgba& to, float t) {
    const auto channel = [t](std::uint8_t a, std::uint8_t b) {
        return static_cast<std::uint8_t>(a + (b - a) * t + 0.5f);
    };
    return {channel(from.r, to.r), channel(from.g, to.g), channel(from.b, to.b),
            channel(from.a, to.a)};
}

} // namespace

GradientRamp gradientRamp(const std::vector<swf::GradientFilterStop>& stops) {
    GradientRamp ramp{};
    if (stops.empty()) {
        return ramp;
    }
    std::size_t next = 0; // first stop whose ratio is at or after the entry
    int previousRatio = 0;
    std::vector<int> ratios;
    ratios.reserve(stops.size());
    for (const auto& stop : stops) {
        previousRatio = std::max(previousRatio, int{stop.ratio});
        ratios.push_back(previousRatio);
    }
    for (int entry = 0; entry < 256; ++entry) {
        while (next < stops.size() && ratios[next] < entry) {
            ++next;
        }
        swf::Rgba colour;
        if (next == 0) {
            colour = stops.front().color;
        } else if (next == stops.size()) {
            colour = stops.back().color;
        } else {
            const int span = ratios[next] - ratios[next - 1];
            const float t = span == 0 ? 1.0f : float(entry - ratios[next - 1]) / float(span);
            colour = mix(stops[next - 1].color, stops[next].color, t);
        }
        ramp[static_cast<std::size_t>(entry)] = premultiplied(colour);
    }
    return ramp;
}

} // namespace mc
