#include "RenderCommand.h"

#include <QImage>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "MovieView.h"
#include "OfflineMix.h"
#include "OffscreenApp.h"

namespace {

constexpr long kMaxFrames = 1'000'000;
constexpr double kMaxScale = 16.0;
constexpr long long kMaxPixels = 16384LL * 16384LL;
constexpr double kMaxAudioSeconds = 3600.0;

struct RenderOptions {
    std::string movie;
    std::string out;
    std::string audio; // WAV of the frames' sound, when asked for
    long frames = 1;
    double scale = 1.0;
    mc::RenderQuality quality = mc::RenderQuality::High;
    long frameBudgetMs = 0; // none: an offline picture is drawn in full
};

void printUsage() {
    std::fprintf(stderr, "usage: cardtool render MOVIE --out PNG [--frames N] [--scale S] "
                         "[--quality high|low] [--audio WAV] [--frame-budget MS]\n");
}

std::optional<RenderOptions> parseOptions(int argc, char** argv) {
    RenderOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (arg == "--out") {
            const char* v = value();
            if (v == nullptr || *v == '\0') {
                return std::nullopt;
            }
            o.out = v;
        } else if (arg == "--audio") {
            const char* v = value();
            if (v == nullptr || *v == '\0') {
                return std::nullopt;
            }
            o.audio = v;
        } else if (arg == "--frames") {
            const char* v = value();
            char* end = nullptr;
            const long n = v == nullptr ? 0 : std::strtol(v, &end, 10);
            if (v == nullptr || *end != '\0' || n < 1 || n > kMaxFrames) {
                return std::nullopt;
            }
            o.frames = n;
        } else if (arg == "--scale") {
            const char* v = value();
            char* end = nullptr;
            const double s = v == nullptr ? 0.0 : std::strtod(v, &end);
            if (v == nullptr || *end != '\0' || !(s > 0.0) || s > kMaxScale) {
                return std::nullopt;
            }
            o.scale = s;
        } else if (arg == "--frame-budget") {
            const char* v = value();
            char* end = nullptr;
            const long ms = v == nullptr ? 0 : std::strtol(v, &end, 10);
            if (v == nullptr || *end != '\0' || ms < 1 || ms > 3'600'000) {
                return std::nullopt;
            }
            o.frameBudgetMs = ms;
        } else if (arg == "--quality") {
            const char* v = value();
            const std::string q = v == nullptr ? "" : v;
            if (q == "high") {
                o.quality = mc::RenderQuality::High;
            } else if (q == "low") {
                o.quality = mc::RenderQuality::Low;
            } else {
                return std::nullopt;
            }
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return std::nullopt;
        } else if (o.movie.empty()) {
            o.movie = arg;
        } else {
            return std::nullopt;
        }
    }
    if (o.movie.empty() || o.out.empty()) {
        return std::nullopt;
    }
    return o;
}

} // namespace

int runRenderCommand(int argc, char** argv) {
    const std::optional<RenderOptions> options = parseOptions(argc, argv);
    if (!options) {
        printUsage();
        return 2;
    }
    const std::unique_ptr<QGuiApplication> app = makeOffscreenApplication();

    mc::PlaybackSetup setup;
    setup.pace = mc::Pace::FrameSteps;
    setup.keepSound = !options->audio.empty();
    const std::unique_ptr<mc::MovieView> movie =
        mc::MovieView::fromFile(options->movie, std::move(setup));
    if (!movie) {
        std::fprintf(stderr, "cardtool render: cannot load %s\n", options->movie.c_str());
        return 1;
    }
    mc::MoviePlayback& playback = movie->playback();
    // The sound of the frames played, mixed on the frame clock: frame i's sound is mixed
    // while frame i shows, so N frames give N / rate seconds. The whole sound is held in
    // memory before it is written: an hour at most.
    if (!options->audio.empty() &&
        static_cast<double>(options->frames) / playback.framesPerSecond() > kMaxAudioSeconds) {
        std::fprintf(stderr, "cardtool render: more than an hour of sound cannot be written\n");
        return 1;
    }
    for (long i = 1; i < options->frames; ++i) {
        playback.stepFrame();
    }
    if (!options->audio.empty()) {
        playback.mixShownFrame();
        if (!audio::writeWav(options->audio, playback.sound(), playback.soundRate())) {
            std::fprintf(stderr, "cardtool render: cannot write %s\n", options->audio.c_str());
            return 1;
        }
    }
    if (options->frameBudgetMs > 0) {
        movie->setFrameBudget(std::chrono::milliseconds(options->frameBudgetMs));
    }
    const QSize stage = movie->stageSizePixels();
    const long long w = static_cast<long long>(stage.width() * options->scale);
    const long long h = static_cast<long long>(stage.height() * options->scale);
    if (w < 1 || h < 1 || w * h > kMaxPixels) {
        std::fprintf(stderr, "cardtool render: stage of %lldx%lld pixels cannot be drawn\n", w, h);
        return 1;
    }
    const QImage image =
        movie->renderFrame(QSize(static_cast<int>(w), static_cast<int>(h)), options->quality)
            .convertToFormat(QImage::Format_ARGB32);
    if (movie->degradedEffects() > 0) {
        std::fprintf(stderr, "cardtool render: %d effects drawn smaller or left out for time\n",
                     movie->degradedEffects());
    }
    if (!image.save(QString::fromStdString(options->out), "PNG")) {
        std::fprintf(stderr, "cardtool render: cannot write %s\n", options->out.c_str());
        return 1;
    }
    return 0;
}
