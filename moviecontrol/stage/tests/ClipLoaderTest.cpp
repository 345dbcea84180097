#include <gtest/gtest.h>

#include <map>

#include "LoadableFile.h"
#include "RecordingBackend.h"
#include "ScriptedMovie.h"

namespace mc {
namespace {

using moviemaker::Actions;
using moviemaker::FillStyle;
using moviemaker::Shape;
using moviemaker::SwfWriter;

// A stage whose files beside the movie come from `files`; what was read is in `opened`.
struct LoadingStage {
    explicit LoadingStage(std::vector<std::uint8_t> bytes,
                          std::map<std::string, std::vector<std::uint8_t>> beside)
        : files(std::move(beside)), file(std::move(bytes)) {
        loaded = swf::loadMovie(file);
        EXPECT_TRUE(loaded.ok());
        catalog = std::make_unique<MovieCatalog>(*loaded.movie);
        StageCallbacks callbacks;
        callbacks.trace = [this](std::string_view line) { traced.emplace_back(line); };
        callbacks.readBeside = [this](const std::string& path) {
            opened.push_back(path);
            const auto it = files.find(path);
            return it != files.end() ? it->second : std::vector<std::uint8_t>{};
        };
        scripts = std::make_unique<StageScripts>(*loaded.movie, std::move(callbacks));
        player =
            std::make_unique<TimelinePlayer>(*catalog, loaded.movie->root, Rgba{255, 255, 255, 255},
                                             TimelineLimits{}, scripts.get(), loaded.movie.get());
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) {
            player->advance();
        }
    }
    std::shared_ptr<DisplayObject> child(std::string_view name) {
        return player->childByName(player->rootObject(), name, true);
    }

    std::map<std::string, std::vector<std::uint8_t>> files;
    std::vector<std::uint8_t> file;
    swf::LoadResult loaded;
    std::unique_ptr<MovieCatalog> catalog;
    std::unique_ptr<StageScripts> scripts;
    std::unique_ptr<TimelinePlayer> player;
    Lines traced;
    Lines opened;
};

// target.event = function(t, a) { trace("event " + t + " " + a); }
Actions& listen(Actions& a, std::string_view target, const std::string& event) {
    a.push(target).code(0x1C).push(event);
    a.defineFunction("", {"t", "a"},
                     Actions()
                         .push(event + " ")
                         .push("t")
                         .code(0x1C)
                         .code(0x47)
                         .push(" ")
                         .code(0x47)
                         .push("a")
                         .code(0x1C)
                         .code(0x47)
                         .code(0x26));
    return a.code(0x4F);
}

// mcl = new MovieClipLoader(), listening to every event.
Actions loaderWithListeners() {
    Actions a;
    a.push("mcl").pushInt(0).push("MovieClipLoader").code(0x40).code(0x1D);
    for (const char* e :
         {"onLoadStart", "onLoadProgress", "onLoadComplete", "onLoadInit", "onLoadError"}) {
        listen(a, "mcl", e);
    }
    return a;
}

Actions then(Actions a, const Actions& more) {
    a.raw(more.body());
    return a;
}

// A movie with a square of `colour` as character 1, a script in each frame (the last one
// stops).
std::vector<std::uint8_t> squareMovie(moviemaker::Rgb colour, const std::vector<Actions>& frames) {
    SwfWriter movie(version(8));
    Shape box;
    box.fill1(box.addFill(FillStyle::solid({colour.r, colour.g, colour.b, 255})))
        .rectangle(0, 0, 400, 400);
    movie.place(movie.defineShape(box), 1);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        movie.doAction(i + 1 == frames.size() && i > 0 ? then(frames[i], Actions().stop())
                                                       : frames[i]);
        movie.showFrame();
    }
    return movie.finish();
}

// A root with an empty clip "holder" at (100, 50) px that runs `load` in its first frame
// and `check` in its second.
std::vector<std::uint8_t> rootMovie(const Actions& load, const Actions& check = Actions()) {
    const Actions setup = Actions()
                              .callMethod("this", "createEmptyMovieClip", {"holder", "5"})
                              .setVariable("holder._x", 100)
                              .setVariable("holder._y", 50);
    return squareMovie({255, 0, 0}, {then(setup, load), check});
}

