// The display classes over a display tree in memory: events through their phases in
// Flash's order, the container operations with their errors, and timeline children made
// in painting order and bound to their parent's names once their constructors return.

#include "FakeDisplayHost.h"
#include "avm2/DisplayClasses.h"
#include "avm2/EventState.h"
#include "avm2/Timers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::NodeId;
using avm2::Object;
using avm2::Value;
using avm2test::FakeDisplayHost;

// "name:phase:type" of the listener's current target, into the host's lines.
Value recordListener(avm2::Machine& m, const Value&, Args& a) {
    const Value event = a.at(0);
    const Value current = m.getProperty(event, Name::publicName("currentTarget"));
    m.host().trace(m.toString(m.getProperty(current, Name::publicName("name"))) + ":" +
                   m.toString(m.getProperty(event, Name::publicName("eventPhase"))) + ":" +
                   m.toString(m.getProperty(event, Name::publicName("type"))));
    return Value();
}

Value stopAtTarget(avm2::Machine& m, const Value&, Args& a) {
    Args none;
    m.callProperty(a.at(0), Name::publicName("stopPropagation"), none);
    m.host().trace("stop");
    return Value();
}

Value stopAtOnce(avm2::Machine& m, const Value&, Args& a) {
    Args none;
    m.callProperty(a.at(0), Name::publicName("stopImmediatePropagation"), none);
    m.host().trace("stop now");
    return Value();
}

class DisplayEvents : public ::testing::Test {
  protected:
    avm2test::DisplayTestHost host;
    FakeDisplayHost& tree = host.tree;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    Value object(NodeId node) { return Value::object(avm2::scriptObjectOf(vm, node)); }
    Value fn(avm2::NativeFn f) { return Value::object(vm.newNative(f)); }
    void listen(const Value& target, const std::string& type, avm2::NativeFn f,
                bool capture = false, int priority = 0) {
        listen(target, type, fn(f), capture, priority);
    }
    void listen(const Value& target, const std::string& type, const Value& f, bool capture = false,
                int priority = 0) {
        Args a{Value::string(type), f, Value::boolean(capture), Value::integer(priority)};
        vm.callProperty(target, Name::publicName("addEventListener"), a);
    }
    Value call(const Value& target, const std::string& method, Args args = {}) {
        return vm.callProperty(target, Name::publicName(method), args);
    }
    Value get(const Value& target, const std::string& property) {
        return vm.getProperty(target, Name::publicName(property));
    }
    void set(const Value& target, const std::string& property, const Value& v) {
        vm.setProperty(target, Name::publicName(property), v);
    }
    // The class and number of the error a call throws, or "" when it returns.
    std::string thrown(const Value& target, const std::string& method, Args args) {
        try {
            call(target, method, std::move(args));
        } catch (const avm2::ScriptThrow& t) {
            return vm.toString(t.value);
        }
        return "";
    }
    Value event(const std::string& type, bool bubbles) {
        return Value::object(avm2::newEvent(vm, type, bubbles));
    }
    std::vector<std::string> drain() { return std::exchange(host.lines, {}); }
};

TEST_F(DisplayEvents, CaptureTargetAndBubblePhasesInOrder) {
    const NodeId a = tree.place(FakeDisplayHost::kRoot, "a");
    const NodeId b = tree.place(a, "b");
    tree.nodes[FakeDisplayHost::kRoot].name = "root";
    const Value root = object(FakeDisplayHost::kRoot);
    const Value ao = object(a);
    const Value bo = object(b);
    for (const Value& o : {root, ao, bo}) {
        listen(o, "ping", recordListener, true);
        listen(o, "ping", recordListener, false);
    }
    call(bo, "dispatchEvent", {event("ping", true)});
    EXPECT_EQ(drain(), (std::vector<std::string>{"root:1:ping", "a:1:ping", "b:2:ping", "a:3:ping",
                                                 "root:3:ping"}));

    // Without bubbling the event ends at its target.
    call(bo, "dispatchEvent", {event("ping", false)});
    EXPECT_EQ(drain(), (std::vector<std::string>{"root:1:ping", "a:1:ping", "b:2:ping"}));

    // Stopped in the capture phase: the rest of that object's listeners still run.
    listen(ao, "ping", stopAtTarget, true, 5);
    call(bo, "dispatchEvent", {event("ping", true)});
    EXPECT_EQ(drain(), (std::vector<std::string>{"root:1:ping", "stop", "a:1:ping"}));
}

