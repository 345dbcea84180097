#include "TraceCommand.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "HeadlessPlayback.h"

namespace {

constexpr long kMaxFrames = 1'000'000;

void printUsage() {
    std::fprintf(stderr, "usage: cardtool trace MOVIE [--frames N] [--input FILE]\n");
}

} // namespace

int runTraceCommand(int argc, char** argv) {
    std::string moviePath;
    long frames = 1;
    bool input = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--frames") {
            const char* v = i + 1 < argc ? argv[++i] : nullptr;
            char* end = nullptr;
            const long n = v == nullptr ? 0 : std::strtol(v, &end, 10);
            if (v == nullptr || *end != '\0' || n < 1 || n > kMaxFrames) {
                printUsage();
                return 2;
            }
            frames = n;
        } else if (arg == "--input") {
            if (i + 1 >= argc) {
                printUsage();
                return 2;
            }
            ++i;
            input = true;
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            printUsage();
            return 2;
        } else if (moviePath.empty()) {
            moviePath = arg;
        } else {
            printUsage();
            return 2;
        }
    }
    if (moviePath.empty()) {
        printUsage();
        return 2;
    }
    if (input) {
        std::fprintf(stderr, "cardtool trace: --input is not supported yet: this version plays "
                             "movies without mouse or keyboard input\n");
        return 2;
    }
    // Lines go out as they are traced, so that a movie stopped by a limit still shows them.
    const auto printLine = [](std::string_view line) {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
    };
    std::unique_ptr<HeadlessPlayback> playback = HeadlessPlayback::open(moviePath, printLine);
    if (!playback) {
        std::fprintf(stderr, "cardtool trace: cannot load %s\n", moviePath.c_str());
        return 1;
    }
    for (long i = 1; i < frames; ++i) {
        playback->advance();
    }
    std::fflush(stdout);
    return 0;
}
