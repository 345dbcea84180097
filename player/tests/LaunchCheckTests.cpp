// The runtime's side of the entry point: which launches it plays.
#include "player/LaunchCheck.h"

#include <gtest/gtest.h>

namespace player {
namespace {

class LaunchCheckTest : public ::testing::Test {
  protected:
    char name_[8] = "card";
    char* argv_[2] = {name_, nullptr};
    VelmoraLaunch launch_ = {sizeof(VelmoraLaunch), 1, "/cards/card", 1, argv_, 90112};
};

TEST_F(LaunchCheckTest, AVersionOneLaunchForTheSameOffsetPlays) {
    EXPECT_TRUE(acceptsLaunch(&launch_, 90112));
    // No arguments at all is a launch too.
    launch_.argc = 0;
    launch_.argv = nullptr;
    EXPECT_TRUE(acceptsLaunch(&launch_, 90112));
}

TEST_F(LaunchCheckTest, UnknownVersionsAreRefused) {
    launch_.version = 0;
    EXPECT_FALSE(acceptsLaunch(&launch_, 90112));
    // A launcher from a later build: its runtime must be installed first.
    launch_.version = VelmoraEntryVersion + 1;
    EXPECT_FALSE(acceptsLaunch(&launch_, 90112));
    launch_.version = 0xffffffffu;
    EXPECT_FALSE(acceptsLaunch(&launch_, 90112));
}

TEST_F(LaunchCheckTest, ARecordShorterThanVersionOneIsRefused) {
    launch_.size = sizeof(VelmoraLaunch) - sizeof(std::uint64_t);
    EXPECT_FALSE(acceptsLaunch(&launch_, 90112));
    launch_.size = 0;
    EXPECT_FALSE(acceptsLaunch(&launch_, 90112));
    // A longer one (a later launcher's fields behind version 1's) still has version 1's.
    launch_.size = sizeof(VelmoraLaunch) + 16;
    EXPECT_TRUE(acceptsLaunch(&launch_, 90112));
}

TEST_F(LaunchCheckTest, MissingPartsAndAnotherMovieOffsetAreRefused) {
    EXPECT_FALSE(acceptsLaunch(nullptr, 90112));
    EXPECT_FALSE(acceptsLaunch(&launch_, 4194304)); // the card's movie is elsewhere
    launch_.ownPath = nullptr;
    EXPECT_FALSE(acceptsLaunch(&launch_, 90112));
    launch_.ownPath = "";
    EXPECT_TRUE(acceptsLaunch(&launch_, 90112)); // unknown path: no card, plays its argument
    launch_.argv = nullptr;
    EXPECT_FALSE(acceptsLaunch(&launch_, 90112));
    launch_.argc = -1;
    EXPECT_FALSE(acceptsLaunch(&launch_, 90112));
}

} // namespace
} // namespace player
