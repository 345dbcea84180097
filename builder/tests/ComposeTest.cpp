// The photo window's decisions without a window: the photo list, the choices as the composer
// takes them, and the work done off the window's thread (composing, the style's preview,
// listening to the song).

#include "ComposeChoices.h"
#include "ComposeJob.h"
#include "ComposeListening.h"
#include "ComposePhotos.h"

#include "ComposerTestSupport.h"
#include "MoviePlayback.h"
#include "composer/MoviePlan.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

namespace builder {
namespace {

using composer::PhotoEdit;
using composer::testing::jpegBytes;
using composer::testing::ScratchFolder;
using composer::testing::testApp;
using composer::testing::twoHalves;
using composer::testing::writeBytes;

template <typename Job> void waitFor(const Job& job) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!job.finished() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(job.finished()) << "the work never ended";
}

std::vector<std::filesystem::path> photoFiles(const ScratchFolder& folder, int count, int width,
                                              int height) {
    std::vector<std::filesystem::path> files;
    const std::vector<uint8_t> bytes = jpegBytes(twoHalves(width, height));
    for (int i = 0; i < count; ++i) {
        files.push_back(folder.file("照片 " + std::to_string(i) + ".jpg"));
        writeBytes(files.back(), bytes);
    }
    return files;
}

std::vector<std::filesystem::path> names(const ComposePhotoList& list) {
    std::vector<std::filesystem::path> out;
    for (const ComposePhoto& p : list.photos()) {
        out.push_back(p.file);
    }
    return out;
}

TEST(ComposePhotoList, AddsUpToTheBoundMovesAndRemoves) {
    ComposePhotoList list;
    EXPECT_EQ(list.add({"a.jpg", "b.jpg", "c.jpg", "d.jpg"}).added, 4u);

    EXPECT_TRUE(list.move(0, 2)); // a dragged behind c
    EXPECT_EQ(names(list),
              (std::vector<std::filesystem::path>{"b.jpg", "c.jpg", "a.jpg", "d.jpg"}));
    EXPECT_TRUE(list.move(3, 0)); // d dragged to the front
    EXPECT_EQ(names(list),
              (std::vector<std::filesystem::path>{"d.jpg", "b.jpg", "c.jpg", "a.jpg"}));
    EXPECT_FALSE(list.move(1, 4));
    EXPECT_FALSE(list.remove(4));
    EXPECT_TRUE(list.remove(1));
    EXPECT_EQ(names(list), (std::vector<std::filesystem::path>{"d.jpg", "c.jpg", "a.jpg"}));

    std::vector<std::filesystem::path> many(composer::kMaxPhotos, "x.jpg");
    many.push_back("over 1.jpg");
    const ComposePhotoList::Added added = list.add(many);
    EXPECT_EQ(added.added, composer::kMaxPhotos - 3);
    EXPECT_EQ(list.size(), composer::kMaxPhotos);
    ASSERT_EQ(added.overLimit.size(), 4u);
    EXPECT_EQ(added.overLimit.back(), "over 1.jpg");
}

TEST(ComposePhotoList, ACropTurnsWithItsPhoto) {
    ComposePhotoList list;
    list.add({"a.jpg"});
    // The left quarter, the whole height.
    ASSERT_TRUE(list.setCrop(0, 0.0, 0.0, 0.25, 1.0));
    ASSERT_TRUE(list.turn(0, 1));
    // Turned clockwise, the left edge is at the top.
    PhotoEdit e = list.photos()[0].edit;
    EXPECT_EQ(e.quarterTurns, 1);
    EXPECT_DOUBLE_EQ(e.cropLeft, 0.0);
    EXPECT_DOUBLE_EQ(e.cropTop, 0.0);
    EXPECT_DOUBLE_EQ(e.cropWidth, 1.0);
    EXPECT_DOUBLE_EQ(e.cropHeight, 0.25);
    // Once more: the left edge is now on the right.
    list.turn(0, 1);
    e = list.photos()[0].edit;
    EXPECT_DOUBLE_EQ(e.cropLeft, 0.75);
    EXPECT_DOUBLE_EQ(e.cropWidth, 0.25);
    // Back the other way twice, and the photo is as it was.
    list.turn(0, -2);
    e = list.photos()[0].edit;
    EXPECT_EQ(e.quarterTurns, 0);
    EXPECT_DOUBLE_EQ(e.cropLeft, 0.0);
    EXPECT_DOUBLE_EQ(e.cropWidth, 0.25);

    // A crop past the edge is pulled inside.
    list.setCrop(0, 0.9, -1.0, 0.5, 0.5);
    e = list.photos()[0].edit;
    EXPECT_DOUBLE_EQ(e.cropLeft, 0.5);
    EXPECT_DOUBLE_EQ(e.cropTop, 0.0);
    EXPECT_FALSE(list.turn(3, 1));
}

TEST(ComposePhotoList, DroppedFilesAreSortedByTheirEnding) {
    EXPECT_TRUE(looksLikePhotoFile("/家/春 节.JPG"));
    EXPECT_TRUE(looksLikePhotoFile("IMG_0001.heic"));
    EXPECT_TRUE(looksLikePhotoFile("a.webp"));
    EXPECT_FALSE(looksLikePhotoFile("歌.mp3"));
    EXPECT_FALSE(looksLikePhotoFile("notes.txt"));
    EXPECT_FALSE(looksLikePhotoFile("jpg"));
}

TEST(ComposeChoices, TheWindowsChoicesBecomeTheCompositionAndComeBack) {
    composer::Composition base;
    base.captions = {"一", "二", "三"};
    base.fit = composer::PhotoFit::Fit;
    base.fontFamily = "Noto Serif CJK SC";

    ComposeChoices choices;
    PhotoEdit turned;
    turned.quarterTurns = 1;
    choices.photos = {{"/p/a.jpg", turned}, {"/p/b.jpg", {}}};
    choices.music = "/m/歌 曲.mp3";
    choices.style = "中秋";
    choices.title = "中秋快乐";
    choices.words = "月圆\n人团圆";
    choices.sizePreset = 2; // portrait
    choices.fps = 30;
    choices.loop = true;
    const composer::Composition c = compositionFor(choices, base);
    EXPECT_EQ(c.photos, (std::vector<std::filesystem::path>{"/p/a.jpg", "/p/b.jpg"}));
    ASSERT_EQ(c.edits.size(), 2u);
    EXPECT_EQ(c.edits[0].quarterTurns, 1);
    EXPECT_EQ(c.captions, (std::vector<std::string>{"一", "二"}))
        << "a removed photo's caption goes";
    EXPECT_EQ(c.music, choices.music);
    EXPECT_EQ(c.style, "中秋");
    EXPECT_EQ(c.title, "中秋快乐");
    EXPECT_EQ(c.words, "月圆\n人团圆");
    EXPECT_EQ(c.width, 540);
    EXPECT_EQ(c.height, 960);
    EXPECT_EQ(c.fps, 30);
    EXPECT_TRUE(c.loop);
    EXPECT_EQ(c.fit, composer::PhotoFit::Fit) << "what the window does not show is kept";
    EXPECT_EQ(c.fontFamily, "Noto Serif CJK SC");

    const ComposeChoices back = choicesFrom(c);
    EXPECT_EQ(back.photos, choices.photos);
    EXPECT_EQ(back.sizePreset, std::optional<std::size_t>(2));
    EXPECT_EQ(back.title, choices.title);
    EXPECT_TRUE(back.loop);

    // A size no preset has is kept as it was.
    composer::Composition odd = c;
    odd.width = 1024;
    odd.height = 768;
    const ComposeChoices oddChoices = choicesFrom(odd);
    EXPECT_FALSE(oddChoices.sizePreset.has_value());
    const composer::Composition again = compositionFor(oddChoices, odd);
    EXPECT_EQ(again.width, 1024);
    EXPECT_EQ(again.height, 768);
}

TEST(ComposeChoices, ThePreviewIsSmallSilentAndShort) {
    ComposeChoices choices;
    for (int i = 0; i < 7; ++i) {
        choices.photos.push_back({"p" + std::to_string(i) + ".jpg", {}});
    }
    choices.music = "song.mp3";
    choices.sizePreset = 2;
    const composer::Composition c = previewComposition(choices);
    EXPECT_EQ(c.photos.size(), kPreviewPhotos);
    EXPECT_TRUE(c.music.empty());
    EXPECT_EQ(c.height, kPreviewLongSide);
    EXPECT_EQ(c.width, 135) << "the portrait shape, scaled";
    EXPECT_EQ(c.length, composer::MovieLength::Photos);
}

TEST(ComposeChoices, TheMovieAlwaysEndsInSwf) {
    EXPECT_EQ(moviePathFor("/卡/新 年.swf"), std::filesystem::path("/卡/新 年.swf"));
    EXPECT_EQ(moviePathFor("/卡/新年.SWF"), std::filesystem::path("/卡/新年.SWF"));
    EXPECT_EQ(moviePathFor("/卡/新年"), std::filesystem::path("/卡/新年.swf"));
    EXPECT_EQ(moviePathFor("/卡/新年.exe"), std::filesystem::path("/卡/新年.exe.swf"));
}

TEST(ComposeJob, WritesAMovieOurPlayerLoads) {
    testApp();
    ScratchFolder folder;
    ComposeChoices choices;
    for (const auto& file : photoFiles(folder, 3, 640, 480)) {
        choices.photos.push_back({file, {}});
    }
    choices.title = "你好";
    const auto target = folder.file("我的 影片.swf");
    ComposeJob job(compositionFor(choices), target);
    waitFor(job);
    ASSERT_EQ(job.outcome(), ComposeJob::Outcome::Written) << job.message();
    EXPECT_DOUBLE_EQ(job.progress(), 1.0);
    std::ifstream in(target, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    const auto movie = mc::MoviePlayback::fromBytes(bytes);
    ASSERT_NE(movie, nullptr);
    const composer::Composition c = compositionFor(choices);
    EXPECT_EQ(movie->player().frameCount(),
              static_cast<std::uint32_t>(composer::planMovie(c, 3, std::nullopt).totalFrames));
}

TEST(ComposeJob, CancelledOrFailedLeavesNothingBehind) {
    testApp();
    ScratchFolder folder;
    ComposeChoices choices;
    for (const auto& file : photoFiles(folder, 24, 2400, 1800)) {
        choices.photos.push_back({file, {}});
    }
    const auto target = folder.file("取消.swf");
    {
        ComposeJob job(compositionFor(choices), target);
        while (job.progress() <= 0.0 && !job.finished()) {
            std::this_thread::yield();
        }
        job.cancel();
        waitFor(job);
        EXPECT_EQ(job.outcome(), ComposeJob::Outcome::Cancelled);
    }
    EXPECT_FALSE(std::filesystem::exists(target));

    // A photo that is not one: the message names it, and the movie already there stays.
    const auto bad = folder.file("坏 照片.jpg");
    writeBytes(bad, {'n', 'o', 't', ' ', 'a', ' ', 'p', 'h', 'o', 't', 'o'});
    choices.photos.resize(2);
    choices.photos.push_back({bad, {}});
    writeBytes(target, {'o', 'l', 'd'});
    ComposeJob failing(compositionFor(choices), target);
    waitFor(failing);
    EXPECT_EQ(failing.outcome(), ComposeJob::Outcome::Failed);
    EXPECT_NE(failing.message().find("坏 照片.jpg"), std::string::npos) << failing.message();
    EXPECT_EQ(std::filesystem::file_size(target), 3u);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        ++files;
    }
    EXPECT_EQ(files, 24u + 2u) << "no temporary file left beside the movie";

    // A place that cannot be written (a folder that is not there stands in for a full disk):
    // the message names the movie.
    choices.photos.resize(2);
    const auto nowhere = folder.file("不在 这里") / "影片.swf";
    ComposeJob unwritable(compositionFor(choices), nowhere);
    waitFor(unwritable);
    EXPECT_EQ(unwritable.outcome(), ComposeJob::Outcome::Failed);
    EXPECT_NE(unwritable.message().find("影片.swf"), std::string::npos) << unwritable.message();
    EXPECT_FALSE(std::filesystem::exists(folder.file("不在 这里")));
}

TEST(StylePreview, ShowsTheStyleOnThePersonsPhotos) {
    testApp();
    ScratchFolder folder;
    ComposeChoices choices;
    for (const auto& file : photoFiles(folder, 4, 800, 600)) {
        choices.photos.push_back({file, {}});
    }
    choices.style = "中秋";
    StylePreviewJob job(previewComposition(choices), 4);
    waitFor(job);
    ASSERT_EQ(job.frames().size(), 4u) << job.message();
    const QImage& middle = job.frames()[1];
    EXPECT_EQ(middle.size(), QSize(kPreviewLongSide, kPreviewLongSide * 3 / 4));
    // The photo's two halves show: red on the left, blue on the right.
    int red = 0;
    int blue = 0;
    for (int x = 0; x < middle.width(); x += 4) {
        const QRgb p = middle.pixel(x, middle.height() / 2);
        red += qRed(p) > 150 && qBlue(p) < 100 ? 1 : 0;
        blue += qBlue(p) > 150 && qRed(p) < 100 ? 1 : 0;
    }
    EXPECT_GT(red, 5);
    EXPECT_GT(blue, 5);

    // No photo: the composer's own message, no frames.
    StylePreviewJob empty(previewComposition(ComposeChoices{}), 4);
    waitFor(empty);
    EXPECT_TRUE(empty.frames().empty());
    EXPECT_FALSE(empty.message().empty());
}

TEST(ComposeListening, PlaysTheSongOrSaysWhyNot) {
    testApp();
    ScratchFolder folder;
    const auto song = folder.file("歌 曲.wav");
    writeBytes(song, composer::testing::wavTone(2.0, 44100, 2, 440.0));
    {
        ComposeListening listening(song);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (listening.state() == ComposeListening::State::Preparing &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_NE(listening.state(), ComposeListening::State::Preparing);
        EXPECT_NE(listening.state(), ComposeListening::State::Failed) << listening.message();
    }
    const auto notSong = folder.file("不是 歌.mp3");
    writeBytes(notSong, std::vector<uint8_t>(500, 7));
    ComposeListening broken(notSong);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (broken.state() == ComposeListening::State::Preparing &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(broken.state(), ComposeListening::State::Failed);
    EXPECT_NE(broken.message().find("不是 歌.mp3"), std::string::npos) << broken.message();
}

} // namespace
} // namespace builder