TEST_F(DisplayEvents, PrioritiesDuplicatesAndImmediateStop) {
    const Value o = object(tree.place(FakeDisplayHost::kRoot, "o"));
    const Value record = fn(recordListener);
    const Value stopNow = fn(stopAtOnce);
    listen(o, "go", record, false, 0);
    listen(o, "go", record, false, 0); // the same listener again: kept once
    listen(o, "go", stopNow, false, 10);
    listen(o, "go", stopAtTarget, false, -1);
    const Value ev = event("go", false);
    EXPECT_EQ(call(o, "dispatchEvent", {ev}).asBoolean(), true);
    EXPECT_EQ(drain(), std::vector<std::string>{"stop now"});

    Args remove{Value::string("go"), stopNow};
    call(o, "removeEventListener", remove);
    call(o, "dispatchEvent", {event("go", false)});
    EXPECT_EQ(drain(), (std::vector<std::string>{"o:2:go", "stop"}));
    EXPECT_TRUE(call(o, "hasEventListener", {Value::string("go")}).asBoolean());
    EXPECT_FALSE(call(o, "hasEventListener", {Value::string("other")}).asBoolean());

    // An event sent again travels as its clone; after a dispatch it reads as at target.
    EXPECT_EQ(get(ev, "eventPhase").asInt(), 2);
    EXPECT_EQ(vm.toString(call(ev, "toString")),
              "[Event type=\"go\" bubbles=false cancelable=false eventPhase=2]");
    // The event's target is read first: null fails as any read of null does.
    EXPECT_EQ(thrown(o, "dispatchEvent", {Value::null()}),
              "TypeError: Error #1009: Cannot access a property or method of a null object "
              "reference.");
}

TEST_F(DisplayEvents, ContainerOperationsKeepOrderAndRefuseBadArguments) {
    const Value root = object(FakeDisplayHost::kRoot);
    const NodeId xn = tree.place(FakeDisplayHost::kRoot, "x");
    const NodeId yn = tree.place(FakeDisplayHost::kRoot, "y");
    const NodeId zn = tree.place(FakeDisplayHost::kRoot, "z");
    const Value x = object(xn);
    const Value y = object(yn);
    const Value z = object(zn);
    auto order = [&] { return tree.nodes[FakeDisplayHost::kRoot].children; };

    call(root, "addChild", {x}); // already a child: moves to the top
    EXPECT_EQ(order(), (std::vector<NodeId>{yn, zn, xn}));
    call(root, "setChildIndex", {x, Value::integer(0)});
    EXPECT_EQ(order(), (std::vector<NodeId>{xn, yn, zn}));
    call(root, "swapChildren", {x, z});
    EXPECT_EQ(order(), (std::vector<NodeId>{zn, yn, xn}));
    call(root, "swapChildrenAt", {Value::integer(0), Value::integer(1)});
    EXPECT_EQ(order(), (std::vector<NodeId>{yn, zn, xn}));
    EXPECT_TRUE(vm.strictEquals(call(root, "getChildByName", {Value::string("z")}), z));
    EXPECT_TRUE(call(root, "getChildByName", {Value::string("none")}).isNull());
    EXPECT_EQ(call(root, "getChildIndex", {x}).asInt(), 2);

    call(y, "addChild", {z});
    EXPECT_TRUE(call(root, "contains", {z}).asBoolean());
    EXPECT_FALSE(call(z, "contains", {y}).asBoolean());
    EXPECT_EQ(get(root, "numChildren").asInt(), 2);

    EXPECT_EQ(thrown(root, "getChildAt", {Value::integer(2)}),
              "RangeError: Error #2006: The supplied index is out of bounds.");
    EXPECT_EQ(thrown(root, "addChildAt", {z, Value::integer(3)}),
              "RangeError: Error #2006: The supplied index is out of bounds.");
    EXPECT_EQ(thrown(y, "addChild", {y}),
              "ArgumentError: Error #2024: An object cannot be added as a child of itself.");
    EXPECT_EQ(thrown(z, "addChild", {y}).substr(0, 25), "ArgumentError: Error #215");
    EXPECT_EQ(thrown(root, "removeChild", {z}),
              "ArgumentError: Error #2025: The supplied DisplayObject must be a child of "
              "the caller.");
    EXPECT_EQ(thrown(root, "addChild", {Value::null()}),
              "TypeError: Error #2007: Parameter child must be non-null.");
    EXPECT_EQ(order(), (std::vector<NodeId>{yn, xn}));

    // What stands for no drawable kind cannot be made by a script.
    for (const char* abstract : {"flash.display::DisplayObject", "flash.text::StaticText"}) {
        Args none;
        try {
            vm.construct(Value::object(vm.findClass(abstract)->classObject), none);
            ADD_FAILURE() << abstract << " was made";
        } catch (const avm2::ScriptThrow& t) {
            EXPECT_EQ(vm.toString(t.value).substr(0, 26), "ArgumentError: Error #2012");
        }
    }
}

