#include "GradientRamp.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "SpanBlend.h"

namespace mc {

namespace {

// A stop's colour as unpremultiplied ARGB32.
struct Stop {
    double pos;
    QRgb rgb;
};

std::uint32_t mix(QRgb a, QRgb b, double t) {
    const auto f = static_cast<int>(t * 256.0 + 0.5); // 0..256
    auto ch = [f](int x, int y) {
        return static_cast<std::uint32_t>(x + (((y - x) * f + 128) >> 8));
    };
    return spanblend::premultiplied(ch(qAlpha(a), qAlpha(b)), ch(qRed(a), qRed(b)),
                                    ch(qGreen(a), qGreen(b)), ch(qBlue(a), qBlue(b)));
}

std::uint32_t premultiplied(QRgb c) { return mix(c, c, 0.0); }

} // namespace

GradientRamp::GradientRamp(const QGradientStops& stops, QGradient::Spread spread)
    : spread_(spread) {
    if (stops.isEmpty()) {
        table_.fill(0);
        opaque_ = false;
        return;
    }
    std::vector<Stop> colours;
    colours.reserve(static_cast<std::size_t>(stops.size()));
    for (const QGradientStop& s : stops) {
        colours.push_back({s.first, s.second.rgba()});
    }
    std::size_t next = 0; // the first stop past the position
    const std::size_t count = colours.size();
    for (int i = 0; i < kSize; ++i) {
        const double pos = i / static_cast<double>(kSize - 1);
        while (next < count && colours[next].pos <= pos) {
            ++next;
        }
        std::uint32_t pixel = 0;
        if (next == 0) {
            pixel = premultiplied(colours.front().rgb);
        } else if (next == count) {
            pixel = premultiplied(colours.back().rgb);
        } else {
            const Stop& s0 = colours[next - 1];
            const Stop& s1 = colours[next];
            const double span = s1.pos - s0.pos;
            const double f = span > 0.0 ? std::clamp((pos - s0.pos) / span, 0.0, 1.0) : 1.0;
            pixel = mix(s0.rgb, s1.rgb, f);
        }
        table_[static_cast<std::size_t>(i)] = pixel;
        opaque_ = opaque_ && (pixel >> 24) == 255;
    }
}

const GradientRamp& GradientRamp::cached(const QGradientStops& stops, QGradient::Spread spread) {
    struct Kept {
        QGradientStops stops;
        QGradient::Spread spread;
        std::unique_ptr<GradientRamp> ramp;
    };
    constexpr std::size_t kKept = 32;
    thread_local std::vector<Kept> kept;
    thread_local std::size_t replace = 0;
    for (const Kept& k : kept) {
        if (k.spread == spread && k.stops == stops) {
            return *k.ramp;
        }
    }
    Kept made{stops, spread, std::make_unique<GradientRamp>(stops, spread)};
    if (kept.size() < kKept) {
        kept.push_back(std::move(made));
        return *kept.back().ramp;
    }
    Kept& slot = kept[replace];
    replace = (replace + 1) % kKept;
    slot = std::move(made);
    return *slot.ramp;
}

int GradientRamp::index(double t) const {
    // Far positions are brought into a range where the integer conversion is defined; the
    // spread modes repeat with a period of one or two table lengths, so nothing changes.
    constexpr double kLimit = 1 << 24;
    if (!(t == t)) {
        return 0; // NaN
    }
    const double scaled = std::clamp(t * (kSize - 1) + 0.5, -kLimit, kLimit);
    long i = static_cast<long>(scaled); // truncated toward zero, as Qt does
    switch (spread_) {
    case QGradient::RepeatSpread:
        i %= kSize;
        if (i < 0) {
            i += kSize;
        }
        break;
    case QGradient::ReflectSpread: {
        constexpr long kPeriod = 2 * kSize;
        i %= kPeriod;
        if (i < 0) {
            i += kPeriod;
        }
        if (i >= kSize) {
            i = kPeriod - 1 - i;
        }
        break;
    }
    default:
        i = std::clamp(i, 0L, static_cast<long>(kSize - 1));
        break;
    }
    return static_cast<int>(i);
}

} // namespace mc
