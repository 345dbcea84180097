// Runs the trace corpus' script-only movies (no clips placed on the stage) through the
// machine with a bare rootClip clip, and compares the trace lines with what Flash printed.
// Skips without the corpus. Cases that place clips need the stage and are left to it.

#include "FakeStage.h"

#include "swf/Movie.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace avm1test {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string normalise(std::string text) {
    std::erase(text, '\r');
    while (!text.empty() && (text.back() == '\n')) {
        text.pop_back();
    }
    return text;
}

struct Case {
    std::string name;
    int frames = 1;
};

std::vector<Case> manifest(const fs::path& dir) {
    std::vector<Case> out;
    std::istringstream in(readFile(dir / "manifest.tsv"));
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::vector<std::string> cols;
        std::stringstream ls(line);
        std::string col;
        while (std::getline(ls, col, '\t')) {
            cols.push_back(col);
        }
        if (cols.size() < 3 || (cols.size() > 4 && !cols[4].empty())) {
            continue;
        }
        out.push_back({cols[0], std::stoi(cols[2])});
    }
    return out;
}

// True when the rootClip timeline only runs scripts: nothing is placed on the stage.
bool scriptOnly(const swf::Movie& movie) {
    bool anyScript = false;
    for (const auto& frame : movie.root.frames) {
        for (const auto& tag : frame.tags) {
            if (std::holds_alternative<swf::PlaceObject>(tag)) {
                return false;
            }
            if (std::holds_alternative<swf::DoAction>(tag) ||
                std::holds_alternative<swf::DoInitAction>(tag)) {
                anyScript = true;
            }
        }
    }
    return anyScript;
}

std::string play(const swf::Movie& movie, int frames) {
    FakeStage stage(movie.header.version);
    stage.rootClip->totalFrames = static_cast<std::uint32_t>(movie.root.frames.size());
    std::string out;
    for (int f = 0; f < frames && f < static_cast<int>(movie.root.frames.size()); ++f) {
        stage.vm.beginFrame();
        const auto& tags = movie.root.frames[static_cast<std::size_t>(f)].tags;
        for (const auto& tag : tags) {
            if (const auto* init = std::get_if<swf::DoInitAction>(&tag)) {
                stage.vm.runBlock(avm1::Code{nullptr, init->actions.bytes}, stage.rootClip);
            }
        }
        for (const auto& tag : tags) {
            if (const auto* action = std::get_if<swf::DoAction>(&tag)) {
                stage.vm.runBlock(avm1::Code{nullptr, action->actions.bytes}, stage.rootClip);
            }
        }
        stage.clock += 1000.0 / std::max(1.0, movie.header.frameRate());
        stage.vm.tickTimers(stage.clock);
        stage.vm.collectGarbage();
        for (const auto& line : stage.takeLines()) {
            out += line + "\n";
        }
    }
    return out;
}

TEST(TraceCorpus, ScriptOnlyMoviesPrintWhatFlashPrinted) {
    fs::path dir = fs::path(std::getenv("VELMORA_SOURCE_DIR")) / "../shared/avm1-traces/cases";
    if (!fs::exists(dir / "manifest.tsv")) {
        GTEST_SKIP() << "no trace corpus beside the project";
    }
    int total = 0, passed = 0;
    std::string failures;
    const char* only = std::getenv("AVM1_CORPUS_CASE");
    for (const Case& c : manifest(dir)) {
        if (only && c.name != only) {
            continue;
        }
        std::string bytes = readFile(dir / c.name / "test.swf");
        auto result = swf::loadMovie(
            std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
        if (!result.movie || !scriptOnly(*result.movie)) {
            continue;
        }
        ++total;
        std::string got = normalise(play(*result.movie, c.frames));
        std::string want = normalise(readFile(dir / c.name / "output.txt"));
        if (only) {
            std::ofstream(fs::temp_directory_path() / "avm1-corpus-got.txt") << got << "\n";
        }
        if (got == want) {
            ++passed;
        } else {
            failures += " " + c.name;
        }
    }
    std::cout << "script-only corpus cases: " << passed << "/" << total << " pass\n";
    if (std::getenv("AVM1_CORPUS_VERBOSE")) {
        std::cout << "failing:" << failures << "\n";
    }
    EXPECT_GT(total, 0);
}

} // namespace
} // namespace avm1test