// Child indices are declared int: NaN, undefined and the infinities are index 0 and
// fractions drop, before the range is checked.
TEST_F(DisplayEvents, ChildIndicesConvertAsInts) {
    const Value root = object(FakeDisplayHost::kRoot);
    const NodeId an = tree.place(FakeDisplayHost::kRoot, "a");
    const NodeId bn = tree.place(FakeDisplayHost::kRoot, "b");
    const Value a = object(an);
    const double inf = std::numeric_limits<double>::infinity();
    for (const Value& index : {Value::number(std::nan("")), Value(), Value::number(inf),
                               Value::number(-inf), Value::number(0.9), Value::string("x")}) {
        EXPECT_TRUE(vm.strictEquals(call(root, "getChildAt", {index}), a)) << vm.toString(index);
    }
    EXPECT_EQ(thrown(root, "getChildAt", {Value::number(-0.5 - 1)}),
              "RangeError: Error #2006: The supplied index is out of bounds.");
    EXPECT_EQ(thrown(root, "getChildAt", {Value::number(4294967296.0 + 2)}),
              "RangeError: Error #2006: The supplied index is out of bounds.");
    call(root, "setChildIndex", {a, Value::number(1.7)});
    EXPECT_EQ(tree.nodes[FakeDisplayHost::kRoot].children, (std::vector<NodeId>{bn, an}));
    call(root, "swapChildrenAt", {Value::number(std::nan("")), Value::number(1.2)});
    EXPECT_EQ(tree.nodes[FakeDisplayHost::kRoot].children, (std::vector<NodeId>{an, bn}));
    call(root, "removeChildAt", {Value::number(inf)});
    EXPECT_EQ(tree.nodes[FakeDisplayHost::kRoot].children, (std::vector<NodeId>{bn}));
}

// Alpha is a fixed-point number: NaN stores 0 and the infinities saturate; other properties
// keep their value on NaN.
TEST_F(DisplayEvents, AlphaTakesNaNAsZeroAndSaturates) {
    const Value a = object(tree.place(FakeDisplayHost::kRoot, "a"));
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        Value given;
        double stored;
    } table[] = {{Value::number(std::nan("")), 0},
                 {Value(), 0},
                 {Value::number(inf), 1e6},
                 {Value::number(-inf), -1e6},
                 {Value::number(0.5), 0.5}};
    for (const auto& row : table) {
        set(a, "alpha", Value::number(0.25));
        set(a, "alpha", row.given);
        EXPECT_EQ(get(a, "alpha").asNumber(), row.stored) << vm.toString(row.given);
    }
    set(a, "scaleX", Value::number(2));
    set(a, "width", Value::number(std::nan("")));
    EXPECT_EQ(get(a, "scaleX").asNumber(), 2);
}

// scrollRect is declared a Rectangle: a number or text fails the coercion, null clears it.
TEST_F(DisplayEvents, ScrollRectTakesOnlyRectangles) {
    const Value a = object(tree.place(FakeDisplayHost::kRoot, "a"));
    for (const Value& bad : {Value::number(5), Value::string("7"), Value::boolean(true)}) {
        try {
            set(a, "scrollRect", bad);
            ADD_FAILURE() << vm.toString(bad) << " was taken";
        } catch (const avm2::ScriptThrow& t) {
            EXPECT_EQ(vm.toString(t.value).substr(0, 26), "TypeError: Error #1034: Ty");
        }
    }
    set(a, "scrollRect", Value::null());
    EXPECT_TRUE(get(a, "scrollRect").isNull());
}

