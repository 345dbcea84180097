// Every movie of the shared rendering corpus loads, with no complaint about records that
// the file writes correctly.
#include "swf/Geometry.h"
#include "swf/Movie.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;
using namespace swf;

namespace {

fs::path sharedDir() {
    if (const char* shared = std::getenv("VELMORA_SHARED_DIR")) {
        return shared;
    }
    const char* source = std::getenv("VELMORA_SOURCE_DIR");
    return fs::path(source ? source : ".") / ".." / "shared";
}

std::vector<std::uint8_t> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const char* issueName(Issue issue) {
    switch (issue) {
    case Issue::BodyShorterThanDeclared:
        return "BodyShorterThanDeclared";
    case Issue::CompressedDataCorrupt:
        return "CompressedDataCorrupt";
    case Issue::SizeCapReached:
        return "SizeCapReached";
    case Issue::TagTruncated:
        return "TagTruncated";
    case Issue::RecordOverrun:
        return "RecordOverrun";
    case Issue::InvalidRecord:
        return "InvalidRecord";
    case Issue::WorkLimitReached:
        return "WorkLimitReached";
    case Issue::DuplicateCharacter:
        return "DuplicateCharacter";
    case Issue::IgnoredInSprite:
        return "IgnoredInSprite";
    case Issue::MissingEnd:
        return "MissingEnd";
    }
    return "?";
}

// Issues that mean this reader misunderstood a record, as opposed to a file that ends early.
bool isReadingFault(Issue issue) {
    return issue == Issue::RecordOverrun || issue == Issue::InvalidRecord ||
           issue == Issue::WorkLimitReached || issue == Issue::CompressedDataCorrupt;
}

} // namespace

TEST(Corpus, EveryMovieLoadsWithoutReadingFaults) {
    const fs::path cases = sharedDir() / "swf-corpus" / "cases";
    if (!fs::is_directory(cases)) {
        GTEST_SKIP() << "no corpus at " << cases;
    }
    std::size_t loaded = 0;
    for (const auto& entry : fs::directory_iterator(cases)) {
        const fs::path file = entry.path() / "test.swf";
        if (!fs::is_regular_file(file)) {
            continue;
        }
        SCOPED_TRACE(entry.path().filename().string());
        const auto bytes = readFile(file);
        const LoadResult result = loadMovie(bytes);
        ASSERT_TRUE(result.ok());
        const Movie& movie = *result.movie;
        std::ostringstream issues;
        for (const Diagnostic& d : movie.diagnostics) {
            if (isReadingFault(d.issue)) {
                issues << issueName(d.issue) << " in tag " << d.tagCode << " at " << d.offset
                       << "; ";
            }
        }
        EXPECT_TRUE(issues.str().empty()) << issues.str();
        EXPECT_FALSE(movie.root.frames.empty());
        EXPECT_GT(movie.header.frameRect.width(), 0);
        for (const auto& [id, definition] : movie.dictionary) {
            if (const auto* shape = std::get_if<Shape>(&definition)) {
                const ShapeDrawing drawing = buildDrawing(*shape);
                EXPECT_FALSE(drawing.layers.empty()) << "shape " << id;
            }
        }
        ++loaded;
    }
    EXPECT_GT(loaded, 50u);
}
