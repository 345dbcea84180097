#include "TestFiles.h"

#include <lzma.h>
#include <zlib.h>

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

Bytes zlibMovie(const Bytes& fws) {
    uLongf length = compressBound(static_cast<uLong>(fws.size() - 8));
    Bytes body(length);
    EXPECT_EQ(
        compress2(body.data(), &length, fws.data() + 8, static_cast<uLong>(fws.size() - 8), 9),
        Z_OK);
    Bytes movie(fws.begin(), fws.begin() + 8);
    movie[0] = 'C';
    movie.insert(movie.end(), body.begin(), body.begin() + static_cast<std::ptrdiff_t>(length));
    return movie;
}

Bytes lzmaMovie(const Bytes& fws) {
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    lzma_stream zs = LZMA_STREAM_INIT;
    EXPECT_EQ(lzma_alone_encoder(&zs, &options), LZMA_OK);
    Bytes encoded(fws.size() + 1024);
    zs.next_in = fws.data() + 8;
    zs.avail_in = fws.size() - 8;
    zs.next_out = encoded.data();
    zs.avail_out = encoded.size();
    while (lzma_code(&zs, LZMA_FINISH) == LZMA_OK) {
    }
    encoded.resize(encoded.size() - zs.avail_out);
    lzma_end(&zs);
    // The .lzma header is five bytes of properties and an eight-byte size; the movie keeps
    // the properties behind its own header and a four-byte compressed length.
    Bytes movie(fws.begin(), fws.begin() + 8);
    movie[0] = 'Z';
    const std::size_t compressed = encoded.size() - 13;
    for (int i = 0; i < 4; ++i) {
        movie.push_back(static_cast<std::uint8_t>(compressed >> (8 * i)));
    }
    movie.insert(movie.end(), encoded.begin(), encoded.begin() + 5);
    movie.insert(movie.end(), encoded.begin() + 13, encoded.end());
    return movie;
}

Bytes movieWithTags(const std::vector<std::pair<std::uint16_t, Bytes>>& tags,
                    std::uint8_t version) {
    Bytes movie = smallMovie();
    movie[3] = version;
    movie.resize(21); // header up to the frame count
    for (const auto& [code, body] : tags) {
        // Long tag headers throughout: the reader must take them as well as short ones.
        const auto codeAndLength = static_cast<std::uint16_t>((code << 6) | 0x3F);
        movie.push_back(static_cast<std::uint8_t>(codeAndLength));
        movie.push_back(static_cast<std::uint8_t>(codeAndLength >> 8));
        for (int i = 0; i < 4; ++i) {
            movie.push_back(static_cast<std::uint8_t>(body.size() >> (8 * i)));
        }
        movie.insert(movie.end(), body.begin(), body.end());
    }
    const Bytes end = {0x40, 0x00, 0x00, 0x00};
    movie.insert(movie.end(), end.begin(), end.end());
    writeInt32LE(&movie[4], static_cast<std::int32_t>(movie.size()));
    return movie;
}

} // namespace cardformat::testing
