// Files that arrive from someone else, and faults that arrive at the worst moment: links and
// pipes where a log or an input is expected, outputs that name their input, names with odd
// characters, interrupted writes and copies whose program is gone.
#include "TestFiles.h"

#include "cardformat/CardLayout.h"
#include "cardformat/ErrorLog.h"
#include "cardformat/GenerationNote.h"
#include "cardformat/NoteTrailer.h"
#include "cardformat/Platform.h"
#include "cardformat/RemovalOnExit.h"
#include "cardformat/SwfHeader.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace cardformat::testing {
namespace {

const ReadOnlyQuestion answerYes = [](std::string_view, std::string_view) { return true; };

// A named pipe nobody writes to: opening it for reading the ordinary way waits for ever. The
// alarm turns such a hang into a failed test.
class HostileFileTest : public TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        if (const char* tmp = std::getenv("TMPDIR")) {
            savedTmp_ = tmp;
        }
        ::alarm(20);
    }
    void TearDown() override {
        ::alarm(0);
        if (savedTmp_) {
            ::setenv("TMPDIR", savedTmp_->c_str(), 1);
        } else {
            ::unsetenv("TMPDIR");
        }
        TempDirTest::TearDown();
    }
    std::string pipeAt(const std::string& name) {
        std::string p = path(name);
        EXPECT_EQ(::mkfifo(p.c_str(), 0600), 0);
        return p;
    }
    std::vector<std::string> namesIn(const std::string& folder) const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    void makeTemplate() { writeFile(path("Velmora.vmd"), Bytes(MovieOffset, 0x5A)); }
    Bytes cardOf(const Bytes& movie) {
        Bytes card(MovieOffset, 0x5A);
        card.insert(card.end(), movie.begin(), movie.end());
        return card;
    }

  private:
    std::optional<std::string> savedTmp_;
};

