#include "player/PlaybackGeometry.h"

#include <gtest/gtest.h>

namespace player {
namespace {

constexpr TwipSize Screen1024x768{15360, 11520};

PlaybackGeometry openedMovie(std::int32_t widthPx, std::int32_t heightPx,
                             TwipSize screen = Screen1024x768) {
    PlaybackGeometry geometry;
    geometry.setScreen(screen);
    geometry.fitToMovie(widthPx, heightPx);
    return geometry;
}

PlayerState stateFor(std::int16_t widthPx, std::int16_t heightPx) {
    PlayerState state;
    state.MovieWidthPx = widthPx;
    state.MovieHeightPx = heightPx;
    return state;
}

TEST(PlaybackGeometryTest, MovieOf550x400OnA1024x768Screen) {
    const PlaybackGeometry g = openedMovie(550, 400);
    EXPECT_EQ(g.window(), (TwipPlace{3495, 2700, 8370, 6120}));
    EXPECT_EQ(g.control(), (TwipPlace{60, 60, 8250, 6000}));
    EXPECT_EQ(g.frames()[0].place, (TwipPlace{15, 15, 8340, 6090}));
    EXPECT_EQ(g.frames()[1].place, (TwipPlace{30, 30, 8310, 6060}));
    EXPECT_EQ(g.frames()[2].place, (TwipPlace{45, 45, 8280, 6030}));
    for (const FrameShape& frame : g.frames()) {
        EXPECT_TRUE(frame.visible);
    }
}

TEST(PlaybackGeometryTest, FramesStayHiddenUntilTheFirstResize) {
    PlaybackGeometry g;
    for (const FrameShape& frame : g.frames()) {
        EXPECT_FALSE(frame.visible);
    }
    g.setWindowWidth(1000);
    EXPECT_TRUE(g.frames()[2].visible);
    EXPECT_EQ(g.control().width, 880);
}

TEST(PlaybackGeometryTest, DesignSizeIsCentred) {
    PlaybackGeometry g;
    g.setScreen(Screen1024x768);
    g.placeAtDesignSize();
    EXPECT_EQ(g.window(), (TwipPlace{(15360 - 3735) / 2.0, (11520 - 1755) / 2.0, 3735, 1755}));
    EXPECT_EQ(g.control().width, 3615);
    EXPECT_EQ(g.control().height, 1635);
}

TEST(PlaybackGeometryTest, FullScreenOnAndOffAgain) {
    PlaybackGeometry g = openedMovie(550, 400);
    PlayerState state = stateFor(550, 400);

    g.toggleFullScreen(state);
    EXPECT_EQ(state.FullScreenOn, FlagTrue);
    EXPECT_EQ(g.window(), (TwipPlace{0, 0, 15360, 11520}));
    EXPECT_EQ(g.control(), (TwipPlace{60, 60, 15210, 11370}));
    EXPECT_EQ(g.frames()[0].place, (TwipPlace{15, 15, 15330, 11490}));

    g.toggleFullScreen(state);
    EXPECT_EQ(state.FullScreenOn, FlagFalse);
    EXPECT_EQ(g.window(), (TwipPlace{3480, 2685, 8400, 6150}));
    EXPECT_EQ(g.control(), (TwipPlace{60, 60, 8250, 6000}));
    EXPECT_EQ(g.frames()[2].place, (TwipPlace{45, 45, 8310, 6060}));
}

TEST(PlaybackGeometryTest, FullScreenWithoutMovieLeavesATinyWindow) {
    PlaybackGeometry g;
    g.setScreen(Screen1024x768);
    g.placeAtDesignSize();
    PlayerState state;
    g.toggleFullScreen(state);
    g.toggleFullScreen(state);
    EXPECT_EQ(g.window().width, 150);
    EXPECT_EQ(g.window().height, 150);
    EXPECT_EQ(g.control().width, 0);
    EXPECT_EQ(g.control().height, 0);
}

TEST(PlaybackGeometryTest, LeavingFullScreenWithLargeMovieDoesNotOverflow) {
    PlaybackGeometry g = openedMovie(3000, 2500, {60000, 45000});
    PlayerState state = stateFor(3000, 2500);
    g.toggleFullScreen(state);
    g.toggleFullScreen(state);
    EXPECT_EQ(g.window().width, 45150);
    EXPECT_EQ(g.window().height, 37650);
    EXPECT_EQ(g.control().width, 45000);
    EXPECT_EQ(g.window().left, (60000 - 45150) / 2.0);
}

TEST(PlaybackGeometryTest, ZoomGrowsAndShrinksAroundTheSameCorner) {
    PlaybackGeometry g = openedMovie(550, 400);
    EXPECT_TRUE(g.zoomStep(true));
    EXPECT_EQ(g.window(), (TwipPlace{3495, 2700, 8870, 6620}));
    EXPECT_EQ(g.control().width, 8750);
    EXPECT_TRUE(g.zoomStep(false));
    EXPECT_EQ(g.window(), (TwipPlace{3495, 2700, 8370, 6120}));
}

TEST(PlaybackGeometryTest, ZoomTowardsUserWithoutRoomShrinks) {
    PlaybackGeometry g;
    g.setScreen(Screen1024x768);
    g.setWindowHeight(5000);
    g.setWindowWidth(14860); // 15360 - 500 is not greater
    EXPECT_TRUE(g.zoomStep(true));
    EXPECT_EQ(g.window().width, 14360);
    EXPECT_EQ(g.window().height, 4500);

    g.setWindowWidth(14859);
    EXPECT_TRUE(g.zoomStep(true));
    EXPECT_EQ(g.window().width, 15359);
}

TEST(PlaybackGeometryTest, ZoomFloor) {
    PlaybackGeometry g;
    g.setScreen({1000, 1000});
    g.setWindowWidth(800);
    g.setWindowHeight(800);
    EXPECT_TRUE(g.zoomStep(false));
    EXPECT_EQ(g.window().width, 300);
    EXPECT_EQ(g.window().height, 300);
    EXPECT_EQ(g.control().width, 180);
    EXPECT_FALSE(g.zoomStep(false));

    g.setWindowWidth(700);
    g.setWindowHeight(2000);
    EXPECT_FALSE(g.zoomStep(false));
    EXPECT_EQ(g.window().height, 2000);
}

TEST(PlaybackGeometryTest, ZoomInFullScreenShrinksAndTheToggleRestores) {
    PlaybackGeometry g = openedMovie(550, 400);
    PlayerState state = stateFor(550, 400);
    g.toggleFullScreen(state);
    g.zoomStep(true);
    EXPECT_EQ(g.window().width, 14860);
    EXPECT_EQ(state.FullScreenOn, FlagTrue);
    g.toggleFullScreen(state);
    EXPECT_EQ(g.window(), (TwipPlace{3480, 2685, 8400, 6150}));
}

TEST(PlaybackGeometryTest, WindowResizedFromOutsideRefitsEverything) {
    PlaybackGeometry g = openedMovie(550, 400);
    g.windowResized(3000, 2000);
    EXPECT_EQ(g.control().width, 2880);
    EXPECT_EQ(g.control().height, 1880);
    EXPECT_EQ(g.frames()[1].place.width, 2940);
}

TEST(PlaybackGeometryTest, PixelConversionsSaturate) {
    EXPECT_EQ(moviePixels(550), 550);
    EXPECT_EQ(moviePixels(32767), 32767);
    EXPECT_EQ(moviePixels(32768), 32767);
    EXPECT_EQ(moviePixels(50'000'000), 32767);
    EXPECT_EQ(moviePixels(-5), 0);
    EXPECT_EQ(pixelsOf(8370), 558);
    EXPECT_EQ(pixelsOf(8870), 591);
    EXPECT_EQ(pixelsOf(7.5), 1);
    EXPECT_EQ(pixelsOf(-90), 0);
    EXPECT_EQ(pixelsOf(1e30), 1 << 24);
    EXPECT_EQ(pixelPosition(-90), -6);
    EXPECT_EQ(pixelPosition(3495), 233);
    EXPECT_EQ(pixelPosition(-1e30), -(1 << 24));
}

} // namespace
} // namespace player
