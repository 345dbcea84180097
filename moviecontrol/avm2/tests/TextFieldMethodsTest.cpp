// TextField's paragraph questions, replaceText and text assignments on the text model, the
// glyph drawing settings' ranges, and flash.text.Font over the fonts a movie embeds.

#include "FakeDisplayHost.h"
#include "avm2/StageFocus.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;

class TextFieldMethods : public ::testing::Test {
  protected:
    avm2test::DisplayTestHost host;
    avm2::Machine vm{host};
    Value field;

    void SetUp() override {
        vm.beginFrame();
        field = make("flash.text::TextField");
    }
    Value make(const std::string& cls, Args args = {}) {
        return vm.construct(Value::object(vm.findClass(cls)->classObject), args);
    }
    Value call(const std::string& method, Args args) {
        return vm.callProperty(field, Name::publicName(method), args);
    }
    std::string get(const Value& v, const std::string& name) {
        return vm.toString(vm.getProperty(v, Name::publicName(name)));
    }
    void set(const std::string& name, const Value& x) {
        vm.setProperty(field, Name::publicName(name), x);
    }
    std::string thrown(const std::function<void()>& work) {
        try {
            work();
        } catch (const avm2::ScriptThrow& t) {
            return vm.className(t.value) + " #" + get(t.value, "errorID");
        }
        return "";
    }
};

TEST_F(TextFieldMethods, ParagraphsCountAnEndAfterTheText) {
    struct Case {
        const char* text;
        double index;
        int first;
        int length;
    };
    const Case cases[] = {
        {"hello", 0, 0, 5},         {"hello", 4, 0, 5},     {"hello", 5, 0, 6},
        {"hello", 6, -1, -1},       {"hello", -1, -1, -1},  {"hello\n", 5, 0, 6},
        {"hello\n", 6, 6, 1},       {"hello\n", 7, -1, -1}, {"hello\nworld", 6, 6, 5},
        {"hello\nworld", 11, 6, 6}, {"", 0, 0, 1},          {"", 1, -1, -1},
        {"a\r\nb", 2, 2, 1},        {"x", NAN, -1, -1},
    };
    for (const Case& c : cases) {
        set("text", Value::string(c.text));
        const std::string where = std::string(c.text) + " @" + std::to_string(c.index);
        EXPECT_EQ(vm.toNumber(call("getFirstCharInParagraph", {Value::number(c.index)})), c.first)
            << where;
        EXPECT_EQ(vm.toNumber(call("getParagraphLength", {Value::number(c.index)})), c.length)
            << where;
    }
}

TEST_F(TextFieldMethods, ReplacedTextTakesTheFormatWhereItGoes) {
    set("text", Value::string("abc"));
    Value bold = make("flash.text::TextFormat");
    vm.setProperty(bold, Name::publicName("bold"), Value::boolean(true));
    call("setTextFormat", {bold, Value::number(1), Value::number(2)});
    call("replaceText", {Value::number(1), Value::number(2), Value::string("XY")});
    EXPECT_EQ(get(field, "text"), "aXYc");
    EXPECT_EQ(get(call("getTextFormat", {Value::number(1), Value::number(3)}), "bold"), "true");
    EXPECT_EQ(get(call("getTextFormat", {Value::number(3)}), "bold"), "false");
    EXPECT_EQ(thrown([&] {
                  call("replaceText", {Value::number(2), Value::number(1), Value()});
              }),
              "TypeError #2007");
    EXPECT_EQ(thrown([&] {
                  call("replaceText", {Value::number(3), Value::number(9), Value::string("")});
              }),
              "RangeError #2006");
    // Assigned text takes the format for new text, not the one the old text had; line ends
    // become paragraph ends.
    call("setTextFormat", {bold});
    set("text", Value::string("p\nq"));
    EXPECT_EQ(get(call("getTextFormat", {}), "bold"), "false");
    set("defaultTextFormat", bold);
    EXPECT_EQ(get(call("getTextFormat", {}), "bold"), "false");
    // The same text again changes nothing; other text takes the new default.
    set("text", Value::string("p\nq"));
    EXPECT_EQ(get(call("getTextFormat", {}), "bold"), "false");
    set("text", Value::string("p\nr"));
    EXPECT_EQ(get(call("getTextFormat", {}), "bold"), "true");
    EXPECT_EQ(vm.toNumber(vm.getProperty(field, Name::publicName("length"))), 3);
    EXPECT_EQ(vm.toNumber(call("getFirstCharInParagraph", {Value::number(2)})), 2);
}

