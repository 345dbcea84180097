#include <gtest/gtest.h>

#include "PageOpening.h"
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

TEST(UrlPolicyTest, OpenedAddressesNeedAHostKeepOnlyPlainMailFieldsAndStayShort) {
    EXPECT_EQ(openableAddress("https://example.org:8080/a?b#c"), "https://example.org:8080/a?b#c");
    EXPECT_EQ(openableAddress("http://user@[::1]/"), "http://user@[::1]/");
    EXPECT_FALSE(openableAddress("http:///etc/passwd"));
    EXPECT_FALSE(openableAddress("https://user@:80/"));
    EXPECT_FALSE(openableAddress("http://[]/"));
    EXPECT_EQ(openableAddress("mailto:a@b.c?To=d@e.f&attach=/root/.ssh/id_rsa&BODY=x&cc=g"
                              "&%61ttach=y&bcc=h#frag"),
              "mailto:a@b.c?To=d@e.f&BODY=x&cc=g");
    EXPECT_EQ(openableAddress("mailto:a@b.c?attach=x"), "mailto:a@b.c");
    const std::string longest = "https://example.org/" + std::string(kMaxOpenedAddress - 20, 'a');
    EXPECT_EQ(openableAddress(longest), longest);
    EXPECT_FALSE(openableAddress(longest + "a"));
}

TEST(UrlPolicyTest, LogsAndUrlsShowNoMoreThanTheyShould) {
    const std::string logged = addressForLog("http://x/\n" + std::string(70000, 'a'));
    EXPECT_LT(logged.size(), 200u);
    EXPECT_NE(logged.find("70010 bytes"), std::string::npos);
    EXPECT_EQ(addressForLog("a\nb"), "a?b");
    EXPECT_EQ(fileUrlOfName("贺卡 (2).exe"), "file:///%E8%B4%BA%E5%8D%A1%20(2).exe");
    EXPECT_EQ(fileUrlOfName("a/b#?.swf"), "file:///a%2Fb%23%3F.swf");
}

TEST(PageOpeningTest, OneClickOpensOnePageAndNestedHandlersShareIt) {
    PageOpening pages;
    EXPECT_EQ(pages.decide("https://example.org/").verdict, PageOpening::Verdict::Refused);
    {
        const PageOpening::Gesture click(&pages);
        {
            const PageOpening::Gesture inner(&pages);
            EXPECT_EQ(pages.decide("https://example.org/").verdict, PageOpening::Verdict::Open);
        }
        const auto second = pages.decide("https://example.org/2");
        EXPECT_EQ(second.verdict, PageOpening::Verdict::Refused);
        EXPECT_TRUE(second.firstOfItsKind);
        EXPECT_FALSE(pages.decide("https://example.org/3").firstOfItsKind);
    }
    EXPECT_FALSE(pages.inGesture());
    pages.localFileRead();
    const PageOpening::Gesture key(&pages);
    // A refused address does not use up the click.
    EXPECT_EQ(pages.decide("javascript:x").verdict, PageOpening::Verdict::Refused);
    const auto asked = pages.decide("mailto:a@b.c?attach=/x");
    EXPECT_EQ(asked.verdict, PageOpening::Verdict::AskFirst);
    EXPECT_EQ(asked.address, "mailto:a@b.c");
}

} // namespace
} // namespace mc
