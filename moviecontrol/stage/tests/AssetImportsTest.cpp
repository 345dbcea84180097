#include <gtest/gtest.h>

#include <array>
#include <map>

#include "ScriptedMovie.h"
#include "StageObject.h"

namespace mc {
namespace {

using moviemaker::Actions;
using moviemaker::PlaceObject;
using moviemaker::Sprite;
using moviemaker::SwfWriter;

// A stage whose files beside the movie come from `files`; what was asked for is in `opened`.
struct ImportingStage {
    ImportingStage(std::vector<std::uint8_t> bytes,
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

// A library of `swfVersion`: a sprite exported as `name` whose frame runs `frame`, init actions
// for it, and a root frame of its own.
std::vector<std::uint8_t> library(int swfVersion, std::string_view name, const Actions& frame) {
    SwfWriter movie(version(swfVersion));
    Sprite clip;
    clip.doAction(frame);
    clip.showFrame();
    const std::uint16_t id = movie.defineSprite(clip);
    movie.doInitAction(id, Actions().trace("library init"));
    movie.exportAssets(id, name);
    movie.doAction(Actions().trace("library root frame"));
    movie.showFrame();
    return movie.finish();
}

// A movie importing `names` from `url` (ImportAssets2 when `second`), then running `script`
// and placing the first import at depth 1 as "placed" unless `place` is false.
std::vector<std::uint8_t> importer(int swfVersion, std::string_view url,
                                   std::vector<std::string_view> names, const Actions& script,
                                   bool place = true, bool second = false) {
    SwfWriter movie(version(swfVersion));
    const std::uint16_t first = movie.importAssets(url, names, second);
    movie.doAction(script);
    if (place) {
        PlaceObject p;
        p.depth = 1;
        p.characterId = first;
        p.name = "placed";
        movie.placeObject(p);
    }
    movie.showFrame();
    return movie.finish();
}

TEST(AssetImportsTest, AnImportedClipPlaysTheExportersSpriteAfterItsInitActions) {
    // Both tag forms, across versions: the library's init actions run before the importer's
    // first frame; the library's own root frame never plays; the placed clip runs its frame.
    for (const bool second : {false, true}) {
        for (const int v : {5, 6, 7, 8}) {
            SCOPED_TRACE(testing::Message() << "version " << v << " second " << second);
            ImportingStage stage(
                importer(v, "lib.swf", {"clip"}, Actions().trace("importer"), true, second),
                {{"lib.swf", library(v, "clip", Actions().trace("in clip"))}});
            EXPECT_EQ(stage.traced, (Lines{"library init", "importer", "in clip"}));
            const auto placed = stage.child("placed");
            ASSERT_NE(placed, nullptr);
            EXPECT_NE(placed->library, 0);
            EXPECT_NE(placed->clip, nullptr);
            stage.player->advance();
            EXPECT_EQ(stage.traced.size(), 3u);
        }
    }
}

TEST(AssetImportsTest, ScriptsAttachAnImportedSymbolByItsImportedName) {
    // attachMovie finds the name the importer gave, its case aside as for exports.
    const Actions attach = Actions()
                               .callMethod("this", "attachMovie", {"Shared", "a", "6"})
                               .traceValue("a._name")
                               .callMethod("this", "attachMovie", {"SHARED", "b", "7"})
                               .traceValue("b._name")
                               .callMethod("this", "attachMovie", {"other", "c", "8"})
                               .traceValue("c");
    ImportingStage stage(importer(7, "lib.swf", {"Shared"}, attach, false),
                         {{"lib.swf", library(7, "clip", Actions().trace("in clip"))}});
    // The library exports "clip", not "Shared": nothing is imported under that name.
    EXPECT_EQ(stage.traced, (Lines{"undefined", "undefined", "undefined"}));

    ImportingStage named(importer(7, "lib.swf", {"clip"}, Actions(), false),
                         {{"lib.swf", library(7, "clip", Actions().trace("in clip"))}});
    named.traced.clear();
    const std::vector<std::uint8_t> attachByName =
        Actions()
            .callMethod("_root", "attachMovie", {"clip", "a", "6"})
            .traceValue("_root.a._name")
            .callMethod("_root", "attachMovie", {"CLIP", "b", "7"})
            .traceValue("_root.b._name")
            .bytes();
    named.scripts->machine().runBlock(attachByName,
                                      named.scripts->objectOf(named.player->rootObject()));
    // The clips' first frames run with the rest of the queued scripts.
    EXPECT_EQ(named.traced, (Lines{"a", "b"}));
    named.player->events().runQueuedScripts();
    EXPECT_EQ(named.traced, (Lines{"a", "b", "in clip", "in clip"}));
}

TEST(AssetImportsTest, ImportedCodeRunsByTheRulesOfTheMovieItComesFrom) {
    // Names compare without case in a version 5 library even inside a version 7 movie, and
    // with case in a version 7 library inside a version 5 one.
    const Actions frame = Actions().setVariable("Mixed", "set").traceValue("mixed");
    for (const auto& [libraryVersion, importerVersion, seen] :
         std::array{std::tuple{5, 7, "set"}, std::tuple{7, 5, "undefined"}, std::tuple{6, 8, "set"},
                    std::tuple{8, 6, "undefined"}}) {
        SCOPED_TRACE(testing::Message() << "library " << libraryVersion);
        ImportingStage stage(importer(importerVersion, "lib.swf", {"clip"}, Actions()),
                             {{"lib.swf", library(libraryVersion, "clip", frame)}});
        EXPECT_EQ(stage.traced, (Lines{"library init", seen}));
    }
}

TEST(AssetImportsTest, ANamePassedOnThroughAnotherMovieReachesItsCharacter) {
    // b.swf imports "x" from c.swf and exports that import as "y"; the importer takes "y".
    SwfWriter b(version(6));
    const std::array<std::string_view, 1> x{"x"};
    const std::uint16_t passed = b.importAssets("c.swf", x);
    b.exportAssets(passed, "y");
    b.showFrame();
    ImportingStage stage(
        importer(6, "b.swf", {"y"}, Actions()),
        {{"b.swf", b.finish()}, {"c.swf", library(6, "x", Actions().trace("from c"))}});
    EXPECT_EQ(stage.traced, (Lines{"library init", "from c"}));
    ASSERT_NE(stage.child("placed"), nullptr);
    EXPECT_EQ(stage.opened, (Lines{"b.swf", "c.swf"}));
}

TEST(AssetImportsTest, MissingFilesNamesAndLoopsLeaveTheIdUndefined) {
    const auto lib = library(6, "clip", Actions().trace("in clip"));
    struct Case {
        const char* url;
        const char* name;
    };
    for (const Case c :
         {Case{"missing.swf", "clip"}, Case{"lib.swf", "nothing"}, Case{"../lib.swf", "clip"},
          Case{"/lib.swf", "clip"}, Case{"file:///lib.swf", "clip"}}) {
        SCOPED_TRACE(c.url);
        ImportingStage stage(importer(6, c.url, {c.name}, Actions().trace("importer")),
                             {{"lib.swf", lib}});
        EXPECT_EQ(stage.traced, (Lines{"importer"}));
        EXPECT_EQ(stage.child("placed"), nullptr);
        // Only files beside the movie are asked for.
        for (const std::string& path : stage.opened) {
            EXPECT_EQ(path.find(".."), std::string::npos);
            EXPECT_NE(path.front(), '/');
        }
    }
    // A movie importing from a movie that imports from it: each is read once and the
    // import that comes back around stays undefined.
    ImportingStage loop(importer(6, "a.swf", {"y"}, Actions().trace("importer")),
                        {{"a.swf", importer(6, "b.swf", {"z"}, Actions(), false)},
                         {"b.swf", importer(6, "a.swf", {"y"}, Actions(), false)}});
    EXPECT_EQ(loop.traced, (Lines{"importer"}));
    EXPECT_EQ(loop.opened, (Lines{"a.swf", "b.swf"}));
}

TEST(AssetImportsTest, ManyNamesFromOneMissingFileAskForItOnce) {
    std::vector<std::string> names;
    names.reserve(500);
    for (int i = 0; i < 500; ++i) {
        names.push_back("n" + std::to_string(i));
    }
    const std::vector<std::string_view> views(names.begin(), names.end());
    ImportingStage stage(importer(6, "gone.swf", views, Actions().trace("importer")), {});
    EXPECT_EQ(stage.traced, (Lines{"importer"}));
    EXPECT_EQ(stage.opened, (Lines{"gone.swf"}));
}

} // namespace
} // namespace mc
