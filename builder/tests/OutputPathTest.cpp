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

TEST(OutputPathTest, NothingWithoutALowerCaseSwf) {
    EXPECT_EQ(deriveOutputPath("D:\\CARDS\\A.SWF"), std::nullopt);
    EXPECT_EQ(deriveOutputPath("/tmp/movie.spl"), std::nullopt);
    EXPECT_EQ(deriveOutputPath(""), std::nullopt);
    EXPECT_EQ(deriveOutputPath("sw"), std::nullopt);
}

} // namespace
} // namespace builder