TEST_F(HostileFileTest, LogFollowsNoLinkAndWritesOnlyToARegularFile) {
    writeFile(path("victim"), bytesOf("precious"));
    ASSERT_EQ(::symlink(path("victim").c_str(), path("Test.log").c_str()), 0);
    ErrorLog::record("getNote()", {62, "x"});
    EXPECT_EQ(readFile(path("victim")), bytesOf("precious"));

    // A pipe with nobody reading, and one with a reader: neither blocks nor gets the record.
    std::filesystem::remove(path("Test.log"));
    pipeAt("Test.log");
    ErrorLog::record("getNote()", {62, "x"});
    const int reader = ::open(path("Test.log").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ErrorLog::record("getNote()", {62, "x"});
    char byte = 0;
    EXPECT_LE(::read(reader, &byte, 1), 0);
    ::close(reader);

    // A regular log still takes records.
    std::filesystem::remove(path("Test.log"));
    ErrorLog::record("getNote()", {62, "x"});
    EXPECT_NE(logText().find("getNote()"), std::string::npos);
}

TEST_F(HostileFileTest, PipesAreRefusedBeforeTheyAreRead) {
    const std::string pipe = pipeAt("movie.swf");
    EXPECT_THROW(InputFile{pipe}, CardError);
    EXPECT_EQ(getFlashHeader(pipe).Status, header_status::Missing);
    EXPECT_EQ(getNote(pipe).Blessing, std::string(NoteMissingFile) + pipe);
    EXPECT_THROW(Exe2Swf(pipe), CardError);
    EXPECT_THROW(Exe2SwfTo(pipe, path("out.swf")), CardError);
    EXPECT_FALSE(std::filesystem::exists(path("out.swf")));
}

TEST_F(HostileFileTest, TemplateIsCheckedBeforeAnythingIsTouched) {
    writeFile(path("hello.swf"), smallMovie());
    writeFile(path("hello.exe"), bytesOf("the old card"));
    const Bytes movie = readFile(path("hello.swf"));
    pipeAt("pipe.vmd");
    writeFile(path("empty.vmd"), {});
    for (const char* name : {"pipe.vmd", "empty.vmd", "missing.vmd"}) {
        CardNote note = makeGenerationNote("", "b");
        EXPECT_EQ(Swf2Exe(path("hello.swf"), path("hello.exe"), note, name, answerYes, dir()), 0)
            << name;
        EXPECT_EQ(readFile(path("hello.swf")), movie) << name;
        EXPECT_EQ(readFile(path("hello.exe")), bytesOf("the old card")) << name;
    }
    EXPECT_NE(logText().find("Swf2Exe()"), std::string::npos);
}

TEST_F(HostileFileTest, ExtractionNeverWritesOverItsOwnCard) {
    writeFile(path("hello.exe"), cardOf(smallMovie()));
    const Bytes card = readFile(path("hello.exe"));
    ASSERT_EQ(::symlink(path("hello.exe").c_str(), path("link.swf").c_str()), 0);
    ASSERT_EQ(::link(path("hello.exe").c_str(), path("hard.swf").c_str()), 0);
    for (const char* out : {"hello.exe", "link.swf", "hard.swf"}) {
        EXPECT_THROW(Exe2SwfTo(path("hello.exe"), path(out)), CardError) << out;
        EXPECT_EQ(readFile(path("hello.exe")), card) << out;
    }
    EXPECT_EQ(namesIn(dir()), (std::vector<std::string>{"hard.swf", "hello.exe", "link.swf"}));
    // Another file is fine.
    EXPECT_EQ(Exe2SwfTo(path("hello.exe"), path("out.swf")), path("out.swf"));
    EXPECT_EQ(readFile(path("out.swf")), smallMovie());
}

TEST_F(HostileFileTest, ReadOnlyMarkStaysWhenTheWriteFails) {
    // A movie whose header cannot take a note: the user agreed, but nothing can be written.
    Bytes broken = smallMovie();
    broken[4] = 3;
    broken[5] = broken[6] = broken[7] = 0;
    writeFile(path("broken.swf"), broken);
    ::chmod(path("broken.swf").c_str(), 0444);
    std::string title = "t";
    EXPECT_FALSE(writeNote(path("broken.swf"), "a", "p", "b", "v", title, answerYes));
    EXPECT_EQ(permissionBits(path("broken.swf")), 0444u);
    EXPECT_EQ(readFile(path("broken.swf")), broken);

    // Agreed and written: the new file is writable, the old one's other bits kept.
    writeFile(path("good.swf"), smallMovie());
    ::chmod(path("good.swf").c_str(), 0444);
    EXPECT_TRUE(writeNote(path("good.swf"), "a", "p", "b", "v", title, answerYes));
    EXPECT_EQ(permissionBits(path("good.swf")), 0644u);
    EXPECT_EQ(getNote(path("good.swf")).Blessing, "b");
}

TEST_F(HostileFileTest, ReadOnlyMovieInReadOnlyFolderStaysReadOnly) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "a read-only folder does not stop root";
    }
    std::filesystem::create_directory(path("locked"));
    const std::string movie = path("locked/m.swf");
    writeFile(movie, smallMovie());
    ::chmod(movie.c_str(), 0444);
    ::chmod(path("locked").c_str(), 0555);
    std::string title = "t";
    EXPECT_FALSE(writeNote(movie, "a", "p", "b", "v", title, answerYes));
    EXPECT_EQ(permissionBits(movie), 0444u);
    EXPECT_EQ(readFile(movie), smallMovie());
}

TEST_F(HostileFileTest, BackslashIsPartOfANameOnDisk) {
    const std::string movie = path("new\\year.swf");
    writeFile(movie, smallMovie());
    std::string title;
    ASSERT_TRUE(writeNote(movie, "a", "p", "b", "v", title, answerYes));
    // The title still counts "\" as a separator, as cards made elsewhere do.
    EXPECT_EQ(title, "《year》");
    EXPECT_EQ(getNote(movie).Blessing, "b");

    makeTemplate();
    CardNote note = makeGenerationNote("", "c");
    ASSERT_EQ(Swf2Exe(movie, path("card\\one.exe"), note, "Velmora.vmd", answerYes, dir()), 1);
    EXPECT_EQ(Exe2SwfTo(path("card\\one.exe"), path("out\\movie.swf")), path("out\\movie.swf"));
    EXPECT_EQ(readFile(path("out\\movie.swf")), readFile(movie));
    EXPECT_EQ(namesIn(dir()), (std::vector<std::string>{"Velmora.vmd", "card\\one.exe",
                                                        "new\\year.swf", "out\\movie.swf"}));
}

