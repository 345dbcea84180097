// A composition saved and opened again to change it.

#include "composer/CompositionFile.h"
#include "ComposerTestSupport.h"
#include "composer/ComposeError.h"

#include <gtest/gtest.h>

namespace composer {
namespace {

using namespace composer::testing;

TEST(CompositionFile, EveryChoiceComesBackAndPathsFollowTheFolder) {
    ScratchFolder folder;
    Composition c;
    c.photos = {folder.file("相册/春 节.jpg"), "/elsewhere/IMG_0002.HEIC"};
    c.captions = {"团圆", ""};
    PhotoEdit turnedAndCropped;
    turnedAndCropped.quarterTurns = 3;
    turnedAndCropped.cropLeft = 0.25;
    turnedAndCropped.cropTop = 0.125;
    turnedAndCropped.cropWidth = 0.5;
    turnedAndCropped.cropHeight = 0.75;
    c.edits = {turnedAndCropped, PhotoEdit{}};
    c.music = folder.file("歌.m4a");
    c.title = "新年快乐";
    c.words = "第一行\n第二行 \"引号\"";
    c.style = "中秋";
    c.width = 540;
    c.height = 960;
    c.fps = 30;
    c.loop = true;
    c.fit = PhotoFit::Fit;
    c.length = MovieLength::Photos;
    c.secondsPerPhoto = 5.5;
    c.musicStart = 12.25;
    c.fadeIn = 0.5;
    c.fadeOut = 3;
    c.fontFamily = "Noto Serif CJK SC";
    const auto file = folder.file("方案.json");
    saveComposition(c, file);

    const std::string text = compositionText(c, folder.path());
    EXPECT_NE(text.find("相册/春 节.jpg"), std::string::npos);
    EXPECT_EQ(text.find(folder.path().string()), std::string::npos) << "inside paths are relative";

    const Composition back = loadComposition(file);
    EXPECT_EQ(back.photos, c.photos);
    EXPECT_EQ(back.captions, c.captions);
    EXPECT_EQ(back.edits, c.edits);
    EXPECT_EQ(back.music, c.music);
    EXPECT_EQ(back.title, c.title);
    EXPECT_EQ(back.words, c.words);
    EXPECT_EQ(back.style, c.style);
    EXPECT_EQ(back.width, 540);
    EXPECT_EQ(back.height, 960);
    EXPECT_EQ(back.fps, 30);
    EXPECT_TRUE(back.loop);
    EXPECT_EQ(back.fit, PhotoFit::Fit);
    EXPECT_EQ(back.length, MovieLength::Photos);
    EXPECT_DOUBLE_EQ(back.secondsPerPhoto, 5.5);
    EXPECT_DOUBLE_EQ(back.musicStart, 12.25);
    EXPECT_DOUBLE_EQ(back.fadeIn, 0.5);
    EXPECT_DOUBLE_EQ(back.fadeOut, 3);
    EXPECT_EQ(back.fontFamily, c.fontFamily);

    // Moved as a whole, the folder's files are still found.
    const Composition moved = compositionFromText(text, "/moved", "/moved/方案.json");
    EXPECT_EQ(moved.photos[0], std::filesystem::path("/moved/相册/春 节.jpg"));
    EXPECT_EQ(moved.photos[1], c.photos[1]);
}

TEST(CompositionFile, FilesWithoutEditsStayAsTheyWereAndExtraEditsAreDropped) {
    Composition plain;
    plain.photos = {"/a.jpg"};
    plain.edits = {PhotoEdit{}};
    const std::string text = compositionText(plain, "/");
    EXPECT_EQ(text.find("edits"), std::string::npos);
    EXPECT_TRUE(compositionFromText(text, "/", "/x.json").edits.empty());

    // More edits than photos (a hand-edited file) give no edit without its photo.
    const std::string extra = R"({"version": 1, "photos": ["a.jpg"],
        "edits": [{"turns": 1, "crop": [0, 0, 1, 1]}, {"turns": 2}]})";
    const Composition read = compositionFromText(extra, "/f", "/f/x.json");
    ASSERT_EQ(read.edits.size(), 1u);
    EXPECT_EQ(read.edits[0].quarterTurns, 1);
}

TEST(CompositionFile, WhatIsNotACompositionIsRefusedByName) {
    ScratchFolder folder;
    const auto notJson = folder.file("照片.jpg");
    writeBytes(notJson, jpegBytes(twoHalves(8, 8)));
    EXPECT_THROW(loadComposition(notJson), ComposeError);
    try {
        compositionFromText("{\"version\": 7}", folder.path(), "未来.json");
        FAIL() << "a later format was taken";
    } catch (const ComposeError& e) {
        EXPECT_NE(std::string(e.what()).find("未来.json"), std::string::npos);
    }
    EXPECT_THROW(loadComposition(folder.file("none.json")), ComposeError);
    const auto huge = folder.file("huge.json");
    writeBytes(huge, std::vector<uint8_t>((1 << 20) + 1, ' '));
    EXPECT_THROW(loadComposition(huge), ComposeError);
}

} // namespace
} // namespace composer
