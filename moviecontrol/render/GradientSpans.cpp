#include "GradientSpans.h"

#include <QGradient>
#include <algorithm>
#include <bit>
#include <cmath>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace mc {

namespace {

constexpr int kLast = GradientTable::kSize - 1;
// Farthest table position a radial gradient is followed to: beyond it, repeats come closer
// together than float precision can tell apart.
constexpr float kRadialLimit = 4194304.0f;

std::size_t hashOf(const QGradientStops& stops) {
    std::size_t h = 1469598103934665603u;
    auto mix = [&h](std::uint64_t v) { h = (h ^ v) * 1099511628211u; };
    for (const QGradientStop& s : stops) {
        mix(std::bit_cast<std::uint64_t>(s.first));
        mix(s.second.rgba64());
    }
    return h;
}

std::uint32_t channel(float v) {
    return static_cast<std::uint32_t>(std::clamp(v + 0.5f, 0.0f, 255.0f));
}

struct StopColour {
    double position;
    float c[4]; // alpha, red, green, blue, not premultiplied, 0..255
};

StopColour stopColour(const QGradientStop& stop) {
    const QRgba64 c = stop.second.rgba64();
    constexpr float k = 1.0f / 257.0f;
    return {stop.first, {c.alpha() * k, c.red() * k, c.green() * k, c.blue() * k}};
}

std::uint32_t premultipliedPixel(const float c[4]) {
    const std::uint32_t alpha = channel(c[0]);
    const float scale = c[0] / 255.0f;
    std::uint32_t pixel = alpha << 24;
    for (int i = 1; i < 4; ++i) {
        pixel |= std::min(channel(c[i] * scale), alpha) << (8 * (3 - i));
    }
    return pixel;
}

constexpr int spreadIndex(int i, GradientSpans::Spread spread) {
    switch (spread) {
    case GradientSpans::Spread::Repeat:
        return i & kLast;
    case GradientSpans::Spread::Reflect:
        i &= 2 * GradientTable::kSize - 1;
        return i > kLast ? 2 * GradientTable::kSize - 1 - i : i;
    default:
        return std::clamp(i, 0, kLast);
    }
}

// The table position of a radial gradient at offset (u, v) from the focal point, before the
// spread: the t whose circle, centred at t * (dx, dy) with radius t, passes through the point.
inline int radialPosition(float u, float v, float dx, float dy, float scale, float a) {
    const float b = u * dx + v * dy;
    const float t = (std::sqrt(b * b + a * (u * u + v * v)) - b) * scale;
    // NaN and anything past the limit land on the limit.
    return static_cast<int>(std::max(t < kRadialLimit ? t : kRadialLimit, 0.0f));
}

bool finite(const QTransform& m) {
    for (const double v : {m.m11(), m.m12(), m.m21(), m.m22(), m.dx(), m.dy()}) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return m.isAffine();
}

GradientSpans::Spread spreadOf(QGradient::Spread spread) {
    switch (spread) {
    case QGradient::ReflectSpread:
        return GradientSpans::Spread::Reflect;
    case QGradient::RepeatSpread:
        return GradientSpans::Spread::Repeat;
    default:
        return GradientSpans::Spread::Pad;
    }
}

} // namespace

