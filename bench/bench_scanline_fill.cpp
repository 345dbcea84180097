// The scanline filler against Qt's anti-aliased path filler on the fills that dominate busy
// frames: a large circle in a solid colour and in a radial gradient, a linear-gradient box,
// and the outline of a thick curved stroke, each drawn turned and scaled into a full-HD image.

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
    if (kind == 1) {
        QRadialGradient g(QPointF(0.0, 0.0), 300.0, QPointF(120.0, 0.0));
        g.setInterpolationMode(QGradient::ComponentInterpolation);
        g.setStops({{0.0, QColor(255, 240, 40)}, {0.7, QColor(200, 40, 40)}, {1.0, QColor(20, 0, 60)}});
        return QBrush(g);
    }
    if (kind == 2) {
        QLinearGradient g(-300.0, 0.0, 300.0, 0.0);
        g.setInterpolationMode(QGradient::ComponentInterpolation);
        g.setStops({{0.0, QColor(0, 90, 200)}, {1.0, QColor(250, 250, 250, 128)}});
        return QBrush(g);
    }
    return QBrush(QColor(30, 120, 60));
}

// kind: 0 solid circle, 1 radial circle, 2 linear box, 3 stroke outline.
void fill(benchmark::State& state, bool ours) {
    const int kind = static_cast<int>(state.range(0));
    QPainterPath path = kind == 3 ? strokeOutline() : circle();
    if (kind == 2) {
        path = QPainterPath();
        path.addRect(-300.0, -200.0, 600.0, 400.0);
    }
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

void qtFill(benchmark::State& state) { fill(state, false); }
void scanlineFill(benchmark::State& state) { fill(state, true); }

// Qt hands large fills to worker threads: the wall clock is the cost on a single core.
BENCHMARK(qtFill)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(scanlineFill)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
