#include <gtest/gtest.h>

#include "UrlPolicy.h"

namespace mc {
namespace {

TEST(UrlPolicyTest, OnlyWebAndMailSchemesOpen) {
    EXPECT_TRUE(isOpenableUrl("http://example.org"));
    EXPECT_TRUE(isOpenableUrl("HTTPS://example.org/a?b=c"));
    EXPECT_TRUE(isOpenableUrl("mailto:a@b.c"));
    EXPECT_FALSE(isOpenableUrl("javascript:alert(1)"));
    EXPECT_FALSE(isOpenableUrl("file:///etc/passwd"));
    EXPECT_FALSE(isOpenableUrl(" http://example.org")); // a scheme hidden behind blanks
    EXPECT_FALSE(isOpenableUrl("http://exa\nmple.org"));
    EXPECT_FALSE(isOpenableUrl("http://"));
    EXPECT_FALSE(isOpenableUrl("ftp://example.org"));
    EXPECT_FALSE(isOpenableUrl(""));
}

TEST(UrlPolicyTest, LoadsStayBesideTheMovie) {
    EXPECT_EQ(besideMoviePath("data.txt"), "data.txt");
    EXPECT_EQ(besideMoviePath("sub/part.swf?x=1#top"), "sub/part.swf");
    EXPECT_EQ(besideMoviePath("../up.txt"), "");
    EXPECT_EQ(besideMoviePath("a/../../up.txt"), "");
    EXPECT_EQ(besideMoviePath("a\\..\\up.txt"), "");
    EXPECT_EQ(besideMoviePath("/etc/passwd"), "");
    EXPECT_EQ(besideMoviePath("C:\\boot.ini"), "");
    EXPECT_EQ(besideMoviePath("http://example.org/x.swf"), "");
    EXPECT_EQ(besideMoviePath(""), "");
    EXPECT_EQ(besideMoviePath(std::string(2000, 'a')), "");
}

} // namespace
} // namespace mc