GradientTable GradientTable::build(const QGradientStops& stops, bool premultipliedMix) {
    GradientTable table;
    if (stops.isEmpty()) {
        table.opaque = false;
        return table;
    }
    std::vector<StopColour> colours;
    colours.reserve(static_cast<std::size_t>(stops.size()));
    for (const QGradientStop& s : stops) {
        colours.push_back(stopColour(s));
        if (premultipliedMix) {
            StopColour& c = colours.back();
            for (int k = 1; k < 4; ++k) {
                c.c[k] *= c.c[0] / 255.0f;
            }
        }
    }
    // Each position takes the segment ending at the first stop at or past it, as Qt's does.
    std::size_t next = 0;
    for (int i = 0; i < kSize; ++i) {
        const double position = (i + 0.5) / kSize;
        while (next < colours.size() && colours[next].position < position) {
            ++next;
        }
        float c[4];
        if (next == 0 || next == colours.size()) {
            std::copy_n(colours[next == 0 ? 0 : next - 1].c, 4, c);
        } else {
            const StopColour& from = colours[next - 1];
            const StopColour& to = colours[next];
            const auto f =
                static_cast<float>((position - from.position) / (to.position - from.position));
            for (int k = 0; k < 4; ++k) {
                c[k] = from.c[k] + (to.c[k] - from.c[k]) * f;
            }
        }
        if (premultipliedMix && c[0] > 0.0f) {
            for (int k = 1; k < 4; ++k) {
                c[k] *= 255.0f / c[0];
            }
        }
        table.colours[static_cast<std::size_t>(i)] = premultipliedPixel(c);
        table.opaque = table.opaque && (table.colours[static_cast<std::size_t>(i)] >> 24) == 255;
    }
    return table;
}

std::shared_ptr<const GradientTable> GradientTable::shared(const QGradientStops& stops,
                                                           bool premultipliedMix) {
    struct Entry {
        std::size_t hash;
        bool premultipliedMix;
        QGradientStops stops;
        std::shared_ptr<const GradientTable> table;
    };
    // Most recently used first. A frame rarely has more distinct gradients than this; past
    // it, the oldest table is built again when next wanted.
    constexpr std::size_t kKept = 64;
    thread_local std::vector<Entry> kept;
    const std::size_t hash = hashOf(stops);
    const auto found = std::find_if(kept.begin(), kept.end(), [&](const Entry& e) {
        return e.hash == hash && e.premultipliedMix == premultipliedMix && e.stops == stops;
    });
    if (found != kept.end()) {
        std::rotate(kept.begin(), found, found + 1);
        return kept.front().table;
    }
    if (kept.size() == kKept) {
        kept.pop_back();
    }
    kept.insert(kept.begin(),
                Entry{hash, premultipliedMix, stops,
                      std::make_shared<const GradientTable>(build(stops, premultipliedMix))});
    return kept.front().table;
}

std::optional<GradientSpans> GradientSpans::forBrush(const QBrush& brush,
                                                     const QTransform& toDevice) {
    const QGradient* gradient = brush.gradient();
    if (gradient == nullptr || gradient->stops().isEmpty() ||
        gradient->coordinateMode() != QGradient::LogicalMode ||
        (brush.style() != Qt::LinearGradientPattern &&
         brush.style() != Qt::RadialGradientPattern)) {
        return std::nullopt;
    }
    const QTransform toPixels = brush.transform() * toDevice;
    bool invertible = false;
    const QTransform m = toPixels.inverted(&invertible);
    if (!finite(toPixels) || !invertible || !finite(m)) {
        return std::nullopt;
    }
    GradientSpans s;
    s.spread_ = spreadOf(gradient->spread());
    if (brush.style() == Qt::LinearGradientPattern) {
        const auto* linear = static_cast<const QLinearGradient*>(gradient);
        const QPointF from = linear->start();
        const QPointF along = linear->finalStop() - from;
        const double length2 = QPointF::dotProduct(along, along);
        if (!(length2 > 0.0) || !std::isfinite(length2)) {
            return std::nullopt;
        }
        const double k = GradientTable::kSize / length2;
        s.ux = (m.m11() * along.x() + m.m12() * along.y()) * k;
        s.uy = (m.m21() * along.x() + m.m22() * along.y()) * k;
        s.u0 = ((m.dx() - from.x()) * along.x() + (m.dy() - from.y()) * along.y()) * k;
    } else {
        const auto* radial = static_cast<const QRadialGradient*>(gradient);
        const double r = radial->centerRadius();
        if (radial->focalRadius() != 0.0 || !(r > 0.0)) {
            return std::nullopt;
        }
        const QPointF focal = radial->focalPoint();
        s.radial_ = true;
        s.ux = m.m11() / r;
        s.uy = m.m21() / r;
        s.u0 = (m.dx() - focal.x()) / r;
        s.vx = m.m12() / r;
        s.vy = m.m22() / r;
        s.v0 = (m.dy() - focal.y()) / r;
        s.dx = (radial->center().x() - focal.x()) / r;
        s.dy = (radial->center().y() - focal.y()) / r;
        s.a = 1.0 - s.dx * s.dx - s.dy * s.dy;
        // Near the rim, the circles crowd on one side past what the table resolves.
        if (!(s.a >= 0.01)) {
            return std::nullopt;
        }
    }
    for (const double v : {s.ux, s.uy, s.u0, s.vx, s.vy, s.v0}) {
        if (!std::isfinite(v)) {
            return std::nullopt;
        }
    }
    s.table_ = GradientTable::shared(gradient->stops(), gradient->interpolationMode() ==
                                                            QGradient::ColorInterpolation);
    return s;
}

