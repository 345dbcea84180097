#include "TestFiles.h"

#include "cardformat/ErrorLog.h"
#include "cardformat/Platform.h"
#include "cardformat/TextCodec.h"

#include <cstdlib>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace cardformat::testing {
namespace {

class ErrorLogTest : public TempDirTest {};

TEST_F(ErrorLogTest, RecordsAreAppendedInTheStoredEncoding) {
    ErrorLog::record("getNote()", {62, "输入超出文件尾"});
    ErrorLog::record("writeNote()");
    const Bytes raw = readFile(path("Test.log"));
    const std::string date = ErrorLog::shortDate();
    const std::string expected = date + "getNote() 发生错误： \r\n\t62输入超出文件尾\r\n" + date +
                                 "writeNote() 发生错误： \r\n\t0\r\n";
    EXPECT_EQ(std::string(raw.begin(), raw.end()), toAnsi(expected));
    // The label's full-width colon is stored as GBK's A3BA.
    EXPECT_NE(std::string(raw.begin(), raw.end()).find("\xA3\xBA \r\n"), std::string::npos);
}

TEST_F(ErrorLogTest, StoredRecordsReadBackAsTextForPeople) {
    ErrorLog::record("Swf2Exe()", {53, "文件未找到"});
    const Bytes raw = readFile(path("Test.log"));
    const std::string text = ErrorLog::readable(std::string(raw.begin(), raw.end()));
    EXPECT_EQ(text, ErrorLog::shortDate() + "Swf2Exe() 发生错误： \n\t53文件未找到\n");
    // A lone CR stays; bytes that are no GB18030 show as replacement characters.
    EXPECT_EQ(ErrorLog::readable("a\rb\r\n\xff"), "a\rb\n\xEF\xBF\xBD");
    EXPECT_EQ(toEncoding("发生", "GB18030"), "\xB7\xA2\xC9\xFA");
    EXPECT_EQ(toEncoding("ok 发", "ASCII"), "ok ?");
}

TEST_F(ErrorLogTest, LogNamesAndFolders) {
    ErrorLog::configure("Trelvane.log", "/");
    EXPECT_EQ(ErrorLog::path(), "/Trelvane.log");
    ErrorLog::configure("Trelvane.log", "C:\\");
    EXPECT_EQ(ErrorLog::path(), "C:\\Trelvane.log");
    ErrorLog::configure("Velmora.log", "/cards/A");
    EXPECT_EQ(ErrorLog::path(), "/cards/A/Velmora.log");
    ErrorLog::configure("Velmora.log");
    EXPECT_EQ(ErrorLog::path(), fileBeside(folderOf(ownExecutablePath()), "Velmora.log"));
}

TEST(ErrorLogFolder, BesideTheProgramWhenWritableElseTheUsersStateFolder) {
    EXPECT_EQ(logFolder("/opt/cards", true, "/state", "/home/u"), "/opt/cards");
    EXPECT_EQ(logFolder("/usr/lib/velmora", false, "/state", "/home/u"), "/state/velmora");
    EXPECT_EQ(logFolder("/usr/lib/velmora", false, "/state/", "/home/u"), "/state/velmora");
    // Unset, empty or relative: the default below the home folder.
    EXPECT_EQ(logFolder("/usr/lib/velmora", false, nullptr, "/home/u"),
              "/home/u/.local/state/velmora");
    EXPECT_EQ(logFolder("/usr/lib/velmora", false, "", "/home/u"), "/home/u/.local/state/velmora");
    EXPECT_EQ(logFolder("/usr/lib/velmora", false, "state", "/home/u"),
              "/home/u/.local/state/velmora");
    // Nowhere better: the program's folder, where the record is then skipped.
    EXPECT_EQ(logFolder("/usr/lib/velmora", false, nullptr, nullptr), "/usr/lib/velmora");
    EXPECT_EQ(logFolder("/usr/lib/velmora", false, "", "relative"), "/usr/lib/velmora");
}

// Points XDG_STATE_HOME and HOME into the test folder for the test's length.
class StateFolderTest : public TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        for (const char* name : {"XDG_STATE_HOME", "HOME"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value != nullptr ? std::optional<std::string>(value)
                                                       : std::nullopt);
        }
        ::setenv("HOME", path("home").c_str(), 1);
        ::unsetenv("XDG_STATE_HOME");
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
        TempDirTest::TearDown();
    }

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(StateFolderTest, AProgramThatCannotWriteItsFolderLogsIntoTheStateFolder) {
    // A folder that is gone is as unwritable as one of the system's, and for every user.
    ErrorLog::configureBesideProgram("Trelvane.log", path("gone"));
    EXPECT_EQ(ErrorLog::path(), path("home/.local/state/velmora/Trelvane.log"));
    ErrorLog::record("Swf2Exe()", {75, "写入失败"});
    ErrorLog::record("writeNote()");
    // The folders are made on the first record, private to the user; the records as ever.
    const Bytes raw = readFile(path("home/.local/state/velmora/Trelvane.log"));
    const std::string date = ErrorLog::shortDate();
    EXPECT_EQ(std::string(raw.begin(), raw.end()),
              toAnsi(date + "Swf2Exe() 发生错误： \r\n\t75写入失败\r\n" + date +
                     "writeNote() 发生错误： \r\n\t0\r\n"));
    EXPECT_EQ(permissionBits(path("home/.local/state/velmora")) & 0777, 0700u);

    ::setenv("XDG_STATE_HOME", path("xdg").c_str(), 1);
    ErrorLog::configureBesideProgram("Trelvane.log", path("gone"));
    ErrorLog::record("getNote()");
    EXPECT_TRUE(fileExists(path("xdg/velmora/Trelvane.log")));
}

