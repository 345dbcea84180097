// The pointer's rules beside the buttons: what a dragged clip is over, the focus rectangle a
// pointer hides, the buttons Key.isDown reports, and targets given to Selection as paths.
#include <gtest/gtest.h>

#include "InteractiveMovie.h"
#include "StageObject.h"

namespace mc {
namespace {

using avm1::Value;

std::vector<uint8_t> emptyMovie(int swfVersion) {
    moviemaker::MovieHeader header;
    header.version = static_cast<uint8_t>(swfVersion);
    moviemaker::SwfWriter movie(header);
    movie.doAction(moviemaker::Actions().stop());
    movie.showFrame();
    return movie.finish();
}

struct PointerMovie : InteractiveMovie {
    explicit PointerMovie(int swfVersion = 8) : InteractiveMovie(emptyMovie(swfVersion)) {}
    avm1::Machine& machine() { return scripts->machine(); }
    StageObject* root() { return scripts->objectOf(player->rootObject()); }
    StageObject* of(std::string_view name) { return scripts->objectOf(child(name)); }

    // A clip of `parent` holding a filled square of `size` pixels at (x, y).
    StageObject* box(avm1::Object* parent, const char* name, int depth, double x, double y,
                     double size = 40) {
        avm1::Machine& m = machine();
        m.callMethod(parent, "createEmptyMovieClip",
                     std::vector<Value>{Value(m.str(name)), Value(depth)});
        auto* clip = static_cast<StageObject*>(m.get(parent, name).asObject());
        m.callMethod(clip, "beginFill", std::vector<Value>{Value(0x00FF00)});
        m.callMethod(clip, "moveTo", std::vector<Value>{Value(0), Value(0)});
        m.callMethod(clip, "lineTo", std::vector<Value>{Value(size), Value(0)});
        m.callMethod(clip, "lineTo", std::vector<Value>{Value(size), Value(size)});
        m.callMethod(clip, "lineTo", std::vector<Value>{Value(0), Value(size)});
        m.callMethod(clip, "endFill", std::vector<Value>{});
        m.set(clip, "_x", Value(x));
        m.set(clip, "_y", Value(y));
        return clip;
    }
    std::string text(avm1::Object* o, const char* property) {
        return machine().toString(machine().get(o, property)).str();
    }
    Value selection(const char* method, std::span<const Value> args = {}) {
        return machine().callMethod(input->state().selectionObject, method, args);
    }
    std::string focused() {
        const auto f = input->state().focus.lock();
        return f ? f->name : "";
    }
};

TEST(PointerRulesTest, ADraggedClipNamesWhatItIsOverWhileItMoves) {
    PointerMovie m;
    StageObject* dragged = m.box(m.root(), "dragged", 1, 0, 0, 20);
    m.box(m.root(), "target", 2, 100, 100);
    StageObject* holder = m.box(m.root(), "holder", 3, 200, 0);
    m.box(holder, "inner", 1, 0, 100);
    // Fields, empty or not, within their boxes.
    const auto field = [&m](avm1::Object* parent, const char* name, int depth, double x, double y) {
        m.machine().callMethod(parent, "createTextField",
                               std::vector<Value>{Value(m.machine().str(name)), Value(depth),
                                                  Value(x), Value(y), Value(50), Value(20)});
    };
    field(m.root(), "field", 4, 100, 200);
    field(holder, "held", 2, 0, 200);
    m.input->mouseMove(10 * 20, 10 * 20);
    m.machine().callMethod(dragged, "startDrag", std::vector<Value>{Value(true)});
    // Each row: where the pointer goes (pixels), and what the clip is then over.
    const struct {
        double x, y;
        const char* over;
    } walk[] = {
        {120, 120, "/target"},       // the clip above the pointer, whatever lies beneath it
        {60, 60, ""},                // nothing but the dragged clip itself
        {220, 120, "/holder/inner"}, // the innermost clip that draws there
        {220, 20, "/holder"},
        {110, 210, "/field"},       // a text field is itself a target
        {220, 210, "/holder/held"}, // ...inside a clip too
        {160, 210, ""},             // beside its box, nothing
    };
    for (const auto& step : walk) {
        m.input->mouseMove(step.x * 20, step.y * 20);
        EXPECT_EQ(m.text(dragged, "_droptarget"), step.over) << step.x << "," << step.y;
    }
    m.input->mouseMove(120 * 20, 120 * 20);
    m.machine().callMethod(dragged, "stopDrag", std::vector<Value>{});
    EXPECT_EQ(m.text(dragged, "_droptarget"), "/target");
    // Once dropped it stays named where it fell, whatever the pointer does next.
    m.input->mouseMove(60 * 20, 60 * 20);
    EXPECT_EQ(m.text(dragged, "_droptarget"), "/target");
}

TEST(PointerRulesTest, ThePointerHidesTheFocusRectangleOfMoviesBeforeTheNinth) {
    // Each row: the movie's version, and whether the focus a script gave still shows after
    // the pointer moved, and after a button came up.
    const struct {
        int version;
        bool afterMove;
        bool afterRelease;
    } rows[] = {{6, false, false}, {8, false, false}, {9, true, true}, {10, true, true}};
    for (const auto& row : rows) {
        PointerMovie m(row.version);
        StageObject* clip = m.box(m.root(), "clip", 1, 0, 0);
        m.machine().set(clip, "focusEnabled", Value(true));
        const Value target(static_cast<avm1::Object*>(clip));
        m.selection("setFocus", std::span<const Value>(&target, 1));
        ASSERT_TRUE(m.input->state().focusHighlighted);
        m.input->mouseMove(300 * 20, 300 * 20);
        EXPECT_EQ(m.input->state().focusHighlighted, row.afterMove) << row.version;
        m.selection("setFocus", std::span<const Value>(&target, 1));
        m.input->otherButton(false, true, 300 * 20, 300 * 20);
        m.input->otherButton(false, false, 300 * 20, 300 * 20);
        EXPECT_EQ(m.input->state().focusHighlighted, row.afterRelease) << row.version;
        // The focus itself stays where it was.
        EXPECT_EQ(m.focused(), "clip") << row.version;
    }
}

TEST(PointerRulesTest, KeyIsDownHearsEveryMouseButton) {
    PointerMovie m;
    avm1::Machine& mm = m.machine();
    avm1::Object* key = mm.get(mm.global(), "Key").asObject();
    const auto down = [&](int code) {
        return mm.toBoolean(mm.callMethod(key, "isDown", std::vector<Value>{Value(code)}));
    };
    // Each row: which button (left, right, middle), and its key code.
    const struct {
        int button;
        int code;
    } buttons[] = {{0, 1}, {1, 2}, {2, 4}};
    for (const auto& b : buttons) {
        const auto press = [&](bool isDown) {
            if (b.button == 0) {
                isDown ? m.input->mouseDown(100, 100) : m.input->mouseUp(100, 100);
            } else {
                m.input->otherButton(b.button == 2, isDown, 100, 100);
            }
        };
        press(true);
        EXPECT_TRUE(down(b.code)) << b.code;
        for (const auto& other : buttons) {
            if (other.code != b.code) {
                EXPECT_FALSE(down(other.code)) << b.code << " " << other.code;
            }
        }
        press(false);
        EXPECT_FALSE(down(b.code)) << b.code;
    }
}

TEST(PointerRulesTest, EveryReportedMoveIsHeardButOtherButtonsAreNot) {
    PointerMovie m;
    avm1::Machine& mm = m.machine();
    avm1::Object* listener = mm.newObject();
    for (const char* name : {"onMouseMove", "onMouseDown", "onMouseUp"}) {
        mm.defineMethod(listener, name, [&m, name](avm1::CallArgs&) {
            m.traced.emplace_back(name);
            return Value();
        });
    }
    mm.callMethod(mm.get(mm.global(), "Mouse").asObject(), "addListener",
                  std::vector<Value>{Value(listener)});
    m.input->mouseMove(100, 100);
    m.input->mouseMove(100, 100);
    EXPECT_EQ(m.take(), (Lines{"onMouseMove", "onMouseMove"}));
    m.input->otherButton(false, true, 100, 100);
    m.input->otherButton(false, false, 100, 100);
    EXPECT_EQ(m.take(), Lines{});
    // A right button that comes with the pointer elsewhere brings the move along.
    m.input->otherButton(true, true, 300, 100);
    EXPECT_EQ(m.take(), Lines{"onMouseMove"});
}

// A pointer resting over nothing rolls over what comes under it before the next frame; one
// that never came onto the stage, is pressed, or rests on something already, does not.
TEST(PointerRulesTest, ARestingPointerRollsOverWhatComesUnderIt) {
    const struct {
        const char* what;
        bool moved;     // the mouse came onto the stage, at (10, 10)
        bool pressed;   // and is held down
        bool underling; // a clip was under it already, rolled over then
        Lines heard;    // when "a" came under the resting pointer
    } cases[] = {
        {"never on the stage", false, false, false, {}},
        {"resting over nothing", true, false, false, {"a onRollOver"}},
        {"held down", true, true, false, {}},
        {"resting on another clip", true, false, true, {}},
    };
    for (const auto& c : cases) {
        PointerMovie m(8);
        avm1::Machine& mm = m.machine();
        const auto watch = [&m, &mm](StageObject* clip, std::string name) {
            for (const char* handler : {"onRollOver", "onRollOut", "onPress"}) {
                mm.defineMethod(clip, handler, [&m, name, handler](avm1::CallArgs&) {
                    m.traced.push_back(name + " " + handler);
                    return Value();
                });
            }
        };
        if (c.underling) {
            watch(m.box(m.root(), "low", 1, 0, 0), "low");
        }
        if (c.moved) {
            m.input->mouseMove(10 * 20, 10 * 20);
        }
        if (c.pressed) {
            m.input->mouseDown(10 * 20, 10 * 20);
        }
        m.take();
        watch(m.box(m.root(), "a", 2, 0, 0), "a");
        m.input->pointerRests();
        EXPECT_EQ(m.take(), c.heard) << c.what;
        // Resting on, it hears nothing more.
        m.input->pointerRests();
        EXPECT_EQ(m.take(), Lines{}) << c.what;
    }
}

// A clip the pointer rolled over and a script then hid is left without a roll out: resting,
// the pointer rolls over what lies beneath; moved, likewise; a press on the hidden clip
// still ends outside it.
TEST(PointerRulesTest, AHiddenClipLosesThePointerWithoutARollOut) {
    const struct {
        const char* what;
        bool held;
        Lines heard; // after hiding "top", then resting or moving, then letting go
    } cases[] = {
        {"resting", false, {"low onRollOver"}},
        {"held", true, {"low onDragOver", "top onReleaseOutside", "low onRollOver"}},
    };
    for (const auto& c : cases) {
        PointerMovie m(8);
        avm1::Machine& mm = m.machine();
        StageObject* low = m.box(m.root(), "low", 1, 0, 0, 100);
        StageObject* top = m.box(m.root(), "top", 2, 0, 0);
        for (const auto& [clip, name] : {std::pair(low, "low"), std::pair(top, "top")}) {
            for (const char* handler : {"onRollOver", "onRollOut", "onDragOver", "onDragOut",
                                        "onPress", "onRelease", "onReleaseOutside"}) {
                mm.defineMethod(clip, handler,
                                [&m, n = std::string(name), handler](avm1::CallArgs&) {
                                    m.traced.push_back(n + " " + handler);
                                    return Value();
                                });
            }
        }
        m.input->mouseMove(10 * 20, 10 * 20);
        if (c.held) {
            m.input->mouseDown(10 * 20, 10 * 20);
        }
        m.take();
        mm.set(top, "_visible", Value(false));
        if (c.held) {
            m.input->mouseMove(11 * 20, 11 * 20);
            m.input->mouseUp(11 * 20, 11 * 20);
        } else {
            m.input->pointerRests();
        }
        EXPECT_EQ(m.take(), c.heard) << c.what;
    }
}

TEST(PointerRulesTest, ThePointerAndTheKeyboardsFocusShareWhatIsRolledOver) {
    PointerMovie m(6);
    avm1::Machine& mm = m.machine();
    for (const char* name : {"a", "b"}) {
        StageObject* clip =
            m.box(m.root(), name, name[0] == 'a' ? 1 : 2, name[0] == 'a' ? 0 : 100, 0);
        mm.set(clip, "tabEnabled", Value(true));
        for (const char* handler : {"onRollOver", "onRollOut"}) {
            mm.defineMethod(clip, handler, [&m, name, handler](avm1::CallArgs&) {
                m.traced.push_back(std::string(name) + " " + handler);
                return Value();
            });
        }
    }
    const KeyStroke tab = *keyOfName("Tab");
    const auto pressTab = [&] {
        m.input->keyDown(tab);
        m.input->keyUp(tab);
    };
    // The pointer over a, then Tab to a: a was rolled over already, by the pointer.
    m.input->mouseMove(10 * 20, 10 * 20);
    EXPECT_EQ(m.take(), Lines{"a onRollOver"});
    pressTab();
    EXPECT_EQ(m.take(), (Lines{"a onRollOut", "a onRollOver"}));
    // Tab on to b: a rolls out; the pointer, still over a, has not moved.
    pressTab();
    EXPECT_EQ(m.take(), (Lines{"a onRollOut", "b onRollOver"}));
    // The pointer moves on a: the focus's b rolls out, a rolls over again.
    m.input->mouseMove(11 * 20, 10 * 20);
    EXPECT_EQ(m.take(), (Lines{"b onRollOut", "a onRollOver"}));
    // Away from both: a rolls out, once.
    m.input->mouseMove(300 * 20, 300 * 20);
    m.input->mouseMove(301 * 20, 300 * 20);
    EXPECT_EQ(m.take(), Lines{"a onRollOut"});
}

TEST(PointerRulesTest, ADisabledClipIsStillRolledOverAndPressedUnheard) {
    PointerMovie m(8);
    avm1::Machine& mm = m.machine();
    StageObject* clip = m.box(m.root(), "c", 1, 0, 0);
    for (const char* handler :
         {"onRollOver", "onRollOut", "onPress", "onRelease", "onReleaseOutside"}) {
        mm.defineMethod(clip, handler, [&m, handler](avm1::CallArgs&) {
            m.traced.push_back(handler);
            return Value();
        });
    }
    const auto enable = [&](bool on) { mm.set(clip, "enabled", Value(on)); };
    // What each step of the pointer makes the clip hear, with the clip enabled or not.
    struct Step {
        bool enabled;
        const char* what; // move, down, up
        double x;
        Lines heard;
    };
    const std::vector<Step> steps = {
        {true, "move", 10, {"onRollOver"}},
        // Disabled, the pointer leaves and comes back unheard.
        {false, "move", 12, {}},
        {false, "move", 200, {}},
        {false, "move", 10, {}},
        // Enabled again over it: it was rolled over already.
        {true, "move", 11, {}},
        {true, "down", 11, {"onPress"}},
        {true, "up", 11, {"onRelease"}},
        // Pressed while disabled: the release, enabled, is that press's.
        {false, "down", 11, {}},
        {true, "up", 11, {"onRelease"}},
        // Left while disabled: enabled elsewhere, coming back rolls over.
        {false, "move", 200, {}},
        {true, "move", 201, {}},
        {true, "move", 12, {"onRollOver"}},
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        SCOPED_TRACE("step " + std::to_string(i));
        enable(step.enabled);
        const std::string what = step.what;
        if (what == "move") {
            m.input->mouseMove(step.x * 20, 200);
        } else if (what == "down") {
            m.input->mouseDown(step.x * 20, 200);
        } else {
            m.input->mouseUp(step.x * 20, 200);
        }
        EXPECT_EQ(m.take(), step.heard);
    }
}

TEST(PointerRulesTest, SetFocusTakesATargetPathAndAnswersWhetherTheFocusMoved) {
    PointerMovie m;
    avm1::Machine& mm = m.machine();
    StageObject* holder = m.box(m.root(), "holder", 1, 0, 0);
    StageObject* inner = m.box(holder, "inner", 1, 0, 0);
    StageObject* other = m.box(m.root(), "other", 2, 100, 0);
    mm.set(inner, "focusEnabled", Value(true));
    mm.set(other, "focusEnabled", Value(true));
    const auto setFocus = [&](const char* path) {
        const Value v(mm.str(path));
        return mm.toBoolean(m.selection("setFocus", std::span<const Value>(&v, 1)));
    };
    // Each row: the path given, the answer, and what has the focus after it.
    const struct {
        const char* path;
        bool answer;
        const char* focus;
    } rows[] = {
        {"holder.inner", true, "inner"},
        {"other", true, "other"},
        {"/holder/inner", true, "inner"},
        {"_root.other", true, "other"},
        {"_level0.holder.inner", true, "inner"},
        {"holder.missing", false, "inner"},
        {"holder", false, "inner"}, // a clip that is not focus-enabled refuses it
    };
    for (const auto& row : rows) {
        EXPECT_EQ(setFocus(row.path), row.answer) << row.path;
        EXPECT_EQ(m.focused(), row.focus) << row.path;
    }
    EXPECT_EQ(mm.toString(m.selection("getFocus")).str(), "_level0.holder.inner");
}

// The test button on frame 1, gone on frame 2, placed anew at the same depth on frame 3; a
// different button at that depth on frame 4. The timeline plays on.
std::vector<uint8_t> replacedButtonMovie() {
    moviemaker::SwfWriter movie(version8());
    uint16_t up = 0;
    uint16_t down = 0;
    const uint16_t button = defineTestButton(movie, up, down);
    moviemaker::Button other;
    other.records = {{0x0F, up, 1, {}, {}}};
    other.conditions = {{0x0008, moviemaker::Actions().trace("other release")}};
    const uint16_t otherButton = movie.defineButton2(other);
    const auto place = [&](uint16_t id) {
        moviemaker::PlaceObject p;
        p.depth = 2;
        p.characterId = id;
        movie.placeObject(p);
    };
    place(button);
    movie.showFrame();
    movie.removeObject(2);
    movie.showFrame();
    place(button);
    movie.showFrame();
    movie.removeObject(2);
    place(otherButton);
    movie.showFrame();
    return movie.finish();
}

TEST(PointerRulesTest, AButtonPlacedAgainWhileHeldIsReleasedAsTheOneThatWasPressed) {
    // Each row: how many frames pass while the button is held, and what its release runs.
    const struct {
        int frames;
        Lines released;
    } rows[] = {
        {0, {"release"}},
        {2, {"release"}}, // the same character at the same depth again
        {1, {}},          // gone: nothing is released
        {3, {}},          // another character is no stand-in, though under the pointer
    };
    for (const auto& row : rows) {
        InteractiveMovie m(replacedButtonMovie()); // at its first frame
        m.input->mouseMove(200, 200);
        m.input->mouseDown(200, 200);
        EXPECT_EQ(m.take(), (Lines{"over", "press"}));
        for (int i = 0; i < row.frames; ++i) {
            m.player->advance();
        }
        m.input->mouseUp(200, 200);
        EXPECT_EQ(m.take(), row.released) << row.frames;
    }
}

TEST(PointerRulesTest, ASelectableTextFieldTakesThePointerFromTheButtonsBeneath) {
    // Each row: the field's type and whether it is selectable, and what a click on the
    // button beneath it runs.
    const struct {
        const char* type;
        bool selectable;
        Lines heard;
    } rows[] = {
        {"dynamic", true, {}},
        {"input", true, {}},
        {"dynamic", false, {"over", "press", "release"}},
        {"input", false, {"over", "press", "release"}},
    };
    for (const auto& row : rows) {
        InteractiveMovie m(buttonMovie(false));
        avm1::Machine& mm = m.scripts->machine();
        StageObject* root = m.scripts->objectOf(m.player->rootObject());
        const Value args[] = {
            Value(mm.str("cover")), Value(10), Value(0), Value(0), Value(200), Value(200)};
        mm.callMethod(root, "createTextField", args);
        avm1::Object* cover = mm.get(root, "cover").asObject();
        mm.set(cover, "type", Value(mm.str(row.type)));
        mm.set(cover, "selectable", Value(row.selectable));
        m.click(1400, 1400);
        EXPECT_EQ(m.take(), row.heard) << row.type << " " << row.selectable;
        // Out of the way, it leaves the button to the pointer.
        mm.set(cover, "_x", Value(300));
        m.input->mouseMove(1500, 1400);
        m.input->mouseDown(1500, 1400);
        EXPECT_FALSE(m.take().empty()) << row.type << " " << row.selectable;
        m.input->mouseUp(1500, 1400);
    }
}

} // namespace
} // namespace mc
