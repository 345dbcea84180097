// The scanline filler against Qt's own anti-aliased filler and against exact coverage: fill
// rules, curves, clip and opacity must agree within rounding; whatever it does not cover is left to
// Qt untouched; hostile geometry draws nothing wrong and ends.
#include <gtest/gtest.h>

#include <QConicalGradient>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "ScanlineCoverage.h"
#include "ScanlineFill.h"

namespace mc {
namespace {

constexpr QRgb kBackground = 0xff336699;

struct PaintSetup {
    QTransform transform;
    double opacity = 1.0;
    QRectF clip; // device pixels; none when null
};

QImage blank() {
    QImage image(160, 120, QImage::Format_ARGB32_Premultiplied);
    image.fill(kBackground);
    return image;
}

void prepare(QPainter& p, const PaintSetup& s) {
    p.setRenderHint(QPainter::Antialiasing);
    if (!s.clip.isNull()) {
        p.setClipRect(s.clip);
    }
    p.setTransform(s.transform);
    p.setOpacity(s.opacity);
}

QImage byQt(const QPainterPath& path, const QBrush& brush, const PaintSetup& s) {
    QImage image = blank();
    QPainter p(&image);
    prepare(p, s);
    p.fillPath(path, brush);
    return image;
}

QImage byScanline(const QPainterPath& path, const QBrush& brush, const PaintSetup& s) {
    QImage image = blank();
    QPainter p(&image);
    prepare(p, s);
    EXPECT_TRUE(scanlineFillPath(p, path, brush));
    return image;
}

struct Difference {
    int max = 0;
    double meanOfChanged = 0.0; // over pixels either filler changed
    int over = 0;               // pixels differing by more than the tolerance
};

Difference compare(const QImage& a, const QImage& b, int tolerance) {
    Difference d;
    double sum = 0.0;
    int changed = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            if (p == kBackground && q == kBackground) {
                continue;
            }
            const int diff =
                std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
            d.max = std::max(d.max, diff);
            d.over += diff > tolerance ? 1 : 0;
            sum += diff;
            ++changed;
        }
    }
    d.meanOfChanged = changed > 0 ? sum / changed : 0.0;
    return d;
}

QPainterPath star() {
    QPainterPath path;
    path.moveTo(80.0, 8.0);
    for (int i = 1; i < 5; ++i) {
        const double a = i * 4.0 * M_PI / 5.0;
        path.lineTo(80.0 + 55.0 * std::sin(a), 60.0 - 55.0 * std::cos(a));
    }
    path.closeSubpath();
    return path;
}

QPainterPath rings() {
    QPainterPath path;
    path.addEllipse(QPointF(0.0, 0.0), 50.0, 30.0);
    path.addEllipse(QPointF(12.0, 0.0), 20.0, 15.0);
    return path;
}

TEST(ScanlineFill, PolygonCoverageMatchesQtForBothRules) {
    for (const Qt::FillRule rule : {Qt::OddEvenFill, Qt::WindingFill}) {
        QPainterPath path = star();
        path.setFillRule(rule);
        const PaintSetup s{QTransform::fromTranslate(0.3, 0.6), 1.0, {}};
        const QImage ours = byScanline(path, QColor(200, 30, 40, 160), s);
        const Difference d = compare(byQt(path, QColor(200, 30, 40, 160), s), ours, 4);
        EXPECT_LE(d.max, 4) << rule;
        EXPECT_LT(d.meanOfChanged, 0.5) << rule;
        // The star's middle is crossed twice: a hole under the even-odd rule only.
        const bool hole = ours.pixel(80, 62) == kBackground;
        EXPECT_EQ(hole, rule == Qt::OddEvenFill);
    }
}

TEST(ScanlineFill, TurnedCurvesAndShapesOffTheImageMatchQt) {
    QPainterPath path = rings();
    for (const Qt::FillRule rule : {Qt::OddEvenFill, Qt::WindingFill}) {
        path.setFillRule(rule);
        for (const QTransform& t :
             {QTransform().translate(80.0, 60.0).rotate(33.0).scale(1.3, 1.1),
              QTransform().translate(-10.0, 110.0).scale(3.0, 3.0),
              QTransform().translate(150.0, -5.0).rotate(-70.0).scale(2.0, 0.5)}) {
            const PaintSetup s{t, 1.0, {}};
            const Difference d = compare(byQt(path, QColor(10, 230, 40), s),
                                         byScanline(path, QColor(10, 230, 40), s), 8);
            // Qt flattens curves more coarsely: its edge pixels stray further from the exact
            // coverage, which the next test measures.
            EXPECT_LE(d.max, 32) << rule;
            EXPECT_LT(d.meanOfChanged, 1.5) << rule;
        }
    }
}