TEST_F(TextFieldMethods, DrawingSettingsKeepTheirRanges) {
    EXPECT_EQ(get(field, "antiAliasType"), "normal");
    EXPECT_EQ(get(field, "gridFitType"), "pixel");
    set("antiAliasType", Value::string("advanced"));
    set("antiAliasType", Value::string("blurry"));
    EXPECT_EQ(get(field, "antiAliasType"), "advanced");
    set("gridFitType", Value::string("subpixel"));
    EXPECT_EQ(get(field, "gridFitType"), "subpixel");
    set("gridFitType", Value::string("other"));
    EXPECT_EQ(get(field, "gridFitType"), "none");
    const std::pair<double, const char*> sharpness[] = {
        {-INFINITY, "-400"}, {539, "400"}, {-100.5, "-100.5"}, {NAN, "NaN"}};
    for (const auto& [given, read] : sharpness) {
        set("sharpness", Value::number(given));
        EXPECT_EQ(get(field, "sharpness"), read);
    }
    set("thickness", Value::number(INFINITY));
    EXPECT_EQ(get(field, "thickness"), "200");
    set("thickness", Value::number(-300));
    EXPECT_EQ(get(field, "thickness"), "-200");
}

TEST_F(TextFieldMethods, FontsDescribeWhatTheMovieEmbeds) {
    host.tree.fonts = {{"Serif Bold", true, false}, {"Plain", false, false}};
    host.tree.fontClasses["pkg.Italic"] = {"Script", false, true};
    Args none;
    Value list = vm.callProperty(Value::object(vm.findClass("flash.text::Font")->classObject),
                                 Name::publicName("enumerateFonts"), none);
    ASSERT_TRUE(list.isObject());
    ASSERT_EQ(list.asObject()->elements.size(), 2u);
    EXPECT_EQ(get(list.asObject()->elements[0], "fontName"), "Serif Bold");
    EXPECT_EQ(get(list.asObject()->elements[0], "fontStyle"), "bold");
    EXPECT_EQ(get(list.asObject()->elements[1], "fontStyle"), "regular");
    EXPECT_EQ(get(list.asObject()->elements[1], "fontType"), "embedded");
    // A plain Font names nothing.
    Value plain = make("flash.text::Font");
    EXPECT_EQ(get(plain, "fontName") + get(plain, "fontStyle") + get(plain, "fontType"),
              "nullnullnull");
}

TEST_F(TextFieldMethods, SelectionsStayWithinTheTextAndKeepTheirCaret) {
    set("text", Value::string("Input text"));
    const auto selection = [&] {
        return get(field, "selectionBeginIndex") + "," + get(field, "selectionEndIndex") + "," +
               get(field, "caretIndex");
    };
    EXPECT_EQ(selection(), "0,0,0");
    struct Case {
        double from;
        double to;
        const char* read;
    };
    const Case table[] = {
        {2, 5, "2,5,5"}, // drawn forwards: the caret at the end
        {5, 2, "2,5,2"}, // drawn backwards: the caret at the beginning
        {-3, 99, "0,10,10"}, {NAN, 4, "0,4,4"}, {INFINITY, 1, "1,10,1"},
    };
    for (const Case& c : table) {
        call("setSelection", {Value::number(c.from), Value::number(c.to)});
        EXPECT_EQ(selection(), c.read) << c.from << "-" << c.to;
    }
    // Text taken away leaves the selection at the end.
    call("setSelection", {Value::integer(6), Value::integer(9)});
    set("text", Value::string("Inp"));
    EXPECT_EQ(selection(), "3,3,3");

    // The selection gives way to new text; a field without the focus keeps its indices.
    set("text", Value::string("Input text"));
    call("setSelection", {Value::integer(2), Value::integer(5)});
    call("replaceSelectedText", {Value::string("PUTT")});
    EXPECT_EQ(get(field, "text"), "InPUTT text");
    EXPECT_EQ(selection(), "2,5,5");
    // The focused one's caret follows what was put in.
    avm2::setFocus(vm, field.asObject());
    call("setSelection", {Value::integer(0), Value::integer(2)});
    call("replaceSelectedText", {Value::string("AAA")});
    EXPECT_EQ(get(field, "text"), "AAAPUTT text");
    EXPECT_EQ(selection(), "3,3,3");
    // Not with a style sheet.
    vm.setProperty(field, Name::publicName("styleSheet"), make("flash.text::StyleSheet"));
    EXPECT_EQ(thrown([&] { call("replaceSelectedText", {Value::string("x")}); }), "Error #2009");
}

} // namespace