TEST_F(StateFolderTest, OnlyAProgramFolderTheUserCanWriteHoldsTheLog) {
    ::mkdir(path("program").c_str(), 0755);
    ErrorLog::configureBesideProgram("Velmora.log", path("program"));
    EXPECT_EQ(ErrorLog::path(), path("program/Velmora.log"));
    ErrorLog::record("getNote()", {62, "x"});
    EXPECT_TRUE(fileExists(path("program/Velmora.log")));
    if (::geteuid() == 0) {
        GTEST_SKIP() << "the superuser writes into read-only folders";
    }
    ::mkdir(path("read-only").c_str(), 0555);
    ErrorLog::configureBesideProgram("Velmora.log", path("read-only"));
    ErrorLog::record("getFlashHeader", {53, "x"});
    EXPECT_TRUE(fileExists(path("home/.local/state/velmora/Velmora.log")));
    EXPECT_FALSE(fileExists(path("read-only/Velmora.log")));
    ::chmod(path("read-only").c_str(), 0755);
}

// Even one that cannot be written: the record is then skipped without a fuss.
TEST_F(StateFolderTest, AGivenFolderIsTakenAsItIs) {
    ErrorLog::configure("Test.log", path("gone"));
    EXPECT_EQ(ErrorLog::path(), path("gone/Test.log"));
    ErrorLog::record("Swf2Exe()", {75, "x"});
    EXPECT_FALSE(fileExists(path("home/.local/state/velmora/Test.log")));
}

TEST(TextCodec, LengthsCountStoredBytes) {
    EXPECT_EQ(ansiLength("未知"), 4u);
    EXPECT_EQ(ansiLength("1.0"), 3u);
    EXPECT_EQ(toAnsi("云杉小径"), "\xD4\xC6\xC9\xBC\xD0\xA1\xBE\xB6");
    EXPECT_EQ(fromAnsi(toAnsi("Grüße, 祝你快乐 😀")), "Grüße, 祝你快乐 😀");
    EXPECT_EQ(fromAnsi("a\xFF"
                       "b"),
              "a\xEF\xBF\xBD"
              "b");                                  // no character: replaced
    EXPECT_EQ(fromAnsi("ab\x81"), "ab\xEF\xBF\xBD"); // cut off at the end
    EXPECT_EQ(toAnsi("a\xC3"), "a?");                // broken UTF-8
}

TEST(Platform, PathsAndFiles) {
    EXPECT_EQ(fileBeside("/opt/velmora", "Velmora.vmd"), "/opt/velmora/Velmora.vmd");
    EXPECT_EQ(fileBeside("/", "Velmora.vmd"), "/Velmora.vmd");
    EXPECT_EQ(folderOf("/a/b/c.exe"), "/a/b");
    EXPECT_EQ(folderOf("/c.exe"), "/");
    EXPECT_EQ(folderOf("C:\\A\\c.exe"), "C:\\A");
    EXPECT_EQ(folderOf("c.exe"), "");
    EXPECT_TRUE(fileExists(ownExecutablePath()));
    EXPECT_FALSE(fileExists("/"));
    EXPECT_FALSE(fileExists(""));
}

} // namespace
} // namespace cardformat::testing
