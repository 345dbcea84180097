// How events reach their listeners beyond the plain phases: the order of the broadcast
// events, a dispatcher made for another object, moves between containers, and a
// SimpleButton's states as display objects of their own.

#include "FakeDisplayHost.h"
#include "avm2/DisplayClasses.h"
#include "avm2/EventState.h"

#include <gtest/gtest.h>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::NodeId;
using avm2::NodeKind;
using avm2::Value;
using avm2test::FakeDisplayHost;

// "name:phase:type" of the current target, or "?" for one that is not a display object.
Value recordListener(avm2::Machine& m, const Value&, Args& a) {
    const Value event = a.at(0);
    const Value current = m.getProperty(event, Name::publicName("currentTarget"));
    const Value name = m.hasProperty(current, Name::publicName("name"))
                           ? m.getProperty(current, Name::publicName("name"))
                           : Value::string("?");
    m.host().trace(m.toString(name) + ":" +
                   m.toString(m.getProperty(event, Name::publicName("eventPhase"))) + ":" +
                   m.toString(m.getProperty(event, Name::publicName("type"))));
    return Value();
}

// Throws what the listener's event names in its type: an Error, or a plain value.
Value throwingListener(avm2::Machine& m, const Value&, Args& a) {
    const std::string type = m.toString(m.getProperty(a.at(0), Name::publicName("type")));
    m.host().trace("throws:" + type);
    if (type == "error") {
        m.throwError("Error", 0, "from a listener");
    }
    throw avm2::ScriptThrow{Value::string("plain " + type)};
}

class DispatchRules : public ::testing::Test {
  protected:
    avm2test::DisplayTestHost host;
    FakeDisplayHost& tree = host.tree;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    Value object(NodeId node) { return Value::object(avm2::scriptObjectOf(vm, node)); }
    Value make(const char* cls, Args args = {}) {
        return vm.construct(Value::object(vm.findClass(cls)->classObject), args);
    }
    Value named(const char* cls, const std::string& name) {
        const Value o = make(cls);
        vm.setProperty(o, Name::publicName("name"), Value::string(name));
        return o;
    }
    void listen(const Value& target, const std::string& type, bool capture = false) {
        Args a{Value::string(type), Value::object(vm.newNative(recordListener)),
               Value::boolean(capture)};
        vm.callProperty(target, Name::publicName("addEventListener"), a);
    }
    Value call(const Value& target, const std::string& method, Args args = {}) {
        return vm.callProperty(target, Name::publicName(method), args);
    }
    Value get(const Value& target, const std::string& property) {
        return vm.getProperty(target, Name::publicName(property));
    }
    std::vector<std::string> drain() { return std::exchange(host.lines, {}); }
};

TEST_F(DispatchRules, EachBroadcastEventGoesInTheOrderObjectsFirstListenedForIt) {
    const Value a = named("flash.display::MovieClip", "a");
    const Value b = named("flash.display::MovieClip", "b");
    listen(a, "enterFrame");
    listen(b, "enterFrame");
    listen(b, "exitFrame");
    listen(a, "exitFrame");
    // A capture listener counts for the order but hears nothing of a broadcast.
    const Value c = named("flash.display::MovieClip", "c");
    listen(c, "enterFrame", true);
    // Nor do the containers' capture listeners hear it.
    const Value root = object(FakeDisplayHost::kRoot);
    listen(root, "enterFrame", true);
    call(root, "addChild", {a});
    avm2::broadcastEvent(vm, "enterFrame");
    avm2::broadcastEvent(vm, "exitFrame");
    // Objects off the display list hear them too.
    EXPECT_EQ(drain(), (std::vector<std::string>{"a:2:enterFrame", "b:2:enterFrame",
                                                 "b:2:exitFrame", "a:2:exitFrame"}));

    // An object that stops listening and listens again comes last.
    Args remove{Value::string("enterFrame"), Value::object(vm.newNative(recordListener))};
    const auto& list = a.asObject()->listeners->list;
    remove[1] = list.front().function;
    call(a, "removeEventListener", remove);
    listen(a, "enterFrame");
    avm2::broadcastEvent(vm, "enterFrame");
    EXPECT_EQ(drain(), (std::vector<std::string>{"b:2:enterFrame", "a:2:enterFrame"}));
}

TEST_F(DispatchRules, ADispatcherMadeForAnObjectSendsAsThatObject) {
    const Value root = object(FakeDisplayHost::kRoot);
    vm.setProperty(root, Name::publicName("name"), Value::string("root"));
    const Value child = object(tree.place(FakeDisplayHost::kRoot, "child"));
    listen(root, "ping", true);
    const Value helper = make("flash.events::EventDispatcher", {child});
    listen(helper, "ping");
    call(helper, "dispatchEvent", {Value::object(avm2::newEvent(vm, "ping"))});
    // The path is the object's: its container's capture listener runs; at the target the
    // dispatcher's own listeners run with the object as the current target.
    EXPECT_EQ(drain(), (std::vector<std::string>{"root:1:ping", "child:2:ping"}));

    // A plain dispatcher is its own target and has no path.
    const Value plain = make("flash.events::EventDispatcher");
    listen(plain, "ping");
    const Value ev = Value::object(avm2::newEvent(vm, "ping"));
    call(plain, "dispatchEvent", {ev});
    EXPECT_EQ(drain(), std::vector<std::string>{"?:2:ping"});
    EXPECT_TRUE(vm.strictEquals(get(ev, "target"), plain));
    EXPECT_TRUE(vm.isType(plain, vm.findClass("flash.events::IEventDispatcher")));
}

