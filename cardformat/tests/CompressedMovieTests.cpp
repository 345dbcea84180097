// Compressed movies as cards, their notes and headers, and the colour a movie's stage shows.
#include "TestFiles.h"

#include "cardformat/CardLayout.h"
#include "cardformat/GenerationNote.h"
#include "cardformat/MovieBody.h"
#include "cardformat/NoteTrailer.h"
#include "cardformat/SwfHeader.h"

#include <filesystem>

namespace cardformat::testing {
namespace {

const ReadOnlyQuestion answerNo = [](std::string_view, std::string_view) { return false; };

constexpr std::uint16_t FileAttributes = 69;
constexpr std::uint16_t Metadata = 77;
constexpr std::uint16_t SetBackgroundColor = 9;

class CompressedCardTest : public TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        templateBytes_.assign(MovieOffset, 0x5A);
        writeFile(path("Velmora.vmd"), templateBytes_);
    }
    CardOutcome make(const std::string& movie, const std::string& card) {
        CardNote note = makeGenerationNote("", "新年快乐");
        return makeCard(movie, card, note, "Velmora.vmd", answerNo, dir());
    }
    Bytes templateBytes_;
};

TEST_F(CompressedCardTest, ZlibAndLzmaMoviesAreCarriedInflatedWithTheNoteBehindThem) {
    // A movie long enough that the inflated body needs more than one piece of output.
    Bytes fws = movieWithTags({{Metadata, Bytes(200000, 'x')}, {SetBackgroundColor, {1, 2, 3}}});
    for (const auto& [name, compressed] : {std::pair{std::string("z.swf"), zlibMovie(fws)},
                                           std::pair{std::string("l.swf"), lzmaMovie(fws)}}) {
        SCOPED_TRACE(name);
        writeFile(path(name), compressed);
        ASSERT_EQ(make(path(name), path(name + ".exe")), CardOutcome::Made);
        // The user's file stays byte for byte as it was.
        EXPECT_EQ(readFile(path(name)), compressed);

        const Bytes card = readFile(path(name + ".exe"));
        ASSERT_GT(card.size(), MovieOffset + fws.size());
        EXPECT_EQ(Bytes(card.begin(), card.begin() + MovieOffset), templateBytes_);
        EXPECT_EQ(Bytes(card.begin() + MovieOffset, card.begin() + MovieOffset + fws.size()), fws);
        EXPECT_EQ(getNoteAt(path(name + ".exe"), MovieOffset, path(name)),
                  (CardNote{"Ferlo", "云杉小径", "云杉小径", "新年快乐", "1.0"}));
        EXPECT_EQ(getFlashHeaderAt(path(name + ".exe"), MovieOffset).Status, header_status::Read);

        // Extracted, it is the uncompressed movie with its note.
        const std::string extracted = Exe2Swf(path(name + ".exe"));
        const Bytes movie = readFile(extracted);
        EXPECT_EQ(Bytes(movie.begin(), movie.begin() + fws.size()), fws);
        EXPECT_EQ(getNote(extracted).Blessing, "新年快乐");
        std::filesystem::remove(extracted);
    }
}

TEST_F(CompressedCardTest, ANoteInsideTheCompressedStreamGivesWayToTheNewOne) {
    Bytes fws = smallMovie();
    const Bytes old = encodeNoteTrailer({"a", "p", "t", "旧的祝福", "v"});
    fws.insert(fws.end(), old.begin(), old.end());
    writeFile(path("n.swf"), zlibMovie(fws));
    // The builder shows the note the compressed movie carries.
    EXPECT_EQ(getMovieNote(path("n.swf")).Blessing, "旧的祝福");
    EXPECT_EQ(getNote(path("n.swf")).Blessing, NoteNotSwf); // the classic reader: unchanged
    ASSERT_EQ(make(path("n.swf"), path("n.exe")), CardOutcome::Made);
    EXPECT_EQ(getNoteAt(path("n.exe"), MovieOffset, path("n.swf")).Blessing, "新年快乐");
}

TEST_F(CompressedCardTest, AMovieThatDoesNotInflateIsRefusedWithNothingTouched) {
    const Bytes whole = zlibMovie(movieWithTags({{Metadata, Bytes(5000, 'y')}}));
    const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2));
    Bytes lying = lzmaMovie(smallMovie());
    writeInt32LE(&lying[4], 1 << 20); // claims far more than its body holds
    writeFile(path("old.exe"), Bytes(10, 1));
    for (const auto& [name, bytes] :
         {std::pair{std::string("cut.swf"), cut}, std::pair{std::string("lying.swf"), lying}}) {
        SCOPED_TRACE(name);
        writeFile(path(name), bytes);
        EXPECT_EQ(make(path(name), path("old.exe")), CardOutcome::MovieDoesNotInflate);
        EXPECT_EQ(readFile(path(name)), bytes);
        EXPECT_EQ(readFile(path("old.exe")), Bytes(10, 1));
        EXPECT_EQ(getMovieNote(path(name)).Blessing, NoteNotSwf);
    }
    EXPECT_EQ(logText(), "");
}

