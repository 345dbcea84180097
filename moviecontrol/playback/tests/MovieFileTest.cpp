#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "MovieFile.h"

namespace mc {
namespace {

namespace fs = std::filesystem;

class MovieFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("movie-file-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string write(const std::string& name, const std::string& text) {
        const fs::path path = folder / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    fs::path folder;
};

TEST_F(MovieFileTest, ReadsRegularFilesUpToTheLimitAndNothingElse) {
    const std::string path = write("movie.swf", "0123456789");
    EXPECT_EQ(readRegularFile(path, 100).size(), 10u);
    EXPECT_EQ(readRegularFile(path, 4), (std::vector<std::uint8_t>{'0', '1', '2', '3'}));
    EXPECT_TRUE(readRegularFile(path, 0).empty());
    EXPECT_TRUE(readRegularFile((folder / "missing.swf").string(), 100).empty());
    EXPECT_TRUE(readRegularFile(folder.string(), 100).empty());
    // A pipe nobody writes to would block a reader for ever.
    const fs::path pipe = folder / "pipe.swf";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_TRUE(readRegularFile(pipe.string(), 100).empty());
}

} // namespace
} // namespace mc
