// How a button the timeline places comes to life: its states are made from its records and
// it stands in its parent's variable before its class's constructor runs; a movie from
// version 10 whose button shows a MovieClip in its up state plays a frame first; the up
// state hears it was added, through the button, once all states are made.

#include "FakeDisplayHost.h"
#include "avm2/DisplayClasses.h"

#include <gtest/gtest.h>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::NodeId;
using avm2::NodeKind;
using avm2::Value;
using avm2test::FakeDisplayHost;

// The constructor of a SimpleButton subclass: tells what it finds, then calls super().
Value tracingButton(avm2::Machine& m, const Value& self, Args& a) {
    const Value up = m.getProperty(self, Name::publicName("upState"));
    const Value root = Value::object(avm2::scriptObjectOf(m, FakeDisplayHost::kRoot));
    const Value slot = m.getProperty(root, Name::publicName("button"));
    m.host().trace("constructor: up " + (up.isObject() ? m.className(up) : std::string("null")) +
                   ", slot " + (m.strictEquals(slot, self) ? "set" : "empty"));
    m.findClass("flash.display::SimpleButton")->init.native(m, self, a);
    return Value();
}

Value tracingAdded(avm2::Machine& m, const Value&, Args& a) {
    const Value target = m.getProperty(a.at(0), Name::publicName("target"));
    m.host().trace("added " + m.className(target));
    return Value();
}

class ButtonConstruction : public ::testing::Test {
  protected:
    avm2test::DisplayTestHost host;
    FakeDisplayHost& tree = host.tree;
    avm2::Machine vm{host};

    void SetUp() override {
        vm.beginFrame();
        vm.defineClass("", "TracedButton", vm.findClass("flash.display::SimpleButton"),
                       tracingButton);
    }
};

TEST_F(ButtonConstruction, StatesAndAFrameComeBeforeTheConstructor) {
    struct Case {
        const char* what;
        std::vector<FakeDisplayHost::ButtonRecord> records;
        int version;
        std::vector<std::string> heard;
    };
    const Case cases[] = {
        {"a shape in every state",
         {{1 | 2 | 4 | 8, NodeKind::Shape, "face"}},
         10,
         {"added Shape", "constructor: up Shape, slot set"}},
        {"a clip alone in the up state",
         {{1, NodeKind::MovieClip, "clip"}, {2 | 4 | 8, NodeKind::Shape, "face"}},
         10,
         {"added MovieClip", "nested frame", "constructor: up MovieClip, slot set"}},
        {"a clip among others in the up state",
         {{1 | 8, NodeKind::Shape, "face"}, {1, NodeKind::MovieClip, "clip"}},
         10,
         {"added Sprite", "nested frame", "constructor: up Sprite, slot set"}},
        {"a clip in the over state only",
         {{1, NodeKind::Shape, "face"}, {2, NodeKind::MovieClip, "clip"}},
         10,
         {"added Shape", "constructor: up Shape, slot set"}},
        {"a clip in a version 9 movie",
         {{1, NodeKind::MovieClip, "clip"}},
         9,
         {"added MovieClip", "constructor: up MovieClip, slot set"}},
        {"no records", {}, 10, {"constructor: up null, slot set"}},
    };
    const Value root = Value::object(avm2::scriptObjectOf(vm, FakeDisplayHost::kRoot));
    Args listen{Value::string("added"), Value::object(vm.newNative(tracingAdded))};
    vm.callProperty(root, Name::publicName("addEventListener"), listen);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tree.version = c.version;
        const NodeId button =
            tree.place(FakeDisplayHost::kRoot, "button", NodeKind::Button, "TracedButton");
        tree.buttons[button] = c.records;
        host.lines.clear();
        avm2::Object* made = avm2::scriptObjectOf(vm, button);
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(host.lines, c.heard);
        // The constructor's super() leaves the states made for it alone.
        const Value up = vm.getProperty(Value::object(made), Name::publicName("upState"));
        if (!c.records.empty()) {
            EXPECT_EQ(tree.nodes[button].children, std::vector<NodeId>{up.asObject()->displayNode});
        }
        vm.setProperty(root, Name::publicName("button"), Value::null());
    }
}

TEST_F(ButtonConstruction, AScriptsButtonMakesItsStatesInItsConstructor) {
    // A node with records but no parent's variable: what `new` on a bound class makes.
    const NodeId button = tree.place(FakeDisplayHost::kRoot, "", NodeKind::Button);
    tree.buttons[button] = {{1 | 2 | 4 | 8, NodeKind::MovieClip, "clip"}};
    avm2::Object* o = vm.instantiate(vm.findClass("TracedButton"));
    o->displayNode = button;
    tree.bindScriptObject(button, o);
    Args none;
    vm.constructSuper(vm.findClass("TracedButton"), Value::object(o), none);
    // The constructor ran before its super() made the states, and no frame was played.
    EXPECT_EQ(host.lines, std::vector<std::string>{"constructor: up null, slot empty"});
    EXPECT_EQ(vm.className(vm.getProperty(Value::object(o), Name::publicName("upState"))),
              "MovieClip");
}

} // namespace