TEST_F(CompressedCardTest, EachRefusalSaysWhyAndKeepsAnEarlierCard) {
    writeFile(path("m.swf"), smallMovie());
    writeFile(path("text.swf"), bytesOf("hello, not a movie"));
    writeFile(path("old.exe"), Bytes(10, 1));
    EXPECT_EQ(make(path("none.swf"), path("old.exe")), CardOutcome::MovieMissing);
    EXPECT_EQ(make(path("text.swf"), path("old.exe")), CardOutcome::NotAMovie);
    EXPECT_EQ(make(path("m.swf"), path("no such folder/c.exe")), CardOutcome::CardFolderMissing);
    EXPECT_EQ(make(path("m.swf"), path("m.swf")), CardOutcome::CardIsSource);
    EXPECT_EQ(make(path("m.swf"), path("Velmora.vmd")), CardOutcome::CardIsSource);
    std::filesystem::remove(path("Velmora.vmd"));
    EXPECT_EQ(make(path("m.swf"), path("old.exe")), CardOutcome::TemplateMissing);
    EXPECT_EQ(readFile(path("old.exe")), Bytes(10, 1));
    EXPECT_EQ(readFile(path("m.swf")), smallMovie()); // no note written on the way
    EXPECT_NE(logText().find("Swf2Exe() 发生错误： \r\n\t53"), std::string::npos);
}

TEST_F(CompressedCardTest, PlayedHeaderReadsCompressedMoviesAndTheRealBackground) {
    // Version 8 and later: file attributes come first, so the bytes after the first tag are
    // no colour at all.
    const Bytes fws = movieWithTags({{FileAttributes, {0x08, 0, 0, 0}},
                                     {Metadata, bytesOf("<rdf/>")},
                                     {SetBackgroundColor, {0x10, 0x20, 0x30}}});
    writeFile(path("fws.swf"), fws);
    writeFile(path("cws.swf"), zlibMovie(fws));
    writeFile(path("zws.swf"), lzmaMovie(fws));
    const FlashHeader classic = getFlashHeader(path("fws.swf"));
    // The classic reader keeps its answer: the three bytes after the first tag's header.
    EXPECT_EQ(classic.BackRed, fws[21 + 2]);
    EXPECT_EQ(classic.BackGreen, fws[21 + 3]);
    EXPECT_EQ(classic.BackBlue, fws[21 + 4]);
    EXPECT_NE(classic.BackRed, 0x10);
    for (const char* name : {"fws.swf", "cws.swf", "zws.swf"}) {
        SCOPED_TRACE(name);
        const PlayedHeader played = getPlayedHeader(path(name));
        EXPECT_EQ(played.header.Status, header_status::Read);
        EXPECT_EQ(played.header.Width, 550);
        EXPECT_EQ(played.header.Height, 400);
        EXPECT_EQ(played.header.FrameCount, 1);
        EXPECT_EQ(played.background, 0x102030u);
    }
    EXPECT_EQ(getFlashHeader(path("cws.swf")).Status, header_status::NotFlash);
    EXPECT_EQ(getPlayedHeader(path("none.swf")).header.Status, header_status::Missing);
    writeFile(path("text.swf"), bytesOf("plain text, no movie"));
    EXPECT_EQ(getPlayedHeader(path("text.swf")).header.Status, header_status::NotFlash);
}

TEST(FirstFrameBackground, OnlyTheFirstFramesColourTagCountsAndWhiteWithoutOne) {
    EXPECT_EQ(firstFrameBackground(smallMovie()), 0xFFFFFFu);
    EXPECT_EQ(firstFrameBackground(movieWithTags({{SetBackgroundColor, {0, 0, 0}}})), 0u);
    EXPECT_EQ(firstFrameBackground(movieWithTags({{FileAttributes, {0, 0, 0, 0}}})), 0xFFFFFFu);
    // A colour tag behind the first show-frame tag belongs to a later frame.
    Bytes later = movieWithTags({});
    later.resize(later.size() - 2); // drop the end tag
    const Bytes rest = {0x43, 0x02, 0x11, 0x22, 0x33, 0x40, 0x00, 0x00, 0x00};
    later.insert(later.end(), rest.begin(), rest.end());
    EXPECT_EQ(firstFrameBackground(later), 0xFFFFFFu);
    // Tags that run past the bytes given, and colour tags too short to hold a colour.
    Bytes cut = movieWithTags({{Metadata, Bytes(100, 'm')}, {SetBackgroundColor, {1, 2, 3}}});
    cut.resize(40);
    EXPECT_EQ(firstFrameBackground(cut), 0xFFFFFFu);
    EXPECT_EQ(firstFrameBackground(movieWithTags({{SetBackgroundColor, {1, 2}}})), 0xFFFFFFu);
    EXPECT_EQ(firstFrameBackground(Bytes{'F', 'W', 'S'}), 0xFFFFFFu);
}

} // namespace
} // namespace cardformat::testing