void GradientSpans::fetch(int y, int x, int count, std::uint32_t* out) const {
    const double px = x + 0.5;
    const double py = y + 0.5;
    if (radial_) {
        fetchRadial(px, py, count, out);
    } else {
        fetchLinear(px, py, count, out);
    }
}

namespace {

// The colours of `count` pixels of a linear span from table position `at` (16.16 fixed point),
// `step` further each pixel.
template <GradientSpans::Spread S>
void linearColours(std::int32_t at, std::int32_t step, const std::uint32_t* colours, int count,
                   std::uint32_t* out) {
    for (int i = 0; i < count; ++i, at += step) {
        out[i] = colours[spreadIndex(at >> 16, S)];
    }
}

} // namespace

void GradientSpans::fetchLinear(double px, double py, int count, std::uint32_t* out) const {
    const std::uint32_t* colours = table_->colours.data();
    double p = ux * px + uy * py + u0;
    if (spread_ != Spread::Pad) {
        // Both spreads repeat every two table lengths: only the position within that counts.
        constexpr double kPeriod = 2.0 * GradientTable::kSize;
        p -= kPeriod * std::floor(p / kPeriod);
    }
    if (!std::isfinite(p)) {
        p = 0.0;
    }
    const double end = p + ux * count;
    // Within this, positions step along in 16.16 fixed point without overflow.
    constexpr double kFixedLimit = 16384.0;
    if (std::abs(p) < kFixedLimit && std::abs(end) < kFixedLimit) {
        const auto at = static_cast<std::int32_t>(std::lround(p * 65536.0));
        const auto step = static_cast<std::int32_t>(std::lround(ux * 65536.0));
        switch (spread_) {
        case Spread::Repeat:
            linearColours<Spread::Repeat>(at, step, colours, count, out);
            break;
        case Spread::Reflect:
            linearColours<Spread::Reflect>(at, step, colours, count, out);
            break;
        default:
            linearColours<Spread::Pad>(at, step, colours, count, out);
            break;
        }
        return;
    }
    constexpr double kIndexLimit = 1073741824.0;
    for (int i = 0; i < count; ++i) {
        const double q = std::clamp(std::floor(p + ux * i), -kIndexLimit, kIndexLimit);
        out[i] = colours[spreadIndex(static_cast<int>(q), spread_)];
    }
}

