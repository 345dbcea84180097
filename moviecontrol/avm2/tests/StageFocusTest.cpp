// The keyboard focus of stage.focus: the focus events as the focus moves, what may stop a
// person's move, the focus dropped when its object leaves the stage, and which objects
// take the focus unless a script says otherwise.

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
        // Not "root": the stage would take the name as a property when it builds the root.
        tree.nodes[FakeDisplayHost::kRoot].name = "main";
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
    bool tabEnabled(const Value& v) {
        return avm2::Machine::toBoolean(vm.getProperty(v, Name::publicName("tabEnabled")));
    }
    std::vector<std::string> drain() { return std::exchange(host.lines, {}); }
};

TEST_F(StageFocus, MovesWithOutThenInEachNamingTheOther) {
    const Value a = object(tree.place(FakeDisplayHost::kRoot, "a"));
    const Value b = object(tree.place(FakeDisplayHost::kRoot, "b"));
    listenFocus(a);
    listenFocus(b);
    EXPECT_EQ(focus(), "null");

    setFocus(a);
    EXPECT_EQ(drain(), std::vector<std::string>{"a:focusIn:null:a"});
    // Both hear with the focus already moved; focusOut bubbles to the holder too.
    listenFocus(object(FakeDisplayHost::kRoot));
    setFocus(b);
    EXPECT_EQ(drain(), (std::vector<std::string>{"a:focusOut:b:b", "main:focusOut:b:b",
                                                 "b:focusIn:a:b", "main:focusIn:a:b"}));
    // The same object again moves nothing.
    setFocus(b);
    EXPECT_TRUE(drain().empty());
    // The setter takes an interactive object or null: anything else fails its coercion and
    // leaves the focus where it was.
    const Value shape = object(tree.place(FakeDisplayHost::kRoot, "s", avm2::NodeKind::Shape));
    const struct {
        Value value;
        const char* error;
    } refused[] = {
        {Value::string("b"), "TypeError: Error #1034: Type Coercion failed: cannot convert \"b\" "
                             "to flash.display.InteractiveObject."},
        {Value::integer(5), "TypeError: Error #1034: Type Coercion failed: cannot convert 5 to "
                            "flash.display.InteractiveObject."},
        {shape, nullptr},
    };
    for (const auto& c : refused) {
        try {
            setFocus(c.value);
            ADD_FAILURE() << vm.toString(c.value);
        } catch (const avm2::ScriptThrow& t) {
            if (c.error != nullptr) {
                EXPECT_EQ(vm.toString(t.value), c.error);
            }
        }
        EXPECT_EQ(focus(), "b");
        EXPECT_TRUE(drain().empty());
    }
    for (const Value& none : {Value::null(), Value()}) {
        setFocus(b);
        drain();
        setFocus(none);
        EXPECT_EQ(drain(),
                  (std::vector<std::string>{"b:focusOut:null:null", "main:focusOut:null:null"}));
    }
}

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

TEST_F(StageFocus, LeavingTheStageDropsTheFocusSilently) {
    const NodeId holder = tree.place(FakeDisplayHost::kRoot, "holder");
    const Value inner = object(tree.place(holder, "inner"));
    const Value holderObject = object(holder);
    listenFocus(inner);
    setFocus(inner);
    drain();
    Args args{holderObject};
    vm.callProperty(object(FakeDisplayHost::kRoot), Name::publicName("removeChild"), args);
    EXPECT_EQ(focus(), "null");
    EXPECT_TRUE(drain().empty());

    // An object that never was on the stage keeps the focus a script gives it.
    setFocus(holderObject);
    EXPECT_EQ(focus(), "holder");
    avm2::dropFocusWithin(vm, tree, tree.place(FakeDisplayHost::kRoot, "elsewhere"));
    EXPECT_EQ(focus(), "holder");
}

