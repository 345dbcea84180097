#include "PlayerFakes.h"

#include "player/Captions.h"

#include "cardformat/CardLayout.h"
#include "cardformat/Platform.h"

#include <algorithm>
#include <sys/stat.h>

namespace player::testing {
namespace {

// The mark was copied from the control when the menu opened; the toggle trusts it.
TEST(MenuCommandTest, LoopToggleFlipsTheMarkNotTheControl) {
    FakePlayerWorld world;
    Player player(world, world);
    bool mark = player.menuMarks().loopChecked;
    ASSERT_TRUE(mark);
    mark = player.toggleLoop(mark);
    EXPECT_FALSE(mark);
    EXPECT_FALSE(world.control.loop);
    world.control.loop = true; // changed behind the menu's back
    EXPECT_TRUE(player.toggleLoop(false));
    EXPECT_EQ(world.control.calls, (std::vector<std::string>{"Loop=false", "Loop=true"}));
}

TEST(MenuCommandTest, PlayToggleStopsThenResumes) {
    FakePlayerWorld world;
    Player player(world, world);
    player.togglePlay();
    EXPECT_EQ(world.control.calls, (std::vector<std::string>{"Playing=false"}));
    EXPECT_EQ(player.menuMarks().playCaption, captions::PlayWhileStopped);
    player.togglePlay();
    EXPECT_EQ(world.control.calls, (std::vector<std::string>{"Playing=false", "Play"}));
    EXPECT_EQ(player.menuMarks().playCaption, captions::PlayWhilePlaying);
}

TEST(MenuCommandTest, MuteTogglesAndAStepSetsTheLevelAndUnmutes) {
    FakePlayerWorld world;
    Player player(world, world);
    EXPECT_EQ(player.keyPressed({PlayerKeyName::M, true, false}), KeyCommand::ToggleMute);
    EXPECT_TRUE(world.control.mute);
    EXPECT_TRUE(player.menuMarks().muteChecked);
    player.toggleMute();
    EXPECT_FALSE(world.control.mute);
    player.toggleMute();
    player.setVolume(25);
    EXPECT_EQ(world.control.level, 25);
    EXPECT_FALSE(world.control.mute);
    EXPECT_EQ(player.menuMarks().volume, 25);
    EXPECT_EQ(world.control.calls,
              (std::vector<std::string>{"Muted=true", "Muted=false", "Muted=true", "Volume=25",
                                        "Muted=false"}));
}

TEST(MenuCommandTest, EmptyAddressesOpenNothing) {
    FakePlayerWorld world;
    Player quiet(world, world);
    quiet.openAuthorSite();
    quiet.openHomePage();
    EXPECT_TRUE(world.addresses.empty());

    Player configured(world, world, {"https://home.example/", "https://author.example/"});
    configured.openAuthorSite();
    configured.openHomePage();
    EXPECT_EQ(world.addresses,
              (std::vector<std::string>{"https://author.example/", "https://home.example/"}));
}

TEST(MenuCommandTest, SwfSuffixInAnyCase) {
    EXPECT_TRUE(endsWithSwf("/a/b.swf"));
    EXPECT_TRUE(endsWithSwf("/a/b.SwF"));
    EXPECT_TRUE(endsWithSwf(".SWF"));
    EXPECT_FALSE(endsWithSwf("SWF"));
    EXPECT_FALSE(endsWithSwf("/tmp/velmora-AbC123"));
    EXPECT_FALSE(endsWithSwf("/a/b.swf "));
}

class EndSequenceTest : public PlayerFolderTest {
  protected:
    FakePlayerWorld world;
    Player player{world, world};

    std::string fileNamed(const std::string& name) {
        writeFile(path(name), Bytes{1, 2, 3});
        return path(name);
    }
};

TEST_F(EndSequenceTest, UnhooksFirstDeletesTheCardCopyAndEnds) {
    player.state().MoviePath = fileNamed("copy");
    player.state().CardMode = FlagTrue;
    player.endSequence();
    EXPECT_EQ(world.events, (std::vector<std::string>{"unhook", "end"}));
    EXPECT_FALSE(cardformat::fileExists(path("copy")));
    // The movie was let go (its sound with it) before the copy went.
    ASSERT_FALSE(world.control.calls.empty());
    EXPECT_EQ(world.control.calls.back(), "Movie=");
}

TEST_F(EndSequenceTest, KeepsEverythingOutsideCardMode) {
    player.state().MoviePath = fileNamed("Velmora");
    player.endSequence();
    EXPECT_TRUE(cardformat::fileExists(path("Velmora")));
    EXPECT_TRUE(world.ended);
}

TEST_F(EndSequenceTest, NeverDeletesAnSwfName) {
    player.state().MoviePath = fileNamed("b.SwF");
    player.state().CardMode = FlagTrue;
    player.endSequence();
    EXPECT_TRUE(cardformat::fileExists(path("b.SwF")));
    EXPECT_TRUE(world.ended);
}

TEST_F(EndSequenceTest, ReadOnlyOrMissingCopyStillEnds) {
    player.state().MoviePath = fileNamed("locked");
    player.state().CardMode = FlagTrue;
    ASSERT_EQ(::chmod(path("locked").c_str(), 0400), 0);
    player.endSequence();
    EXPECT_TRUE(cardformat::fileExists(path("locked")));
    EXPECT_TRUE(world.ended);

    FakePlayerWorld fresh;
    Player other(fresh, fresh);
    other.state().MoviePath = path("gone");
    other.state().CardMode = FlagTrue;
    other.endSequence();
    EXPECT_TRUE(fresh.ended);
}

TEST_F(EndSequenceTest, ReturnPlayStartsAgainFromAFreshCopy) {
    world.executable = path("card");
    writeFile(world.executable, cardBytes(movieWithNote({"A", "云杉小径", "T", "B", "V"})));
    ASSERT_EQ(player.Form_Load(), StartUpOutcome::Running);
    const std::string first = player.state().MoviePath;

    player.returnPlay();
    EXPECT_EQ(player.state().CardMode, FlagTrue);
    EXPECT_NE(player.state().MoviePath, first);
    EXPECT_EQ(world.control.movie, player.state().MoviePath);
    EXPECT_FALSE(cardformat::fileExists(first));
    ASSERT_EQ(temporaryFiles().size(), 1u);
    // The takeover itself refuses a second install; the player asks twice all the same.
    EXPECT_EQ(std::count(world.events.begin(), world.events.end(), "hook"), 2);
    EXPECT_EQ(std::count(world.events.begin(), world.events.end(), "hide ReturnPlay"), 1);
}

TEST_F(EndSequenceTest, ReturnPlayOutsideCardModeDoesNothing) {
    world.executable = fileNamed("Velmora");
    player.state().MoviePath = world.executable;
    player.returnPlay();
    EXPECT_TRUE(world.events.empty());
    EXPECT_EQ(player.state().CardMode, FlagFalse);
    EXPECT_TRUE(cardformat::fileExists(world.executable));
}

} // namespace
} // namespace player::testing