namespace {

// maxChars and restrict read back as a script gave them (maxChars an int, restrict null or
// text) and tell the field what limits typing; a script's own text is never cut.
TEST_F(TextFieldMethods, InputLimitsReadBackAsGiven) {
    EXPECT_EQ(get(field, "maxChars"), "0");
    EXPECT_EQ(get(field, "restrict"), "null");
    const avm2::NodeId node = field.asObject()->displayNode;
    auto setting = [&](const char* name) {
        return host.tree.textSettings[std::make_pair(node, std::string(name))];
    };
    const struct {
        Value given;
        const char* read;
        const char* setting;
    } limits[] = {{Value::number(3), "3", "3"},
                  {Value::number(-1), "-1", "-1"},
                  {Value::number(2.9), "2", "2"},
                  {Value::number(std::nan("")), "0", "0"},
                  {Value::string("12"), "12", "12"}};
    for (const auto& row : limits) {
        set("maxChars", row.given);
        EXPECT_EQ(get(field, "maxChars"), row.read) << vm.toString(row.given);
        EXPECT_EQ(setting("maxChars"), row.setting);
    }
    set("restrict", Value::string(""));
    EXPECT_EQ(get(field, "restrict"), "");
    EXPECT_EQ(setting("restrict"), "=");
    set("restrict", Value::number(5));
    EXPECT_EQ(get(field, "restrict"), "5");
    set("restrict", Value());
    EXPECT_EQ(get(field, "restrict"), "null");
    EXPECT_EQ(setting("restrict"), "");
}

// type and autoSize take only their class's names (case counts): another name is an argument
// error, null a missing one, and neither changes what was set.
TEST_F(TextFieldMethods, NamedSettingsTakeOnlyTheirNames) {
    const struct {
        const char* setting;
        std::vector<const char*> names;
    } settings[] = {{"type", {"dynamic", "input"}},
                    {"autoSize", {"none", "left", "right", "center"}}};
    for (const auto& row : settings) {
        for (const char* name : row.names) {
            EXPECT_EQ(thrown([&] { set(row.setting, Value::string(name)); }), "") << name;
            EXPECT_EQ(get(field, row.setting), name);
        }
        const std::string kept = row.names.back();
        const std::pair<Value, const char*> wrong[] = {
            {Value::string("INPUT"), "ArgumentError #2008"},
            {Value::string("LEFT"), "ArgumentError #2008"},
            {Value::string(""), "ArgumentError #2008"},
            {Value::number(1), "ArgumentError #2008"},
            {Value::null(), "TypeError #2007"},
            {Value(), "TypeError #2007"}};
        for (const auto& [given, error] : wrong) {
            EXPECT_EQ(thrown([&, &value = given] { set(row.setting, value); }), error)
                << row.setting << "=" << vm.toString(given);
            EXPECT_EQ(get(field, row.setting), kept);
        }
    }
}

// Settings a new field starts with, each read back as set; condenseWhite reaches the field.
TEST_F(TextFieldMethods, EditingSettingsStartAtTheirDefaults) {
    const std::pair<const char*, const char*> defaults[] = {{"condenseWhite", "false"},
                                                            {"alwaysShowSelection", "false"},
                                                            {"mouseWheelEnabled", "true"},
                                                            {"useRichTextClipboard", "false"}};
    for (const auto& [name, value] : defaults) {
        EXPECT_EQ(get(field, name), value) << name;
        const bool flipped = std::string(value) == "false";
        set(name, Value::boolean(flipped));
        EXPECT_EQ(get(field, name), flipped ? "true" : "false") << name;
    }
    const avm2::NodeId node = field.asObject()->displayNode;
    EXPECT_EQ((host.tree.textSettings[std::make_pair(node, std::string("condenseWhite"))]), "true");
}

// A clip used as a button is enabled and tracks no menu until a script says otherwise.
TEST_F(TextFieldMethods, ClipsStartEnabledWithoutMenuTracking) {
    Value clip = make("flash.display::MovieClip");
    EXPECT_EQ(get(clip, "enabled"), "true");
    EXPECT_EQ(get(clip, "trackAsMenu"), "false");
    vm.setProperty(clip, Name::publicName("enabled"), Value::number(0));
    vm.setProperty(clip, Name::publicName("trackAsMenu"), Value::string("x"));
    EXPECT_EQ(get(clip, "enabled"), "false");
    EXPECT_EQ(get(clip, "trackAsMenu"), "true");
}

// The line methods take an int: the number given is cut to one first, so NaN is line 0, a
// fraction goes toward zero and 2^32 + 1 wraps to 1; only what is left is checked.
TEST_F(TextFieldMethods, LineIndexesAreCutToInts) {
    set("text", Value::string("ab\ncd\nef"));
    const avm2::NodeId node = field.asObject()->displayNode;
    host.tree.lines[node].lines = {{0, 3}, {3, 6}, {6, 8}};
    const struct {
        double given;
        const char* offset;
        const char* length;
        const char* lineOfChar;
    } cases[] = {{NAN, "0", "3", "0"},
                 {1.9, "3", "3", "0"},
                 {-0.5, "0", "3", "0"},
                 {4294967297.0, "3", "3", "0"},
                 {2, "6", "2", "0"},
                 {3, "RangeError #2006", "RangeError #2006", "1"},
                 {-1, "RangeError #2006", "RangeError #2006", "-1"},
                 {INFINITY, "0", "3", "0"},
                 {8, "RangeError #2006", "RangeError #2006", "-1"}};
    auto ask = [&](const char* method, double n) {
        std::string out;
        const std::string error =
            thrown([&] { out = vm.toString(call(method, {Value::number(n)})); });
        return error.empty() ? out : error;
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ask("getLineOffset", c.given), c.offset) << c.given;
        EXPECT_EQ(ask("getLineLength", c.given), c.length) << c.given;
        EXPECT_EQ(ask("getLineIndexOfChar", c.given), c.lineOfChar) << c.given;
    }
}

} // namespace

