#include "PlayerFakes.h"

#include "player/Captions.h"

namespace player::testing {
namespace {

TEST(WindowClassTest, ControlClassesMatchWholeNamesCaseSensitively) {
    EXPECT_TRUE(isFlashWindowClass("MacromediaFlashPlayerActiveX"));
    EXPECT_FALSE(isFlashWindowClass("MacromediaFlashPlayerActiveX2"));
    EXPECT_FALSE(isFlashWindowClass("macromediaflashplayeractivex"));
    EXPECT_TRUE(isFlashWindowClass("ATL:0041A2B8"));
    EXPECT_TRUE(isFlashWindowClass("ATL:????????"));
    EXPECT_FALSE(isFlashWindowClass("ATL:0041A2B"));
    EXPECT_FALSE(isFlashWindowClass("ATL:0041A2B89"));
    EXPECT_FALSE(isFlashWindowClass("atl:0041A2B8"));
    EXPECT_FALSE(isFlashWindowClass("ATL:"));
    EXPECT_FALSE(isFlashWindowClass(""));
    EXPECT_TRUE(isFlashWindowClass("mc::MovieWidget"));
    EXPECT_FALSE(isFlashWindowClass("QWidget"));
}

TEST(WindowClassTest, QuestionMarkTakesOneWholeCharacter) {
    EXPECT_TRUE(matchesClassPattern("ATL:影片窗口类名称的", "ATL:????????"));
    EXPECT_FALSE(matchesClassPattern("ATL:影片窗口类名称", "ATL:????????"));
    EXPECT_TRUE(matchesClassPattern("a", "?"));
    EXPECT_FALSE(matchesClassPattern("", "?"));
    EXPECT_TRUE(matchesClassPattern("", ""));
}

class FlashInputTest : public ::testing::Test {
  protected:
    FakePlayerWorld world;
    Player player{world, world};

    FlashReaction send(FlashMessage message, std::int32_t wheelDelta = 0, bool fromMouse = false) {
        return player.FlashWndProc({message, wheelDelta, fromMouse});
    }
};

TEST_F(FlashInputTest, RightPressAndKeyboardRequestOpenThePlayersMenu) {
    EXPECT_EQ(send(FlashMessage::RightButtonDown), FlashReaction::ShowMenu);
    EXPECT_EQ(send(FlashMessage::ContextMenuRequest), FlashReaction::ShowMenu);
    EXPECT_EQ(world.menusShown.size(), 2u);
}

TEST_F(FlashInputTest, MouseContextRequestAfterThePressOpensNoSecondMenu) {
    send(FlashMessage::RightButtonDown);
    EXPECT_EQ(send(FlashMessage::ContextMenuRequest, 0, true), FlashReaction::Swallow);
    EXPECT_EQ(world.menusShown.size(), 1u);
}

TEST_F(FlashInputTest, LeftPressMovesTheWindowOnlyOutsideFullScreen) {
    EXPECT_EQ(send(FlashMessage::LeftButtonDown), FlashReaction::MoveWindowToo);
    player.state().FullScreenOn = FlagTrue;
    EXPECT_EQ(send(FlashMessage::LeftButtonDown), FlashReaction::PassOn);
}

TEST_F(FlashInputTest, WheelZoomsOnlyWithAMovie) {
    player.prepareWindow();
    const TwipPlace before = world.lastGeometry.window();
    EXPECT_EQ(send(FlashMessage::VerticalWheel, -120), FlashReaction::Swallow);
    EXPECT_EQ(world.lastGeometry.window(), before);

    world.control.movie = "/some/movie.swf";
    EXPECT_EQ(send(FlashMessage::VerticalWheel, -120), FlashReaction::ZoomTowardsUser);
    EXPECT_EQ(world.lastGeometry.window().width, before.width + 500);
    // One step per message, whatever the size of its delta.
    EXPECT_EQ(send(FlashMessage::VerticalWheel, 960), FlashReaction::ZoomAwayFromUser);
    EXPECT_EQ(world.lastGeometry.window(), before);
    EXPECT_EQ(send(FlashMessage::VerticalWheel, -1), FlashReaction::ZoomTowardsUser);
}

TEST_F(FlashInputTest, MenuMarksFollowStateAndControl) {
    player.state().MovieFrameCount = 1;
    send(FlashMessage::RightButtonDown);
    ASSERT_EQ(world.menusShown.size(), 1u);
    EXPECT_EQ(world.menusShown[0],
              (MenuMarks{false, false, true, captions::PlayWhilePlaying, false, 100}));

    player.state().MovieFrameCount = 2;
    player.state().FullScreenOn = FlagTrue;
    world.control.loop = false;
    world.control.playing = false;
    world.control.mute = true;
    world.control.level = 50;
    send(FlashMessage::ContextMenuRequest);
    ASSERT_EQ(world.menusShown.size(), 2u);
    EXPECT_EQ(world.menusShown[1],
              (MenuMarks{true, true, false, captions::PlayWhileStopped, true, 50}));
}

TEST(PlayerKeysTest, OnlyKeysAMovieCannotWantAreTaken) {
    using N = PlayerKeyName;
    using C = KeyCommand;
    struct Case {
        PlayerKey key;
        bool fullScreen;
        KeyCommand expected;
    };
    const Case cases[] = {
        {{N::Escape, false, false}, true, C::LeaveFullScreen},
        {{N::Escape, false, false}, false, C::None}, // a movie's own Esc
        {{N::F11, false, false}, false, C::ToggleFullScreen},
        {{N::F11, false, false}, true, C::ToggleFullScreen},
        {{N::P, true, false}, false, C::TogglePlay},
        {{N::P, false, false}, false, C::None}, // typing in a text field
        {{N::Left, true, false}, false, C::PreviousFrame},
        {{N::Right, true, false}, false, C::NextFrame},
        {{N::Right, false, false}, false, C::None}, // a game's arrow
        {{N::Q, true, false}, false, C::End},
        {{N::W, true, false}, true, C::End},
        {{N::Q, true, true}, false, C::None}, // Ctrl+Shift+Q is not ours
        {{N::M, true, false}, true, C::ToggleMute},
        {{N::M, false, false}, false, C::None}, // an "m" typed into the movie
        {{N::M, true, true}, false, C::None},
        {{N::Other, true, false}, false, C::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(keyCommandOf(c.key, c.fullScreen), c.expected)
            << static_cast<int>(c.key.name) << " ctrl " << c.key.control << " full "
            << c.fullScreen;
    }
}

} // namespace
} // namespace player::testing