TEST_F(DisplayEvents, AddedAndRemovedReachTheStageOnlyWhenOnIt) {
    const Value root = object(FakeDisplayHost::kRoot);
    avm2::Class* sprite = vm.findClass("flash.display::Sprite");
    Args none;
    const Value box = vm.construct(Value::object(sprite->classObject), none);
    const Value inner = vm.construct(Value::object(sprite->classObject), none);
    vm.setProperty(box, Name::publicName("name"), Value::string("box"));
    vm.setProperty(inner, Name::publicName("name"), Value::string("inner"));
    for (const Value& o : {box, inner}) {
        for (const char* type : {"added", "addedToStage", "removed", "removedFromStage"}) {
            listen(o, type, recordListener);
        }
    }
    call(box, "addChild", {inner});
    EXPECT_EQ(drain(), (std::vector<std::string>{"inner:2:added", "box:3:added"}));
    EXPECT_TRUE(get(inner, "stage").isNull());

    call(root, "addChild", {box});
    EXPECT_EQ(drain(), (std::vector<std::string>{"box:2:added", "box:2:addedToStage",
                                                 "inner:2:addedToStage"}));
    EXPECT_TRUE(get(inner, "stage").isObject());
    EXPECT_TRUE(vm.strictEquals(get(inner, "root"), root));

    call(root, "removeChild", {box});
    EXPECT_EQ(drain(), (std::vector<std::string>{"box:2:removed", "box:2:removedFromStage",
                                                 "inner:2:removedFromStage"}));
    EXPECT_TRUE(get(box, "parent").isNull());
}

// Records its construction around the base constructor, and whether its parent's slot
// already held it (it must not: the slot is set once the constructor returns), and what its
// parent's slot for `blue` held then.
Value recordConstruction(avm2::Machine& m, const Value& self, Args& a) {
    const std::string name = m.toString(m.getProperty(self, Name::publicName("name")));
    m.host().trace("enter " + name);
    const Value parent = m.getProperty(self, Name::publicName("parent"));
    if (parent.isObject() && m.hasProperty(parent, Name::publicName(name)) &&
        m.strictEquals(m.getProperty(parent, Name::publicName(name)), self)) {
        m.host().trace("bound " + name);
    }
    if (parent.isObject() && name != "blue" && m.hasProperty(parent, Name::publicName("blue")) &&
        !m.getProperty(parent, Name::publicName("blue")).isNullish()) {
        m.host().trace("sees blue");
    }
    m.findClass("flash.display::MovieClip")->init.native(m, self, a);
    m.host().trace("leave " + name);
    return Value();
}

Value recordCall(avm2::Machine& m, const Value&, Args&) {
    m.host().trace("frame script");
    return Value();
}

TEST_F(DisplayEvents, TimelineChildrenAreMadeInOrderAndBoundOnceTheirConstructorsReturn) {
    avm2::Class* clip = vm.findClass("flash.display::MovieClip");
    avm2::Class* main = vm.defineClass("", "Main", clip, recordConstruction);
    vm.defineClass("", "Blue", clip, recordConstruction);
    vm.defineClass("", "Green", clip, recordConstruction);
    vm.defineClass("", "Red", clip, recordConstruction);
    // Main declares a variable for its child `blue`, as a compiler writes one.
    avm2::Binding slot;
    slot.kind = avm2::Binding::Kind::Slot;
    slot.slot = static_cast<std::uint32_t>(main->instance.slots.size());
    main->instance.slots.emplace_back();
    main->instance.add("blue", slot);

    tree.nodes[FakeDisplayHost::kRoot].name = "main";
    tree.nodes[FakeDisplayHost::kRoot].symbolClass = "Main";
    const NodeId blue =
        tree.place(FakeDisplayHost::kRoot, "blue", avm2::NodeKind::MovieClip, "Blue");
    tree.place(blue, "green", avm2::NodeKind::MovieClip, "Green");
    tree.place(FakeDisplayHost::kRoot, "", avm2::NodeKind::Shape);
    tree.place(FakeDisplayHost::kRoot, "red", avm2::NodeKind::MovieClip, "Red");

    const Value root = object(FakeDisplayHost::kRoot);
    // Blue declares nothing but is dynamic: green becomes a property of it. A later sibling
    // finds blue in its slot; blue itself and its own children do not.
    EXPECT_EQ(drain(), (std::vector<std::string>{"enter main", "enter blue", "enter green",
                                                 "leave green", "leave blue", "enter red",
                                                 "sees blue", "leave red", "leave main"}));
    EXPECT_TRUE(vm.strictEquals(get(root, "blue"), Value::object(tree.nodes[blue].object)));
    EXPECT_EQ(vm.className(call(root, "getChildAt", {Value::integer(1)})), "Shape");

    // Frame scripts by frame; a label goes to its frame, an unknown one is an error.
    call(root, "addFrameScript", {Value::integer(0), fn(recordCall)});
    avm2::runFrameScriptOf(vm, root.asObject(), 1);
    avm2::runFrameScriptOf(vm, root.asObject(), 0);
    EXPECT_EQ(drain(), std::vector<std::string>{"frame script"});
    tree.nodes[FakeDisplayHost::kRoot].frames = 3;
    call(root, "gotoAndStop", {Value::string("end")});
    EXPECT_EQ(get(root, "currentFrame").asInt(), 3);
    EXPECT_FALSE(tree.nodes[FakeDisplayHost::kRoot].playing);
    EXPECT_EQ(tree.gotos, std::vector<NodeId>{FakeDisplayHost::kRoot});
    tree.version = 11; // earlier movies go to the first frame for a missing label
    EXPECT_EQ(thrown(root, "gotoAndPlay", {Value::string("nowhere")}).substr(0, 26),
              "ArgumentError: Error #2109");
}

