// Gradient spans against a per-pixel reference in doubles (the gradient solved at each pixel
// centre, its stops interpolated there), against Qt's own gradient fills, and on mappings that
// flatten or blow up the gradient.
#include <gtest/gtest.h>

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "GradientSpans.h"
#include "ScanlineFill.h"

namespace mc {
namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

const QGradientStops kStops = {
    {0.0, QColor(255, 0, 0)}, {0.4, QColor(0, 200, 40, 120)}, {1.0, QColor(20, 40, 255, 200)}};

// The premultiplied colour of `stops` at `t` in 0..1.
std::array<double, 4> colourAt(const QGradientStops& stops, double t) {
    std::size_t next = 0;
    while (next < static_cast<std::size_t>(stops.size()) && stops[next].first < t) {
        ++next;
    }
    auto channels = [](const QColor& c) {
        return std::array<double, 4>{c.alphaF(), c.redF(), c.greenF(), c.blueF()};
    };
    std::array<double, 4> c{};
    if (next == 0 || next == static_cast<std::size_t>(stops.size())) {
        c = channels(stops[next == 0 ? 0 : next - 1].second);
    } else {
        const auto from = channels(stops[next - 1].second);
        const auto to = channels(stops[next].second);
        const double f = (t - stops[next - 1].first) / (stops[next].first - stops[next - 1].first);
        for (int k = 0; k < 4; ++k) {
            c[k] = from[k] + (to[k] - from[k]) * f;
        }
    }
    for (int k = 1; k < 4; ++k) {
        c[k] *= c[0];
    }
    for (double& v : c) {
        v *= 255.0;
    }
    return c;
}

// The gradient's position at device point (x, y), before the spread.
double positionAt(const QBrush& brush, const QTransform& toDevice, double x, double y) {
    const QPointF g = (brush.transform() * toDevice).inverted().map(QPointF(x, y));
    if (brush.style() == Qt::LinearGradientPattern) {
        const auto* linear = static_cast<const QLinearGradient*>(brush.gradient());
        const QPointF along = linear->finalStop() - linear->start();
        return QPointF::dotProduct(g - linear->start(), along) / QPointF::dotProduct(along, along);
    }
    const auto* radial = static_cast<const QRadialGradient*>(brush.gradient());
    const double r = radial->radius();
    const QPointF q = (g - radial->focalPoint()) / r;
    const QPointF d = (radial->center() - radial->focalPoint()) / r;
    // The circle centred at t * d with radius t that passes through q.
    const double a = 1.0 - QPointF::dotProduct(d, d);
    const double b = QPointF::dotProduct(q, d);
    return (-b + std::sqrt(b * b + a * QPointF::dotProduct(q, q))) / a;
}

double spread(double t, QGradient::Spread mode) {
    switch (mode) {
    case QGradient::RepeatSpread:
        return t - std::floor(t);
    case QGradient::ReflectSpread: {
        const double m = t - 2.0 * std::floor(t / 2.0);
        return m > 1.0 ? 2.0 - m : m;
    }
    default:
        return std::clamp(t, 0.0, 1.0);
    }
}

// Pixels whose colour differs from the reference by more than `tolerance` in a channel.
// Pixels within a table step of where a repeating gradient starts over may take either side.
int mismatches(const QBrush& brush, const QTransform& toDevice, int tolerance) {
    const std::optional<GradientSpans> spans = GradientSpans::forBrush(brush, toDevice);
    EXPECT_TRUE(spans.has_value());
    if (!spans) {
        return -1;
    }
    const QGradient::Spread mode = brush.gradient()->spread();
    std::vector<std::uint32_t> row(kWidth);
    int bad = 0;
    for (int y = 0; y < kHeight; ++y) {
        spans->fetch(y, 0, kWidth, row.data());
        for (int x = 0; x < kWidth; ++x) {
            const double t = positionAt(brush, toDevice, x + 0.5, y + 0.5);
            const double near = 2.0 / GradientTable::kSize;
            if (mode == QGradient::RepeatSpread && std::abs(t - std::round(t)) < near) {
                continue;
            }
            const auto want = colourAt(brush.gradient()->stops(), spread(t, mode));
            const std::uint32_t got = row[static_cast<std::size_t>(x)];
            for (int k = 0; k < 4; ++k) {
                const auto have = static_cast<double>((got >> (24 - 8 * k)) & 0xffu);
                if (std::abs(have - want[static_cast<std::size_t>(k)]) > tolerance) {
                    ++bad;
                    break;
                }
            }
        }
    }
    return bad;
}

QBrush linearBrush(QGradient::Spread mode) {
    QLinearGradient g(-30.0, 0.0, 30.0, 0.0);
    g.setInterpolationMode(QGradient::ComponentInterpolation);
    g.setStops(kStops);
    g.setSpread(mode);
    QBrush brush(g);
    brush.setTransform(QTransform().rotate(35.0).scale(0.7, 0.4));
    return brush;
}

QBrush radialBrush(QGradient::Spread mode, double focalX) {
    QRadialGradient g(QPointF(0.0, 0.0), 30.0, QPointF(focalX, -0.3 * focalX));
    g.setInterpolationMode(QGradient::ComponentInterpolation);
    g.setStops(kStops);
    g.setSpread(mode);
    QBrush brush(g);
    brush.setTransform(QTransform().rotate(-50.0).scale(1.3, 0.8));
    return brush;
}

const QTransform kToDevice = QTransform::fromTranslate(83.0, 57.0);

TEST(GradientSpans, FollowTheReferenceForEachKindAndSpread) {
    for (const QGradient::Spread mode :
         {QGradient::PadSpread, QGradient::ReflectSpread, QGradient::RepeatSpread}) {
        EXPECT_EQ(mismatches(linearBrush(mode), kToDevice, 2), 0) << "linear " << mode;
        EXPECT_EQ(mismatches(radialBrush(mode, 0.0), kToDevice, 2), 0) << "radial " << mode;
        EXPECT_EQ(mismatches(radialBrush(mode, 20.0), kToDevice, 2), 0) << "focal " << mode;
    }
    // Turned the other way round and shrunk, so that each span crosses many repeats.
    const QTransform turned = QTransform().translate(40.0, 90.0).rotate(200.0).scale(0.3, 0.2);
    EXPECT_EQ(mismatches(linearBrush(QGradient::ReflectSpread), turned, 2), 0);
    EXPECT_EQ(mismatches(radialBrush(QGradient::RepeatSpread, -15.0), turned, 2), 0);
}

TEST(GradientSpans, TablePremultipliesAndKeepsHardEdges) {
    const QGradientStops stops = {{0.0, QColor(200, 100, 50, 128)},
                                  {0.5, QColor(200, 100, 50, 128)},
                                  {0.5, QColor(0, 0, 0, 0)},
                                  {1.0, QColor(255, 255, 255)}};
    const GradientTable table = GradientTable::build(stops);
    EXPECT_FALSE(table.opaque);
    const std::uint32_t before = table.colours[GradientTable::kSize / 2 - 1];
    EXPECT_EQ(before >> 24, 128u);
    EXPECT_NEAR(static_cast<int>((before >> 16) & 0xffu), 100, 1);
    EXPECT_NEAR(static_cast<int>((before >> 8) & 0xffu), 50, 1);
    EXPECT_NEAR(static_cast<int>(before & 0xffu), 25, 1);
    // Past the edge the colour fades in from transparent, never carrying the colour before it.
    const std::uint32_t after = table.colours[GradientTable::kSize / 2];
    EXPECT_LE(after >> 24, 1u);
    for (int shift = 0; shift < 32; shift += 8) {
        EXPECT_GE((table.colours.back() >> shift) & 0xffu, 254u);
    }
    for (const std::uint32_t c : table.colours) {
        const std::uint32_t alpha = c >> 24;
        EXPECT_LE((c >> 16) & 0xffu, alpha);
        EXPECT_LE((c >> 8) & 0xffu, alpha);
        EXPECT_LE(c & 0xffu, alpha);
    }
    EXPECT_TRUE(GradientTable::build({{0.0, Qt::red}, {1.0, Qt::blue}}).opaque);
}

TEST(GradientSpans, TablesAreSharedByEqualStops) {
    const auto first = GradientTable::shared(kStops);
    QGradientStops same = kStops;
    EXPECT_EQ(GradientTable::shared(same).get(), first.get());
    same[1].second = QColor(0, 200, 41, 120);
    const auto other = GradientTable::shared(same);
    EXPECT_NE(other.get(), first.get());
    EXPECT_NE(other->colours, first->colours);
}

// Our fill and Qt's, on a turned ellipse under opacity and a clip. Inside, only the colours
// count; along the edges, the two fillers' coverages differ by a few levels as well.
struct Comparison {
    int inside = 0; // largest difference of pixels well within the ellipse and the clip
    int edge = 0;   // largest difference elsewhere
    double mean = 0.0;
};

Comparison againstQt(const QBrush& brush, bool* drawn) {
    QPainterPath path;
    path.addEllipse(QPointF(0.0, 0.0), 60.0, 40.0);
    const QTransform place = QTransform().translate(80.3, 60.6).rotate(20.0);
    const QRect clip(10, 5, 140, 100);
    auto paint = [&](bool ours) {
        QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
        image.fill(QColor(30, 60, 90));
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setClipRect(clip);
        p.setOpacity(0.8);
        p.setTransform(place);
        if (!ours) {
            p.fillPath(path, brush);
        } else {
            *drawn = scanlineFillPath(p, path, brush);
        }
        return image;
    };
    const QImage qt = paint(false);
    const QImage ours = paint(true);
    const QPainterPath placed = place.map(path);
    Comparison c;
    double sum = 0.0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const QRgb a = qt.pixel(x, y);
            const QRgb b = ours.pixel(x, y);
            const int d =
                std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                          std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
            const QRect around(x - 1, y - 1, 3, 3);
            const bool inside = clip.contains(around) && placed.contains(QRectF(around));
            int& worst = inside ? c.inside : c.edge;
            worst = std::max(worst, d);
            sum += d;
        }
    }
    c.mean = sum / (kWidth * kHeight);
    return c;
}

