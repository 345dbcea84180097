// What the timeline's own changes do to scripts: a goto tells of what it took away before
// the new frame's children are made; a child the timeline removed leaves its container's
// variable empty (whatever the variable's accessors do) and keeps answering its name.

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

Value traceConstruction(avm2::Machine& m, const Value& self, Args& a) {
    m.host().trace("made " + m.toString(m.getProperty(self, Name::publicName("name"))));
    m.findClass("flash.display::MovieClip")->init.native(m, self, a);
    return Value();
}

Value getterReturningNull(avm2::Machine& m, const Value&, Args&) {
    m.host().trace("get");
    return Value::null();
}

Value getterReturningObject(avm2::Machine& m, const Value&, Args&) {
    m.host().trace("get");
    return Value::object(m.newObject());
}

Value getterThrowing(avm2::Machine& m, const Value&, Args&) {
    m.host().trace("get");
    m.throwError("Error", 0, "the getter refuses");
}

Value setterTracing(avm2::Machine& m, const Value&, Args& a) {
    m.host().trace("set " + m.toString(a.empty() ? Value() : a[0]));
    return Value();
}

class DisplayTimeline : public ::testing::Test {
  protected:
    avm2test::DisplayTestHost host;
    FakeDisplayHost& tree = host.tree;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    Value object(NodeId node) { return Value::object(avm2::scriptObjectOf(vm, node)); }
    Value call(const Value& target, const std::string& method, Args args = {}) {
        return vm.callProperty(target, Name::publicName(method), args);
    }
    Value get(const Value& target, const std::string& property) {
        return vm.getProperty(target, Name::publicName(property));
    }
    void set(const Value& target, const std::string& property, const Value& v) {
        vm.setProperty(target, Name::publicName(property), v);
    }
    std::vector<std::string> drain() { return std::exchange(host.lines, {}); }
};

TEST_F(DisplayTimeline, GotoTellsOfRemovalsBeforeTheNewFrameIsMade) {
    vm.defineClass("", "Late", vm.findClass("flash.display::MovieClip"), traceConstruction);
    tree.nodes[FakeDisplayHost::kRoot].name = "main";
    tree.nodes[FakeDisplayHost::kRoot].frames = 5;
    const Value root = object(FakeDisplayHost::kRoot);
    struct Step {
        const char* method;
        std::int32_t frame; // 1-based, 0 for none
        std::vector<std::string> heard;
    };
    const Step steps[] = {
        {"gotoAndStop", 4, {"left main frame 0 for 3", "made late"}},
        {"prevFrame", 0, {"left main frame 3 for 2"}},
        {"gotoAndPlay", 1, {"left main frame 2 for 0"}},
        {"nextFrame", 0, {"left main frame 0 for 1"}},
        // The same frame again is a goto all the same.
        {"gotoAndStop", 2, {"left main frame 1 for 1"}},
    };
    bool placed = false;
    for (const Step& step : steps) {
        if (!placed) {
            // A child the new frame brings: made after what left has been told.
            tree.place(FakeDisplayHost::kRoot, "late", avm2::NodeKind::MovieClip, "Late");
            placed = true;
        }
        Args args;
        if (step.frame != 0) {
            args.push_back(Value::integer(step.frame));
        }
        call(root, step.method, args);
        EXPECT_EQ(drain(), step.heard) << step.method << " " << step.frame;
    }
}

