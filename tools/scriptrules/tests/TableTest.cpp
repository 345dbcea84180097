// Rule tables: lists expanded over every combination, version ranges, and malformed tables.

#include "Table.h"
#include "Parser.h"
#include "TableMovie.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scriptrules {
namespace {

std::vector<std::string> sources(const Table& t) {
    std::vector<std::string> out;
    out.reserve(t.lines.size());
    for (const auto& l : t.lines) {
        out.push_back(l.source);
    }
    return out;
}

TEST(RuleTable, ListsExpandOverEveryCombination) {
    const Table t = readTable("# operands\n"
                              "versions 5 7\n"
                              "values A\n  1\n  \"x\"\nend\n"
                              "values B\n null\nend\n"
                              "values AB\n 2\nend\n"
                              "do o = {};\n"
                              "run trace(o);\n"
                              "$A + $B\n"
                              "@6-8 $A === $AB + $A\n");
    EXPECT_EQ(t.versions, (std::vector<uint8_t>{5, 7}));
    EXPECT_EQ(sources(t),
              (std::vector<std::string>{"o = {};", "trace(o);", "1 + null", "\"x\" + null",
                                        "1 === 2 + 1", "\"x\" === 2 + \"x\""}));
    EXPECT_FALSE(t.lines[0].traced);
    EXPECT_TRUE(t.lines[0].statements);
    EXPECT_TRUE(t.lines[1].traced);
    EXPECT_TRUE(t.lines[1].statements);
    EXPECT_FALSE(t.lines[2].statements);
    EXPECT_EQ(t.lines[4].minVersion, 6);
    EXPECT_EQ(t.lines[4].maxVersion, 8);
    // Only known lists expand; a value is not expanded again.
    const Table dollars = readTable("values A\n\"$A\"\nend\n\"$B\" + $A\n");
    EXPECT_EQ(sources(dollars), (std::vector<std::string>{"\"$B\" + \"$A\""}));
}

TEST(RuleTable, MalformedTablesAreRefused) {
    EXPECT_THROW(readTable("values A\n1\n"), ScriptError);
    EXPECT_THROW(readTable("versions 5 x\n"), ScriptError);
    EXPECT_THROW(readTable("@1000 1\n"), ScriptError);
}

TEST(RuleTable, MoviesLeaveOutWhatTheVersionLacks) {
    const Table t = readTable("versions 4 6\n1 + 2\n1 === 2\nnew Object()\n");
    const TableMovie v4 = buildTableMovie(t, 4);
    EXPECT_EQ(v4.skipped.size(), 2U);
    const TableMovie v6 = buildTableMovie(t, 6);
    EXPECT_TRUE(v6.skipped.empty());
    EXPECT_GT(v6.bytes.size(), v4.bytes.size());
    EXPECT_EQ(v6.bytes[3], 6); // the version byte of the header
    const TableMovie statements = buildTableMovie(readTable("versions 6\n1; 2\n"), 6);
    EXPECT_EQ(statements.skipped.size(), 1U); // a traced line holds one expression
}

TEST(RuleTable, InputLinesBecomeTheEventsOfAnInputFile) {
    const Table t = readTable("stage 300 200\n"
                              "button b 10 20 30 40 menu\n"
                              "input move 5 6\n"
                              "input click 7 8\n"
                              "input key a\n"
                              "input keydown Numpad/\n"
                              "input keyup NumpadEnter\n"
                              "input keydown LeftShift\n"
                              "input down 1 2 Right\n"
                              "input wheel -2\n"
                              "input text hé\n"
                              "input control SelectAll\n"
                              "input wait 2\n");
    EXPECT_EQ(t.stageWidth, 300);
    EXPECT_EQ(t.stageHeight, 200);
    ASSERT_EQ(t.buttons.size(), 1U);
    EXPECT_EQ(t.buttons[0].name, "b");
    EXPECT_EQ(t.buttons[0].height, 40);
    EXPECT_TRUE(t.buttons[0].trackAsMenu);
    const Table keyed = readTable("button k 1 2 3 4 keys <Left> <Space> a <PageDown>\n");
    EXPECT_FALSE(keyed.buttons[0].trackAsMenu);
    EXPECT_EQ(keyed.buttons[0].keys,
              (std::vector<std::pair<uint8_t, std::string>>{
                  {1, "<Left>"}, {32, "<Space>"}, {97, "a"}, {17, "<PageDown>"}}));
    EXPECT_EQ(t.input, (std::vector<std::string>{
                           R"({"type": "MouseMove", "pos": [5, 6]})",
                           R"({"type": "MouseDown", "pos": [7, 8], "btn": "Left"})",
                           R"({"type": "MouseUp", "pos": [7, 8], "btn": "Left"})",
                           R"({"type": "KeyDown", "key": {"Char": "a"}})",
                           R"({"type": "KeyUp", "key": {"Char": "a"}})",
                           R"({"type": "KeyDown", "key": {"Numpad": "/"}})",
                           R"({"type": "KeyUp", "key": "NumpadEnter"})",
                           R"({"type": "KeyDown", "key": "LeftShift"})",
                           R"({"type": "MouseDown", "pos": [1, 2], "btn": "Right"})",
                           R"({"type": "MouseWheel", "lines": -2})",
                           R"({"type": "TextInput", "codepoint": "h"})",
                           R"({"type": "TextInput", "codepoint": "é"})",
                           R"({"type": "TextControl", "code": "SelectAll"})",
                           R"({"type": "Wait"})",
                           R"({"type": "Wait"})",
                       }));
    EXPECT_EQ(inputJson(readTable("input key \"\n")),
              "[\n  {\"type\": \"KeyDown\", \"key\": {\"Char\": \"\\\"\"}},\n"
              "  {\"type\": \"KeyUp\", \"key\": {\"Char\": \"\\\"\"}}\n]\n");
    EXPECT_EQ(inputJson(readTable("1\n")), "");
    // A table with buttons makes a larger movie, the buttons placed before the script.
    const Table plain = readTable("versions 6\n1\n");
    Table withButton = plain;
    withButton.buttons = t.buttons;
    EXPECT_GT(buildTableMovie(withButton, 6).bytes.size(), buildTableMovie(plain, 6).bytes.size());
}

TEST(RuleTable, MalformedInputAndButtonsAreRefused) {
    EXPECT_THROW(readTable("input hover 1 2\n"), ScriptError);
    EXPECT_THROW(readTable("input move 1\n"), ScriptError);
    EXPECT_THROW(readTable("input move 1 x\n"), ScriptError);
    EXPECT_THROW(readTable("input down 1 2 Thumb\n"), ScriptError);
    EXPECT_THROW(readTable("input wait 0\n"), ScriptError);
    EXPECT_THROW(readTable("input move 99999 1\n"), ScriptError);
    EXPECT_THROW(readTable("button b 1 2 0 5\n"), ScriptError);
    EXPECT_THROW(readTable("button b 1 2 3\n"), ScriptError);
    EXPECT_THROW(readTable("button b 1 2 3 4 round\n"), ScriptError);
    EXPECT_THROW(readTable("button b 1 2 3 4 keys\n"), ScriptError);
    EXPECT_THROW(readTable("button b 1 2 3 4 keys <Shift>\n"), ScriptError);
    EXPECT_THROW(readTable("button b 1 2 3 4 keys ab\n"), ScriptError);
    EXPECT_THROW(readTable("button b 1 2 3 4 keys a menu\n"), ScriptError);
    EXPECT_THROW(readTable("stage 0 10\n"), ScriptError);
}

} // namespace
} // namespace scriptrules
