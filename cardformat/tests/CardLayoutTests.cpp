#include "TestFiles.h"

#include "cardformat/CardLayout.h"
#include "cardformat/GenerationNote.h"
#include "cardformat/NoteTrailer.h"
#include "cardformat/SwfHeader.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/inotify.h>
#include <unistd.h>

namespace cardformat::testing {
namespace {

const ReadOnlyQuestion answerNo = [](std::string_view, std::string_view) { return false; };

class CardTest : public TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        templateBytes_.resize(MovieOffset);
        for (std::size_t i = 0; i < templateBytes_.size(); ++i) {
            templateBytes_[i] = static_cast<std::uint8_t>(i * 7);
        }
        writeFile(path("Velmora.vmd"), templateBytes_);
        writeFile(path("hello.swf"), smallMovie());
    }
    int make(const std::string& card, CardNote note = makeGenerationNote("pw", "祝福")) {
        return Swf2Exe(path("hello.swf"), card, note, "Velmora.vmd", answerNo, dir());
    }
    Bytes templateBytes_;
};

TEST_F(CardTest, CardIsTemplateThenMovieWithNote) {
    CardNote note = makeGenerationNote("", "新年好");
    ASSERT_EQ(make(path("hello.exe"), note), 1);
    const Bytes card = readFile(path("hello.exe"));
    const Bytes movie = readFile(path("hello.swf"));
    ASSERT_EQ(card.size(), MovieOffset + movie.size());
    EXPECT_EQ(Bytes(card.begin(), card.begin() + MovieOffset), templateBytes_);
    EXPECT_EQ(Bytes(card.begin() + MovieOffset, card.end()), movie);
    EXPECT_EQ(getNote(path("hello.swf")),
              (CardNote{"Ferlo", "云杉小径", "云杉小径", "新年好", "1.0"}));
    // Cards are programs: the executable bits are set (as far as the umask lets them).
    EXPECT_NE(permissionBits(path("hello.exe")) & 0100u, 0u);

    const std::string extracted = Exe2Swf(path("hello.exe"));
    EXPECT_EQ(readFile(extracted), movie);
    EXPECT_EQ(getFlashHeader(extracted).Width, 550);
    std::filesystem::remove(extracted);
}

TEST_F(CardTest, GenerationReplacesAnEarlierCard) {
    writeFile(path("old.exe"), Bytes(500000, 1));
    ASSERT_EQ(make(path("old.exe")), 1);
    EXPECT_EQ(readFile(path("old.exe")).size(), MovieOffset + readFile(path("hello.swf")).size());
    ASSERT_EQ(make(path("old.exe")), 1); // twice in a row works too
}

TEST_F(CardTest, CardPathNamingItsSourceIsRefused) {
    const Bytes movie = readFile(path("hello.swf"));
    EXPECT_EQ(make(path("hello.swf")), 0);
    EXPECT_EQ(readFile(path("hello.swf")), movie);
    std::filesystem::create_symlink(path("Velmora.vmd"), path("alias.exe"));
    EXPECT_EQ(make(path("alias.exe")), 0);
    EXPECT_EQ(readFile(path("Velmora.vmd")), templateBytes_);
    EXPECT_EQ(readFile(path("hello.swf")), movie); // nothing touched, not even the note
    EXPECT_NE(logText().find("Swf2Exe() 发生错误： \r\n\t75路径/文件访问错误\r\n"),
              std::string::npos);
}

TEST_F(CardTest, FailuresGiveZero) {
    CardNote note = makeGenerationNote("", "");
    EXPECT_EQ(Swf2Exe(path("none.swf"), path("x.exe"), note, "Velmora.vmd", answerNo, dir()), 0);
    EXPECT_EQ(logText(), "");

    // A missing template: logged, and the earlier card is kept.
    writeFile(path("old.exe"), Bytes(10, 1));
    EXPECT_EQ(Swf2Exe(path("hello.swf"), path("old.exe"), note, "nothing.vmd", answerNo, dir()), 0);
    EXPECT_EQ(readFile(path("old.exe")), Bytes(10, 1));
    EXPECT_NE(logText().find("Swf2Exe() 发生错误： \r\n\t53文件未找到"), std::string::npos);

    writeFile(path("empty.vmd"), {});
    EXPECT_EQ(Swf2Exe(path("hello.swf"), path("a.exe"), note, "empty.vmd", answerNo, dir()), 0);
    // A card path that cannot be created.
    EXPECT_EQ(make(path("no/such/folder/a.exe")), 0);
    std::filesystem::create_directory(path("adir.exe"));
    EXPECT_EQ(make(path("adir.exe")), 0);
    EXPECT_TRUE(std::filesystem::is_directory(path("adir.exe")));
    // A "compressed" movie that does not inflate: refused quietly.
    Bytes compressed = smallMovie();
    compressed[0] = 'C';
    writeFile(path("c.swf"), compressed);
    const std::size_t logLength = logText().size();
    EXPECT_EQ(Swf2Exe(path("c.swf"), path("c.exe"), note, "Velmora.vmd", answerNo, dir()), 0);
    EXPECT_EQ(logText().size(), logLength);
}

