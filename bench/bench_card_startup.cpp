// A card's start, from the process start to the first frame of its movie drawn, against a
// bare Qt window's start to its first paint, measured the same way on the same display: each
// program writes one byte to VELMORA_FIRST_FRAME_FD once its first paint has run its course.
//
// The three programs take turns within each iteration, so that all of them see the same
// machine load; the counters give each one's median over the iterations and the ratio of the
// card's median to the bare window's (goal: at most 1.5).
//
// Offscreen always; on an X display too when VELMORA_BENCH_DISPLAY names one (for example
// a private `Xvfb :57`), as the card runs on a desktop. VELMORA_BENCH_BASELINE_RUNTIME may name
// another build's runtime library: the card then also starts with it, in the same turns, for a
// before-and-after under the same load (counters baseline_ms and baseline_ratio).
// VELMORA_BENCH_ROUNDS sets the number of iterations (default 25).
#include "cardformat/CardLayout.h"
#include "cardformat/ErrorLog.h"
#include "cardformat/GenerationNote.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct CardFolder {
    fs::path dir;
    fs::path card;
    CardFolder() {
        dir = fs::temp_directory_path() / ("bench_card_startup_" + std::to_string(::getpid()));
        fs::create_directories(dir / "tmp");
        fs::create_directories(dir / "runtime");
        fs::permissions(dir / "runtime", fs::perms::owner_all);
        cardformat::ErrorLog::configure("bench.log", dir.string());
        fs::copy_file(VELMORA_SAMPLE_MOVIE, dir / "greeting.swf");
        card = dir / "card";
        cardformat::CardNote note = cardformat::makeGenerationNote("", "新年快乐");
        cardformat::Swf2Exe((dir / "greeting.swf").string(), card.string(), note, "Velmora.vmd",
                            [](std::string_view, std::string_view) { return true; },
                            VELMORA_BIN_DIR);
    }
    ~CardFolder() { fs::remove_all(dir); }
    CardFolder(const CardFolder&) = delete;
    CardFolder& operator=(const CardFolder&) = delete;
};

// Where the programs show their window: Qt's offscreen platform, or an X display.
struct Display {
    std::string platform;
    std::string name; // the X display, for "xcb"
};

// A program started in each turn, and the player runtime a card's launcher loads.
struct Program {
    std::vector<std::string> arguments;
    std::string runtime = VELMORA_BIN_DIR "/libvelmora-runtime.so.1";
};

// Starts `program`, waits for its first frame, ends it; the seconds to the first frame, or
// nothing when none came within 30 seconds.
std::optional<double> startToFirstFrame(const Program& program, const CardFolder& folder,
                                        const Display& display) {
    int drawn[2];
    if (::pipe(drawn) != 0) {
        return std::nullopt;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(drawn[0]);
        ::setenv("VELMORA_FIRST_FRAME_FD", std::to_string(drawn[1]).c_str(), 1);
        ::setenv("VELMORA_RUNTIME", program.runtime.c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", display.platform.c_str(), 1);
        if (!display.name.empty()) {
            ::setenv("DISPLAY", display.name.c_str(), 1);
        }
        ::setenv("TMPDIR", (folder.dir / "tmp").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", (folder.dir / "runtime").c_str(), 1);
        std::vector<char*> argv;
        for (const std::string& argument : program.arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(drawn[1]);
    pollfd wait{drawn[0], POLLIN, 0};
    char byte = 0;
    const bool firstFrame = ::poll(&wait, 1, 30000) == 1 && ::read(drawn[0], &byte, 1) == 1;
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    ::close(drawn[0]);
    ::kill(child, SIGTERM);
    ::waitpid(child, nullptr, 0);
    if (!firstFrame) {
        return std::nullopt;
    }
    return elapsed.count();
}

double medianMs(std::vector<double> seconds) {
    if (seconds.empty()) {
        return 0;
    }
    const auto middle = seconds.begin() + static_cast<std::ptrdiff_t>(seconds.size() / 2);
    std::nth_element(seconds.begin(), middle, seconds.end());
    return *middle * 1000.0;
}

// The iteration time is the card's (through its launcher); the counters carry the medians.
void BM_CardAgainstBareWindow(benchmark::State& state, const Display& display) {
    const CardFolder folder;
    std::vector<Program> programs = {
        {{folder.card.string()}},
        {{VELMORA_DIRECT_PLAYER, folder.card.string()}},
        {{VELMORA_BARE_QT_WINDOW}},
    };
    const char* baseline = std::getenv("VELMORA_BENCH_BASELINE_RUNTIME");
    if (baseline != nullptr && *baseline != '\0') {
        programs.push_back({{folder.card.string()}, baseline});
    }
    std::vector<std::vector<double>> times(programs.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < programs.size(); ++i) {
            const std::optional<double> seconds = startToFirstFrame(programs[i], folder, display);
            if (!seconds) {
                state.SkipWithError("no first frame within 30 s");
                return;
            }
            times[i].push_back(*seconds);
        }
        state.SetIterationTime(times[0].back());
    }
    const double card = medianMs(times[0]);
    const double bare = medianMs(times[2]);
    state.counters["card_ms"] = card;
    state.counters["direct_ms"] = medianMs(times[1]);
    state.counters["bare_ms"] = bare;
    state.counters["ratio"] = bare > 0 ? card / bare : 0;
    if (programs.size() > 3) {
        const double before = medianMs(times[3]);
        state.counters["baseline_ms"] = before;
        state.counters["baseline_ratio"] = bare > 0 ? before / bare : 0;
    }
}

void registerDisplays() {
    int rounds = 25;
    if (const char* n = std::getenv("VELMORA_BENCH_ROUNDS"); n != nullptr && std::atoi(n) > 0) {
        rounds = std::atoi(n);
    }
    std::vector<std::pair<std::string, Display>> displays = {{"offscreen", {"offscreen", {}}}};
    if (const char* x = std::getenv("VELMORA_BENCH_DISPLAY"); x != nullptr && *x != '\0') {
        displays.push_back({std::string("xcb") + x, {"xcb", x}});
    }
    for (const auto& [label, display] : displays) {
        benchmark::RegisterBenchmark(("BM_CardAgainstBareWindow/" + label).c_str(),
                                     BM_CardAgainstBareWindow, display)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(rounds);
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    registerDisplays();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
