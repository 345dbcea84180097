#include "TestFiles.h"

#include "cardformat/SwfHeader.h"

#include <filesystem>

namespace cardformat::testing {
namespace {

class SwfHeaderTest : public TempDirTest {
  protected:
    FlashHeader headerOf(const Bytes& bytes) {
        writeFile(path("m.swf"), bytes);
        return getFlashHeader(path("m.swf"));
    }
};

// Nbits 15 and the given rectangle in twips, packed most significant bit first.
Bytes movieWithRect(std::uint32_t xmin, std::uint32_t xmax, std::uint32_t ymin, std::uint32_t ymax,
                    unsigned nbits = 15) {
    std::vector<bool> bits;
    const auto put = [&](std::uint32_t value, unsigned width) {
        for (unsigned i = width; i-- > 0;) {
            bits.push_back(((value >> i) & 1u) != 0);
        }
    };
    put(nbits, 5);
    put(xmin, nbits);
    put(xmax, nbits);
    put(ymin, nbits);
    put(ymax, nbits);
    Bytes movie = {'F', 'W', 'S', 8, 100, 0, 0, 0};
    Bytes rect((bits.size() + 7) / 8, 0);
    for (std::size_t i = 0; i < bits.size(); ++i) {
        if (bits[i]) {
            rect[i / 8] |= static_cast<std::uint8_t>(0x80u >> (i % 8));
        }
    }
    movie.insert(movie.end(), rect.begin(), rect.end());
    const Bytes rest = {0x00, 0x18, 0x02, 0x00, 0x43, 0x02, 0x10, 0x20, 0x30, 0x40, 0x00, 0, 0};
    movie.insert(movie.end(), rest.begin(), rest.end());
    return movie;
}

TEST_F(SwfHeaderTest, ReadsTheWorkedExample) {
    Bytes movie = smallMovie();
    writeInt32LE(&movie[4], 1234);
    // Status, Height, Width, red, green, blue, frames, declared length, rate, version.
    EXPECT_EQ(headerOf(movie), (FlashHeader{1, 400, 550, 255, 255, 255, 1, 1234, 12, 6}));
    EXPECT_EQ(logText(), "");
}

TEST_F(SwfHeaderTest, RectangleFields) {
    // Xmin and Ymin do not matter; widths truncate toward zero.
    FlashHeader h = headerOf(movieWithRect(2000, 11019, 3000, 8039));
    EXPECT_EQ(h, (FlashHeader{1, 401, 550, 0x10, 0x20, 0x30, 2, 100, 24, 8}));

    // Nbits 0: an empty rectangle is still a header.
    h = headerOf(movieWithRect(0, 0, 0, 0, 0));
    EXPECT_EQ(h.Status, 1);
    EXPECT_EQ(h.Width, 0);
    EXPECT_EQ(h.Height, 0);

    // The top bit of a field is a value bit, not a sign.
    h = headerOf(movieWithRect(0, 0x7FFFFFFF, 0, 0x40000000, 31));
    EXPECT_EQ(h.Status, 1);
    EXPECT_EQ(h.Width, 0x7FFFFFFF / 20);
    EXPECT_EQ(h.Height, 0x40000000 / 20);
}

TEST_F(SwfHeaderTest, ColourAndRateAreReadWhateverTheTagsAre) {
    Bytes movie = smallMovie();
    movie[17] = 0x80; // 12.5 frames per second
    movie[21] = 0x40; // a show-frame tag where the background tag usually is
    movie[22] = 0x00;
    const FlashHeader h = headerOf(movie);
    EXPECT_EQ(h.Status, 1);
    EXPECT_EQ(h.FrameRate, 12);
    EXPECT_EQ(h.BackRed, 255);
}

TEST_F(SwfHeaderTest, StatusForMissingForeignAndBrokenFiles) {
    EXPECT_EQ(getFlashHeader(path("none.swf")).Status, -1);
    std::filesystem::create_directory(path("folder.swf"));
    EXPECT_EQ(getFlashHeader(path("folder.swf")).Status, -1);

    Bytes compressed = smallMovie();
    compressed[0] = 'C';
    EXPECT_EQ(headerOf(compressed).Status, 0);
    EXPECT_EQ(headerOf({}).Status, 0);
    EXPECT_EQ(headerOf(bytesOf("FW")).Status, 0);
    EXPECT_EQ(logText(), "");

    // A header cut off before its last colour byte is a failure, and is logged.
    Bytes cut = smallMovie();
    cut.resize(25);
    const FlashHeader h = headerOf(cut);
    EXPECT_EQ(h, (FlashHeader{2, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_NE(logText().find("getFlashHeader 发生错误： \r\n\t62输入超出文件尾\r\n"),
              std::string::npos);
    EXPECT_EQ(headerOf(bytesOf("FWS")).Status, 2);
}

TEST_F(SwfHeaderTest, ReadsAMovieInsideACard) {
    Bytes card(100, 0xEE);
    const Bytes movie = smallMovie();
    card.insert(card.end(), movie.begin(), movie.end());
    writeFile(path("card"), card);
    const FlashHeader h = getFlashHeaderAt(path("card"), 100);
    EXPECT_EQ(h.Status, 1);
    EXPECT_EQ(h.Width, 550);
    EXPECT_EQ(getFlashHeaderAt(path("card"), 99).Status, 0);
}

TEST_F(SwfHeaderTest, BinaryTextConversions) {
    EXPECT_EQ(Dec2Bin(5), "00000101");
    EXPECT_EQ(Dec2Bin(0), "00000000");
    EXPECT_EQ(Dec2Bin(255), "11111111");
    EXPECT_EQ(Bin2Dec(""), 0);
    EXPECT_EQ(Bin2Dec("00101"), 5);
    EXPECT_EQ(Bin2Dec("1111111111111111111111111111111"), 0x7FFFFFFF);
    EXPECT_EQ(logText(), "");

    EXPECT_EQ(Bin2Dec("10x1"), -1);
    EXPECT_NE(logText().find("Bin2Dec 发生错误："), std::string::npos);
    EXPECT_EQ(Bin2Dec(std::string(32, '1')), -1);
    EXPECT_EQ(Dec2Bin(256), "0");
    EXPECT_EQ(Dec2Bin(-1), "0");
    EXPECT_NE(logText().find("Dec2Bin 发生错误："), std::string::npos);
}

} // namespace
} // namespace cardformat::testing
