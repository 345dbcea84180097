// Whole composed movies read back with the player's own reader: every style, the ending,
// the sound stream, the words' glyphs, determinism and the refusals.

#include "ComposerTestSupport.h"
#include "composer/ComposeError.h"
#include "composer/MovieComposer.h"
#include "composer/MoviePlan.h"
#include "composer/Styles.h"

#include "SoundTags.h"
#include "swf/ActionCodes.h"
#include "swf/Movie.h"
#include "swf/TagCodes.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <fstream>
#include <iterator>

namespace composer {
namespace {

using namespace composer::testing;

struct Inputs {
    ScratchFolder folder;
    Composition composition;
    Inputs() {
        for (int i = 0; i < 3; ++i) {
            const auto photo = folder.file("照片 " + std::to_string(i) + ".jpg");
            writeBytes(photo, jpegBytes(twoHalves(640 + 40 * i, 480)));
            composition.photos.push_back(photo);
        }
        composition.music = folder.file("song.wav");
        writeBytes(composition.music, wavTone(9.0, 22050, 1, 440));
        composition.title = "新年快乐";
        composition.words = "祝你万事如意";
        composition.width = 320;
        composition.height = 240;
        composition.fps = 12;
    }
};

std::unique_ptr<swf::Movie> load(const std::vector<uint8_t>& swf) {
    swf::LoadResult result = swf::loadMovie(swf);
    if (!result.ok()) {
        ADD_FAILURE() << "the reader refused the movie";
        return nullptr;
    }
    result.movie->readAllDefinitions();
    for (const swf::Diagnostic& d : result.movie->diagnostics) {
        ADD_FAILURE() << "reader diagnostic " << static_cast<int>(d.issue) << " in tag "
                      << d.tagCode;
    }
    return std::move(result.movie);
}

bool stopsAtTheEnd(const swf::Movie& movie) {
    for (const swf::ControlTag& tag : movie.root.frames.back().tags) {
        if (const auto* action = std::get_if<swf::DoAction>(&tag)) {
            return !action->actions.actions.empty() &&
                   action->actions.actions.front().code == swf::op::Stop;
        }
    }
    return false;
}

TEST(ComposeMovie, EveryStyleMakesAMovieThePlayerReads) {
    testApp();
    Inputs in;
    for (const Style& style : allStyles()) {
        SCOPED_TRACE(style.name);
        in.composition.style = style.name;
        const ComposedMovie made = composeMovie(in.composition);
        EXPECT_EQ(made.frames, 9 * 12);
        EXPECT_TRUE(made.musicReencoded);
        const auto movie = load(made.swf);
        ASSERT_TRUE(movie);
        EXPECT_GE(movie->header.version, 8);
        EXPECT_EQ(movie->root.frames.size(), 9u * 12);
        EXPECT_TRUE(stopsAtTheEnd(*movie));

        int photos = 0;
        int fonts = 0;
        int buttons = 0;
        std::size_t glyphs = 0;
        for (uint16_t id = 1; id < 2000; ++id) {
            const swf::Definition* d = movie->find(id);
            if (d == nullptr) {
                continue;
            }
            photos += std::holds_alternative<swf::JpegBitmap>(*d) ? 1 : 0;
            buttons += std::holds_alternative<swf::Button>(*d) ? 1 : 0;
            if (const auto* font = std::get_if<swf::Font>(d)) {
                ++fonts;
                glyphs = font->glyphs.size();
            }
        }
        EXPECT_EQ(photos, 3);
        EXPECT_EQ(fonts, 1);
        EXPECT_EQ(buttons, 1);
        // Only the characters used: 新年快乐 and 祝你万事如意, no two alike.
        EXPECT_EQ(glyphs, 10u);
    }
}

TEST(ComposeMovie, SoundStreamCarriesTheSongFrameByFrame) {
    testApp();
    Inputs in;
    const ComposedMovie made = composeMovie(in.composition);
    const auto movie = load(made.swf);
    ASSERT_TRUE(movie);
    int heads = 0;
    uint64_t samples = 0;
    std::size_t framesWithBlocks = 0;
    for (const swf::Frame& frame : movie->root.frames) {
        for (const swf::ControlTag& tag : frame.tags) {
            const auto* raw = std::get_if<swf::RawControlTag>(&tag);
            if (raw == nullptr) {
                continue;
            }
            if (raw->code == swf::tag::SoundStreamHead2) {
                ++heads;
                ASSERT_GE(raw->body.size(), 4u);
                EXPECT_EQ(raw->body[1] >> 4, 2); // MP3
            }
            if (raw->code == swf::tag::SoundStreamBlock) {
                const auto block = audio::readMp3StreamBlock(raw->body);
                ASSERT_TRUE(block);
                samples += block->sampleCount;
                ++framesWithBlocks;
            }
        }
    }
    EXPECT_EQ(heads, 1);
    // Nine seconds of song at 44.1 kHz, frame by frame, as long as the song lasts.
    EXPECT_GE(samples, 9u * 44100);
    EXPECT_LE(samples, 9u * 44100 + 3 * 1152 + 1105);
    EXPECT_GE(framesWithBlocks, movie->root.frames.size() - 1);
}

TEST(ComposeMovie, SameInputsSameBytesAndLoopingHasNoStop) {
    testApp();
    Inputs in;
    in.composition.style = "圣诞";
    const ComposedMovie first = composeMovie(in.composition);
    const ComposedMovie second = composeMovie(in.composition);
    EXPECT_EQ(first.swf, second.swf);

    in.composition.loop = true;
    in.composition.music.clear();
    const ComposedMovie looping = composeMovie(in.composition);
    const auto movie = load(looping.swf);
    ASSERT_TRUE(movie);
    EXPECT_FALSE(stopsAtTheEnd(*movie));
    EXPECT_EQ(movie->root.frames.size(),
              static_cast<std::size_t>((3 * 4 + kEndingSeconds) * in.composition.fps));
}

TEST(ComposeMovie, ProgressIsReportedAndCancelStops) {
    testApp();
    Inputs in;
    std::vector<double> seen;
    composeMovie(in.composition, [&](double share) {
        seen.push_back(share);
        return true;
    });
    ASSERT_GE(seen.size(), 3u);
    EXPECT_DOUBLE_EQ(seen.front(), 0.0);
    EXPECT_DOUBLE_EQ(seen.back(), 1.0);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_THROW(composeMovie(in.composition, [](double share) { return share < 0.3; }),
                 ComposeCancelled);
}

std::string refusal(const Composition& c) {
    try {
        composeMovie(c);
    } catch (const ComposeError& e) {
        return e.what();
    }
    return "";
}

TEST(ComposeMovie, RefusalsSayWhatToDo) {
    testApp();
    Inputs in;
    Composition none = in.composition;
    none.photos.clear();
    EXPECT_NE(refusal(none).find("至少添加一张照片"), std::string::npos);

    Composition many = in.composition;
    many.photos.assign(kMaxPhotos + 1, in.composition.photos.front());
    EXPECT_NE(refusal(many).find("301"), std::string::npos);

    Composition style = in.composition;
    style.style = "万圣节";
    const std::string styleMessage = refusal(style);
    EXPECT_NE(styleMessage.find("万圣节"), std::string::npos);
    EXPECT_NE(styleMessage.find("简约"), std::string::npos);

    Composition size = in.composition;
    size.width = 10;
    EXPECT_FALSE(refusal(size).empty());

    Composition brokenSong = in.composition;
    writeBytes(brokenSong.music, {'n', 'o', 't', ' ', 'a', ' ', 's', 'o', 'n', 'g'});
    EXPECT_NE(refusal(brokenSong).find("song.wav"), std::string::npos);
}

TEST(ComposeMovie, MissingFontFallsBackAndSaysSo) {
    testApp();
    Inputs in;
    in.composition.music.clear();
    in.composition.fontFamily = "No Such Font Family 123";
    const ComposedMovie made = composeMovie(in.composition);
    ASSERT_FALSE(made.notices.empty());
    EXPECT_NE(made.notices.front().find("No Such Font Family 123"), std::string::npos);
    EXPECT_NE(made.notices.front().find("Noto Sans CJK"), std::string::npos);
}

TEST(WriteFileWhole, ReplacesWholeOrLeavesNothing) {
    ScratchFolder folder;
    const auto target = folder.file("贺卡 影片.swf");
    writeBytes(target, {1, 2, 3});
    writeFileWhole(target, {9, 8, 7, 6});
    std::ifstream in(target, std::ios::binary);
    const std::vector<uint8_t> read{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(read, (std::vector<uint8_t>{9, 8, 7, 6}));

    const auto nowhere = folder.file("no folder") / "movie.swf";
    try {
        writeFileWhole(nowhere, {1});
        FAIL() << "wrote into a folder that is not there";
    } catch (const ComposeError& e) {
        EXPECT_NE(std::string(e.what()).find("movie.swf"), std::string::npos);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);

    // A full disk, as the writer sees one: the file may not grow past a few bytes.
    const auto kept = folder.file("kept.swf");
    writeBytes(kept, {4, 5, 6});
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    bool refused = false;
    try {
        writeFileWhole(kept, std::vector<uint8_t>(1 << 16, 1));
    } catch (const ComposeError& e) {
        refused = std::string(e.what()).find("kept.swf") != std::string::npos;
    }
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(refused);
    std::ifstream keptIn(kept, std::ios::binary);
    EXPECT_EQ((std::vector<uint8_t>{std::istreambuf_iterator<char>(keptIn), {}}),
              (std::vector<uint8_t>{4, 5, 6}));
    EXPECT_FALSE(std::filesystem::exists(folder.file("kept.swf.part")));
}

} // namespace
} // namespace composer