TEST_F(StageFocus, AScriptsOrAKeysFocusIsMarkedWhenItHadSomethingToMark) {
    const NodeId drawn = tree.place(FakeDisplayHost::kRoot, "a", avm2::NodeKind::Sprite);
    const NodeId empty = tree.place(FakeDisplayHost::kRoot, "e", avm2::NodeKind::Sprite);
    tree.boxes[drawn] = {0, 0, 20, 20};
    EXPECT_FALSE(avm2::focusShown(vm));
    setFocus(object(drawn));
    EXPECT_TRUE(avm2::focusShown(vm));
    // A click moves it unmarked.
    avm2::setFocus(vm, object(empty).asObject());
    EXPECT_FALSE(avm2::focusShown(vm));
    avm2::setFocus(vm, object(drawn).asObject());
    EXPECT_FALSE(avm2::focusShown(vm));
    // A key marks it; so does a script giving it again.
    avm2::setFocus(vm, object(drawn).asObject(), true);
    EXPECT_TRUE(avm2::focusShown(vm));
    // Empty when given: unmarked, even once it draws.
    setFocus(object(empty));
    tree.boxes[empty] = {5, 5, 10, 10};
    EXPECT_FALSE(avm2::focusShown(vm));
    setFocus(Value::null());
    EXPECT_FALSE(avm2::focusShown(vm));
    // Whether the player may draw the mark: the object's say (null: the stage's).
    EXPECT_TRUE(vm.getProperty(object(drawn), Name::publicName("focusRect")).isNull());
    vm.setProperty(object(drawn), Name::publicName("focusRect"), Value::boolean(false));
    EXPECT_FALSE(
        avm2::Machine::toBoolean(vm.getProperty(object(drawn), Name::publicName("focusRect"))));
    EXPECT_TRUE(
        avm2::Machine::toBoolean(vm.getProperty(stage(), Name::publicName("stageFocusRect"))));
}

TEST_F(StageFocus, ButtonsInputFieldsAndButtonModeTakeTheFocusUnlessTold) {
    const NodeId field = tree.place(FakeDisplayHost::kRoot, "field", avm2::NodeKind::Text);
    const Value button =
        object(tree.place(FakeDisplayHost::kRoot, "button", avm2::NodeKind::Button));
    const Value sprite = object(tree.place(FakeDisplayHost::kRoot, "s", avm2::NodeKind::Sprite));
    const Value fieldObject = object(field);
    EXPECT_TRUE(tabEnabled(button));
    EXPECT_FALSE(tabEnabled(fieldObject));
    tree.textSettings[{field, "type"}] = "input";
    EXPECT_TRUE(tabEnabled(fieldObject));
    EXPECT_FALSE(tabEnabled(sprite));
    vm.setProperty(sprite, Name::publicName("buttonMode"), Value::boolean(true));
    EXPECT_TRUE(tabEnabled(sprite));
    EXPECT_TRUE(avm2::takesFocus(vm, sprite.asObject()));
    // A script's word wins either way.
    vm.setProperty(sprite, Name::publicName("tabEnabled"), Value::boolean(false));
    vm.setProperty(fieldObject, Name::publicName("tabEnabled"), Value::boolean(false));
    EXPECT_FALSE(tabEnabled(sprite));
    EXPECT_FALSE(tabEnabled(fieldObject));
    EXPECT_FALSE(avm2::takesFocus(vm, nullptr));
}

TEST_F(StageFocus, ContainersLetTheTabOrderIntoTheirChildrenUnlessTold) {
    const Value sprite = object(tree.place(FakeDisplayHost::kRoot, "s", avm2::NodeKind::Sprite));
    const Value clip = object(tree.place(FakeDisplayHost::kRoot, "c"));
    for (const Value& container : {sprite, clip, object(FakeDisplayHost::kRoot), stage()}) {
        const Name name = Name::publicName("tabChildren");
        const Value start = vm.getProperty(container, name);
        EXPECT_TRUE(start.isBoolean() && start.asBoolean());
        vm.setProperty(container, name, Value::integer(0));
        const Value read = vm.getProperty(container, name);
        EXPECT_TRUE(read.isBoolean() && !read.asBoolean());
    }
}

} // namespace