TEST_F(CardTest, ExtractionNeedsAMovieAtTheOffset) {
    EXPECT_EQ(Exe2Swf(path("Velmora.vmd")), "0"); // the bare template
    Bytes card = templateBytes_;
    card.insert(card.end(), {'F', 'W'});
    writeFile(path("short.exe"), card);
    EXPECT_EQ(Exe2Swf(path("short.exe")), "0");
    card.back() = 'X';
    card.insert(card.end(), 1000, 0);
    writeFile(path("other.exe"), card);
    EXPECT_EQ(Exe2Swf(path("other.exe")), "0");
    writeFile(path("tiny.exe"), bytesOf("FWS"));
    EXPECT_EQ(Exe2Swf(path("tiny.exe")), "0");
    EXPECT_THROW(Exe2Swf(path("missing.exe")), CardError);
}

TEST_F(CardTest, ExtractedMoviesAreFreshPrivateTemporaryFiles) {
    ASSERT_EQ(make(path("hello.exe")), 1);
    const std::string tmp = path("tmp");
    std::filesystem::create_directory(tmp);
    const char* saved = std::getenv("TMPDIR");
    const std::string savedValue = saved ? saved : "";
    ::setenv("TMPDIR", tmp.c_str(), 1);
    const std::string first = Exe2Swf(path("hello.exe"));
    const std::string second = Exe2Swf(path("hello.exe"));
    saved ? ::setenv("TMPDIR", savedValue.c_str(), 1) : ::unsetenv("TMPDIR");

    EXPECT_NE(first, second);
    for (const std::string& extracted : {first, second}) {
        EXPECT_EQ(extracted.rfind(tmp + "/", 0), 0u) << extracted;
        EXPECT_FALSE(extracted.ends_with(".swf"));
        EXPECT_EQ(permissionBits(extracted), 0600u);
        EXPECT_EQ(readFile(extracted), readFile(path("hello.swf")));
    }

    ::setenv("TMPDIR", path("no-such-folder").c_str(), 1);
    EXPECT_THROW(Exe2Swf(path("hello.exe")), CardError);
    saved ? ::setenv("TMPDIR", savedValue.c_str(), 1) : ::unsetenv("TMPDIR");
}

// The copy's name appears only with the whole movie behind it: whatever lists the folder
// while a card starts (another start, a person, a test) never opens a half-written movie.
TEST_F(CardTest, TheExtractedMovieIsNeverWrittenUnderItsName) {
    ASSERT_EQ(make(path("hello.exe")), 1);
    const std::string tmp = path("tmp");
    std::filesystem::create_directory(tmp);
    if (const int probe = ::open(tmp.c_str(), O_TMPFILE | O_WRONLY, 0600); probe >= 0) {
        ::close(probe);
    } else {
        GTEST_SKIP() << "the test folder's file system keeps no unnamed files";
    }
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, tmp.c_str(), IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE), 0);
    const char* saved = std::getenv("TMPDIR");
    const std::string savedValue = saved ? saved : "";
    ::setenv("TMPDIR", tmp.c_str(), 1);
    const std::string extracted = Exe2Swf(path("hello.exe"));
    saved ? ::setenv("TMPDIR", savedValue.c_str(), 1) : ::unsetenv("TMPDIR");
    EXPECT_EQ(readFile(extracted), readFile(path("hello.swf")));

    const std::string name = extracted.substr(extracted.rfind('/') + 1);
    std::vector<std::uint32_t> seen; // what happened under the copy's name
    alignas(inotify_event) char buffer[4096];
    for (ssize_t got = 0; (got = ::read(watch, buffer, sizeof buffer)) > 0;) {
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->len > 0 && name == event->name) {
                seen.push_back(event->mask);
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    ::close(watch);
    EXPECT_EQ(seen, std::vector<std::uint32_t>{IN_CREATE});
}

TEST_F(CardTest, ExtractionToAChosenFile) {
    ASSERT_EQ(make(path("hello.exe")), 1);
    writeFile(path("out.swf"), bytesOf("previous"));
    EXPECT_EQ(Exe2SwfTo(path("hello.exe"), path("out.swf")), path("out.swf"));
    EXPECT_EQ(readFile(path("out.swf")), readFile(path("hello.swf")));
    EXPECT_EQ(Exe2SwfTo(path("Velmora.vmd"), path("none.swf")), "0");
    EXPECT_FALSE(std::filesystem::exists(path("none.swf")));
}

TEST(GenerationNote, FixedValuesAndTheNoPasswordMarker) {
    EXPECT_EQ(makeGenerationNote("", ""), (CardNote{"Ferlo", "云杉小径", "云杉小径", "", "1.0"}));
    EXPECT_EQ(makeGenerationNote(" pw ", "a\r\nb"),
              (CardNote{"Ferlo", " pw ", "云杉小径", "a\r\nb", "1.0"}));
    EXPECT_EQ(CardThreshold, MovieOffset + 30);
}

} // namespace
} // namespace cardformat::testing
