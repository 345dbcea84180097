#include <gtest/gtest.h>

#include "Css.h"

#include <cmath>
#include <limits>
#include <map>

namespace mc {
namespace {

using Properties = std::vector<std::pair<std::string, std::string>>;

TEST(CssTest, SelectorsShareBlocksAndNamesLoseTheirDashes) {
    const auto rules = parseCss("a, b { font-size: 5 ;UPPER-CASE: x;two--dashes:y}\n.c{}");
    ASSERT_TRUE(rules);
    ASSERT_EQ(rules->size(), 3u);
    EXPECT_EQ((*rules)[0].selector, "a");
    EXPECT_EQ((*rules)[1].selector, "b");
    EXPECT_EQ((*rules)[0].properties,
              (Properties{{"fontSize", "5 "}, {"UPPERCASE", "x"}, {"two-dashes", "y"}}));
    EXPECT_EQ((*rules)[1].properties, (*rules)[0].properties);
    EXPECT_EQ((*rules)[2].selector, ".c");
    EXPECT_TRUE((*rules)[2].properties.empty());
}

TEST(CssTest, OddTextReadsAsPlayersReadIt) {
    // A selector runs to white space, a comma or a brace; values to ';' or '}'.
    auto r = parseCss("a}{}");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->at(0).selector, "a}");
    r = parseCss("a{name}b{:value}");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->at(0).properties, (Properties{{"name}b{", "value"}}));
    r = parseCss("b{;;key: value;;other: value;}");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->at(0).properties, (Properties{{";;key", "value"}, {";other", "value"}}));
    r = parseCss("key {  property  :   test    value    }");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->at(0).properties, (Properties{{"property  ", "test    value    "}}));
    // An unclosed block is fine where a value ended.
    r = parseCss("a{key:;");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->at(0).properties, (Properties{{"key", ""}}));
    EXPECT_TRUE(parseCss("a{"));
    EXPECT_TRUE(parseCss(""));
}

TEST(CssTest, MalformedTextGivesNothing) {
    for (const char* bad : {"long key { a: b }", "name", "{color:red}", "a{name}", "a{key:value",
                            "a{:", "key {property with space: value; }", "a{;;key: v;;}",
                            "one { color: blue; }; this isn't valid!"}) {
        EXPECT_FALSE(parseCss(bad)) << bad;
    }
}

TEST(CssTest, AValueEndsAtItsLine) {
    const auto r = parseCss(".s { color: #ff0000 \n junk; size:\n 5 }");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->at(0).properties, (Properties{{"color", "#ff0000 "}, {"size", "5 "}}));
}

TEST(CssTest, NumbersReadAsScriptsReadThem) {
    struct Case {
        const char* text;
        double integer;
        double real;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case table[] = {
        {"50.5 px", 50, 50.5},
        {" 09", 9, 9},
        {"-50", -50, -50},
        {"x50", nan, nan},
        {"0x1F", 31, 0},
        {"", nan, nan},
        {"+.5e1x", nan, 5},
        {"1e3", 1, 1000},
        {"-Infinity", nan, -std::numeric_limits<double>::infinity()},
    };
    for (const Case& c : table) {
        const double i = cssInteger(c.text);
        const double f = cssFloat(c.text);
        EXPECT_TRUE(std::isnan(c.integer) ? std::isnan(i) : i == c.integer) << c.text;
        EXPECT_TRUE(std::isnan(c.real) ? std::isnan(f) : f == c.real) << c.text;
    }
}

TEST(CssTest, ColoursAndFontFamilies) {
    const std::pair<const char*, std::uint32_t> colours[] = {
        {"#1", 1},        {"#123456", 0x123456}, {"#1234567", 0}, {"#ff0000\t ", 0xFF0000},
        {"#ff0000 0", 0}, {"123456", 0},         {"#red", 0},     {"#", 0},
    };
    for (const auto& [text, rgb] : colours) {
        EXPECT_EQ(cssColor(text), rgb) << text;
    }
    EXPECT_EQ(cssFontFamily("mono, sans-serif,serif"), "_typewriter,_sans,_serif");
    EXPECT_EQ(cssFontFamily(" a b ,, c "), "a b ,c ");
    EXPECT_EQ(cssFontFamily(""), "");
}

TEST(CssTest, SettingsBecomeAModelFormat) {
    const std::map<std::string, std::string> style = {
        {"textAlign", "middle"}, {"fontSize", "x"},      {"leading", "-3"},
        {"color", "#00ff00"},    {"fontWeight", "bold"}, {"marginLeft", "y"},
    };
    const auto settings = cssSettings([&](const char* name) -> std::optional<std::string> {
        const auto it = style.find(name);
        return it != style.end() ? std::optional<std::string>(it->second) : std::nullopt;
    });
    const PartialFormat f = partialFormatOf(settings);
    EXPECT_FALSE(f.align);      // not a word players know
    EXPECT_FALSE(f.size);       // no number
    EXPECT_FALSE(f.leftMargin); // NaN
    EXPECT_EQ(f.leading, -3.0);
    EXPECT_EQ(f.color, 0x00FF00u);
    EXPECT_EQ(f.bold, true);
    EXPECT_EQ(f.kerning, false);
}

TEST(CssTest, CommentsCountAsWhiteSpaceBetweenRulesAndDeclarations) {
    const struct {
        const char* css;
        std::size_t rules;
        Properties first;
    } cases[] = {
        {"/* c */ a { color: #123 } /* d */", 1, {{"color", "#123 "}}},
        {"a /**/, /**/b{x:1}", 2, {{"x", "1"}}},
        {"a { /* in */ x: 1; /* two */ y: 2 }", 1, {{"x", "1"}, {"y", "2 "}}},
        {"a{x:1}/* left open", 1, {{"x", "1"}}},
        {"/**/", 0, {}},
    };
    for (const auto& c : cases) {
        const auto r = parseCss(c.css);
        ASSERT_TRUE(r) << c.css;
        ASSERT_EQ(r->size(), c.rules) << c.css;
        if (c.rules > 0) {
            EXPECT_EQ(r->at(0).selector, "a") << c.css;
            EXPECT_EQ(r->at(0).properties, c.first) << c.css;
        }
    }
}

} // namespace
} // namespace mc