TEST_F(DispatchRules, MovesBetweenContainersLeaveAndRejoinTheStage) {
    const Value root = object(FakeDisplayHost::kRoot);
    const Value box = named("flash.display::Sprite", "box");
    const Value item = named("flash.display::MovieClip", "item");
    call(root, "addChild", {box});
    call(box, "addChild", {item});
    for (const char* type : {"added", "addedToStage", "removed", "removedFromStage"}) {
        listen(item, type);
    }
    call(root, "addChild", {item});
    EXPECT_EQ(drain(), (std::vector<std::string>{"item:2:removed", "item:2:removedFromStage",
                                                 "item:2:added", "item:2:addedToStage"}));
    // Already the top child of its container: nothing happens.
    call(root, "addChild", {item});
    EXPECT_TRUE(drain().empty());
    // A clip without a timeline of its own stands at frame 0.
    tree.nodes[item.asObject()->displayNode].frames = 0;
    EXPECT_EQ(get(item, "currentFrame").asInt(), 0);
    EXPECT_EQ(get(root, "currentFrame").asInt(), 1);
}

TEST_F(DispatchRules, ButtonStatesComeFromTheRecordsAndTakeObjectsFromTheirContainers) {
    const NodeId button = tree.place(FakeDisplayHost::kRoot, "button", NodeKind::Button);
    tree.buttons[button] = {{1 | 2, NodeKind::Shape, "face"},
                            {1, NodeKind::Text, "label"},
                            {8, NodeKind::Shape, "hit"}};
    const Value b = object(button);
    // Two records: a Sprite holding both, in record order; one record: that object.
    const Value up = get(b, "upState");
    EXPECT_EQ(vm.className(up), "Sprite");
    EXPECT_EQ(get(up, "numChildren").asInt(), 2);
    EXPECT_EQ(vm.className(call(up, "getChildAt", {Value::integer(1)})), "TextField");
    EXPECT_EQ(vm.className(get(b, "overState")), "Shape");
    EXPECT_TRUE(get(b, "downState").isNull());
    EXPECT_EQ(vm.toString(get(get(b, "hitTestState"), "name")), "hit");
    // The up state is what the button shows: below it, yet with no parent to scripts.
    EXPECT_EQ(tree.nodes[button].children, std::vector<NodeId>{up.asObject()->displayNode});
    EXPECT_TRUE(get(up, "parent").isNull());
    EXPECT_TRUE(get(get(b, "overState"), "parent").isNull());

    const Value root = object(FakeDisplayHost::kRoot);
    const Value clip = make("flash.display::MovieClip");
    call(root, "addChild", {clip});
    vm.setProperty(b, Name::publicName("upState"), clip);
    EXPECT_TRUE(get(clip, "parent").isNull());
    EXPECT_EQ(tree.nodes[button].children, std::vector<NodeId>{clip.asObject()->displayNode});
    call(root, "addChild", {clip});
    EXPECT_TRUE(vm.strictEquals(get(b, "upState"), clip));
    EXPECT_TRUE(get(b, "enabled").asBoolean());

    // A script's button starts with the states it is given.
    const Value made = make("flash.display::SimpleButton", {clip});
    EXPECT_TRUE(vm.strictEquals(get(made, "upState"), clip));
    EXPECT_TRUE(get(made, "overState").isNull());
    try {
        vm.setProperty(made, Name::publicName("overState"), Value::string("no"));
        ADD_FAILURE() << "a string became a state";
    } catch (const avm2::ScriptThrow& t) {
        EXPECT_EQ(vm.toString(t.value).substr(0, 22), "TypeError: Error #1034");
    }
}

} // namespace

TEST_F(DispatchRules, AListenersErrorIsReportedAndTheDispatchGoesOn) {
    const NodeId holder = tree.place(FakeDisplayHost::kRoot, "holder");
    const Value inner = object(tree.place(holder, "inner"));
    for (const char* type : {"error", "value"}) {
        SCOPED_TRACE(type);
        // Two listeners at the target, the first throwing; one above it to bubble to.
        Args first{Value::string(type), Value::object(vm.newNative(throwingListener)),
                   Value::boolean(false), Value::integer(1)};
        call(inner, "addEventListener", first);
        listen(inner, type);
        listen(object(holder), type);
        Args event{Value::string(type), Value::boolean(true), Value::boolean(true)};
        const Value sent = call(inner, "dispatchEvent", {make("flash.events::Event", event)});
        EXPECT_TRUE(sent.isBoolean() && sent.asBoolean());
        const std::vector<std::string> lines = drain();
        ASSERT_EQ(lines.size(), 4u);
        EXPECT_EQ(lines[0], std::string("throws:") + type);
        // The report comes before the next listener runs.
        EXPECT_NE(lines[1].find(std::string(type) == "error" ? "from a listener" : "plain value"),
                  std::string::npos)
            << lines[1];
        EXPECT_EQ(lines[2], std::string("inner:2:") + type);
        EXPECT_EQ(lines[3], std::string("holder:3:") + type);
    }
}
