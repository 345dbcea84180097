// Making a card from a large movie, beside a plain copy of the same bytes: the card costs a
// note rewrite of the movie (read, write beside, rename) and the card write itself.
#include "cardformat/CardLayout.h"
#include "cardformat/ErrorLog.h"
#include "cardformat/FileIO.h"
#include "cardformat/GenerationNote.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

struct Workspace {
    fs::path dir;
    std::size_t movieSize = 0;
    explicit Workspace(std::size_t megabytes) : movieSize(megabytes << 20) {
        dir = fs::temp_directory_path() / ("bench_make_card_" + std::to_string(::getpid()));
        fs::create_directories(dir);
        cardformat::ErrorLog::configure("bench.log", dir.string());
        cardformat::Bytes movie(movieSize, 0x5A);
        const std::uint8_t header[] = {'F', 'W', 'S', 6};
        std::copy(std::begin(header), std::end(header), movie.begin());
        cardformat::writeInt32LE(&movie[4], static_cast<std::int32_t>(movieSize));
        write(dir / "movie.swf", movie);
        write(dir / "Velmora.vmd", cardformat::Bytes(cardformat::MovieOffset, 0x90));
    }
    ~Workspace() { fs::remove_all(dir); }
    static void write(const fs::path& path, const cardformat::Bytes& bytes) {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
};

void BM_MakeCard(benchmark::State& state) {
    const Workspace ws(static_cast<std::size_t>(state.range(0)));
    const auto ask = [](std::string_view, std::string_view) { return true; };
    for (auto _ : state) {
        cardformat::CardNote note = cardformat::makeGenerationNote("", "祝你快乐");
        const int made =
            cardformat::Swf2Exe((ws.dir / "movie.swf").string(), (ws.dir / "card.exe").string(),
                                note, "Velmora.vmd", ask, ws.dir.string());
        if (made != 1) {
            state.SkipWithError("Swf2Exe failed");
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(ws.movieSize));
}

void BM_PlainCopy(benchmark::State& state) {
    const Workspace ws(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        const cardformat::Bytes bytes = cardformat::readWholeFile((ws.dir / "movie.swf").string());
        cardformat::replaceFileContent((ws.dir / "copy.swf").string(), bytes, 0644);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(ws.movieSize));
}

BENCHMARK(BM_MakeCard)->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainCopy)->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
