// The scanline filler against Qt's anti-aliased path filler on the fills that dominate busy
// frames: a large circle, a half-transparent one, the outline of a thick curved stroke, and
// circles filled with a radial and a linear gradient, each drawn turned and scaled into a
// full-HD image.

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <benchmark/benchmark.h>
#include <cmath>

#include "ScanlineFill.h"

namespace {

QPainterPath circle() {
    QPainterPath p;
    p.addEllipse(QPointF(0.0, 0.0), 300.0, 300.0);
    return p;
}

QPainterPath strokeOutline() {
    QPainterPath line;
    line.moveTo(-300.0, 0.0);
    for (int i = 0; i < 12; ++i) {
        const double x = -300.0 + 50.0 * (i + 1);
        line.quadTo(x - 25.0, (i % 2 == 0) ? -120.0 : 120.0, x, 0.0);
    }
    line.addEllipse(QPointF(0.0, 0.0), 300.0, 300.0);
    QPainterPathStroker stroker;
    stroker.setWidth(12.0);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(line);
}

QBrush brushFor(int kind) {
    const QGradientStops stops = {{0.0, QColor(255, 120, 0)}, {1.0, QColor(0, 0, 255, 200)}};
    if (kind == 3) {
        QRadialGradient g(QPointF(0.0, 0.0), 300.0, QPointF(90.0, 0.0));
        g.setStops(stops);
        return QBrush(g);
    }
    if (kind == 4) {
        QLinearGradient g(-300.0, 0.0, 300.0, 0.0);
        g.setStops(stops);
        g.setSpread(QGradient::ReflectSpread);
        return QBrush(g);
    }
    return QBrush(kind == 1 ? QColor(200, 40, 40, 128) : QColor(30, 120, 60));
}

// kind: 0 circle, 1 half-transparent circle, 2 stroke outline, 3 radial gradient circle,
// 4 linear gradient circle.
void fill(benchmark::State& state, bool ours) {
    const int kind = static_cast<int>(state.range(0));
    const QPainterPath path = kind == 2 ? strokeOutline() : circle();
    const QBrush brush = brushFor(kind);
    QImage image(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    double angle = 0.0;
    for (auto _ : state) {
        p.setTransform(QTransform().translate(960.0, 540.0).rotate(angle).scale(1.4, 1.2));
        angle += 7.0;
        if (!ours || !mc::scanlineFillPath(p, path, brush)) {
            p.fillPath(path, brush);
        }
    }
    benchmark::DoNotOptimize(image.constBits());
}

void qtFill(benchmark::State& state) {
    fill(state, false);
}
void scanlineFill(benchmark::State& state) {
    fill(state, true);
}

// Qt hands large fills to worker threads: the wall clock is the cost on a single core.
BENCHMARK(qtFill)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(scanlineFill)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
