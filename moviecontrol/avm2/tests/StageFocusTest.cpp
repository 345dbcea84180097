// The keyboard focus of stage.focus: who is asked before a person's move, and what may
// stop it.

#include "avm2/StageFocus.h"
#include "FakeDisplayHost.h"
#include "avm2/DisplayClasses.h"
#include "avm2/EventState.h"

#include <gtest/gtest.h>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::NodeId;
using avm2::Value;
using avm2test::FakeDisplayHost;

std::string nameOf(avm2::Machine& m, const Value& v) {
    if (!v.isObject()) {
        return "null";
    }
    if (v.asObject()->displayNode == FakeDisplayHost::kStage) {
        return "stage";
    }
    return m.toString(m.getProperty(v, Name::publicName("name")));
}

// "listener's object:type:related object:focus as the listener reads it".
Value recordFocus(avm2::Machine& m, const Value&, Args& a) {
    const Value event = a.at(0);
    const Value current = m.getProperty(event, Name::publicName("currentTarget"));
    const Value stage = m.getProperty(current, Name::publicName("stage"));
    m.host().trace(nameOf(m, current) + ":" +
                   m.toString(m.getProperty(event, Name::publicName("type"))) + ":" +
                   nameOf(m, m.getProperty(event, Name::publicName("relatedObject"))) + ":" +
                   nameOf(m, m.getProperty(stage, Name::publicName("focus"))));
    return Value();
}

Value preventMove(avm2::Machine& m, const Value&, Args& a) {
    Args none;
    m.callProperty(a.at(0), Name::publicName("preventDefault"), none);
    return Value();
}

class StageFocus : public ::testing::Test {
  protected:
    avm2test::DisplayTestHost host;
    FakeDisplayHost& tree = host.tree;
    avm2::Machine vm{host};

    void SetUp() override {
        vm.beginFrame();
        tree.nodes[FakeDisplayHost::kRoot].name = "root";
    }

    Value object(NodeId node) { return Value::object(avm2::scriptObjectOf(vm, node)); }
    Value stage() { return object(FakeDisplayHost::kStage); }
    void listen(const Value& target, const std::string& type, avm2::NativeFn f) {
        Args a{Value::string(type), Value::object(vm.newNative(f))};
        vm.callProperty(target, Name::publicName("addEventListener"), a);
    }
    void listenFocus(const Value& target) {
        for (const char* type : {"focusIn", "focusOut", "mouseFocusChange", "keyFocusChange"}) {
            listen(target, type, recordFocus);
        }
    }
    void setFocus(const Value& v) { vm.setProperty(stage(), Name::publicName("focus"), v); }
    std::string focus() { return nameOf(vm, vm.getProperty(stage(), Name::publicName("focus"))); }
    std::vector<std::string> drain() { return std::exchange(host.lines, {}); }
};

TEST_F(StageFocus, PersonsMoveAsksTheFocusedObjectOrTheStage) {
    const Value a = object(tree.place(FakeDisplayHost::kRoot, "a"));
    const Value b = object(tree.place(FakeDisplayHost::kRoot, "b"));
    listenFocus(stage());
    // Nothing focused: the stage is asked, at its own phase.
    EXPECT_TRUE(avm2::allowFocusChange(vm, "mouseFocusChange", a.asObject(), 0, false));
    EXPECT_EQ(drain(), std::vector<std::string>{"stage:mouseFocusChange:a:null"});

    setFocus(a);
    drain();
    listen(a, "keyFocusChange", preventMove);
    EXPECT_FALSE(avm2::allowFocusChange(vm, "keyFocusChange", b.asObject(), 9, false));
    EXPECT_TRUE(avm2::allowFocusChange(vm, "mouseFocusChange", b.asObject(), 0, false));
    EXPECT_EQ(focus(), "a");
}

} // namespace