QBrush premultipliedMix() {
    QBrush brush = radialBrush(QGradient::PadSpread, 10.0);
    QGradient g = *brush.gradient();
    g.setInterpolationMode(QGradient::ColorInterpolation);
    QBrush mixed(g);
    mixed.setTransform(brush.transform());
    return mixed;
}

TEST(GradientSpans, FillsMatchQtsAtEdgesUnderOpacityAndClip) {
    for (const QBrush& brush :
         {premultipliedMix(), linearBrush(QGradient::PadSpread),
          linearBrush(QGradient::RepeatSpread), radialBrush(QGradient::ReflectSpread, 0.0),
          radialBrush(QGradient::PadSpread, 25.0)}) {
        bool drawn = false;
        const Comparison c = againstQt(brush, &drawn);
        EXPECT_TRUE(drawn);
        // Where a repeat starts over, a pixel may round to the other side of the jump.
        const bool repeats = brush.gradient()->spread() == QGradient::RepeatSpread;
        // Qt's table steps and its rounding of the opacity into the colours leave a level or so.
        EXPECT_LE(c.inside, repeats ? 255 : 3);
        EXPECT_LE(c.edge, repeats ? 255 : 12);
        EXPECT_LT(c.mean, 0.5);
    }
}

TEST(GradientSpans, FlatOrBrokenMappingsAreLeftToQtAndHugeOnesStayBounded) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const QTransform flat = QTransform().scale(0.0, 1.0);
    const QTransform broken(nan, 0.0, 0.0, 1.0, 0.0, 0.0);
    for (const QBrush& base :
         {linearBrush(QGradient::PadSpread), radialBrush(QGradient::RepeatSpread, 10.0)}) {
        for (const QTransform& m : {flat, broken}) {
            QBrush brush = base;
            brush.setTransform(m);
            EXPECT_FALSE(GradientSpans::forBrush(brush, kToDevice).has_value());
        }
    }
    // A focal point on the rim, or a focal circle, is Qt's to draw.
    QRadialGradient rim(QPointF(0.0, 0.0), 10.0, QPointF(10.0, 0.0));
    rim.setStops(kStops);
    EXPECT_FALSE(GradientSpans::forBrush(QBrush(rim), kToDevice).has_value());
    QRadialGradient ring(QPointF(0.0, 0.0), 10.0, QPointF(0.0, 0.0), 2.0);
    ring.setStops(kStops);
    EXPECT_FALSE(GradientSpans::forBrush(QBrush(ring), kToDevice).has_value());

    // Blown up a billion times, the gradient's middle colour covers everything; moved a
    // trillion pixels away or shrunk to a hundred-thousandth, each still gives colours of its
    // own table.
    QBrush huge = linearBrush(QGradient::PadSpread);
    huge.setTransform(QTransform().scale(1e9, 1e9));
    const std::optional<GradientSpans> spans = GradientSpans::forBrush(huge, kToDevice);
    ASSERT_TRUE(spans.has_value());
    std::vector<std::uint32_t> row(kWidth);
    spans->fetch(3, -5, kWidth, row.data());
    const GradientTable table = GradientTable::build(kStops);
    EXPECT_TRUE(std::all_of(row.begin(), row.end(), [&](std::uint32_t c) {
        return c == table.colours[GradientTable::kSize / 2] ||
               c == table.colours[GradientTable::kSize / 2 - 1];
    }));
    for (const QBrush& base :
         {linearBrush(QGradient::RepeatSpread), linearBrush(QGradient::PadSpread),
          radialBrush(QGradient::ReflectSpread, 5.0), radialBrush(QGradient::PadSpread, 5.0)}) {
        for (const QTransform& m :
             {QTransform().translate(1e12, -3e12), QTransform().scale(1e-5, 1e-5)}) {
            QBrush far = base;
            far.setTransform(m);
            const std::optional<GradientSpans> moved = GradientSpans::forBrush(far, kToDevice);
            ASSERT_TRUE(moved.has_value());
            moved->fetch(0, std::numeric_limits<int>::max() - kWidth, kWidth, row.data());
            EXPECT_TRUE(std::all_of(row.begin(), row.end(), [&](std::uint32_t c) {
                return std::find(table.colours.begin(), table.colours.end(), c) !=
                       table.colours.end();
            }));
        }
    }
}

} // namespace
} // namespace mc
