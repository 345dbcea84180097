// TextFormat settings take what scripts give them as Flash converts it, by version.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ScriptedMovie.h"
#include "TextFormatValues.h"

namespace mc {
namespace {

using avm1::Value;

TEST(TextFormatRulesTest, WholeNumbersAreCutAndFlooredByVersion) {
    constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
    const TextFormatRule margin = textFormatRule(TextFormatField::LeftMargin);
    const TextFormatRule leading = textFormatRule(TextFormatField::Leading);
    const TextFormatRule size = textFormatRule(TextFormatField::Size);
    const struct {
        TextFormatRule rule;
        double given = 0;
        int version = 0;
        double kept = 0;
    } cases[] = {
        {margin, 10.9, 7, 10},       {margin, -10, 7, 0},        {margin, -10, 8, 0},
        {margin, NAN, 8, 0},         {leading, -10, 7, 0},       {leading, -10, 8, -10},
        {leading, NAN, 7, 0},        {leading, NAN, 8, kLowest}, {size, -10, 6, -10},
        {size, -2.7, 6, -2},         {size, NAN, 6, 0},          {size, INFINITY, 8, kLowest},
        {size, 3e9, 7, -1294967296}, {size, 3e9, 8, kLowest},    {size, 1e21, 7, -559939584},
        {size, 2.5, 8, 2},           {size, 3.5, 8, 4},          {size, -2.5, 8, -2},
        {size, 2.5, 7, 2},           {margin, 3e9, 7, 0},        {margin, 1e21, 8, kLowest},
        {margin, -2.5, 8, 0},        {margin, -INFINITY, 8, 0},  {leading, -2.5, 8, -2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(textFormatWhole(c.given, c.rule, c.version), c.kept)
            << c.given << " in version " << c.version;
    }
}

TEST(TextFormatRulesTest, ColoursWrapToUnsigned32Bits) {
    EXPECT_EQ(textFormatColor(0xFF0000), 0xFF0000);
    EXPECT_EQ(textFormatColor(-1), 4294967295.0);
    EXPECT_EQ(textFormatColor(1e21), 3735027712.0);
    EXPECT_EQ(textFormatColor(4294967296.0 + 5), 5);
    EXPECT_EQ(textFormatColor(NAN), 0);
    EXPECT_EQ(textFormatColor(-INFINITY), 0);
}

TEST(TextFormatRulesTest, AlignmentNamesMatchInAnyCaseOnly) {
    EXPECT_EQ(textFormatAlignment("Left"), "left");
    EXPECT_EQ(textFormatAlignment("CENTER"), "center");
    EXPECT_EQ(textFormatAlignment("justify"), "justify");
    EXPECT_EQ(textFormatAlignment("righto"), "");
    EXPECT_EQ(textFormatAlignment("o"), "");
    EXPECT_EQ(textFormatAlignment(""), "");
}

struct Formats : StoppedMovie {
    using StoppedMovie::StoppedMovie;
    avm1::Object* ctor() { return m().get(m().global(), "TextFormat").asObject(); }
    avm1::Object* made(std::vector<Value> args = {}) { return m().construct(Value(ctor()), args); }
    // The setting as a script would trace it, with its type.
    std::string read(avm1::Object* format, std::string_view name) {
        const Value v = m().get(format, name);
        return std::string(m().typeOf(v)) + " " + m().toString(v).str();
    }
};

TEST(TextFormatRulesTest, SettingsLiveOnThePrototypeAndReadBackConverted) {
    Formats f(7);
    avm1::Machine& m = f.m();
    avm1::Object* proto = m.get(f.ctor(), "prototype").asObject();
    avm1::Object* format =
        f.made({Value(m.str("fname")), Value(2), Value(30), Value(true), Value(false), Value(true),
                Value(m.str("http")), Value(m.str("tgt")), Value(m.str("cEnter")),
                Value(m.str("23")), Value(m.str("32")), Value(12), Value(4)});
    for (const char* name : {"font", "align", "leftMargin", "tabStops", "display"}) {
        EXPECT_TRUE(m.hasOwnProperty(proto, m.str(name))) << name;
    }
    // for..in lists the settings, newest defined first.
    std::string listed;
    for (const avm1::Str& name : m.enumerate(f.made())) {
        listed += name.str() + " ";
    }
    EXPECT_EQ(listed, "letterSpacing kerning display bullet tabStops blockIndent "
                      "leading indent rightMargin leftMargin align underline italic bold target "
                      "url color size font ");
    EXPECT_FALSE(m.hasOwnProperty(proto, m.str("getTextExtent")));
    EXPECT_TRUE(m.hasOwnProperty(format, m.str("getTextExtent")));
    EXPECT_EQ(f.read(format, "align"), "string center");
    EXPECT_EQ(f.read(format, "rightMargin"), "number 32");
    EXPECT_EQ(f.read(format, "display"), "string block");
    EXPECT_EQ(f.read(format, "bullet"), "null null");

    m.set(format, "bold", Value(m.str("string")));
    EXPECT_EQ(f.read(format, "bold"), "boolean true");
    m.set(format, "bold", Value());
    EXPECT_EQ(f.read(format, "bold"), "null null");
    // Alignment ignores what it does not know and what is not there.
    m.set(format, "align", Value(m.str("righto")));
    m.set(format, "align", Value::null());
    EXPECT_EQ(f.read(format, "align"), "string center");
    m.set(format, "indent", Value(m.str("string")));
    EXPECT_EQ(f.read(format, "indent"), "number 0");

    // Tab stops are read when set: later changes to the array do not reach the format.
    avm1::Object* stops = m.newArray(std::vector<Value>{Value(m.str("6")), Value(7.5)});
    m.set(format, "tabStops", Value(stops));
    m.set(stops, "0", Value(99));
    EXPECT_EQ(f.read(format, "tabStops"), "object 6,7");
}

TEST(TextFormatRulesTest, VersionEightKeepsNegativeIndentsAndMarksNonNumbers) {
    Formats f(8);
    avm1::Machine& m = f.m();
    // The constructor wraps its numbers to 32 bits where a setter would mark them.
    avm1::Object* made = f.made({Value(m.str("f")), Value(1e21), Value(), Value(), Value(), Value(),
                                 Value(), Value(), Value(), Value(NAN)});
    EXPECT_EQ(f.read(made, "size"), "number -559939584");
    EXPECT_EQ(f.read(made, "leftMargin"), "number 0");
    avm1::Object* format = f.made();
    m.set(format, "leading", Value(-10));
    EXPECT_EQ(f.read(format, "leading"), "number -10");
    m.set(format, "blockIndent", Value(m.str("string")));
    EXPECT_EQ(f.read(format, "blockIndent"), "number -2147483648");
    m.set(format, "rightMargin", Value(m.str("string")));
    EXPECT_EQ(f.read(format, "rightMargin"), "number 0");
}

TEST(TextFormatRulesTest, DisplayKnowsThreeNamesAndShowsAnythingElseAsABlock) {
    for (const int version : {6, 7, 8}) {
        Formats f(version);
        avm1::Machine& m = f.m();
        avm1::Object* format = f.made();
        const struct {
            Value given;
            const char* kept = nullptr;
        } cases[] = {
            {Value(m.str("inline")), "string inline"},
            {Value(m.str("none")), "string none"},
            {Value(m.str("block")), "string block"},
            {Value(m.str("none")), "string none"},
            {Value::null(), "string block"},
            {Value(m.str("inline")), "string inline"},
            {Value(), "string block"},
            {Value(m.str("INLINE")), "string block"},
            {Value(m.str("none")), "string none"},
            {Value(m.str("")), "string block"},
            {Value(m.str("none")), "string none"},
            {Value(1), "string block"},
            {Value(m.str("none")), "string none"},
            {Value(true), "string block"},
        };
        for (const auto& c : cases) {
            m.set(format, "display", c.given);
            EXPECT_EQ(f.read(format, "display"), c.kept)
                << m.toString(c.given).str() << " in version " << version;
        }
    }
}

TEST(TextFormatRulesTest, TextExtentsGiveHeightsInWholePixelsCut) {
    Formats f(7);
    avm1::Machine& m = f.m();
    avm1::Object* format = f.made({Value(m.str("NoSuchFont")), Value(12)});
    const struct {
        const char* text;
        const char* width;
        const char* height;
        const char* fieldHeight;
    } cases[] = {
        // Lines of 278 twips (222 above the baseline, 56 below): 13.9 pixels, then 27.8.
        {"Hello", "number 33", "number 13", "number 17"},
        {"a\ra", "number 8", "number 27", "number 31"},
    };
    for (const auto& c : cases) {
        const Value text(m.str(c.text));
        avm1::Object* e =
            m.callMethod(format, "getTextExtent", std::span<const Value>(&text, 1)).asObject();
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(f.read(e, "width"), c.width) << c.text;
        EXPECT_EQ(f.read(e, "height"), c.height) << c.text;
        EXPECT_EQ(f.read(e, "textFieldHeight"), c.fieldHeight) << c.text;
        EXPECT_EQ(f.read(e, "ascent"), "number 11") << c.text;
        EXPECT_EQ(f.read(e, "descent"), "number 2") << c.text;
    }
}

} // namespace
} // namespace mc
