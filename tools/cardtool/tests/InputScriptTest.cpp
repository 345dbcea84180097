#include <gtest/gtest.h>

#include <string>

#include "InputScript.h"

namespace {

using Command = mc::StageInput::TextCommand;

TEST(InputScriptTest, TextEventsReadAsTypedTextAndEditingCommands) {
    const std::string json = R"([
        {"type": "TextInput", "codepoint": "é"},
        {"type": "TextControl", "code": "Backspace"},
        {"type": "TextControl", "code": "SelectAll"},
        {"type": "TextControl", "code": "MoveRight"},
        {"type": "TextControl", "code": "SelectLeftLine"},
        {"type": "TextControl", "code": "MoveRightDocument"},
        {"type": "Wait"},
        {"type": "TextControl", "code": "MoveLeftWord"},
        {"type": "TextControl", "code": "Paste"},
        {"type": "TextInput", "codepoint": ""},
        {"type": "TextInput", "codepoint": "ab"}
    ])";
    std::string error;
    const auto script = readInputScript(json, error);
    ASSERT_TRUE(script) << error;
    ASSERT_EQ(script->frames.size(), 1u);
    const auto& events = script->frames[0];
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[0].kind, InputEvent::Kind::Text);
    EXPECT_EQ(events[0].text, "é");
    EXPECT_EQ(events[1].command, Command::Backspace);
    EXPECT_EQ(events[2].command, Command::SelectAll);
    EXPECT_EQ(events[3].command, Command::Move);
    EXPECT_EQ(events[3].move, mc::CaretMove::On);
    EXPECT_FALSE(events[3].extend);
    EXPECT_EQ(events[4].move, mc::CaretMove::LineStart);
    EXPECT_TRUE(events[4].extend);
    EXPECT_EQ(events[5].move, mc::CaretMove::TextEnd);
    // Words, the clipboard and texts of more or less than one character are left out.
    EXPECT_EQ(script->skipped.size(), 4u);
}

} // namespace