TEST_F(HostileFileTest, CardCopyStopsAtTheMovieAndItsNote) {
    std::filesystem::create_directory(path("tmp"));
    ::setenv("TMPDIR", path("tmp").c_str(), 1);
    Bytes movie = smallMovie();
    const std::size_t declared = movie.size();
    const Bytes note = encodeNoteTrailer({"A", "pw", "T", "祝福", "1.0"});
    movie.insert(movie.end(), note.begin(), note.end());
    writeFile(path("card.exe"), cardOf(movie));
    // A tail of 4 GB behind the note costs nothing on disk (a hole), and nothing to play.
    ASSERT_EQ(::truncate(path("card.exe").c_str(), static_cast<off_t>(MovieOffset + (4ULL << 30))),
              0);

    const std::string copy = Exe2Swf(path("card.exe"));
    ASSERT_NE(copy, "0");
    EXPECT_EQ(std::filesystem::file_size(copy), declared + MaxNoteTrailerBytes);
    EXPECT_EQ(getNote(copy), getNoteAt(path("card.exe"), MovieOffset, copy));
    EXPECT_EQ(getNote(copy).Blessing, "祝福");

    // A card shorter than that is copied whole.
    writeFile(path("small.exe"), cardOf(movie));
    EXPECT_EQ(readFile(Exe2Swf(path("small.exe"))), movie);

    // A movie that declares more than the renderer reads is a damaged card.
    Bytes huge = smallMovie();
    writeInt32LE(&huge[4], static_cast<std::int32_t>(MaxPlayableMovieBytes + 1));
    writeFile(path("huge.exe"), cardOf(huge));
    EXPECT_EQ(Exe2Swf(path("huge.exe")), "0");
    EXPECT_EQ(namesIn(path("tmp")).size(), 2u);
}

TEST_F(HostileFileTest, RunningCopiesOfGonePlayersAreRemoved) {
    std::filesystem::create_directory(path("tmp"));
    ::setenv("TMPDIR", path("tmp").c_str(), 1);
    writeFile(path("c.exe"), cardOf(smallMovie()));
    const std::string mine = Exe2Swf(path("c.exe"));
    char own[40];
    std::snprintf(own, sizeof own, "vmcard-%010d-", static_cast<int>(::getpid()));
    EXPECT_EQ(getFileName(mine).rfind(own, 0), 0u);

    // A process that has ended.
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);
    const std::string gone = "vmcard-" + std::to_string(child) + "-abcdef.tmp";
    writeFile(path("tmp/" + gone), bytesOf("x"));
    // A running process (our parent), a link named like a copy, a kept copy, other names.
    const std::string alive = "vmcard-" + std::to_string(::getppid()) + "-abcdef.tmp";
    writeFile(path("tmp/" + alive), bytesOf("x"));
    const std::string link = "vmcard-" + std::to_string(child) + "-linked.tmp";
    writeFile(path("victim"), bytesOf("x"));
    ASSERT_EQ(::symlink(path("victim").c_str(), path("tmp/" + link).c_str()), 0);
    for (const std::string& other : {std::string("vm_abcdef.tmp"), std::string("vmcard-x-1.tmp"),
                                     "vmcard-" + std::to_string(child) + "-abcdef.swf"}) {
        writeFile(path("tmp/" + other), bytesOf("x"));
    }

    EXPECT_EQ(removeOrphanedRunningCopies(), 1);
    const std::vector<std::string> left = namesIn(path("tmp"));
    EXPECT_EQ(std::count(left.begin(), left.end(), gone), 0);
    EXPECT_EQ(left.size(), 6u);
    EXPECT_TRUE(std::filesystem::exists(mine));
    EXPECT_TRUE(std::filesystem::exists(path("victim")));
}

// In a child: a replacement file half written, then `ending` ends the child.
template <typename Ending> int interruptedWrite(const std::string& target, Ending ending) {
    const pid_t child = ::fork();
    if (child == 0) {
        RemovalOnExit::removeOnSignals(EndingSignals);
        ReplacementFile file(target, 0644);
        file.write(Bytes(100000, 1));
        ending();
        ::_exit(99); // not reached
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

TEST_F(HostileFileTest, InterruptedWritesLeaveNoPartialCopy) {
    writeFile(path("movie.swf"), bytesOf("old"));
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGUSR1, SIGALRM}) {
        const int status = interruptedWrite(path("movie.swf"), [signal] { ::raise(signal); });
        // Ended by that very signal, as without the cleaning up.
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        EXPECT_EQ(namesIn(dir()), (std::vector<std::string>{"movie.swf"})) << signal;
    }
    const int status = interruptedWrite(path("movie.swf"), [] { std::exit(3); });
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3);
    EXPECT_EQ(namesIn(dir()), (std::vector<std::string>{"movie.swf"}));
    EXPECT_EQ(readFile(path("movie.swf")), bytesOf("old"));
}

} // namespace
} // namespace cardformat::testing
