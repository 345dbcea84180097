// Keys as a movie hears them: which methods answer a key, in what order, what a button's
// key condition keeps from the rest, where the focus may go and how it is marked; and what
// a disabled button keeps from the pointer and where a clip with a hit area is hit.
#include <gtest/gtest.h>

#include "InteractiveMovie.h"
#include "StageObject.h"

namespace mc {
namespace {

using avm1::Value;
using Names = std::vector<std::string>;

// A movie of the given version with a button "btn" whose looks (2000 by 1000 twips at the
// origin) are larger than its hit area (1000 by 500 twips at 500, 250); its actions trace
// "press", "release" and "key x" for the x key. The stage holds it at (1000, 1000).
std::vector<uint8_t> keyMovie(std::uint8_t version) {
    moviemaker::MovieHeader header;
    header.version = version;
    moviemaker::SwfWriter movie(header);
    const uint16_t looks = rectangleShape(movie, {255, 0, 0, 255}, 0, 0, 2000, 1000);
    const uint16_t hit = rectangleShape(movie, {0, 0, 0, 255}, 500, 250, 1000, 500);
    moviemaker::Button b;
    b.records = {{0x07, looks, 1, {}, {}}, {0x08, hit, 2, {}, {}}};
    b.conditions = {{0x0004, moviemaker::Actions().trace("press")},
                    {0x0008, moviemaker::Actions().trace("release")},
                    {static_cast<uint16_t>('x' << 9), moviemaker::Actions().trace("key x")}};
    moviemaker::PlaceObject place;
    place.depth = 1;
    place.characterId = movie.defineButton2(b);
    place.matrix = moviemaker::Matrix::translate(1000, 1000);
    place.name = "btn";
    movie.placeObject(place);
    movie.doAction(moviemaker::Actions().stop());
    movie.showFrame();
    return movie.finish();
}

struct KeyMovie : InteractiveMovie {
    explicit KeyMovie(std::uint8_t version = 8) : InteractiveMovie(keyMovie(version)) {}
    avm1::Machine& machine() { return scripts->machine(); }
    StageObject* root() { return scripts->objectOf(player->rootObject()); }
    StageObject* of(std::string_view name) { return scripts->objectOf(child(name)); }
    StageObject* clip(std::string_view name, int depth) {
        machine().callMethod(root(), "createEmptyMovieClip",
                             std::vector<Value>{Value(machine().str(name)), Value(depth)});
        return of(name);
    }
    // `object`'s methods `names` trace "<label> <method>".
    void traceMethods(avm1::Object* object, const std::string& label,
                      std::initializer_list<const char*> names) {
        for (const char* name : names) {
            machine().defineMethod(object, name, [this, label, name](avm1::CallArgs&) {
                traced.push_back(label + " " + name);
                return Value();
            });
        }
    }
    void listenToKeys() {
        avm1::Object* listener = machine().newObject();
        traceMethods(listener, "listener", {"onKeyDown", "onKeyUp"});
        machine().callMethod(machine().get(machine().global(), "Key").asObject(), "addListener",
                             std::vector<Value>{Value(listener)});
    }
    Value setFocus(Value target) {
        return machine().callMethod(input->state().selectionObject, "setFocus",
                                    std::span<const Value>(&target, 1));
    }
    void press(const KeyStroke& key) {
        input->keyDown(key);
        input->keyUp(key);
    }
    std::string focused() {
        const auto f = input->state().focus.lock();
        return f ? f->name : "";
    }
};

TEST(KeyboardEventsTest, KeyMethodsAnswerOnlyOnTheObjectAScriptOrTheKeyboardFocused) {
    struct Case {
        const char* name;
        std::uint8_t version;
        const char* focusOn; // nullptr: no focus; "" a focus the mouse gave
        Lines heard;
    };
    const Case cases[] = {
        {"no focus: only the listeners", 8, nullptr, {"listener onKeyDown", "listener onKeyUp"}},
        {"focused clip first, then the listeners",
         8,
         "a",
         {"a onKeyDown", "listener onKeyDown", "a onKeyUp", "listener onKeyUp"}},
        {"a focused button too",
         8,
         "btn",
         {"btn onKeyDown", "listener onKeyDown", "btn onKeyUp", "listener onKeyUp"}},
        {"before version 6 no object's method answers", 5, "btn", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeyMovie m(c.version);
        m.traceMethods(m.of("btn"), "btn", {"onKeyDown", "onKeyUp"});
        // Clips made by scripts and listeners come with version 6.
        if (c.version >= 6) {
            StageObject* a = m.clip("a", 5);
            StageObject* b = m.clip("b", 6);
            m.machine().set(a, "focusEnabled", Value(true));
            m.traceMethods(a, "a", {"onKeyDown", "onKeyUp"});
            m.traceMethods(b, "b", {"onKeyDown", "onKeyUp"});
            m.listenToKeys();
        }
        if (c.focusOn != nullptr) {
            m.setFocus(Value(static_cast<avm1::Object*>(m.of(c.focusOn))));
            EXPECT_EQ(m.focused(), c.focusOn);
        }
        m.take();
        m.press(*keyOfCharacter('q'));
        EXPECT_EQ(m.take(), c.heard);
    }
}

TEST(KeyboardEventsTest, AFocusTheMouseGaveLeavesTheKeyMethodsSilent) {
    KeyMovie m;
    StageObject* a = m.clip("a", 5);
    m.machine().set(a, "focusEnabled", Value(true));
    m.traceMethods(a, "a", {"onKeyDown"});
    m.setFocus(Value(static_cast<avm1::Object*>(a)));
    m.input->keyDown(*keyOfCharacter('q'));
    EXPECT_EQ(m.take(), Lines{"a onKeyDown"});
    // A press over nothing takes the focus away.
    m.click(7000, 7000);
    m.input->keyDown(*keyOfCharacter('q'));
    EXPECT_TRUE(m.take().empty());
}

TEST(KeyboardEventsTest, EnterAndSpacePressAndReleaseTheFocusedButtonAtOnce) {
    struct Case {
        const char* key;
        bool focused;
        bool enabled;
        Lines onDown;
    };
    const Case cases[] = {
        {"Enter", true, true, {"press", "release"}},
        {"Space", true, true, {"press", "release"}},
        {"Enter", false, true, {}},
        {"Enter", true, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + (c.focused ? " focused" : "") +
                     (c.enabled ? "" : " disabled"));
        KeyMovie m;
        StageObject* btn = m.of("btn");
        m.machine().set(btn, "enabled", Value(c.enabled));
        if (c.focused) {
            m.setFocus(Value(static_cast<avm1::Object*>(btn)));
        }
        const KeyStroke key = *keyOfName(c.key);
        m.input->keyDown(key);
        EXPECT_EQ(m.take(), c.onDown);
        m.input->keyUp(key);
        EXPECT_TRUE(m.take().empty()) << "the release comes with the key going down";
    }
}

TEST(KeyboardEventsTest, AButtonTakingAKeyKeepsItFromTheFieldAndTheTabKey) {
    KeyMovie m;
    avm1::Machine& mm = m.machine();
    mm.callMethod(m.root(), "createTextField",
                  std::vector<Value>{Value(mm.str("f")), Value(3), Value(0), Value(200), Value(100),
                                     Value(20)});
    StageObject* f = m.of("f");
    mm.set(f, "type", Value(mm.str("input")));
    m.setFocus(Value(static_cast<avm1::Object*>(f)));
    m.press(*keyOfCharacter('y'));
    m.press(*keyOfCharacter('x'));
    EXPECT_EQ(mm.toString(mm.get(f, "text")).str(), "y");
    EXPECT_EQ(m.take(), Lines{"key x"});
    // Disabled, the button still answers its key.
    mm.set(m.of("btn"), "enabled", Value(false));
    m.press(*keyOfCharacter('x'));
    EXPECT_EQ(m.take(), Lines{"key x"});
    EXPECT_EQ(mm.toString(mm.get(f, "text")).str(), "y");
    // Hidden while up, it does not.
    mm.set(m.of("btn"), "_visible", Value(false));
    m.press(*keyOfCharacter('x'));
    EXPECT_TRUE(m.take().empty());
    EXPECT_EQ(mm.toString(mm.get(f, "text")).str(), "yx");
}

TEST(KeyboardEventsTest, AButtonIsMarkedAndOrderedByItsHitArea) {
    KeyMovie m;
    m.setFocus(Value(static_cast<avm1::Object*>(m.of("btn"))));
    const auto box = m.input->focusHighlight();
    ASSERT_TRUE(box);
    EXPECT_NEAR(box->xMin, 1500, 1);
    EXPECT_NEAR(box->yMin, 1250, 1);
    EXPECT_NEAR(box->xMax, 2500, 1);
    EXPECT_NEAR(box->yMax, 1750, 1);
    // A clip whose corner lies between the button's looks and its hit area comes first.
    StageObject* a = m.clip("a", 5);
    avm1::Machine& mm = m.machine();
    mm.set(a, "tabEnabled", Value(true));
    mm.callMethod(a, "beginFill", std::vector<Value>{Value(0)});
    mm.callMethod(a, "moveTo", std::vector<Value>{Value(0), Value(0)});
    mm.callMethod(a, "lineTo", std::vector<Value>{Value(10), Value(10)});
    mm.callMethod(a, "lineTo", std::vector<Value>{Value(0), Value(10)});
    mm.callMethod(a, "endFill", {});
    mm.set(a, "_x", Value(60));
    mm.set(a, "_y", Value(55));
    m.setFocus(Value::null());
    const KeyStroke tab = *keyOfName("Tab");
    Names seen;
    for (int i = 0; i < 2; ++i) {
        m.press(tab);
        seen.push_back(m.focused());
    }
    EXPECT_EQ(seen, (Names{"a", "btn"}));
}

// From version 6 a button's own _focusrect outweighs the root's; before, the player has
// one setting, the last one given to any object.
TEST(KeyboardEventsTest, TheButtonsOwnFocusRectCountsFromVersion6) {
    struct Case {
        std::uint8_t version;
        const char* own;  // the button's _focusrect, "" for none
        const char* root; // the root's
        bool shown;
    };
    const Case cases[] = {
        {8, "", "", true},          {8, "false", "", false}, {8, "true", "false", true},
        {8, "", "false", false},    {5, "false", "", false}, {5, "true", "false", false},
        {5, "false", "true", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.version) + " own '" + c.own + "' root '" + c.root + "'");
        KeyMovie m(c.version);
        avm1::Machine& mm = m.machine();
        if (*c.own != 0) {
            mm.set(m.of("btn"), "_focusrect", Value(std::string_view(c.own) == "true"));
        }
        if (*c.root != 0) {
            mm.set(m.root(), "_focusrect", Value(std::string_view(c.root) == "true"));
        }
        m.setFocus(Value(static_cast<avm1::Object*>(m.of("btn"))));
        EXPECT_EQ(m.input->focusHighlight().has_value(), c.shown);
    }
}

TEST(KeyboardEventsTest, TheRootNeverTakesTheFocus) {
    KeyMovie m;
    avm1::Machine& mm = m.machine();
    mm.set(m.root(), "focusEnabled", Value(true));
    mm.set(m.root(), "tabEnabled", Value(true));
    mm.set(m.of("btn"), "tabEnabled", Value(false));
    m.setFocus(Value(static_cast<avm1::Object*>(m.root())));
    EXPECT_EQ(m.input->state().focus.lock(), nullptr);
    m.press(*keyOfName("Tab"));
    EXPECT_EQ(m.input->state().focus.lock(), nullptr);
}

TEST(KeyboardEventsTest, AClipWithAHitAreaIsHitWhereTheOtherClipsShapeIs) {
    struct Case {
        const char* name;
        double x; // stage twips along the line y = 5000
        bool hidden;
        Lines heard;
    };
    const Case cases[] = {
        {"on the hit area", 3000, false, {"c onRelease"}},
        {"on the hit area, hidden", 3000, true, {"c onRelease"}},
        {"on the clip's own box only", 7000, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeyMovie m;
        avm1::Machine& mm = m.machine();
        // A box of 100 pixels at (x, 200) pixels, in a clip of its own.
        const auto box = [&](const char* name, int depth, int x) {
            StageObject* clip = m.clip(name, depth);
            mm.callMethod(clip, "beginFill", std::vector<Value>{Value(0)});
            mm.callMethod(clip, "moveTo", std::vector<Value>{Value(x), Value(200)});
            mm.callMethod(clip, "lineTo", std::vector<Value>{Value(x + 100), Value(200)});
            mm.callMethod(clip, "lineTo", std::vector<Value>{Value(x + 100), Value(300)});
            mm.callMethod(clip, "lineTo", std::vector<Value>{Value(x), Value(300)});
            mm.callMethod(clip, "endFill", {});
            return clip;
        };
        StageObject* own = box("c", 5, 300);
        StageObject* area = box("h", 6, 100);
        m.traceMethods(own, "c", {"onRelease"});
        mm.set(own, "hitArea", Value(static_cast<avm1::Object*>(area)));
        mm.set(area, "_visible", Value(!c.hidden));
        m.click(c.x, 5000);
        EXPECT_EQ(m.take(), c.heard);
    }
}

TEST(KeyboardEventsTest, ADisabledButtonHearsNothingYetCoversWhatLiesBeneath) {
    struct Case {
        bool enabled;
        Lines heard;
        bool hand;
    };
    const Case cases[] = {
        {true, {"press", "release"}, true},
        {false, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.enabled ? "enabled" : "disabled");
        KeyMovie m;
        avm1::Machine& mm = m.machine();
        // A clip under the whole button (timeline depths lie above the lowest a script may
        // take) that answers a release.
        mm.callMethod(m.root(), "createEmptyMovieClip",
                      std::vector<Value>{Value(mm.str("under")), Value(-16384)});
        StageObject* under = m.of("under");
        mm.callMethod(under, "beginFill", std::vector<Value>{Value(0)});
        for (const auto& [x, y] : {std::pair{0, 0}, {200, 0}, {200, 200}, {0, 200}}) {
            mm.callMethod(under, x == 0 && y == 0 ? "moveTo" : "lineTo",
                          std::vector<Value>{Value(x), Value(y)});
        }
        mm.callMethod(under, "endFill", {});
        m.traceMethods(under, "under", {"onRelease"});
        mm.set(m.of("btn"), "enabled", Value(c.enabled));
        m.click(2000, 1500);
        EXPECT_EQ(m.take(), c.heard);
        EXPECT_EQ(m.input->wantsHandCursor(), c.hand);
        EXPECT_EQ(m.child("btn").buttonState, c.enabled ? 0x02 : 0x01);
        // Enabled again, the next move over it rolls over afresh.
        mm.set(m.of("btn"), "enabled", Value(true));
        m.input->mouseMove(2010, 1500);
        EXPECT_EQ(m.child("btn").buttonState, 0x02);
    }
}

} // namespace
} // namespace mc