namespace {

TEST_F(TextFieldMethods, AppendedTextKeepsTheFormatsBeforeIt) {
    struct Case {
        double boldFrom, boldTo; // the range set bold before "cd" is appended to "ab"
        const char* read;        // B for bold, - for plain, character by character
    };
    const Case cases[] = {{0, 2, "BBBB"}, {0, 1, "B---"}, {1, 2, "-BBB"}};
    for (const Case& c : cases) {
        set("text", Value::string("ab"));
        Value bold = make("flash.text::TextFormat");
        vm.setProperty(bold, Name::publicName("bold"), Value::boolean(true));
        call("setTextFormat", {bold, Value::number(c.boldFrom), Value::number(c.boldTo)});
        call("appendText", {Value::string("cd")});
        std::string read;
        for (int i = 0; i < 4; ++i) {
            const Value f = call("getTextFormat", {Value::number(i), Value::number(i + 1)});
            read += get(f, "bold") == "true" ? "B" : "-";
        }
        EXPECT_EQ(get(field, "text"), "abcd");
        EXPECT_EQ(read, c.read) << c.boldFrom << "-" << c.boldTo;
    }
}

TEST_F(TextFieldMethods, LineMetricsMeasureTheLineWithItsGutter) {
    set("text", Value::string("ab\ncd"));
    const avm2::NodeId node = field.asObject()->displayNode;
    // begin, end, x, top, ascent, descent, leading, width
    host.tree.lines[node].lines = {{0, 3, 0, 0, 10, 3, 2, 20}, {3, 5, 40, 15, 9, 2, 0, 18}};
    struct Case {
        double line;
        const char* read; // x width height ascent descent leading, or the error
    };
    const Case cases[] = {{0, "2 20 15 10 3 2"},   {1, "42 18 11 9 2 0"},
                          {1.9, "42 18 11 9 2 0"}, {NAN, "2 20 15 10 3 2"},
                          {2, "RangeError #2006"}, {-1, "RangeError #2006"}};
    for (const Case& c : cases) {
        std::string read;
        const std::string error = thrown([&] {
            const Value m = call("getLineMetrics", {Value::number(c.line)});
            EXPECT_EQ(vm.className(m), "TextLineMetrics");
            for (const char* p : {"x", "width", "height", "ascent", "descent", "leading"}) {
                read += (read.empty() ? "" : " ") + get(m, p);
            }
        });
        EXPECT_EQ(error.empty() ? read : error, c.read) << c.line;
    }
    // Made by a script, the metrics take what they are given.
    const Value made = make("flash.text::TextLineMetrics",
                            {Value::number(1), Value::number(2), Value::string("3")});
    EXPECT_EQ(get(made, "height"), "3");
    EXPECT_EQ(get(made, "leading"), "0");
}

} // namespace
