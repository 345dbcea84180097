// cardtool bench: its arguments, the figures it derives from frame times, and what it prints
// for movies the movie writer builds. No timing thresholds: only how the printed
// numbers agree with each other and with what was asked.
#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cmath>
#include <optional>
#include <sstream>

#include "BenchCommand.h"
#include "moviemaker/SwfWriter.h"

namespace cardtool {
namespace {

QGuiApplication& app() {
    static int argc = 1;
    static char name[] = "cardtool_bench_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication instance(argc, argv);
    return instance;
}

struct Outcome {
    int status = 0;
    std::string out;
    std::string err;
};

Outcome bench(const std::vector<std::string>& words) {
    app();
    std::ostringstream out;
    std::ostringstream err;
    const int status = benchCommand(words, out, err);
    return {status, out.str(), err.str()};
}

// A red box that moves and turns every frame, `frames` long; `claimed` overrides the frame
// count the header gives.
std::vector<std::uint8_t> movingBox(int frames, std::optional<std::uint16_t> claimed = {}) {
    using namespace moviemaker;
    MovieHeader header;
    header.frameSize = Rect::pixels(200, 150);
    header.frameRate = 30.0;
    header.frameCountOverride = claimed;
    SwfWriter movie(header);
    Shape box;
    box.fill1(box.addFill(FillStyle::solid({255, 0, 0}))).rectangle(-400, -300, 800, 600);
    const std::uint16_t id = movie.defineShape(box);
    movie.place(id, 1, Matrix::translate(2000, 1500));
    movie.showFrame();
    for (int f = 1; f < frames; ++f) {
        movie.moveObject(1, Matrix::scaleRotate(1.0, f * 0.1, 2000 + f * 20, 1500));
        movie.showFrame();
    }
    return movie.finish();
}

class BenchCommandTest : public ::testing::Test {
  protected:
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const QString path = dir_.filePath(QString::fromStdString(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        return path.toStdString();
    }

    // The JSON object bench prints; fails the test when the output is not one.
    QJsonObject benchJson(std::vector<std::string> words) {
        words.push_back("--json");
        const Outcome o = bench(words);
        EXPECT_EQ(o.status, 0) << o.err;
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(o.out), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << o.out;
        EXPECT_TRUE(doc.isObject()) << o.out;
        return doc.object();
    }

    QTemporaryDir dir_;
};

TEST(BenchFigures, MedianSlowestAndRateOfFrameTimes) {
    const BenchFigures odd = summarise(3.0, 7.0, {10.0, 30.0, 20.0});
    EXPECT_DOUBLE_EQ(odd.loadMs, 3.0);
    EXPECT_DOUBLE_EQ(odd.firstFrameMs, 7.0);
    EXPECT_EQ(odd.frames, 3);
    EXPECT_DOUBLE_EQ(odd.medianFrameMs, 20.0);
    EXPECT_DOUBLE_EQ(odd.slowestFrameMs, 30.0);
    EXPECT_DOUBLE_EQ(odd.fps, 50.0); // 3 frames in 60 ms

    // An even count takes the mean of the two middle times, whatever their order.
    const BenchFigures even = summarise(0.0, 0.0, {40.0, 5.0, 10.0, 25.0});
    EXPECT_DOUBLE_EQ(even.medianFrameMs, 17.5);
    EXPECT_DOUBLE_EQ(even.slowestFrameMs, 40.0);
    EXPECT_DOUBLE_EQ(even.fps, 50.0);

    // Frames too quick for the clock still give a finite rate.
    const BenchFigures instant = summarise(0.0, 0.0, {0.0, 0.0});
    EXPECT_TRUE(std::isfinite(instant.fps));
    EXPECT_GT(instant.fps, 0.0);
}

TEST_F(BenchCommandTest, BadArgumentsAreUsageErrors) {
    const std::string movie = write("box.swf", movingBox(3));
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {movie, "--frames"},
        {movie, "--frames", "0"},
        {movie, "--frames", "-3"},
        {movie, "--frames", "12abc"},
        {movie, "--frames", "1000001"},
        {movie, "--size", "1920"},
        {movie, "--size", "0x100"},
        {movie, "--size", "100x"},
        {movie, "--size", "8193x100"},
        {movie, "--size", "100x-100"},
        {movie, "--size", "99999999999999999999x1"},
        {movie, "--speed", "2"},
        {movie, movie},
    };
    for (const auto& words : wrong) {
        const Outcome o = bench(words);
        std::string line;
        for (const auto& w : words) {
            line += w + ' ';
        }
        EXPECT_EQ(o.status, 2) << line;
        EXPECT_NE(o.err.find("usage: cardtool bench"), std::string::npos) << line;
        EXPECT_TRUE(o.out.empty()) << line;
    }
}

TEST_F(BenchCommandTest, MoviesThatCannotBeLoadedFailWithTheirName) {
    const std::string missing = dir_.filePath("missing.swf").toStdString();
    // A header and nothing behind it; a compressed movie whose body does not inflate.
    const std::vector<std::uint8_t> headerOnly = {'F', 'W', 'S', 6};
    std::vector<std::uint8_t> broken = {'C', 'W', 'S', 6, 0xE8, 3, 0, 0};
    broken.insert(broken.end(), 40, 0x5A);
    const std::vector<std::uint8_t> garbage(4000, 0xA5);
    for (const std::string& path : {missing, write("short.swf", headerOnly),
                                    write("broken.swf", broken), write("garbage.swf", garbage)}) {
        const Outcome o = bench({path, "--json"});
        EXPECT_EQ(o.status, 1) << path;
        EXPECT_NE(o.err.find("cannot load " + path), std::string::npos) << o.err;
        EXPECT_TRUE(o.out.empty()) << path;
    }
}

TEST_F(BenchCommandTest, JsonFiguresAgreeWithEachOther) {
    const std::string movie = write("box.swf", movingBox(12));
    const QJsonObject j = benchJson({movie, "--size", "320x240"});
    for (const char* key :
         {"frames", "width", "height", "frame_rate", "load_ms", "first_frame_ms", "median_frame_ms",
          "slowest_frame_ms", "fps", "sustains_frame_rate", "degraded_frames"}) {
        EXPECT_TRUE(j.contains(QLatin1String(key))) << key;
    }
    EXPECT_EQ(j["frames"].toInt(), 12); // the movie's length
    EXPECT_EQ(j["width"].toInt(), 320);
    EXPECT_EQ(j["height"].toInt(), 240);
    EXPECT_DOUBLE_EQ(j["frame_rate"].toDouble(), 30.0);
    EXPECT_EQ(j["degraded_frames"].toInt(), 0);

    const double load = j["load_ms"].toDouble();
    const double first = j["first_frame_ms"].toDouble();
    const double median = j["median_frame_ms"].toDouble();
    const double slowest = j["slowest_frame_ms"].toDouble();
    const double fps = j["fps"].toDouble();
    EXPECT_GE(load, 0.0);
    // The first frame comes after the load; the figures are printed to 0.01 ms.
    EXPECT_GE(first + 0.01, load);
    EXPECT_LE(median, slowest + 0.01);
    EXPECT_GT(fps, 0.0);
    // The mean frame time is at most the slowest one: fps is at least 1000 / slowest.
    EXPECT_GE(fps + 0.1, 1000.0 / std::max(slowest + 0.005, 1e-6));
    if (std::abs(fps - 30.0) > 0.1) { // the printed rate is rounded
        EXPECT_EQ(j["sustains_frame_rate"].toBool(), fps > 30.0);
    }
}

TEST_F(BenchCommandTest, FramesPlayedFollowTheMovieAndTheOption) {
    // --frames past the movie's end plays on as the looping window does.
    EXPECT_EQ(benchJson({write("a.swf", movingBox(4)), "--frames", "9"})["frames"].toInt(), 9);
    // A header that claims 700 frames gets 600 without --frames; one that claims none, one.
    EXPECT_EQ(benchJson({write("b.swf", movingBox(2, 700)), "--size", "16x16"})["frames"].toInt(),
              600);
    EXPECT_EQ(benchJson({write("c.swf", movingBox(2, 0))})["frames"].toInt(), 1);
}

TEST_F(BenchCommandTest, DefaultSizeIsTheStage) {
    const QJsonObject j = benchJson({write("box.swf", movingBox(2))});
    EXPECT_EQ(j["width"].toInt(), 200);
    EXPECT_EQ(j["height"].toInt(), 150);
}

TEST_F(BenchCommandTest, LinesCarryTheSameFigures) {
    const Outcome o = bench({write("box.swf", movingBox(5)), "--frames", "5", "--size", "64x48"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("frames: 5\n"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("width: 64\nheight: 48\n"), std::string::npos) << o.out;
    for (const char* key :
         {"load_ms: ", "first_frame_ms: ", "median_frame_ms: ", "slowest_frame_ms: ", "fps: "}) {
        EXPECT_NE(o.out.find(key), std::string::npos) << key;
    }
    EXPECT_EQ(o.out.find('{'), std::string::npos);
}

} // namespace
} // namespace cardtool