// The exact coverage of each pixel, near enough: the path filled without anti-aliasing at
// sixteen times the size, averaged over each pixel's 256 samples.
std::vector<int> exactCoverage(const QPainterPath& path, const QTransform& t, QSize size) {
    constexpr int kSamples = 16;
    QImage big(size * kSamples, QImage::Format_ARGB32_Premultiplied);
    big.fill(0);
    {
        QPainter p(&big);
        p.setTransform(t * QTransform::fromScale(kSamples, kSamples));
        p.fillPath(path, Qt::black);
    }
    std::vector<int> coverage;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            int sum = 0;
            for (int j = 0; j < kSamples; ++j) {
                const auto* line =
                    reinterpret_cast<const QRgb*>(big.constScanLine(y * kSamples + j));
                for (int i = 0; i < kSamples; ++i) {
                    sum += qAlpha(line[x * kSamples + i]);
                }
            }
            coverage.push_back((sum + kSamples * kSamples / 2) / (kSamples * kSamples));
        }
    }
    return coverage;
}

TEST(ScanlineFill, CurvedEdgesCoverWhatTheyEnclose) {
    QPainterPath path = rings();
    const QTransform t = QTransform().translate(80.0, 60.0).rotate(33.0).scale(1.3, 1.1);
    QImage image(160, 120, QImage::Format_ARGB32_Premultiplied);
    for (const Qt::FillRule rule : {Qt::OddEvenFill, Qt::WindingFill}) {
        path.setFillRule(rule);
        image.fill(0);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setTransform(t);
        ASSERT_TRUE(scanlineFillPath(p, path, QColor(Qt::black)));
        p.end();
        const std::vector<int> exact = exactCoverage(path, t, image.size());
        int worst = 0;
        long total = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const int e = std::abs(qAlpha(image.pixel(x, y)) -
                                       exact[static_cast<std::size_t>(y * image.width() + x)]);
                worst = std::max(worst, e);
                total += e;
            }
        }
        EXPECT_LE(worst, 12) << rule;
        EXPECT_LT(total, 1500) << rule;
    }
}

TEST(ScanlineFill, FollowsRectangularClipAndOpacity) {
    QPainterPath path = rings();
    const PaintSetup s{QTransform().translate(80.0, 60.0).rotate(20.0), 0.4,
                       QRectF(50.3, 40.6, 60.4, 30.5)};
    const QImage qt = byQt(path, QColor(10, 230, 40), s);
    const QImage ours = byScanline(path, QColor(10, 230, 40), s);
    const Difference d = compare(qt, ours, 4);
    EXPECT_LE(d.over, 8);
    EXPECT_LT(d.meanOfChanged, 1.0);
    for (int y = 0; y < ours.height(); ++y) {
        for (int x = 0; x < ours.width(); ++x) {
            if (x < 50 || x >= 111 || y < 41 || y >= 71) {
                ASSERT_EQ(ours.pixel(x, y), kBackground) << x << "," << y;
            }
        }
    }
    // Faded to 40%, the middle of the fill is a mix of fill and background.
    const QRgb middle = ours.pixel(56, 51);
    EXPECT_NEAR(qGreen(middle), 0.4 * 230 + 0.6 * 0x66, 3);
}

