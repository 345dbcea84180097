#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "EmbeddedFonts.h"
#include "MovieCatalog.h"

namespace mc {
namespace {

swf::Font fontOf(std::string name, bool bold, bool italic, bool glyphs) {
    swf::Font f;
    f.name = std::move(name);
    f.bold = bold;
    f.italic = italic;
    if (glyphs) {
        f.glyphs.push_back(swf::Glyph{});
    }
    return f;
}

// Sans: a device font (no glyphs) and an italic with glyphs. Script: bold, glyphs, exported
// as "linkedScript". "linkedDevice" exports a font without glyphs, "linkedShape" a shape.
class Fonts : public ::testing::Test {
  protected:
    Fonts() {
        movie.dictionary.emplace(1, fontOf("Sans", false, false, false));
        movie.dictionary.emplace(2, fontOf("Sans", false, true, true));
        movie.dictionary.emplace(3, fontOf("Script", true, false, true));
        movie.dictionary.emplace(4, swf::Shape{});
        movie.exports["linkedScript"] = 3;
        movie.exports["linkedDevice"] = 1;
        movie.exports["linkedShape"] = 4;
    }
    swf::Movie movie;
};

TEST_F(Fonts, AFamilyFindsItsStyleOrWhenAllowedAnyStyleWithGlyphs) {
    EmbeddedFont f = embeddedFontNamed(movie, "Sans", false, true, StyleMatch::Exact);
    EXPECT_EQ(f.id, 2);
    EXPECT_EQ(f.font, movie.findAs<swf::Font>(2));
    EXPECT_EQ(embeddedFontNamed(movie, "Sans", false, false, StyleMatch::Preferred).id, 2);
    // The upright Sans has no glyphs: asked for exactly, the family is not there.
    EXPECT_EQ(embeddedFontNamed(movie, "Sans", false, false, StyleMatch::Exact).font, nullptr);
}

TEST_F(Fonts, AnExportNamesItsFontWhateverItsStyle) {
    for (const StyleMatch match : {StyleMatch::Exact, StyleMatch::Preferred}) {
        const EmbeddedFont f = embeddedFontNamed(movie, "linkedScript", false, false, match);
        EXPECT_EQ(f.id, 3);
        EXPECT_EQ(f.font, movie.findAs<swf::Font>(3));
    }
    EXPECT_EQ(MovieCatalog(movie).fontNamed("linkedScript", false, true),
              movie.findAs<swf::Font>(3));
}

TEST_F(Fonts, ExportsOfNoGlyphsOrNoFontAndUnknownNamesFindNothing) {
    for (const char* name : {"linkedDevice", "linkedShape", "Nothing", "linkedscript", ""}) {
        EXPECT_EQ(embeddedFontNamed(movie, name, false, false, StyleMatch::Preferred).font, nullptr)
            << name;
    }
}

TEST(EmbeddedFontsTest, AMissingStyleFallsBackToTheNearestOneOfTheFamily) {
    // Which of the faces embedded answers each style asked for: the other weight first,
    // then the other slant, then both. Faces: (bold, italic).
    struct Case {
        std::vector<std::pair<bool, bool>> faces;
        std::pair<bool, bool> asked;
        std::pair<bool, bool> answer;
    };
    const Case cases[] = {
        {{{false, true}, {true, false}, {true, true}}, {false, false}, {true, false}},
        {{{false, true}, {true, true}}, {false, false}, {false, true}},
        {{{false, true}, {true, true}}, {true, false}, {true, true}},
        {{{true, false}, {true, true}}, {false, true}, {true, true}},
        {{{true, true}}, {false, false}, {true, true}},
        {{{false, false}}, {true, true}, {false, false}},
    };
    for (const Case& c : cases) {
        swf::Movie movie;
        std::uint16_t id = 1;
        for (const auto& [bold, italic] : c.faces) {
            movie.dictionary.emplace(id++, fontOf("Mono", bold, italic, true));
        }
        // The name matches whatever its case.
        const EmbeddedFont f =
            embeddedFontNamed(movie, "mONO", c.asked.first, c.asked.second, StyleMatch::Preferred);
        ASSERT_NE(f.font, nullptr);
        EXPECT_EQ(std::pair(f.font->bold, f.font->italic), c.answer)
            << c.asked.first << c.asked.second;
        EXPECT_EQ(
            embeddedFontNamed(movie, "mONO", c.answer.first, c.answer.second, StyleMatch::Exact)
                .font,
            f.font);
    }
}

} // namespace
} // namespace mc
