#include "TestFiles.h"

#include "cardformat/ErrorLog.h"
#include "cardformat/Platform.h"
#include "cardformat/TextCodec.h"

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

    // An unwritable log is skipped without a fuss.
    ErrorLog::configure("Test.log", path("no/such/folder"));
    ErrorLog::record("Swf2Exe()", {75, "x"});
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