TEST(ScanlineFill, LeavesWhatItDoesNotCoverToQt) {
    const QPainterPath path = star();
    auto declined = [&](const std::function<void(QPainter&)>& set, QImage image,
                        const QBrush& brush) {
        const QImage before = image;
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        set(p);
        const bool drawn = scanlineFillPath(p, path, brush);
        p.end();
        return !drawn && image == before;
    };
    const auto nothing = [](QPainter&) {};
    EXPECT_TRUE(declined(nothing, blank(), QBrush(blank())));
    EXPECT_TRUE(declined(nothing, blank(), QBrush(Qt::red, Qt::Dense4Pattern)));
    EXPECT_TRUE(declined([](QPainter& p) { p.setCompositionMode(QPainter::CompositionMode_Plus); },
                         blank(), QBrush(Qt::red)));
    EXPECT_TRUE(declined([](QPainter& p) { p.setRenderHint(QPainter::Antialiasing, false); },
                         blank(), QBrush(Qt::red)));
    EXPECT_TRUE(declined(nothing, blank().convertToFormat(QImage::Format_RGB888), QBrush(Qt::red)));
    QConicalGradient gradient(10.0, 10.0, 30.0);
    gradient.setStops({{0.0, Qt::red}, {1.0, Qt::blue}});
    EXPECT_TRUE(declined(nothing, blank(), QBrush(gradient)));
}

TEST(ScanlineFill, HostileGeometryDrawsNothingWrong) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    auto fill = [](const QPainterPath& path, const QTransform& t) {
        QImage image = blank();
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setTransform(t);
        scanlineFillPath(p, path, QColor(0, 0, 0));
        p.end();
        return image;
    };
    QPainterPath withNan;
    withNan.moveTo(10.0, 10.0);
    withNan.lineTo(nan, 50.0);
    withNan.lineTo(100.0, 100.0);
    EXPECT_EQ(fill(withNan, QTransform()), blank());
    EXPECT_EQ(fill(star(), QTransform(inf, 0.0, 0.0, 1.0, 0.0, 0.0)), blank());
    QPainterPath flat; // no area at all
    flat.moveTo(0.0, 0.0);
    flat.lineTo(150.0, 100.0);
    flat.lineTo(0.0, 0.0);
    EXPECT_EQ(fill(flat, QTransform()), blank());
    // A shape far larger than the image covers all of it; one far away covers nothing.
    QPainterPath huge;
    huge.addRect(-1e30, -1e30, 2e30, 2e30);
    const QImage covered = fill(huge, QTransform());
    EXPECT_EQ(covered.pixel(0, 0), 0xff000000u);
    EXPECT_EQ(covered.pixel(159, 119), 0xff000000u);
    EXPECT_EQ(fill(star(), QTransform::fromTranslate(1e15, 1e15)), blank());
    // Twenty thousand thin curves: every one is flattened, none is lost.
    QPainterPath zigzag;
    zigzag.moveTo(0.0, 0.0);
    for (int i = 0; i < 20000; ++i) {
        zigzag.quadTo(160.0 * i / 20000.0, (i % 2) * 120.0, 160.0 * (i + 1) / 20000.0, 120.0);
    }
    zigzag.lineTo(0.0, 120.0);
    const QImage dense = fill(zigzag, QTransform());
    EXPECT_NE(dense, blank());
}

TEST(ScanlineCoverage, KeepsLinesWithinItsAreaBounded) {
    ScanlineCoverage coverage(QRect(0, 0, 100, 100));
    // A square with its right side far off: the rows between still count as covered.
    coverage.addLine(10.0, 10.0, 1e9, 10.0);
    coverage.addLine(1e9, 10.0, 1e9, 20.0);
    coverage.addLine(1e9, 20.0, 10.0, 20.0);
    coverage.addLine(10.0, 20.0, 10.0, 10.0);
    int rows = 0;
    int covered = 0;
    coverage.sweep(Qt::WindingFill,
                   [&](int y, int x, int count, const std::uint8_t* values, std::uint8_t level) {
                       ++rows;
                       EXPECT_GE(y, 10);
                       EXPECT_LT(y, 20);
                       EXPECT_GE(x, 0);
                       EXPECT_LE(x + count, 100);
                       for (int i = 0; i < count; ++i) {
                           const int v = values == nullptr ? level : values[i];
                           covered += v == 255 ? 1 : 0;
                           EXPECT_TRUE(x + i >= 10 || v == 0) << x + i;
                       }
                   });
    EXPECT_EQ(covered, 10 * 90);
    EXPECT_GE(rows, 10);
    // Edges are split only where they cross the area's sides.
    EXPECT_LE(coverage.lineCount(), 3u);
}

} // namespace
} // namespace mc
