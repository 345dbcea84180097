#include "BenchCommand.h"

#include <QImage>
#include <QSize>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>

#include "Arguments.h"
#include "FrameClock.h"
#include "MovieView.h"
#include "MovieWidget.h"
#include "OffscreenApp.h"
#include "Report.h"

namespace cardtool {
namespace {

constexpr const char* kUsage = "usage: cardtool bench MOVIE [--frames N] [--size WxH] [--json]\n";
constexpr long kMaxFrames = 1'000'000;
// Without --frames a movie plays its length, but no more than this: long enough to see the
// busy stretches of a card, short enough to answer in seconds.
constexpr long kDefaultFramesAtMost = 600;
// An 8K screen fits; one picture of the largest size is 256 MB.
constexpr int kMaxSide = 8192;

using Clock = std::chrono::steady_clock;

struct BenchOptions {
    std::string movie;
    std::optional<long> frames;
    std::optional<QSize> size;
    bool json = false;
};

long parseCount(const std::string& text, long least, long most, const std::string& what) {
    char* end = nullptr;
    const long n = text.empty() ? 0 : std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || n < least || n > most) {
        throw UsageError(what + " must be a whole number from " + std::to_string(least) + " to " +
                         std::to_string(most));
    }
    return n;
}

QSize parseSize(const std::string& text) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos) {
        throw UsageError("--size takes WIDTHxHEIGHT, such as 1920x1080");
    }
    const long w = parseCount(text.substr(0, x), 1, kMaxSide, "the width");
    const long h = parseCount(text.substr(x + 1), 1, kMaxSide, "the height");
    return QSize(static_cast<int>(w), static_cast<int>(h));
}

BenchOptions parseOptions(const std::vector<std::string>& words) {
    const Arguments args(words, {"frames", "size"}, {"json"});
    BenchOptions o;
    o.movie = args.positional(0, "MOVIE");
    args.expectPositionals(1);
    if (const auto frames = args.option("frames")) {
        o.frames = parseCount(*frames, 1, kMaxFrames, "--frames");
    }
    if (const auto size = args.option("size")) {
        o.size = parseSize(*size);
    }
    o.json = args.flag("json");
    return o;
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

BenchFigures summarise(double loadMs, double firstFrameMs, std::vector<double> frameMs) {
    BenchFigures f;
    f.loadMs = loadMs;
    f.firstFrameMs = firstFrameMs;
    f.frames = static_cast<long>(frameMs.size());
    if (frameMs.empty()) {
        return f;
    }
    double total = 0.0;
    for (const double ms : frameMs) {
        total += ms;
    }
    const std::size_t middle = frameMs.size() / 2;
    std::nth_element(frameMs.begin(), frameMs.begin() + static_cast<std::ptrdiff_t>(middle),
                     frameMs.end());
    f.medianFrameMs = frameMs[middle];
    if (frameMs.size() % 2 == 0) {
        const double below = *std::max_element(
            frameMs.begin(), frameMs.begin() + static_cast<std::ptrdiff_t>(middle));
        f.medianFrameMs = (f.medianFrameMs + below) / 2.0;
    }
    f.slowestFrameMs = *std::max_element(frameMs.begin(), frameMs.end());
    // A clock too coarse to see the frames at all still gives a finite rate.
    f.fps = static_cast<double>(frameMs.size()) * 1000.0 / std::max(total, 1e-6);
    return f;
}

int benchCommand(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    BenchOptions options;
    try {
        options = parseOptions(words);
    } catch (const UsageError& error) {
        err << "cardtool bench: " << error.what() << '\n' << kUsage;
        return 2;
    }
    const std::unique_ptr<QGuiApplication> app = makeOffscreenApplication();

    const Clock::time_point loadStart = Clock::now();
    mc::PlaybackSetup setup;
    setup.pace = mc::Pace::FrameSteps;
    const std::unique_ptr<mc::MovieView> view =
        mc::MovieView::fromFile(options.movie, std::move(setup));
    const double loadMs = msSince(loadStart);
    if (!view) {
        err << "cardtool bench: cannot load " << options.movie << '\n';
        return 1;
    }
    mc::MovieView& movie = *view;
    // Drawn as the playback window draws: its frame budget, high quality, ShowAll fit.
    movie.setFrameBudget(mc::MovieWidget::kFrameBudget);
    const QSize size = options.size
                           ? *options.size
                           : mc::surfaceWithin(movie.stageSizePixels(), QSize(kMaxSide, kMaxSide));
    const long frames =
        options.frames ? *options.frames
                       : std::clamp<long>(movie.movie().header.frameCount, 1, kDefaultFramesAtMost);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        err << "cardtool bench: no memory for a picture of " << size.width() << 'x' << size.height()
            << " pixels\n";
        return 1;
    }

    std::vector<double> frameMs;
    frameMs.reserve(static_cast<std::size_t>(frames));
    double firstFrameMs = 0.0;
    long degradedFrames = 0;
    for (long i = 0; i < frames; ++i) {
        const Clock::time_point start = Clock::now();
        if (i > 0) {
            movie.playback().stepFrame();
        }
        movie.paint(image, mc::RenderQuality::High, Qt::black);
        frameMs.push_back(msSince(start));
        if (i == 0) {
            firstFrameMs = msSince(loadStart);
        }
        if (movie.degradedEffects() > 0) {
            ++degradedFrames;
        }
    }
    const BenchFigures f = summarise(loadMs, firstFrameMs, std::move(frameMs));

    mc::FrameClock clock;
    clock.setRate(movie.frameRate8_8());
    Report report;
    report.add("frames", std::int64_t{f.frames});
    report.add("width", std::int64_t{size.width()});
    report.add("height", std::int64_t{size.height()});
    report.addDecimal("frame_rate", clock.framesPerSecond(), 2);
    report.addDecimal("load_ms", f.loadMs, 2);
    report.addDecimal("first_frame_ms", f.firstFrameMs, 2);
    report.addDecimal("median_frame_ms", f.medianFrameMs, 2);
    report.addDecimal("slowest_frame_ms", f.slowestFrameMs, 2);
    report.addDecimal("fps", f.fps, 1);
    report.add("sustains_frame_rate", f.fps >= clock.framesPerSecond());
    // Frames whose costliest effects were drawn smaller or left out to keep to the budget.
    report.add("degraded_frames", std::int64_t{degradedFrames});
    // Filtered and cached objects drawn from a picture kept from an earlier frame, and drawn anew.
    report.add("group_cache_hits", std::int64_t{movie.resources().groups.hits()});
    report.add("group_cache_misses", std::int64_t{movie.resources().groups.misses()});
    report.add("shape_raster_hits", std::int64_t{movie.resources().rasters.hits()});
    report.add("shape_raster_misses", std::int64_t{movie.resources().rasters.misses()});
    report.print(out, options.json);
    return 0;
}

} // namespace cardtool

int runBenchCommand(int argc, char** argv) {
    return cardtool::benchCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                  std::cerr);
}
