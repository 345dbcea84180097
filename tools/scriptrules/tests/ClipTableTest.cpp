// Clip tables: movies of several frames read back with the player's own reader. Frames,
// library clips, placements with their event handlers (two bytes of flags up to version 5,
// four after), init actions, and tables that are malformed.

#include "ClipTable.h"
#include "Parser.h"
#include "Table.h"
#include "TableMovie.h"
#include "swf/Movie.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

namespace scriptrules {
namespace {

swf::LoadResult load(const TableMovie& movie) {
    swf::LoadResult r = swf::loadMovie(movie.bytes);
    EXPECT_TRUE(r.ok());
    return r;
}

template <typename T> std::vector<T> tagsOf(const swf::Frame& frame) {
    std::vector<T> out;
    for (const swf::ControlTag& tag : frame.tags) {
        if (const auto* t = std::get_if<T>(&tag)) {
            out.push_back(*t);
        }
    }
    return out;
}

constexpr const char* kTable = "timeline\n"
                               "versions 5 6\n"
                               "shape B 10 10\n"
                               "sprite S export Sym\n"
                               "  script trace(1);\n"
                               "  show 2\n"
                               "  place 1 B\n"
                               "end\n"
                               "init S trace(\"init\");\n"
                               "place 2 S name a x 5 y -3\n"
                               "  on load,unload trace(\"x\");\n"
                               "  on construct trace(\"c\");\n"
                               "  on enterFrame function f() {}\n"
                               "label two\n"
                               "show\n"
                               "remove 2\n"
                               "move 3 x 1\n";

TEST(ClipTable, FramesSymbolsAndPlacementsReadBackAsWritten) {
    EXPECT_TRUE(isClipTable("# a comment\n\ntimeline\nversions 6\n"));
    EXPECT_FALSE(isClipTable("versions 6\ntimeline\n"));
    EXPECT_EQ(clipTableVersions(kTable), (std::vector<uint8_t>{5, 6}));

    const TableMovie six = buildClipMovie(kTable, 6);
    EXPECT_TRUE(six.skipped.empty());
    const auto r = load(six);
    ASSERT_TRUE(r.ok());
    const swf::Movie& m = *r.movie;
    // The last frame ends without `show`; the sprite's three frames likewise.
    ASSERT_EQ(m.root.frames.size(), 2u);
    ASSERT_TRUE(m.exports.contains("Sym"));
    const auto* sprite = m.findAs<swf::Sprite>(m.exports.at("Sym"));
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->timeline.frames.size(), 3u);
    EXPECT_EQ(tagsOf<swf::DoAction>(sprite->timeline.frames[0]).size(), 1u);
    EXPECT_EQ(tagsOf<swf::PlaceObject>(sprite->timeline.frames[2]).size(), 1u);

    const swf::Frame& first = m.root.frames[0];
    const auto init = tagsOf<swf::DoInitAction>(first);
    ASSERT_EQ(init.size(), 1u);
    EXPECT_EQ(init[0].spriteId, m.exports.at("Sym"));
    const auto places = tagsOf<swf::PlaceObject>(first);
    ASSERT_EQ(places.size(), 1u);
    const swf::PlaceObject& p = places[0];
    EXPECT_EQ(p.depth, 2);
    EXPECT_EQ(p.name, "a");
    ASSERT_TRUE(p.matrix.has_value());
    EXPECT_EQ(p.matrix->tx, 100); // twips
    EXPECT_EQ(p.matrix->ty, -60);
    ASSERT_EQ(p.clipActions.size(), 3u);
    EXPECT_EQ(p.clipActions[0].events, 0x5u); // load and unload share one block
    EXPECT_EQ(p.clipActions[1].events, 0x40000u);
    EXPECT_EQ(p.clipActions[2].events, 0x2u);
    EXPECT_FALSE(p.clipActions[2].actions.truncated);
    EXPECT_EQ(tagsOf<swf::FrameLabel>(first).at(0).label, "two");

    const swf::Frame& second = m.root.frames[1];
    EXPECT_EQ(tagsOf<swf::RemoveObject>(second).at(0).depth, 2);
    const auto moved = tagsOf<swf::PlaceObject>(second);
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_TRUE(moved[0].move);
    EXPECT_FALSE(moved[0].characterId.has_value());
}

// Version 5 has two bytes of event flags: the construct event does not fit and is left out,
// listed; the others read back whole, as does the list's end.
TEST(ClipTable, OlderMoviesKeepTheEventsTheirFlagsHold) {
    const TableMovie five = buildClipMovie(kTable, 5);
    const auto r = load(five);
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(five.skipped.size(), 1u);
    EXPECT_NE(five.skipped[0].find("construct"), std::string::npos);
    const auto places = tagsOf<swf::PlaceObject>(r.movie->root.frames[0]);
    ASSERT_EQ(places.size(), 1u);
    ASSERT_EQ(places[0].clipActions.size(), 2u);
    EXPECT_EQ(places[0].clipActions[0].events, 0x5u);
    EXPECT_EQ(places[0].clipActions[1].events, 0x2u);
    EXPECT_TRUE(r.movie->diagnostics.empty());
}

// Files beside the movie: text as written with its new lines, and child movies of the
// table's own version, `%V` naming each version's own.
TEST(ClipTable, FilesAndChildMoviesGoBesideTheMovie) {
    constexpr const char* table = "timeline\n"
                                  "versions 6 7\n"
                                  "file data%V.txt a=1&b=%V\\nc\n"
                                  "movie child%V.swf\n"
                                  "  script trace(\"child\");\n"
                                  "  show 2\n"
                                  "endmovie\n"
                                  "script loadMovie(\"child%V.swf\", 5);\n";
    const TableMovie seven = buildClipMovie(table, 7);
    ASSERT_EQ(seven.files.size(), 2u);
    EXPECT_EQ(seven.files[0].first, "data7.txt");
    const std::string text(seven.files[0].second.begin(), seven.files[0].second.end());
    EXPECT_EQ(text, "a=1&b=7\nc");
    EXPECT_EQ(seven.files[1].first, "child7.swf");
    const auto child = swf::loadMovie(seven.files[1].second);
    ASSERT_TRUE(child.ok());
    EXPECT_EQ(child.movie->header.version, 7);
    EXPECT_EQ(child.movie->root.frames.size(), 2u);
    // The child's lines are no part of the parent's timeline.
    const auto r = load(seven);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.movie->root.frames.size(), 1u);
    EXPECT_EQ(tagsOf<swf::DoAction>(r.movie->root.frames[0]).size(), 1u);

