// Where a card's launcher looks for the runtime and for a message tool.
#include "RuntimeLookup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace launcher {
namespace {

TEST(RuntimeCandidatesTest, TheDevelopmentVariableAloneElseInstalledThenSystemPath) {
    RuntimeCandidates c =
        runtimeCandidates("/work/build/bin/libvelmora-runtime.so.1",
                          "/usr/lib/velmora/libvelmora-runtime.so.1", "libvelmora-runtime.so.1");
    ASSERT_EQ(c.count, 1);
    EXPECT_STREQ(c.paths[0], "/work/build/bin/libvelmora-runtime.so.1");

    for (const char* unset : {static_cast<const char*>(nullptr), ""}) {
        c = runtimeCandidates(unset, "/usr/lib/velmora/libvelmora-runtime.so.1",
                              "libvelmora-runtime.so.1");
        ASSERT_EQ(c.count, 2);
        EXPECT_STREQ(c.paths[0], "/usr/lib/velmora/libvelmora-runtime.so.1");
        EXPECT_STREQ(c.paths[1], "libvelmora-runtime.so.1");
    }
}

class PathSearchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/launcher-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        std::filesystem::create_directories(dir_ + "/a");
        std::filesystem::create_directories(dir_ + "/b");
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    void program(const std::string& path, mode_t mode = 0755) {
        const int fd = ::open((dir_ + "/" + path).c_str(), O_WRONLY | O_CREAT | O_TRUNC, mode);
        ASSERT_GE(fd, 0);
        ::close(fd);
        ::chmod((dir_ + "/" + path).c_str(), mode);
    }

    std::string dir_;
    char found_[4096] = {};
};

TEST_F(PathSearchTest, FindsTheFirstExecutableInAnAbsoluteFolder) {
    program("a/zenity", 0644); // not a program
    program("b/zenity");
    const std::string path = "/no/such:" + dir_ + "/a:" + dir_ + "/b";
    ASSERT_TRUE(findOnPath("zenity", path.c_str(), found_, sizeof found_));
    EXPECT_EQ(std::string(found_), dir_ + "/b/zenity");
    EXPECT_FALSE(findOnPath("kdialog", path.c_str(), found_, sizeof found_));
    EXPECT_FALSE(findOnPath("zenity", nullptr, found_, sizeof found_));
    EXPECT_FALSE(findOnPath("b/zenity", (dir_ + ":").c_str(), found_, sizeof found_));
}

TEST_F(PathSearchTest, EmptyAndRelativeFoldersAreNeverSearched) {
    // Started from its download folder, a card must not run a "zenity" that lies beside it.
    program("a/zenity");
    const std::string saved = std::filesystem::current_path();
    std::filesystem::current_path(dir_ + "/a");
    EXPECT_FALSE(findOnPath("zenity", "", found_, sizeof found_));
    EXPECT_FALSE(findOnPath("zenity", ":.::a", found_, sizeof found_));
    EXPECT_FALSE(findOnPath("zenity", ".", found_, sizeof found_));
    std::filesystem::current_path(dir_);
    EXPECT_FALSE(findOnPath("zenity", "a:", found_, sizeof found_));
    std::filesystem::current_path(saved);
}

TEST_F(PathSearchTest, APathTooLongForTheBufferIsNotFound) {
    program("b/zenity");
    const std::string path = dir_ + "/b";
    char small[16] = {};
    EXPECT_FALSE(findOnPath("zenity", path.c_str(), small, sizeof small));
    // Exactly long enough: the folder, a slash, the name and the terminating zero.
    std::string exact(path.size() + 1 + 6 + 1, '\0');
    EXPECT_TRUE(findOnPath("zenity", path.c_str(), exact.data(), exact.size()));
    EXPECT_FALSE(findOnPath("zenity", path.c_str(), exact.data(), exact.size() - 1));
}

TEST(PlainTextTest, XmessageGetsThePlainLinesWrappedBetweenWords) {
    char out[256];
    plainWrappedText("此贺卡需要播放程序。\nThis card needs the Velmora card player: install the "
                     "package \"velmora\", then open the card again.",
                     32, out, sizeof out);
    EXPECT_STREQ(out, "This card needs the Velmora card\nplayer: install the package\n"
                      "\"velmora\", then open the card\nagain.");
    plainWrappedText("a b\n中文\nc", 32, out, sizeof out);
    EXPECT_STREQ(out, "a b\nc");
    // Nothing plain: all of it rather than nothing.
    plainWrappedText("中文", 32, out, sizeof out);
    EXPECT_STREQ(out, "中文");
    // A word longer than a line stands alone; a short buffer still ends the text.
    plainWrappedText("abcdefghij xy", 4, out, sizeof out);
    EXPECT_STREQ(out, "abcdefghij\nxy");
    char small[5];
    plainWrappedText("abcdefghij", 4, small, sizeof small);
    EXPECT_STREQ(small, "abcd");
}

TEST_F(PathSearchTest, MessageToolsInTheirOrderWithTheirArguments) {
    MessageCommand command{};
    const std::string path = dir_ + "/a:" + dir_ + "/b";
    EXPECT_FALSE(messageCommand(path.c_str(), "Velmora", "install velmora", command));

    program("b/notify-send");
    ASSERT_TRUE(messageCommand(path.c_str(), "Velmora", "install velmora", command));
    EXPECT_EQ(std::string(command.program), dir_ + "/b/notify-send");
    EXPECT_STREQ(command.argv[0], "notify-send");
    EXPECT_STREQ(command.argv[2], "Velmora");
    EXPECT_STREQ(command.argv[3], "install velmora");
    EXPECT_EQ(command.argv[4], nullptr);

    program("b/xmessage");
    ASSERT_TRUE(messageCommand(path.c_str(), "Velmora", "install velmora", command));
    EXPECT_STREQ(command.argv[0], "xmessage");
    EXPECT_STREQ(command.argv[2], "install velmora");
    EXPECT_EQ(command.argv[3], nullptr);

    program("b/kdialog");
    ASSERT_TRUE(messageCommand(path.c_str(), "Velmora", "install velmora", command));
    EXPECT_STREQ(command.argv[0], "kdialog");
    EXPECT_STREQ(command.argv[2], "Velmora");
    EXPECT_STREQ(command.argv[4], "install velmora");
    EXPECT_EQ(command.argv[5], nullptr);

    // zenity, in a later folder, still comes first; the text is never read as markup.
    program("b/zenity");
    program("a/kdialog");
    ASSERT_TRUE(messageCommand(path.c_str(), "Velmora", "<b>install</b> velmora", command));
    EXPECT_EQ(std::string(command.program), dir_ + "/b/zenity");
    const char* expected[] = {"zenity",  "--error", "--no-markup",           "--title",
                              "Velmora", "--text",  "<b>install</b> velmora"};
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_STREQ(command.argv[i], expected[i]) << i;
    }
    EXPECT_EQ(command.argv[7], nullptr);
}

} // namespace
} // namespace launcher
