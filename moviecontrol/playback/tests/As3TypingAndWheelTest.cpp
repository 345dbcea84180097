// What an ActionScript 3 movie hears of the wheel and of typing: mouseWheel with its delta to
// the object under the pointer (the stage over empty space), and the focused input field's
// textInput, change and text as keys and committed text reach it through restrict, maxChars,
// a listener that keeps a character out and the editing keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AbcBuilder.h"
#include "As3Scripts.h"
#include "KeyCodes.h"
#include "MoviePlayback.h"
#include "avm2/DisplayClasses.h"
#include "avm2/EventState.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;
using Lines = std::vector<std::string>;

Lines traced;

std::unique_ptr<MoviePlayback> as3Playback() {
    moviemaker::MovieHeader h;
    h.version = 10;
    h.frameRate = 20.0;
    moviemaker::SwfWriter movie(h);
    const std::uint8_t attributes[] = {0x08, 0, 0, 0};
    movie.rawTag(69, attributes); // FileAttributes: ActionScript 3
    avm2test::TraceScript script;
    std::vector<std::uint8_t> doAbc{0, 0, 0, 0, 0};
    const std::vector<std::uint8_t> block = script.build({0x2C, 0x01}); // trace("")
    doAbc.insert(doAbc.end(), block.begin(), block.end());
    movie.rawTag(82, doAbc);
    movie.showFrame();
    movie.showFrame();
    PlaybackSetup setup;
    setup.pace = Pace::FrameSteps;
    setup.callbacks.trace = [](std::string_view line) {
        if (!line.empty()) {
            traced.emplace_back(line);
        }
    };
    auto playback = MoviePlayback::fromBytes(movie.finish(), std::move(setup));
    if (playback) {
        playback->stepFrame();
    }
    traced.clear();
    return playback;
}

std::string text(avm2::Machine& m, const Value& v, const char* name) {
    return m.toString(m.getProperty(v, Name::publicName(name)));
}

// Traces "<type> <target's name>" and the event's own field: delta, text or the field's text.
Value record(avm2::Machine& m, const Value&, Args& a) {
    const Value e = a.empty() ? Value() : a[0];
    const std::string type = text(m, e, "type");
    const Value target = m.getProperty(e, Name::publicName("target"));
    std::string line = type + " " + text(m, target, "name");
    if (type == "mouseWheel") {
        line += " " + text(m, e, "delta");
    } else if (type == "textInput") {
        line += " " + text(m, e, "text");
        // A listener keeps the x out.
        if (text(m, e, "text") == "x") {
            Args none;
            m.callProperty(e, Name::publicName("preventDefault"), none);
        }
    } else if (type == "change") {
        line += " " + text(m, target, "text");
    }
    m.host().trace(line);
    return Value();
}

struct Movie {
    std::unique_ptr<MoviePlayback> playback = as3Playback();
    avm2::Machine& vm = dynamic_cast<As3Scripts&>(playback->runner()).machine();
    Value root = Value::object(avm2::scriptObjectOf(vm, playback->player().rootObject().serial));
    Value stage = vm.getProperty(root, Name::publicName("stage"));

    Value make(const char* cls, const std::string& name) {
        Args none;
        Value o = vm.construct(Value::object(vm.findClass(cls)->classObject), none);
        vm.setProperty(o, Name::publicName("name"), Value::string(name));
        return o;
    }
    void set(const Value& o, const char* property, const Value& v) {
        vm.setProperty(o, Name::publicName(property), v);
    }
    Value call(const Value& o, const char* method, Args args = {}) {
        return vm.callProperty(o, Name::publicName(method), args);
    }
    void listen(const Value& o, const char* type) {
        call(o, "addEventListener", {Value::string(type), Value::object(vm.newNative(record))});
    }
    // A Sprite named `name` filled over (x, y, size, size) pixels of the root.
    Value square(const std::string& name, double x, double y, double size) {
        Value s = make("flash.display::Sprite", name);
        const Value g = vm.getProperty(s, Name::publicName("graphics"));
        call(g, "beginFill", {Value::integer(0xFF0000)});
        call(g, "drawRect",
             {Value::number(x), Value::number(y), Value::number(size), Value::number(size)});
        call(root, "addChild", {s});
        return s;
    }
    // A focused input field with the given limits; each of its events is traced.
    Value field(const char* restrict, int maxChars) {
        Value f = make("flash.text::TextField", "f");
        set(f, "type", Value::string("input"));
        if (restrict != nullptr) {
            set(f, "restrict", Value::string(restrict));
        }
        set(f, "maxChars", Value::integer(maxChars));
        call(root, "addChild", {f});
        listen(f, "textInput");
        listen(f, "change");
        set(stage, "focus", f);
        return f;
    }
};