TEST(MovieLoaderTest, LoaderEventsArriveInThePlayersOrderAroundTheChildsFirstFrame) {
    const Actions load =
        then(loaderWithListeners(),
             Actions().callMethod("mcl", "loadClip", {"child.swf", "holder"}).trace("asked"));
    const auto child = squareMovie({0, 0, 255}, {Actions().traceValue("this")});
    LoadingStage stage(rootMovie(load), {{"child.swf", child}});
    EXPECT_EQ(stage.traced, (Lines{"asked"}));
    stage.frames(1);
    const std::string size = std::to_string(child.size());
    EXPECT_EQ(stage.traced,
              (Lines{"asked", "onLoadStart _level0.holder undefined",
                     "onLoadProgress _level0.holder " + size,
                     "onLoadProgress _level0.holder " + size, "onLoadComplete _level0.holder 0",
                     "_level0.holder", "onLoadInit _level0.holder undefined"}));
    // The child's single frame does not run its script again.
    stage.frames(2);
    EXPECT_EQ(stage.traced.size(), 7u);
}

TEST(MovieLoaderTest, MissingAndRefusedFilesReportAnErrorAndOnlyFilesBesideAreRead) {
    const Actions load =
        then(loaderWithListeners(),
             Actions()
                 .callMethod("this", "createEmptyMovieClip", {"a", "6"})
                 .callMethod("this", "createEmptyMovieClip", {"b", "7"})
                 .callMethod("mcl", "loadClip", {"missing.swf", "holder"})
                 .callMethod("mcl", "loadClip", {"../outside.swf", "a"})
                 .callMethod("mcl", "loadClip", {"http://example.com/x.swf", "b"}));
    LoadingStage stage(rootMovie(load), {});
    stage.frames(1);
    EXPECT_EQ(stage.traced,
              (Lines{"onLoadError _level0.b URLNotFound", "onLoadError _level0.a URLNotFound",
                     "onLoadError _level0.holder URLNotFound"}));
    EXPECT_EQ(stage.opened, (Lines{"missing.swf"}));
    // A file that is neither a movie nor a picture still loads, as nothing: the clip is
    // emptied and the load completes.
    const Actions text = then(loaderWithListeners(),
                              Actions().callMethod("mcl", "loadClip", {"notes.txt", "holder"}));
    LoadingStage second(rootMovie(text), {{"notes.txt", {'h', 'i'}}});
    second.frames(1);
    EXPECT_EQ(second.traced,
              (Lines{"onLoadStart _level0.holder undefined", "onLoadProgress _level0.holder 2",
                     "onLoadProgress _level0.holder 2", "onLoadComplete _level0.holder 0",
                     "onLoadInit _level0.holder undefined"}));
    EXPECT_NE(second.child("holder")->library, 0);
}

TEST(MovieLoaderTest, LoadedContentComesFromItsOwnDictionaryAndTheClipKeepsItsPlace) {
    const Actions load =
        Actions().setVariable("holder.mark", "old").push("child.swf").push("holder").getUrl2(0x40);
    const Actions check = Actions()
                              .traceValue("holder.mark")
                              .traceValue("holder.own")
                              .traceValue("holder._url")
                              .traceValue("holder._root")
                              .traceValue("holder._parent");
    const auto child = squareMovie({0, 0, 255}, {Actions().setVariable("own", "mine")});
    LoadingStage stage(rootMovie(load, check), {{"child.swf", child}});
    auto holder = stage.child("holder");
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(holder->library, 0);
    stage.frames(1);
    ASSERT_EQ(stage.child("holder"), holder);
    EXPECT_EQ(holder->name, "holder");
    EXPECT_EQ(holder->depth, 5);
    EXPECT_DOUBLE_EQ(holder->matrix.tx, 2000);
    EXPECT_DOUBLE_EQ(holder->matrix.ty, 1000);
    ASSERT_NE(holder->library, 0);
    // What scripts stored on the clip went with its old content.
    EXPECT_EQ(stage.traced,
              (Lines{"undefined", "mine", "file:///child.swf", "_level0", "_level0"}));

    RecordingBackend backend;
    stage.player->render(backend);
    std::vector<DrawCharacter> draws;
    for (const auto& e : backend.entries()) {
        if (e.op == RecordingBackend::Op::Draw) {
            draws.push_back(e.draw);
        }
    }
    ASSERT_EQ(draws.size(), 2u);
    // Both movies call their square 1; each is found in its own movie.
    EXPECT_EQ(draws[0].library, 0);
    EXPECT_EQ(draws[1].library, holder->library);
    EXPECT_EQ(draws[1].characterId, draws[0].characterId);
    EXPECT_DOUBLE_EQ(draws[1].matrix.tx, 2000);
    const swf::Movie* loaded = stage.player->library().movie(holder->library);
    ASSERT_NE(loaded, nullptr);
    const auto* square = loaded->findAs<swf::Shape>(draws[1].characterId);
    ASSERT_NE(square, nullptr);
    ASSERT_FALSE(square->styles.fills.empty());
    EXPECT_EQ(square->styles.fills[0].color.b, 255);
    EXPECT_EQ(square->styles.fills[0].color.r, 0);
    // The root's frames go on at the root's own pace.
    EXPECT_EQ(stage.player->currentFrame(), 1u);
}