// The event's type and class, for events whose listeners may require their class.
Value recordTypedEvent(avm2::Machine& m, const Value&, Args& a) {
    m.host().trace(m.toString(m.getProperty(a.at(0), Name::publicName("type"))) + " " +
                   m.className(a.at(0)));
    return Value();
}

TEST_F(DisplayEvents, TimersFireWhenDueAndCompleteAtTheirCount) {
    avm2::Class* timerClass = vm.findClass("flash.utils::Timer");
    Args args{Value::integer(100), Value::integer(2)};
    const Value timer = vm.construct(Value::object(timerClass->classObject), args);
    listen(timer, "timer", recordTypedEvent);
    listen(timer, "timerComplete", recordTypedEvent);
    call(timer, "start");
    for (double t : {50.0, 100.0, 150.0, 200.0, 300.0}) {
        avm2::runTimers(vm, t);
    }
    EXPECT_EQ(drain(), (std::vector<std::string>{"timer TimerEvent", "timer TimerEvent",
                                                 "timerComplete TimerEvent"}));
    EXPECT_FALSE(get(timer, "running").asBoolean());
    EXPECT_EQ(get(timer, "currentCount").asInt(), 2);

    Args bad{Value::integer(-1)};
    try {
        vm.construct(Value::object(timerClass->classObject), bad);
        ADD_FAILURE() << "a negative delay was taken";
    } catch (const avm2::ScriptThrow& t) {
        EXPECT_EQ(vm.toString(t.value),
                  "RangeError: Error #2066: The Timer delay specified is out of range.");
    }
}

} // namespace

