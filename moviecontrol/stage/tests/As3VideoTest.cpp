// A stream's frames on a Video a script made: the node keeps its decoder from frame to
// frame, the picture fills the Video's box whatever its coded size, and the child drawing
// it stays the player's own.

#include <gtest/gtest.h>

#include "As3DisplayTree.h"
#include "ScriptedMovie.h"
#include "moviemaker/Video.h"

namespace mc {
namespace {

using moviemaker::H263Frame;

std::vector<std::uint8_t> grey(std::uint16_t width, std::uint16_t height) {
    H263Frame frame(H263Frame::Intra, width, height, 4);
    for (int i = 0; i < (width / 16) * (height / 16); ++i) {
        frame.intraFlat({100, 100, 100, 100, 128, 128});
    }
    return frame.take();
}

TEST(As3VideoTest, AStreamsPictureFillsTheVideosBoxAndStaysThePlayersOwn) {
    StoppedMovie movie(9);
    As3DisplayTree tree(*movie.player, {});
    const avm2::NodeId video = tree.createNode(avm2::NodeKind::Video);
    ASSERT_NE(video, 0u);
    EXPECT_EQ(tree.kindOf(video), avm2::NodeKind::Video);

    const auto size = tree.showVideoFrame(video, 2, grey(16, 16), 64, 32, false);
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->width, 16u);
    EXPECT_EQ(size->height, 16u);
    EXPECT_EQ(tree.childCount(video), 0u);
    auto box = tree.bounds(video, video, false);
    EXPECT_DOUBLE_EQ(box.xMax - box.xMin, 64);
    EXPECT_DOUBLE_EQ(box.yMax - box.yMin, 32);

    // A later key frame of another size: the same box.
    ASSERT_TRUE(tree.showVideoFrame(video, 2, grey(32, 16), 64, 32, false).has_value());
    box = tree.bounds(video, video, false);
    EXPECT_DOUBLE_EQ(box.xMax - box.xMin, 64);

    // No picture for what cannot be decoded; clear takes the picture away.
    EXPECT_FALSE(tree.showVideoFrame(video, 3, grey(16, 16), 64, 32, false).has_value());
    EXPECT_FALSE(tree.showVideoFrame(video, 2, {0xFF, 0x00}, 64, 32, false).has_value());
    tree.clearVideo(video);
    box = tree.bounds(video, video, false);
    EXPECT_DOUBLE_EQ(box.xMax - box.xMin, 0);
    // No stream of the movie lies behind a Video a script made.
    EXPECT_FALSE(tree.videoStream(video).has_value());
}

} // namespace
} // namespace mc
