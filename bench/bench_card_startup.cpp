// A card's start, from the process start to the first frame of its movie on screen
// (offscreen), through the launcher and the runtime library, beside the same player linked
// into one program as cards carried it before the launcher.
#include "cardformat/CardLayout.h"
#include "cardformat/ErrorLog.h"
#include "cardformat/GenerationNote.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <filesystem>
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
};

// Starts `argv`, waits for its first frame, ends it; the seconds to the first frame, or a
// negative number when none came.
double startToFirstFrame(const std::vector<std::string>& arguments, const CardFolder& folder) {
    int drawn[2];
    if (::pipe(drawn) != 0) {
        return -1;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(drawn[0]);
        ::setenv("VELMORA_FIRST_FRAME_FD", std::to_string(drawn[1]).c_str(), 1);
        ::setenv("VELMORA_RUNTIME", VELMORA_BIN_DIR "/libvelmora-runtime.so.1", 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("TMPDIR", (folder.dir / "tmp").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", (folder.dir / "runtime").c_str(), 1);
        std::vector<char*> argv;
        for (const std::string& argument : arguments) {
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
    return firstFrame ? elapsed.count() : -1;
}

void run(benchmark::State& state, const std::vector<std::string>& arguments,
         const CardFolder& folder) {
    for (auto _ : state) {
        const double seconds = startToFirstFrame(arguments, folder);
        if (seconds < 0) {
            state.SkipWithError("no first frame within 30 s");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

void BM_CardStartThroughLauncher(benchmark::State& state) {
    const CardFolder folder;
    run(state, {folder.card.string()}, folder);
}

void BM_CardStartDirectlyLinked(benchmark::State& state) {
    const CardFolder folder;
    run(state, {VELMORA_DIRECT_PLAYER, folder.card.string()}, folder);
}

// A bare Qt window's start on the same machine: a card should take at most half as long again.
void BM_BareQtWindowStart(benchmark::State& state) {
    const CardFolder folder;
    run(state, {VELMORA_BARE_QT_WINDOW}, folder);
}

// Run with --benchmark_enable_random_interleaving=true so that both see the same machine load.
BENCHMARK(BM_CardStartThroughLauncher)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(15)
    ->Repetitions(2);
BENCHMARK(BM_CardStartDirectlyLinked)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(15)
    ->Repetitions(2);
BENCHMARK(BM_BareQtWindowStart)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(15)
    ->Repetitions(2);

} // namespace

BENCHMARK_MAIN();
