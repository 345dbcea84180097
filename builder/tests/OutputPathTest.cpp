#include "OutputPath.h"

#include <gtest/gtest.h>

namespace builder {
namespace {

TEST(OutputPathTest, ReplacesTheLastLowerCaseSwfAndWhatFollows) {
    EXPECT_EQ(deriveOutputPath("D:\\cards\\newyear.swf"), "D:\\cards\\newyear.exe");
    EXPECT_EQ(deriveOutputPath("D:\\swf\\a.swf"), "D:\\swf\\a.exe");
    EXPECT_EQ(deriveOutputPath("D:\\swf\\a.spl"), "D:\\exe");
    EXPECT_EQ(deriveOutputPath("C:\\x\\card.swf"), "C:\\x\\card.exe");
    EXPECT_EQ(deriveOutputPath("/home/lin/贺卡/新年.swf"), "/home/lin/贺卡/新年.exe");
    EXPECT_EQ(deriveOutputPath("/tmp/a.swf.bak"), "/tmp/a.exe");
}

TEST(OutputPathTest, WithoutALowerCaseSwfTheExtensionBecomesExe) {
    EXPECT_EQ(deriveOutputPath("D:\\CARDS\\A.SWF"), "D:\\CARDS\\A.exe");
    EXPECT_EQ(deriveOutputPath("/tmp/movie.spl"), "/tmp/movie.exe");
    EXPECT_EQ(deriveOutputPath("/tmp/my.cards/movie"), "/tmp/my.cards/movie.exe");
    EXPECT_EQ(deriveOutputPath("C:\\a.b\\MOVIE"), "C:\\a.b\\MOVIE.exe");
    EXPECT_EQ(deriveOutputPath("sw"), "sw.exe");
}

} // namespace
} // namespace builder