TEST_F(DisplayTimeline, RemovedChildLeavesItsContainersVariableEmpty) {
    avm2::Class* clip = vm.findClass("flash.display::MovieClip");
    avm2::Class* holder = vm.defineClass("", "Holder", clip, nullptr);
    // A declared variable, as a compiler writes one for a timeline instance.
    avm2::Binding slot;
    slot.kind = avm2::Binding::Kind::Slot;
    slot.slot = static_cast<std::uint32_t>(holder->instance.slots.size());
    holder->instance.slots.emplace_back();
    holder->instance.add("declared", slot);
    vm.defineGetter(holder, "nullGetter", getterReturningNull);
    vm.defineSetter(holder, "nullGetter", setterTracing);
    vm.defineGetter(holder, "objectGetter", getterReturningObject);
    vm.defineSetter(holder, "objectGetter", setterTracing);
    vm.defineGetter(holder, "throwingGetter", getterThrowing);
    vm.defineSetter(holder, "throwingGetter", setterTracing);
    holder->sealed = true;

    tree.nodes[FakeDisplayHost::kRoot].symbolClass = "Holder";
    const Value root = object(FakeDisplayHost::kRoot);
    const Value plain = Value::object(vm.instantiate(clip));
    const Value other = Value::object(vm.newObject());

    struct Case {
        const char* name;
        Value before;   // what the variable holds first (undefined: left alone)
        bool nullAfter; // read back as null afterwards
        std::vector<std::string> heard;
    };
    const Case cases[] = {
        {"declared", other, true, {}},
        {"declared", Value::null(), true, {}},
        {"nullGetter", Value(), true, {"get"}},
        {"objectGetter", Value(), false, {"get", "set null"}},
        {"throwingGetter", Value(), false, {"get"}},
        {"undeclared", Value(), false, {}},
        {"", Value(), false, {}},
    };
    for (const Case& c : cases) {
        if (!c.before.isUndefined()) {
            set(root, c.name, c.before);
        }
        avm2::clearInstanceSlot(vm, root.asObject(), c.name);
        const std::vector<std::string> heard = drain();
        EXPECT_EQ(heard, c.heard) << c.name;
        if (c.nullAfter) {
            EXPECT_TRUE(get(root, c.name).isNull()) << c.name;
            drain();
        }
    }
    // Of a dynamic container, a property it holds is emptied; none is made where none was.
    avm2::clearInstanceSlot(vm, plain.asObject(), "absent");
    EXPECT_FALSE(vm.hasProperty(plain, Name::publicName("absent")));
    set(plain, "present", other);
    avm2::clearInstanceSlot(vm, plain.asObject(), "present");
    EXPECT_TRUE(get(plain, "present").isNull());
    avm2::clearInstanceSlot(vm, nullptr, "present");
}

TEST_F(DisplayTimeline, OnlyScriptMadeObjectsTakeANewName) {
    struct Case {
        bool byTimeline;
        bool alive;
        bool throws;
        const char* nameAfter;
    };
    const Case cases[] = {
        {false, true, false, "renamed"},
        {true, true, true, "placed"},
        // Gone from the tree, the object keeps the name the script gives it.
        {true, false, false, "renamed"},
    };
    for (const Case& c : cases) {
        const NodeId node = tree.place(FakeDisplayHost::kRoot, "placed");
        tree.nodes[node].byTimeline = c.byTimeline;
        const Value o = object(node);
        avm2::keepDetachedName(o.asObject(), "placed");
        if (!c.alive) {
            tree.nodes.erase(node);
        }
        int code = 0;
        try {
            set(o, "name", Value::string("renamed"));
        } catch (const avm2::ScriptThrow& t) {
            code = static_cast<int>(vm.toNumber(get(t.value, "errorID")));
        }
        EXPECT_EQ(code, c.throws ? 2078 : 0) << c.byTimeline << c.alive;
        EXPECT_EQ(vm.toString(get(o, "name")), c.nameAfter) << c.byTimeline << c.alive;
    }
}

TEST_F(DisplayTimeline, RemovedChildKeepsItsName) {
    const NodeId child = tree.place(FakeDisplayHost::kRoot, "kept");
    object(FakeDisplayHost::kRoot);
    const Value o = object(child);
    avm2::keepDetachedName(o.asObject(), "kept");
    tree.nodes.erase(child);
    EXPECT_EQ(vm.toString(get(o, "name")), "kept");
    set(o, "name", Value::string("renamed"));
    EXPECT_EQ(vm.toString(get(o, "name")), "renamed");
    // A live object answers from the tree, whatever was kept.
    const NodeId live = tree.place(FakeDisplayHost::kRoot, "live");
    const Value lo = object(live);
    avm2::keepDetachedName(lo.asObject(), "stale");
    EXPECT_EQ(vm.toString(get(lo, "name")), "live");
}

} // namespace

TEST_F(DisplayTimeline, ATimelineSymbolBoundToASpriteClassKeepsToItsFirstFrame) {
    vm.defineClass("", "Skinned", vm.findClass("flash.display::Sprite"), nullptr);
    vm.defineClass("", "Animated", vm.findClass("flash.display::MovieClip"), nullptr);
    struct Case {
        const char* symbolClass;
        bool playing;
    };
    const Case cases[] = {{"Skinned", false}, {"Animated", true}, {"", true}};
    for (const Case& c : cases) {
        const NodeId node =
            tree.place(FakeDisplayHost::kRoot, "clip", avm2::NodeKind::MovieClip, c.symbolClass);
        tree.nodes[node].frames = 2;
        object(node);
        EXPECT_EQ(tree.nodes[node].playing, c.playing) << c.symbolClass;
    }
    // The document's own timeline is left to its class.
    tree.nodes[FakeDisplayHost::kRoot].symbolClass = "Skinned";
    tree.nodes[FakeDisplayHost::kRoot].frames = 2;
    object(FakeDisplayHost::kRoot);
    EXPECT_TRUE(tree.nodes[FakeDisplayHost::kRoot].playing);
}
