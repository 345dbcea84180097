#include <gtest/gtest.h>

#include "StyleSheetClass.h"

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

} // namespace
} // namespace mc