namespace {

// A radial gradient along a span, pixel k from its first: the position is
// (sqrt(d0 + k * (d1 + k * d2)) - (b0 + k * b1)) * scale, the square root being that of
// b² + a * |q|², a polynomial in k as b and q step along evenly. Also the offset from the
// focal point at the first pixel and per pixel, for the scalar path.
struct RadialSpan {
    float u, v, du, dv;
    float dx, dy, a, scale;
    float b0, b1, d0, d1, d2;
};

// The colours of `count` pixels of a radial span, the spread fixed at compile time so that the
// inner loop has no branches.
template <GradientSpans::Spread S>
void radialColours(const RadialSpan& r, const std::uint32_t* colours, int count,
                   std::uint32_t* out) {
    // Padding clamps to the last entry before the conversion to integers.
    const float limit = S == GradientSpans::Spread::Pad ? static_cast<float>(kLast) : kRadialLimit;
    int i = 0;
#if defined(__SSE2__)
    const __m128 lanes = _mm_set_ps(3.0f, 2.0f, 1.0f, 0.0f);
    const __m128 b0 = _mm_set1_ps(r.b0);
    const __m128 b1 = _mm_set1_ps(r.b1);
    const __m128 d0 = _mm_set1_ps(r.d0);
    const __m128 d1 = _mm_set1_ps(r.d1);
    const __m128 d2 = _mm_set1_ps(r.d2);
    const __m128 scale = _mm_set1_ps(r.scale);
    const __m128 limits = _mm_set1_ps(limit);
    const __m128i last = _mm_set1_epi32(kLast);
    const __m128i period = _mm_set1_epi32(2 * GradientTable::kSize - 1);
    for (; i + 4 <= count; i += 4) {
        const __m128 k = _mm_add_ps(_mm_set1_ps(static_cast<float>(i)), lanes);
        const __m128 b = _mm_add_ps(b0, _mm_mul_ps(k, b1));
        const __m128 d = _mm_add_ps(d0, _mm_mul_ps(k, _mm_add_ps(d1, _mm_mul_ps(k, d2))));
        // Rounding may take the square's polynomial a hair below zero where it touches zero.
        const __m128 root = _mm_sqrt_ps(_mm_max_ps(d, _mm_setzero_ps()));
        __m128 t = _mm_mul_ps(_mm_sub_ps(root, b), scale);
        // min takes its second operand when the first is NaN.
        t = _mm_max_ps(_mm_min_ps(t, limits), _mm_setzero_ps());
        __m128i n = _mm_cvttps_epi32(t);
        if constexpr (S == GradientSpans::Spread::Repeat) {
            n = _mm_and_si128(n, last);
        } else if constexpr (S == GradientSpans::Spread::Reflect) {
            n = _mm_and_si128(n, period);
            // Positions in the second table length run back: 2047 - n is n with its bits flipped.
            const __m128i back = _mm_srai_epi32(_mm_slli_epi32(n, 21), 31);
            n = _mm_xor_si128(n, _mm_and_si128(back, period));
        }
        out[i] = colours[_mm_cvtsi128_si32(n)];
        out[i + 1] = colours[_mm_cvtsi128_si32(_mm_shuffle_epi32(n, 0x55))];
        out[i + 2] = colours[_mm_cvtsi128_si32(_mm_shuffle_epi32(n, 0xaa))];
        out[i + 3] = colours[_mm_cvtsi128_si32(_mm_shuffle_epi32(n, 0xff))];
    }
#endif
    for (; i < count; ++i) {
        const auto k = static_cast<float>(i);
        const int n = radialPosition(r.u + k * r.du, r.v + k * r.dv, r.dx, r.dy, r.scale, r.a);
        out[i] = colours[spreadIndex(n, S)];
    }
}

} // namespace

void GradientSpans::fetchRadial(double px, double py, int count, std::uint32_t* out) const {
    const double u = ux * px + uy * py + u0;
    const double v = vx * px + vy * py + v0;
    const double b0 = u * dx + v * dy;
    const double b1 = ux * dx + vx * dy;
    // Far past where float precision gives out, but within its range.
    auto f = [](double x) { return static_cast<float>(std::clamp(x, -1e30, 1e30)); };
    const RadialSpan r{f(u),
                       f(v),
                       f(ux),
                       f(vx),
                       f(dx),
                       f(dy),
                       f(a),
                       f(GradientTable::kSize / a),
                       f(b0),
                       f(b1),
                       f(b0 * b0 + a * (u * u + v * v)),
                       f(2.0 * (b0 * b1 + a * (u * ux + v * vx))),
                       f(b1 * b1 + a * (ux * ux + vx * vx))};
    const std::uint32_t* colours = table_->colours.data();
    switch (spread_) {
    case Spread::Repeat:
        radialColours<Spread::Repeat>(r, colours, count, out);
        break;
    case Spread::Reflect:
        radialColours<Spread::Reflect>(r, colours, count, out);
        break;
    default:
        radialColours<Spread::Pad>(r, colours, count, out);
        break;
    }
}

} // namespace mc