TEST(MovieLoaderTest, LockRootMakesTheLoadedMoviesRootItsOwn) {
    const Actions load = Actions().push("child.swf").push("holder").getUrl2(0x40);
    const auto child = squareMovie(
        {0, 0, 255},
        {Actions().traceValue("_root").setVariable("_lockroot", 1).traceValue("_root")});
    LoadingStage stage(rootMovie(load, Actions().traceValue("holder._lockroot")),
                       {{"child.swf", child}});
    stage.frames(1);
    EXPECT_EQ(stage.traced, (Lines{"_level0", "_level0.holder", "true"}));
}

TEST(MovieLoaderTest, LevelsHoldLoadedMoviesAboveTheRootUntilUnloaded) {
    const auto root =
        squareMovie({255, 0, 0}, {Actions().getUrl("child.swf", "_level2"),
                                  Actions().traceValue("_level2._name").traceValue("_level2"),
                                  Actions().getUrl("", "_level2")});
    const auto child = squareMovie({0, 0, 255}, {Actions().traceValue("this").traceValue("_root")});
    LoadingStage stage(root, {{"child.swf", child}});
    EXPECT_EQ(stage.player->levels().level(2), nullptr);
    stage.frames(1);
    ASSERT_NE(stage.player->levels().level(2), nullptr);
    EXPECT_EQ(stage.traced, (Lines{"_level2", "_level2", "", "_level2"}));
    RecordingBackend backend;
    stage.player->render(backend);
    // The level draws above the root's square.
    ASSERT_EQ(backend.drawnIds().size(), 2u);
    EXPECT_EQ(backend.entries().front().draw.library, 0);
    EXPECT_NE(backend.entries().back().draw.library, 0);
    stage.frames(1);
    EXPECT_EQ(stage.player->levels().level(2), nullptr);
    stage.player->render(backend);
    EXPECT_EQ(backend.drawnIds().size(), 1u);
}

// Movies that arrived between ticks come in after the root's enter-frame event, the
// newest request first; a loaded movie's init actions run on its own root. A level moved
// past _level16383 by swapDepths moves no more.
TEST(MovieLoaderTest, LoadsArriveNewestFirstAfterEnterFrameAndInitOnTheirOwnRoot) {
    const Actions enter = Actions()
                              .push("this")
                              .code(0x1C)
                              .push("onEnterFrame")
                              .defineFunction("", {}, Actions().trace("root enterFrame"))
                              .code(0x4F);
    const auto swap = [](std::string_view level, double depth) {
        Actions a;
        a.push(depth).push(1.0).push(level).code(0x1C).push("swapDepths").code(0x52).code(0x17);
        return a;
    };
    const auto root = squareMovie(
        {255, 0, 0},
        {then(enter, Actions().getUrl("a.swf", "_level3").getUrl("b.swf", "_level4")), Actions(),
         then(then(swap("_level4", 10),
                   Actions().traceValue("_level4").traceValue("_level16394._target")),
              then(swap("_level16394", 20), Actions().traceValue("_level16394._target")))});
    const auto child = [](std::string_view name) {
        SwfWriter movie(version(8));
        moviemaker::Sprite empty;
        empty.showFrame();
        const std::uint16_t id = movie.defineSprite(empty);
        movie.doInitAction(id, Actions().trace(std::string(name) + " init").traceValue("_root"));
        movie.doAction(Actions().trace(std::string(name) + " frame").stop());
        movie.showFrame();
        return movie.finish();
    };
    LoadingStage stage(root, {{"a.swf", child("a")}, {"b.swf", child("b")}});
    stage.frames(2);
    // Init actions go before anything queued, as ever; the frames after the root's event.
    EXPECT_EQ(stage.traced,
              (Lines{"b init", "_level4", "a init", "_level3", "root enterFrame", "b frame",
                     "a frame", "root enterFrame", "undefined", "_level16394", "_level16394"}));
}

