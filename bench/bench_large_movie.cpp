// The first frame of a 5 MB compressed movie, the size of a large photo greeting card: eight
// JPEG photographs, the first on the opening frame, and a thousand vector shapes defined
// ahead of the animation that uses them. Measured from the file on disk to the painted frame.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QImage>
#include <QTemporaryFile>
#include <cstdint>
#include <vector>

#include "RenderBenchSupport.h"
#include "moviemaker/SwfWriter.h"

namespace {

constexpr int kPhotos = 8;
constexpr std::uint16_t kFirstPhotoId = 60000; // clear of the writer's own ids

// A photograph-like picture: smooth colour fields under fine noise, so that JPEG keeps it
// about as large as a real photo of that size.
QByteArray photoJpeg(int index) {
    QImage image(1600, 1200, QImage::Format_RGB32);
    std::uint32_t noise = 0x9e3779b9u * static_cast<std::uint32_t>(index + 1);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int n = static_cast<int>(noise >> 26) - 32;
            row[x] = qRgb(qBound(0, x / 5 + n + index * 20, 255), qBound(0, y / 4 + n, 255),
                          qBound(0, (x + y) / 9 + n, 255));
        }
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 85);
    return jpeg;
}

std::vector<std::uint8_t> largeMovie() {
    using namespace moviemaker;
    MovieHeader header;
    header.compressed = true;
    SwfWriter movie(header);
    movie.setBackgroundColor({255, 250, 240});

    const auto definePhoto = [&](int index) {
        const QByteArray jpeg = photoJpeg(index);
        const auto id = static_cast<std::uint16_t>(kFirstPhotoId + index);
        std::vector<std::uint8_t> body{static_cast<std::uint8_t>(id & 0xff),
                                       static_cast<std::uint8_t>(id >> 8)};
        body.insert(body.end(), jpeg.begin(), jpeg.end());
        movie.rawTag(21, body); // DefineBitsJPEG2: id, then the whole JPEG stream
        Shape frame;
        frame.fill1(frame.addFill(FillStyle::bitmap(id, Matrix::scale(8.0, 8.0), false, true)))
            .rectangle(0, 0, 1600 * 8, 1200 * 8);
        return movie.defineShape(frame);
    };

    std::vector<std::uint16_t> shapes;
    for (int i = 0; i < 1000; ++i) {
        Shape s;
        Gradient g;
        g.stops = {{0, {static_cast<std::uint8_t>(i), 80, 200, 255}}, {255, {250, 200, 0, 180}}};
        LineStyle line;
        line.width = 20 + i % 40;
        line.color = {60, 20, 0, 255};
        s.fill1(s.addFill(FillStyle::linear(gradientBox(0, 0, 800, 800, i * 0.1), g)))
            .line(s.addLine(line));
        // A petal of curves, different for each shape.
        s.moveTo(0, 0);
        for (int k = 0; k < 12; ++k) {
            s.curveTo(200 + (i * 7 + k * 31) % 600, k * 60, 100 + k * 50, 400 + (i + k) % 300);
        }
        s.close();
        shapes.push_back(movie.defineShape(s));
    }

    movie.place(definePhoto(0), 1, Matrix::scale(0.04, 0.04, 0, 0));
    for (int k = 0; k < 40; ++k) {
        movie.place(shapes[static_cast<std::size_t>(k)], static_cast<std::uint16_t>(100 + k),
                    Matrix::translate((k % 8) * 1300, (k / 8) * 1500));
    }
    movie.showFrame();
    for (int photo = 1; photo < kPhotos; ++photo) {
        const std::uint16_t id = definePhoto(photo);
        movie.removeObject(1);
        movie.place(id, 1, Matrix::scale(0.04, 0.04, 0, 0));
        for (int f = 0; f < 24; ++f) {
            for (int k = 0; k < 40; ++k) {
                const auto shape = shapes[static_cast<std::size_t>((photo * 40 + k + f) % 1000)];
                const auto depth = static_cast<std::uint16_t>(100 + k);
                movie.removeObject(depth);
                movie.place(shape, depth,
                            Matrix::translate((k % 8) * 1300 + f * 20, (k / 8) * 1500));
            }
            movie.showFrame();
        }
    }
    return movie.finish();
}

void BM_LargeMovieFirstFrame(benchmark::State& state) {
    benchsupport::app();
    static const std::vector<std::uint8_t> bytes = largeMovie();
    QTemporaryFile file;
    if (!file.open() ||
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        state.SkipWithError("cannot write the movie");
        return;
    }
    file.flush();
    const std::string path = file.fileName().toStdString();
    const QSize size = benchsupport::sizeArgs(state);
    for (auto _ : state) {
        auto movie = mc::MovieView::fromFile(path);
        QImage image = movie->renderFrame(size, mc::RenderQuality::High);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
}

} // namespace

BENCHMARK(BM_LargeMovieFirstFrame)
    ->Args({550, 400})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_MAIN();
