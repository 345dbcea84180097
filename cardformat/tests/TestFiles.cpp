#include "TestFiles.h"

#include "cardformat/ErrorLog.h"
#include "cardformat/TextCodec.h"

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace cardformat::testing {

void TempDirTest::SetUp() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "cardformat-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    ErrorLog::configure("Test.log", dir_);
}

void TempDirTest::TearDown() {
    std::error_code ignored;
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(dir_, ignored);
}

std::string TempDirTest::logText() const {
    std::ifstream in(path("Test.log"), std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return fromAnsi(raw);
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

std::uint32_t permissionBits(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

Bytes smallMovie(std::int32_t declaredExtra) {
    Bytes movie = {'F',  'W',  'S',  6,    0,    0,    0,    0,    0x78,
                   0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00, // frame rectangle
                   0x00, 0x0C,                                     // 12 fps
                   0x01, 0x00,                                     // one frame
                   0x43, 0x02, 0xFF, 0xFF, 0xFF,                   // background white
                   0x40, 0x00,                                     // show frame
                   0x00, 0x00};                                    // end
    writeInt32LE(&movie[4], static_cast<std::int32_t>(movie.size()) + declaredExtra);
    return movie;
}

} // namespace cardformat::testing