// A level that swapDepths moved keeps the name it was loaded under in its string form, while
// _target follows its depth. Moved to a clip's depth it can be removed like a clip: without
// its unload handler, and references to it then find nothing.
TEST(MovieLoaderTest, AMovedLevelKeepsItsNameAndLeavesByRemoveMovieClip) {
    Actions moved;
    moved.push(10.0).push(1.0).push("_level4").code(0x1C).push("swapDepths").code(0x52).code(0x17);
    moved.push("").push("_level16394").code(0x1C).code(0x47).code(0x26);
    moved.traceValue("_level16394._target");
    moved.push("ref").push("_level16394").code(0x1C).code(0x1D);
    moved.push("_level16394").code(0x1C).push("onUnload");
    moved.defineFunction("", {}, Actions().trace("unloaded")).code(0x4F);
    moved.push(0.0).push("_level16394").code(0x1C).push("removeMovieClip").code(0x52).code(0x17);
    moved.traceValue("ref._target").traceValue("_level16394").traceValue("_level4");
    const auto root = squareMovie({255, 0, 0}, {Actions().getUrl("b.swf", "_level4"), moved});
    SwfWriter child(version(8));
    child.doAction(Actions().stop());
    child.showFrame();
    LoadingStage stage(root, {{"b.swf", child.finish()}});
    stage.frames(3);
    EXPECT_EQ(stage.traced,
              (Lines{"_level4", "_level16394", "undefined", "undefined", "undefined"}));
}

TEST(MovieLoaderTest, AMovieLoadingItselfEndlesslyStaysWithinBounds) {
    // Each copy makes a clip and loads the same file into it, every frame.
    const Actions again = Actions()
                              .callMethod("this", "createEmptyMovieClip", {"next", "1"})
                              .push("self.swf")
                              .push("next")
                              .getUrl2(0x40);
    SwfWriter movie(version(8));
    movie.doAction(again);
    movie.showFrame();
    const auto self = movie.finish();
    LoadingStage stage(self, {{"self.swf", self}});
    stage.frames(60);
    // The file was read and parsed once; the nesting limit stopped the chain.
    EXPECT_EQ(stage.opened, (Lines{"self.swf"}));
    EXPECT_EQ(stage.player->library().size(), 2u);
    int depth = 0;
    for (auto at = stage.child("next"); at; at = stage.player->childByName(*at, "next", true)) {
        ++depth;
        ASSERT_LT(depth, 100);
    }
    EXPECT_GT(depth, 3);
    EXPECT_LE(depth, TimelineLimits{}.maxNesting + 1);
}

TEST(MovieLoaderTest, PicturesBecomeOneFrameMoviesOfTheirSize) {
    // A PNG header: signature, IHDR length and type, 3 x 2 pixels.
    const std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0,
                                           0,    13,  'I', 'H', 'D',  'R',  0,    0,    0, 3,
                                           0,    0,   0,   2,   8,    6,    0,    0,    0};
    const auto size = pictureSize(png);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, 3u);
    EXPECT_EQ(size->height, 2u);
    const std::vector<std::uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 7, 1, 5, 0};
    EXPECT_EQ(pictureSize(gif)->width, 263u);
    EXPECT_EQ(pictureSize(gif)->height, 5u);
    // JPEG: start, an APP0 segment skipped by its length, then the frame header.
    const std::vector<std::uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0, 4,  0, 0, 0xFF,
                                            0xC0, 0,    11,   8,    0, 40, 0, 30};
    EXPECT_EQ(pictureSize(jpeg)->width, 30u);
    EXPECT_EQ(pictureSize(jpeg)->height, 40u);
    // Cut short, zero-sized or oversized pictures are refused.
    EXPECT_FALSE(pictureSize(std::span(jpeg).first(12)));
    EXPECT_FALSE(pictureSize(std::vector<std::uint8_t>{'G', 'I', 'F', '8', '9', 'a', 0, 0, 5, 0}));
    EXPECT_FALSE(
        pictureSize(std::vector<std::uint8_t>{'G', 'I', 'F', '8', '9', 'a', 0xFF, 0xFF, 5, 0}));
    EXPECT_FALSE(pictureSize(std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF, 0xE0, 0, 1}));

    auto file = readLoadableFile(png, 8);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->movie->header.frameRect.xMax, 60);
    EXPECT_EQ(file->movie->header.frameRect.yMax, 40);
    const auto* bitmap = file->movie->findAs<swf::JpegBitmap>(1);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->imageData.data(), file->ownedBytes.data());
    ASSERT_EQ(file->movie->root.frames.size(), 1u);
    EXPECT_FALSE(readLoadableFile({'h', 'i'}, 8));
    EXPECT_FALSE(readLoadableFile({'F', 'W', 'S'}, 8));
}

} // namespace
} // namespace mc