TEST(As3TypingAndWheelTest, TheWheelTurnGoesToTheObjectUnderThePointerAndBubbles) {
    Movie movie;
    ASSERT_TRUE(movie.playback);
    const Value a = movie.square("a", 0, 0, 50);
    movie.listen(a, "mouseWheel");
    movie.listen(movie.stage, "mouseWheel");
    StageInput& input = movie.playback->input();
    struct Turn {
        double x;
        double y;
        int delta;
        Lines heard;
    };
    const Turn turns[] = {
        {200, 200, 3, {"mouseWheel a 3", "mouseWheel a 3"}}, // the target, then the stage
        {1500, 1500, -2, {"mouseWheel null -2"}},            // empty space: the stage itself
        {400, 400, 0, {}},                                   // no turn, no event
    };
    for (const Turn& t : turns) {
        input.mouseMove(t.x, t.y);
        traced.clear();
        input.wheel(t.delta);
        EXPECT_EQ(traced, t.heard) << t.x << "," << t.y << " turned " << t.delta;
    }
}

struct Typing {
    const char* restrict;
    int maxChars;
    const char* typed; // committed text, one character after another
    Lines heard;
    const char* text;
};

TEST(As3TypingAndWheelTest, CommittedTextPassesRestrictMaxCharsAndTheListenersOneCharacterAtATime) {
    const Typing cases[] = {
        {nullptr, 0, "ab", {"textInput f a", "change f a", "textInput f b", "change f ab"}, "ab"},
        // Refused characters are never announced; a letter of the other case is turned round.
        {"a-z", 0, "B1c", {"textInput f b", "change f b", "textInput f c", "change f bc"}, "bc"},
        {"^0-9", 0, "7q", {"textInput f q", "change f q"}, "q"},
        // A full field takes nothing more.
        {nullptr, 2, "abc", {"textInput f a", "change f a", "textInput f b", "change f ab"}, "ab"},
        // The listener that prevents the default keeps the character out.
        {nullptr, 0, "xy", {"textInput f x", "textInput f y", "change f y"}, "y"},
    };
    for (const Typing& c : cases) {
        Movie movie;
        ASSERT_TRUE(movie.playback);
        const Value f = movie.field(c.restrict, c.maxChars);
        traced.clear();
        movie.playback->input().typeText(c.typed);
        EXPECT_EQ(traced, c.heard) << c.typed;
        EXPECT_EQ(text(movie.vm, f, "text"), c.text) << c.typed;
    }
}

TEST(As3TypingAndWheelTest, KeysTypeAfterTheyAreHeardAndTheEditingKeysErase) {
    Movie movie;
    ASSERT_TRUE(movie.playback);
    const Value f = movie.field(nullptr, 0);
    movie.listen(movie.stage, "keyDown");
    StageInput& input = movie.playback->input();
    for (const char c : std::string("abc")) {
        input.keyDown(*keyOfCharacter(static_cast<char32_t>(c)));
    }
    EXPECT_EQ(text(movie.vm, f, "text"), "abc");
    traced.clear();
    input.keyDown(*keyOfName("Backspace"));
    EXPECT_EQ(traced, (Lines{"keyDown f", "change f ab"}));
    // The caret stands at the end: Delete has nothing after it to erase, and says nothing.
    traced.clear();
    input.keyDown(*keyOfName("Delete"));
    EXPECT_EQ(traced, Lines{"keyDown f"});
    // A single-line field takes no new line; Tab and Escape type nothing.
    traced.clear();
    input.editText(StageInput::TextCommand::Enter);
    input.keyDown(*keyOfName("Escape"));
    EXPECT_EQ(traced, Lines{"keyDown f"});
    movie.set(f, "multiline", Value::boolean(true));
    traced.clear();
    input.editText(StageInput::TextCommand::Enter);
    EXPECT_EQ(traced, (Lines{"textInput f \r", "change f ab\r"}));
    // The caret moves and the selection stretches by the editing commands; typing replaces
    // what is selected.
    using Command = StageInput::TextCommand;
    input.editText(Command::Move, CaretMove::Back);
    input.typeText("X");
    EXPECT_EQ(text(movie.vm, f, "text"), "abX\r");
    input.editText(Command::Move, CaretMove::On, true);
    EXPECT_EQ(text(movie.vm, f, "selectionBeginIndex"), "3");
    EXPECT_EQ(text(movie.vm, f, "selectionEndIndex"), "4");
    // The end the stretch began from stays put as the caret goes back past it.
    input.editText(Command::Move, CaretMove::TextStart, true);
    EXPECT_EQ(text(movie.vm, f, "selectionBeginIndex"), "0");
    EXPECT_EQ(text(movie.vm, f, "selectionEndIndex"), "3");
    input.typeText("Z");
    EXPECT_EQ(text(movie.vm, f, "text"), "Z\r");
    input.editText(Command::SelectAll);
    input.editText(Command::Backspace);
    EXPECT_EQ(text(movie.vm, f, "text"), "");
    // A field the script made dynamic takes no typing at all.
    movie.set(f, "type", Value::string("dynamic"));
    traced.clear();
    input.typeText("z");
    input.editText(StageInput::TextCommand::Backspace);
    EXPECT_TRUE(traced.empty());
}

} // namespace
} // namespace mc
