// The keyboard's focus: Tab order, the focus rectangle, Enter on a focused button, and
// editing at the caret with the Selection object.
#include <gtest/gtest.h>

#include <cmath>

#include "InteractiveMovie.h"
#include "StageObject.h"
#include "TextFieldState.h"

namespace mc {
namespace {

using avm1::Value;

// A stage with nothing on it but a stop; the tests add what they need through scripts.
std::vector<uint8_t> emptyMovie() {
    moviemaker::SwfWriter movie(version8());
    movie.doAction(moviemaker::Actions().stop());
    movie.showFrame();
    return movie.finish();
}

struct FocusMovie : InteractiveMovie {
    FocusMovie() : InteractiveMovie(emptyMovie()) {}
    avm1::Machine& machine() { return scripts->machine(); }
    StageObject* root() { return scripts->objectOf(player->rootObject()); }
    StageObject* of(std::string_view name) { return scripts->objectOf(child(name)); }

    // A text field of `parent` at (x, y) pixels, 100 by 20; an input field unless `type`.
    StageObject* field(avm1::Object* parent, std::string_view name, int depth, double x, double y,
                       std::string_view type = "input") {
        avm1::Machine& m = machine();
        const Value args[] = {Value(m.str(name)), Value(depth), Value(x),
                              Value(y),           Value(100),   Value(20)};
        m.callMethod(parent, "createTextField", args);
        StageObject* f = m.get(parent, name).isObject()
                             ? static_cast<StageObject*>(m.get(parent, name).asObject())
                             : nullptr;
        EXPECT_NE(f, nullptr);
        m.set(f, "type", Value(m.str(type)));
        return f;
    }
    // The name of what has the focus, "" for nothing.
    std::string focused() {
        const auto f = input->state().focus.lock();
        return f ? f->name : "";
    }
    std::vector<std::string> tabs(int n, bool backwards = false) {
        std::vector<std::string> seen;
        const KeyStroke tab = *keyOfName("Tab");
        const KeyStroke shift = *keyOfName("LeftShift");
        for (int i = 0; i < n; ++i) {
            if (backwards) {
                input->keyDown(shift);
            }
            input->keyDown(tab);
            input->keyUp(tab);
            if (backwards) {
                input->keyUp(shift);
            }
            seen.push_back(focused());
        }
        return seen;
    }
    Value selection(const char* method, std::span<const Value> args = {}) {
        return machine().callMethod(input->state().selectionObject, method, args);
    }
};

using Names = std::vector<std::string>;

TEST(FocusTest, TabVisitsInputFieldsByPositionAndSkipsTheRest) {
    FocusMovie m;
    m.field(m.root(), "low", 1, 10, 300);
    m.field(m.root(), "right", 2, 300, 100);
    m.field(m.root(), "left", 3, 100, 100);
    m.field(m.root(), "shown", 4, 0, 0, "dynamic");
    StageObject* hidden = m.field(m.root(), "hidden", 5, 0, 200);
    m.machine().set(hidden, "_visible", Value(false));
    EXPECT_EQ(m.tabs(4), (Names{"left", "right", "low", "left"}));
    EXPECT_EQ(m.tabs(2, true), (Names{"low", "right"}));
    // Fields never show the rectangle: their caret marks them.
    EXPECT_FALSE(m.input->focusHighlight());
}

TEST(FocusTest, TabIndexesAndTabChildrenDecideWhoTakesPart) {
    FocusMovie m;
    StageObject* a = m.field(m.root(), "a", 1, 0, 0);
    StageObject* b = m.field(m.root(), "b", 2, 0, 100);
    m.field(m.root(), "c", 3, 0, 200);
    m.machine().callMethod(m.root(), "createEmptyMovieClip",
                           std::vector<Value>{Value(m.machine().str("box")), Value(4)});
    StageObject* inner = m.field(m.of("box"), "inner", 1, 0, 50);
    m.machine().set(b, "tabIndex", Value(1));
    m.machine().set(a, "tabIndex", Value(2));
    m.machine().set(inner, "tabIndex", Value(4294967295.0)); // -1 once wrapped: none
    EXPECT_EQ(m.tabs(3), (Names{"b", "a", "b"}));
    m.machine().set(inner, "tabIndex", Value(m.machine().str("x"))); // not a number: 0
    EXPECT_EQ(m.tabs(2), (Names{"a", "inner"}));
    // Left out with its holder, the focused field gives way to the first in the order.
    m.machine().set(m.of("box"), "tabChildren", Value(false));
    EXPECT_EQ(m.tabs(2), (Names{"b", "a"}));
    m.machine().set(b, "tabEnabled", Value(false));
    EXPECT_EQ(m.tabs(2), (Names{"a", "a"}));
}

TEST(FocusTest, AClipGivenATabIndexTakesPartWithoutHandlers) {
    FocusMovie m;
    avm1::Machine& vm = m.machine();
    const auto clip = [&](const char* name, int depth) {
        vm.callMethod(m.root(), "createEmptyMovieClip",
                      std::vector<Value>{Value(vm.str(name)), Value(depth)});
        return m.of(name);
    };
    // plain: nothing; focusable: focusEnabled only; handled: an onRelease; refused: an
    // index but tabEnabled false.
    StageObject* plain = clip("plain", 1);
    StageObject* focusable = clip("focusable", 2);
    vm.set(focusable, "focusEnabled", Value(true));
    StageObject* handled = clip("handled", 3);
    vm.set(
        handled, "onRelease",
        Value(static_cast<avm1::Object*>(vm.newFunction([](avm1::CallArgs&) { return Value(); }))));
    StageObject* refused = clip("refused", 4);
    vm.set(refused, "tabEnabled", Value(false));
    vm.set(refused, "tabIndex", Value(0));
    vm.set(plain, "tabIndex", Value(3));
    vm.set(focusable, "tabIndex", Value(2));
    vm.set(handled, "tabIndex", Value(1));
    EXPECT_EQ(m.tabs(4), (Names{"handled", "focusable", "plain", "handled"}));
    // Without indexes, only the clip with a handler is a stop again.
    for (StageObject* o : {plain, focusable, handled, refused}) {
        vm.set(o, "tabIndex", Value());
    }
    EXPECT_EQ(m.tabs(2), (Names{"handled", "handled"}));
}

TEST(FocusTest, ArrowsMoveAShownFocusToTheNearestStopThatWay) {
    FocusMovie m;
    avm1::Machine& mm = m.machine();
    // Four boxes 40 by 20 pixels on a square of 100, and an input field below them.
    const auto box = [&](const char* name, int depth, double x, double y) {
        mm.callMethod(m.root(), "createEmptyMovieClip",
                      std::vector<Value>{Value(mm.str(name)), Value(depth)});
        StageObject* clip = m.of(name);
        mm.callMethod(clip, "beginFill", std::vector<Value>{Value(0xFF0000)});
        mm.callMethod(clip, "moveTo", std::vector<Value>{Value(x), Value(y)});
        mm.callMethod(clip, "lineTo", std::vector<Value>{Value(x + 40), Value(y)});
        mm.callMethod(clip, "lineTo", std::vector<Value>{Value(x + 40), Value(y + 20)});
        mm.callMethod(clip, "lineTo", std::vector<Value>{Value(x), Value(y + 20)});
        mm.callMethod(clip, "endFill", std::vector<Value>{});
        mm.set(clip, "tabEnabled", Value(true));
    };
    box("a", 1, 0, 0);
    box("b", 2, 100, 0);
    box("c", 3, 0, 100);
    box("d", 4, 100, 100);
    m.field(m.root(), "f", 5, 0, 200);
    const auto press = [&](const char* key) {
        m.input->keyDown(*keyOfName(key));
        m.input->keyUp(*keyOfName(key));
        return m.focused();
    };
    // Without a focus the arrows move nothing.
    EXPECT_EQ(press("ArrowRight"), "");
    EXPECT_EQ(m.tabs(1), Names{"a"});
    const std::vector<std::pair<const char*, const char*>> walk = {
        {"ArrowRight", "b"}, {"ArrowRight", "b"}, {"ArrowDown", "d"}, {"ArrowLeft", "c"},
        {"ArrowDown", "f"},  {"ArrowUp", "f"}, // the field keeps the arrows for its caret
    };
    for (const auto& [key, then] : walk) {
        EXPECT_EQ(press(key), then) << key;
    }
    // A press takes the shown focus away; the arrows then move nothing.
    EXPECT_EQ(m.tabs(1), Names{"a"});
    m.input->mouseDown(7000, 7000);
    m.input->mouseUp(7000, 7000);
    EXPECT_EQ(press("ArrowRight"), m.focused());
    EXPECT_NE(m.focused(), "b");
}

TEST(FocusTest, FocusChangesAfterTheKeyListenersHeardTheTab) {
    FocusMovie m;
    m.field(m.root(), "a", 1, 0, 0);
    avm1::Machine& mm = m.machine();
    // The listeners write down what they hear, and where the focus was then.
    avm1::Object* keys = mm.newObject();
    mm.defineMethod(keys, "onKeyDown", [&m](avm1::CallArgs&) {
        m.traced.push_back("key, focus on '" + m.focused() + "'");
        return Value();
    });
    avm1::Object* focus = mm.newObject();
    mm.defineMethod(focus, "onSetFocus", [&m](avm1::CallArgs& a) {
        m.traced.push_back("focus " + a.machine.toString(a.arg(0)).str() + " -> " +
                           a.machine.toString(a.arg(1)).str());
        return Value();
    });
    mm.callMethod(mm.get(mm.global(), "Key").asObject(), "addListener",
                  std::vector<Value>{Value(keys)});
    mm.callMethod(m.input->state().selectionObject, "addListener",
                  std::vector<Value>{Value(focus)});
    m.tabs(1);
    EXPECT_EQ(m.take(), (Lines{"key, focus on ''", "focus null -> _level0.a"}));
}

// A clip named "clip" on the root whose roll events are traced by name.
StageObject* rollTracingClip(FocusMovie& m) {
    avm1::Machine& mm = m.machine();
    mm.callMethod(m.root(), "createEmptyMovieClip",
                  std::vector<Value>{Value(mm.str("clip")), Value(1)});
    StageObject* clip = m.of("clip");
    for (const char* name : {"onRollOver", "onRollOut"}) {
        mm.defineMethod(clip, name, [&m, name](avm1::CallArgs&) {
            m.traced.emplace_back(name);
            return Value();
        });
    }
    return clip;
}

TEST(FocusTest, AScriptsFocusRollsOverAndARemovalTellsTheListenersWhatHadIt) {
    FocusMovie m;
    avm1::Machine& mm = m.machine();
    StageObject* clip = rollTracingClip(m);
    avm1::Object* listener = mm.newObject();
    mm.defineMethod(listener, "onSetFocus", [&m](avm1::CallArgs& a) {
        m.traced.push_back(a.machine.toString(a.arg(0)).str() + " -> " +
                           a.machine.toString(a.arg(1)).str());
        return Value();
    });
    m.selection("addListener", std::vector<Value>{Value(listener)});
    const Value target(static_cast<avm1::Object*>(clip));
    m.selection("setFocus", std::span<const Value>(&target, 1));
    m.selection("setFocus", std::span<const Value>(&target, 1));
    // The roll events wait for the script to end; the focus moved once.
    EXPECT_EQ(m.take(), Lines{"null -> _level0.clip"});
    m.player->events().runInputScripts();
    EXPECT_EQ(m.take(), (Lines{"onRollOver", "onRollOut", "onRollOver"}));
    mm.callMethod(clip, "removeMovieClip", {});
    EXPECT_EQ(m.take(), Lines{"_level0.clip -> null"});
    EXPECT_EQ(m.focused(), "");
}

TEST(FocusTest, ADisabledClipHearsNothingOfTheFocusRollingOverIt) {
    struct Case {
        const char* label;
        Value enabled; // what the script sets before the focus comes and goes
        bool heard;
    };
    FocusMovie m;
    avm1::Machine& mm = m.machine();
    const Case cases[] = {
        {"never set", Value(), true},
        {"true", Value(true), true},
        {"false", Value(false), false},
        {"0", Value(0), false},
        {"empty string", Value(mm.str("")), false},
        {"a string", Value(mm.str("no")), true},
    };
    StageObject* clip = rollTracingClip(m);
    const Value target(static_cast<avm1::Object*>(clip));
    const Value nothing = Value::null();
    for (const Case& c : cases) {
        mm.set(clip, "enabled", c.enabled);
        m.selection("setFocus", std::span<const Value>(&target, 1));
        m.selection("setFocus", std::span<const Value>(&nothing, 1));
        m.player->events().runInputScripts();
        const Lines expected = c.heard ? Lines{"onRollOver", "onRollOut"} : Lines{};
        EXPECT_EQ(m.take(), expected) << c.label;
    }
}

TEST(FocusTest, EnterOnAButtonTheKeyboardFocusedPressesIt) {
    InteractiveMovie m(buttonMovie(false));
    const KeyStroke enter = *keyOfName("Enter");
    // The Tab key's focus rolls over the button, which runs its roll-over actions as under
    // the pointer. A press elsewhere takes the focus away again: Enter presses nothing.
    m.input->keyDown(*keyOfName("Tab"));
    EXPECT_EQ(m.take(), Lines{"over"});
    EXPECT_EQ(m.child("btn").buttonState, 0x02);
    m.input->mouseDown(7000, 7000);
    m.input->keyDown(enter);
    EXPECT_EQ(m.take(), Lines{"enter"}); // only the button's own key condition
    m.input->keyUp(enter);
    m.input->mouseUp(7000, 7000);
    EXPECT_TRUE(m.take().empty());

    m.input->keyDown(*keyOfName("Tab"));
    EXPECT_EQ(m.take(), Lines{"over"});
    const auto box = m.input->focusHighlight();
    ASSERT_TRUE(box);
    EXPECT_NEAR(box->xMin, 1000, 1);
    EXPECT_NEAR(box->yMin, 1000, 1);
    EXPECT_NEAR(box->xMax, 5000, 1);
    EXPECT_NEAR(box->yMax, 3000, 1);
    // The button's key condition took Enter: it presses nothing.
    m.input->keyDown(enter);
    m.input->keyUp(enter);
    EXPECT_EQ(m.take(), Lines{"enter"});
    m.input->keyDown(*keyOfName("Space"));
    EXPECT_EQ(m.take(), (Lines{"press", "release"}));
    EXPECT_EQ(m.player->currentFrame(), 1u);

    // _focusrect = false keeps the focus but hides the rectangle.
    avm1::Machine& mm = m.scripts->machine();
    StageObject* button = m.scripts->objectOf(m.child("btn"));
    mm.set(button, "_focusrect", Value(false));
    EXPECT_FALSE(m.input->focusHighlight());
    EXPECT_EQ(mm.get(button, "_focusrect").isBool(), true);
    mm.set(button, "_focusrect", Value::null());
    EXPECT_TRUE(m.input->focusHighlight());
}

TEST(FocusTest, TypingAndBackspaceWorkAtTheCaretTheSelectionSets) {
    FocusMovie m;
    avm1::Machine& mm = m.machine();
    StageObject* f = m.field(m.root(), "f", 1, 0, 0);
    mm.set(f, "text", Value(mm.str("hello")));
    EXPECT_EQ(mm.toNumber(m.selection("getBeginIndex")), -1);
    m.selection("setFocus", std::vector<Value>{Value(static_cast<avm1::Object*>(f))});
    // The focus selects the whole text.
    EXPECT_EQ(mm.toNumber(m.selection("getBeginIndex")), 0);
    EXPECT_EQ(mm.toNumber(m.selection("getEndIndex")), 5);
    EXPECT_EQ(mm.toNumber(m.selection("getCaretIndex")), 5);
    m.selection("setSelection", std::vector<Value>{Value(1), Value(1)});
    m.input->keyDown(*keyOfCharacter('X'));
    EXPECT_EQ(mm.toString(mm.get(f, "text")).str(), "hXello");
    EXPECT_EQ(mm.toNumber(m.selection("getCaretIndex")), 2);
    m.selection("setSelection", std::vector<Value>{Value(9), Value(3)});
    EXPECT_EQ(mm.toNumber(m.selection("getBeginIndex")), 3);
    EXPECT_EQ(mm.toNumber(m.selection("getEndIndex")), 6);
    m.input->keyDown(*keyOfName("Backspace"));
    EXPECT_EQ(mm.toString(mm.get(f, "text")).str(), "hXe");
    m.input->typeText("y你");
    EXPECT_EQ(mm.toString(mm.get(f, "text")).str(), "hXey你");
    EXPECT_EQ(mm.toNumber(m.selection("getCaretIndex")), 5);
    // A full field takes nothing more.
    mm.set(f, "maxChars", Value(5));
    m.input->keyDown(*keyOfCharacter('z'));
    EXPECT_EQ(mm.toString(mm.get(f, "text")).str(), "hXey你");
    // What restrict refuses is dropped before the field counts what it holds; scripts may
    // still set anything.
    mm.set(f, "maxChars", Value::null());
    mm.set(f, "restrict", Value(mm.str("0-9A-Z")));
    m.input->typeText("a1-");
    m.input->keyDown(*keyOfCharacter('b'));
    EXPECT_EQ(mm.toString(mm.get(f, "text")).str(), "hXey你A1B");
    mm.set(f, "maxChars", Value(9));
    m.input->typeText("!2");
    EXPECT_EQ(mm.toString(mm.get(f, "text")).str(), "hXey你A1B2");
    mm.set(f, "text", Value(mm.str("free text")));
    EXPECT_EQ(mm.toString(mm.get(f, "text")).str(), "free text");
    // The arrows move the caret inside the field; Delete takes what follows it.
    mm.set(f, "restrict", Value::null());
    mm.set(f, "text", Value(mm.str("abc")));
    m.selection("setSelection", std::vector<Value>{Value(3), Value(3)});
    m.input->keyDown(*keyOfName("ArrowLeft"));
    m.input->keyDown(*keyOfCharacter('X'));
    m.input->keyDown(*keyOfName("Delete"));
    EXPECT_EQ(mm.toString(mm.get(f, "text")).str(), "abX");
    EXPECT_EQ(m.focused(), "f");
}

TEST(FocusTest, AClickPutsTheCaretBetweenTheCharactersNearestIt) {
    FocusMovie m;
    avm1::Machine& mm = m.machine();
    StageObject* f = m.field(m.root(), "f", 1, 0, 0);
    // The default device font gives "h" and "e" 8 pixels each, after a gutter of 2.
    mm.set(f, "text", Value(mm.str("hello")));
    const auto clickAndType = [&](double xPixels, char c) {
        m.input->mouseDown(xPixels * 20, 200);
        m.input->mouseUp(xPixels * 20, 200);
        m.input->keyDown(*keyOfCharacter(c));
        return mm.toString(mm.get(f, "text")).str();
    };
    EXPECT_EQ(clickAndType(15, 'X'), "heXllo");   // the right half of "e": after it
    EXPECT_EQ(clickAndType(90, 'Y'), "heXlloY");  // past the end of the line
    EXPECT_EQ(clickAndType(1, 'Z'), "ZheXlloY");  // the gutter: before the first
    EXPECT_EQ(clickAndType(9, 'W'), "ZWheXlloY"); // the right half of "Z" (9 pixels)
    // Dragging selects from the press to the pointer, whichever way it goes.
    m.input->mouseDown(90 * 20, 200);
    m.input->mouseMove(1, 200);
    EXPECT_EQ(mm.toNumber(m.selection("getBeginIndex")), 0);
    EXPECT_EQ(mm.toNumber(m.selection("getEndIndex")), 9);
    m.input->mouseUp(9 * 20, 200);
    EXPECT_EQ(mm.toNumber(m.selection("getBeginIndex")), 1);
    EXPECT_EQ(mm.toNumber(m.selection("getCaretIndex")), 1);
    m.input->mouseMove(1, 200); // the button is up: nothing more is selected
    EXPECT_EQ(mm.toNumber(m.selection("getBeginIndex")), 1);
    m.input->keyDown(*keyOfCharacter('V'));
    EXPECT_EQ(mm.toString(mm.get(f, "text")).str(), "ZV");
}

TEST(FocusTest, SetFocusAnswersWhetherTheFocusMovedAndClipsMustBeEnabled) {
    FocusMovie m;
    avm1::Machine& mm = m.machine();
    mm.callMethod(m.root(), "createEmptyMovieClip",
                  std::vector<Value>{Value(mm.str("mc")), Value(1)});
    const Value mc(static_cast<avm1::Object*>(m.of("mc")));
    const auto answer = [&](std::vector<Value> args) {
        const Value v = m.selection("setFocus", args);
        return v.isBool() ? (v.asBool() ? "true" : "false") : "no boolean";
    };
    EXPECT_STREQ(answer({}), "false");
    EXPECT_STREQ(answer({mc}), "false");
    EXPECT_EQ(m.focused(), "") << "a clip takes the focus only when focus-enabled";
    mm.set(m.of("mc"), "focusEnabled", Value(true));
    EXPECT_STREQ(answer({mc, Value(5)}), "false");
    EXPECT_EQ(m.focused(), "");
    EXPECT_STREQ(answer({mc}), "true");
    EXPECT_EQ(m.focused(), "mc");
    EXPECT_STREQ(answer({Value(mm.str("nothing"))}), "false");
    EXPECT_EQ(m.focused(), "mc");
    // An object that is no clip is read as a path, by its text.
    mm.set(m.of("mc"), "focusEnabled", Value(true));
    EXPECT_STREQ(answer({Value()}), "true");
    avm1::Object* path = mm.newObject();
    int asked = 0;
    mm.defineMethod(path, "toString", [&](avm1::CallArgs& c) {
        ++asked;
        return Value(c.machine.str("mc"));
    });
    EXPECT_STREQ(answer({Value(path)}), "true");
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(m.focused(), "mc");

    // Hiding the focused clip takes the focus; hiding a hidden one again does not.
    mm.set(m.of("mc"), "_visible", Value(false));
    EXPECT_EQ(m.focused(), "");
    EXPECT_STREQ(answer({mc}), "true");
    mm.set(m.of("mc"), "_visible", Value(false));
    EXPECT_EQ(m.focused(), "mc");
    EXPECT_STREQ(answer({Value::null()}), "true");
    EXPECT_EQ(m.focused(), "");

    // The selection's indices stay inside a text that shrank under them.
    StageObject* f = m.field(m.root(), "f", 2, 0, 0);
    mm.set(f, "text", Value(mm.str("Some relatively long text")));
    answer({Value(static_cast<avm1::Object*>(f))});
    m.selection("setSelection", std::vector<Value>{Value(10), Value(15)});
    m.selection("setSelection", std::vector<Value>{Value(1), Value(2), Value(3)});
    EXPECT_EQ(mm.toNumber(m.selection("getBeginIndex")), 10) << "three arguments are ignored";
    mm.set(f, "text", Value(mm.str("too short")));
    EXPECT_EQ(mm.toNumber(m.selection("getBeginIndex")), 9);
    mm.set(f, "text", Value(mm.str("")));
    EXPECT_EQ(mm.toNumber(m.selection("getEndIndex")), 0);
}

TEST(FocusTest, MousePositionIsCountedInWholeTwipsOfTheClip) {
    FocusMovie m;
    avm1::Machine& mm = m.machine();
    mm.callMethod(m.root(), "createEmptyMovieClip",
                  std::vector<Value>{Value(mm.str("small")), Value(1)});
    mm.callMethod(m.root(), "createEmptyMovieClip",
                  std::vector<Value>{Value(mm.str("flat")), Value(2)});
    StageObject* small = m.of("small");
    mm.set(small, "_xscale", Value(42));
    mm.set(small, "_yscale", Value(42));
    mm.set(small, "_x", Value(10.5));
    mm.set(m.of("flat"), "_xscale", Value(0));
    m.input->mouseMove(6160, 6800);
    // The clip counts as placed at 11 pixels: 6160 / 0.42 - 220 / 0.42 = 14666.67 - 523.81,
    // each part in whole twips: 14667 - 524 = 14143 twips, 707.15 pixels.
    EXPECT_DOUBLE_EQ(mm.toNumber(mm.get(small, "_xmouse")), 707.15);
    EXPECT_DOUBLE_EQ(mm.toNumber(mm.get(small, "_ymouse")), 809.5);
    // A clip scaled to nothing cannot turn the point back: a twentieth of the stage's.
    EXPECT_DOUBLE_EQ(mm.toNumber(mm.get(m.of("flat"), "_xmouse")), 15.4);
    EXPECT_DOUBLE_EQ(mm.toNumber(mm.get(m.root(), "_ymouse")), 340);
}

} // namespace
} // namespace mc