namespace {

class EventFamilies : public DisplayEvents {};

TEST_F(EventFamilies, FieldsFollowTheConstructorAndSurviveAClone) {
    avm2::Class* mouse = vm.findClass("flash.events::MouseEvent");
    Args args{Value::string("click"), Value::boolean(true),  Value::boolean(false),
              Value::integer(3),      Value::integer(4),     Value::null(),
              Value::boolean(true),   Value::boolean(false), Value::boolean(true),
              Value::boolean(true),   Value::integer(-2)};
    const Value e = vm.construct(Value::object(mouse->classObject), args);
    EXPECT_EQ(vm.toString(call(e, "toString")),
              "[MouseEvent type=\"click\" bubbles=true cancelable=false eventPhase=2 "
              "relatedObject=null ctrlKey=true altKey=false shiftKey=true buttonDown=true "
              "delta=-2]");
    const Value copy = call(e, "clone");
    EXPECT_EQ(vm.className(copy), "MouseEvent");
    EXPECT_EQ(vm.toNumber(get(copy, "localY")), 4);
    EXPECT_TRUE(get(copy, "ctrlKey").asBoolean());
    // Without a player's position the stage position is the local one.
    EXPECT_EQ(vm.toNumber(get(copy, "stageX")), 3);

    // Defaults: mouse and keyboard events bubble, a plain event does not.
    avm2::Class* key = vm.findClass("flash.events::KeyboardEvent");
    Args keyArgs{Value::string("keyDown")};
    const Value k = vm.construct(Value::object(key->classObject), keyArgs);
    EXPECT_TRUE(get(k, "bubbles").asBoolean());
    EXPECT_EQ(vm.toNumber(get(k, "keyCode")), 0);
    EXPECT_FALSE(get(event("x", false), "bubbles").asBoolean());
    EXPECT_EQ(
        vm.toString(vm.getProperty(Value::object(key->classObject), Name::publicName("KEY_UP"))),
        "keyUp");
}

Value recordArguments(avm2::Machine& m, const Value&, Args& a) {
    std::string line = "called";
    for (const Value& v : a) {
        line += " " + m.toString(v);
    }
    m.host().trace(line);
    return Value();
}

TEST_F(EventFamilies, TimeoutsRunOnceIntervalsUntilCleared) {
    auto global = [&](const char* name) {
        return vm.getProperty(Value::object(vm.globalObject()),
                              Name::qualified(avm2::Namespace::publicNs("flash.utils"), name));
    };
    Args once{fn(recordArguments), Value::integer(50), Value::string("a")};
    vm.call(global("setTimeout"), Value(), once);
    Args every{fn(recordArguments), Value::integer(100)};
    const Value id = vm.call(global("setInterval"), Value(), every);
    for (double t : {40.0, 60.0, 100.0, 150.0, 200.0}) {
        avm2::runTimers(vm, t);
    }
    EXPECT_EQ(drain(), (std::vector<std::string>{"called a", "called", "called"}));
    Args clear{id};
    vm.call(global("clearInterval"), Value(), clear);
    avm2::runTimers(vm, 400.0);
    EXPECT_TRUE(drain().empty());
}

// Schedules recordArguments 200 ms on, from inside a callback.
Value scheduleAnother(avm2::Machine& m, const Value&, Args&) {
    const Value setTimeout =
        m.getProperty(Value::object(m.globalObject()),
                      Name::qualified(avm2::Namespace::publicNs("flash.utils"), "setTimeout"));
    Args later{Value::object(m.newNative(recordArguments)), Value::integer(200),
               Value::string("inner")};
    m.call(setTimeout, Value(), later);
    return Value();
}

// A callback reached late (the ticks are coarse) still starts its own timers from the time
// it was due, so a chain keeps its spacing; outside callbacks the clock counts.
TEST_F(EventFamilies, TimersStartedInACallbackCountFromItsDueTime) {
    const Value setTimeout =
        vm.getProperty(Value::object(vm.globalObject()),
                       Name::qualified(avm2::Namespace::publicNs("flash.utils"), "setTimeout"));
    Args outer{fn(scheduleAnother), Value::integer(300)};
    vm.call(setTimeout, Value(), outer);
    const std::vector<std::pair<double, std::vector<std::string>>> ticks = {
        {333.0, {}},
        {499.0, {}},
        {500.0, {"called inner"}},
    };
    for (const auto& [t, expected] : ticks) {
        host.clock = t;
        avm2::runTimers(vm, t);
        EXPECT_EQ(drain(), expected) << t;
    }
    host.clock = 1000.0;
    Args direct{fn(recordArguments), Value::integer(100)};
    vm.call(setTimeout, Value(), direct);
    avm2::runTimers(vm, 1099.0);
    EXPECT_TRUE(drain().empty());
    avm2::runTimers(vm, 1100.0);
    EXPECT_EQ(drain(), std::vector<std::string>{"called"});
}

TEST_F(DisplayEvents, ChildrenNotMadeYetReadAsNullAndCanStillBeRemoved) {
    const Value root = object(FakeDisplayHost::kRoot);
    const NodeId later = tree.place(FakeDisplayHost::kRoot, "later");
    // Placed after the root's construction: no object until the runner makes one.
    EXPECT_TRUE(call(root, "getChildAt", {Value::integer(0)}).isNull());
    EXPECT_TRUE(call(root, "getChildByName", {Value::string("later")}).isNull());
    avm2::constructChildren(vm, FakeDisplayHost::kRoot);
    EXPECT_TRUE(vm.strictEquals(call(root, "getChildAt", {Value::integer(0)}),
                                Value::object(tree.nodes[later].object)));

    tree.place(FakeDisplayHost::kRoot, "a");
    tree.place(FakeDisplayHost::kRoot, "b");
    call(root, "removeChildAt", {Value::integer(1)});
    EXPECT_EQ(tree.nodes[FakeDisplayHost::kRoot].children.size(), 2u);
    call(root, "removeChildren");
    EXPECT_TRUE(tree.nodes[FakeDisplayHost::kRoot].children.empty());
    // To the end (the default) checks no index; an end given is checked.
    call(root, "removeChildren", {Value::integer(1)});
    EXPECT_EQ(thrown(root, "removeChildren", {Value::integer(0), Value::integer(0)}).substr(0, 23),
              "RangeError: Error #2006");
}

} // namespace