    const char* const bad[] = {
        "timeline\nversions 6\nfile ../up.txt x\n",
        "timeline\nversions 6\nfile a/b.txt x\n",
        "timeline\nversions 6\nmovie c.swf\nshow\n",
        "timeline\nversions 6\nmovie c.swf\nmovie d.swf\nendmovie\nendmovie\n",
        "timeline\nversions 6\nendmovie\n",
    };
    for (const char* t : bad) {
        EXPECT_THROW(buildClipMovie(t, 6), ScriptError) << t;
    }
}

TEST(ClipTable, MalformedTablesNameTheirLine) {
    const char* const bad[] = {
        "timeline\nversions 6\nplace 1 Nothing\n",          // an unknown symbol
        "timeline\nversions 6\non load trace(1);\n",        // a handler without a placement
        "timeline\nversions 6\nsprite S\nsprite T\n",       // sprites nested
        "timeline\nversions 6\nsprite S\n",                 // a sprite without its end
        "timeline\nversions 6\nend\n",                      // an end outside a sprite
        "timeline\nversions 6\nplace 0 B\n",                // depth 0
        "timeline\nversions 6\nshape B 1 1\nplace 1 B x\n", // a field without its value
        "timeline\nversions 6\nshape B 1 1\nplace 1 B\non never trace(1);\n",
        "timeline\nversions 6\nshow 0\n",
        "timeline\nversions 6\nfly away\n",
    };
    for (const char* table : bad) {
        EXPECT_THROW(buildClipMovie(table, 6), ScriptError) << table;
    }
    EXPECT_THROW(clipTableVersions("timeline\n"), ScriptError);
    try {
        buildClipMovie("timeline\nversions 6\n\nplace 1 Nothing\n", 6);
    } catch (const ScriptError& e) {
        EXPECT_EQ(std::string(e.what()).substr(0, 7), "line 4:");
    }
}

TEST(ClipTable, StaticTextsSpellTheirTextInOneFont) {
    const Table t = readTable("versions 8\nstatictext 10 20 5 ab a\nstatictext 0 0 10 b\n1\n");
    const auto r = load(buildTableMovie(t, 8));
    ASSERT_TRUE(r.ok());
    const swf::Movie& m = *r.movie;
    const auto places = tagsOf<swf::PlaceObject>(m.root.frames[0]);
    ASSERT_EQ(places.size(), 2u);
    const swf::Font* font = nullptr;
    std::vector<std::string> spelled;
    for (const swf::PlaceObject& p : places) {
        const auto* text = m.findAs<swf::StaticText>(p.characterId.value_or(0));
        ASSERT_NE(text, nullptr);
        ASSERT_EQ(text->records.size(), 1u);
        const swf::TextRecord& record = text->records[0];
        font = m.findAs<swf::Font>(record.fontId.value_or(0));
        ASSERT_NE(font, nullptr);
        std::string s;
        for (const swf::GlyphEntry& g : record.glyphs) {
            ASSERT_LT(g.index, font->glyphs.size());
            s.push_back(static_cast<char>(font->glyphs[g.index].code));
            // Every glyph is 0.6 of the text's height wide.
            EXPECT_EQ(g.advance * 5, *record.height * 3);
        }
        spelled.push_back(s);
    }
    EXPECT_EQ(spelled, (std::vector<std::string>{"ab a", "b"}));
    // One glyph a character, whichever text uses it; the first text's baseline 0.8 of its size
    // below its top.
    EXPECT_EQ(font->glyphs.size(), 3u);
    EXPECT_EQ(places[0].matrix->tx, 200);
    EXPECT_EQ(places[0].matrix->ty, 480);
    EXPECT_THROW(readTable("statictext 1 2 0 a\n"), ScriptError);
    EXPECT_THROW(readTable("statictext 1 2 10\n"), ScriptError);
    EXPECT_THROW(readTable("statictext 1 2 10 \xc3\xa9\n"), ScriptError);
}

} // namespace
} // namespace scriptrules
