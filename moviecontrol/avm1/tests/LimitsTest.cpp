// Limits no script can pass, and bytecode that is broken on purpose.

#include "FakeStage.h"

#include "moviemaker/ActionWriter.h"
#include "swf/ActionCodes.h"

#include <gtest/gtest.h>

namespace avm1test {
namespace {

namespace op = swf::op;
using moviemaker::Actions;
using Lines = std::vector<std::string>;
using avm1::LimitKind;

avm1::Limits small() {
    avm1::Limits l;
    l.actionsPerFrame = 200000;
    l.maxObjects = 20000;
    return l;
}

TEST(Limits, AnEndlessLoopStopsAndIsReportedOncePerMovie) {
    FakeStage stage(7, small());
    Actions loop;
    loop.jump(-5);
    EXPECT_EQ(stage.run(loop.bytes()), Lines{});
    EXPECT_EQ(stage.limits, (std::vector<LimitKind>{LimitKind::TimeBudget}));
    // The rest of the frame's scripts are skipped; the next frame runs again.
    Actions hello;
    hello.push("next frame").code(op::Trace);
    stage.vm.runBlock(std::span<const std::uint8_t>(hello.bytes()), stage.rootClip);
    EXPECT_TRUE(stage.takeLines().empty());
    stage.run(loop.bytes());
    EXPECT_EQ(stage.run(hello.bytes()), Lines{"next frame"});
    EXPECT_EQ(stage.limits.size(), 1u);
}

TEST(Limits, RecursionIsAlsoBoundedByTheNativeStack) {
    avm1::Limits l;
    l.maxCallDepth = 1 << 30;
    l.maxStackBytes = 256u << 10;
    FakeStage stage(7, l);
    // function f() { f(); }  f();
    Actions body;
    body.push(0.0).push("f").code(op::CallFunction).code(op::Pop);
    Actions a;
    a.defineFunction("f", {}, body);
    a.push(0.0).push("f").code(op::CallFunction).code(op::Pop);
    EXPECT_EQ(stage.run(a.bytes()), Lines{});
    EXPECT_EQ(stage.limits, (std::vector<LimitKind>{LimitKind::RecursionDepth}));
}

TEST(Limits, RecursionDeeperThan256CallsStopsTheMoviesScripts) {
    FakeStage stage(7);
    // function f(n) { depth = n; f(n + 1); }  f(0);
    Actions body;
    body.push("depth").push("n").code(op::GetVariable).code(op::SetVariable);
    body.push("n").code(op::GetVariable).code(op::Increment).push(1.0).push("f");
    body.code(op::CallFunction).code(op::Pop);
    Actions a;
    a.defineFunction("f", {"n"}, body);
    a.push(0.0).push(1.0).push("f").code(op::CallFunction).code(op::Pop);
    a.push("not reached").code(op::Trace);
    EXPECT_EQ(stage.run(a.bytes()), Lines{});
    EXPECT_EQ(stage.limits, (std::vector<LimitKind>{LimitKind::RecursionDepth}));
    // The frame's action list is the first level: 254 calls nest, the 255th fails.
    EXPECT_EQ(stage.vm.toNumber(stage.vm.get(stage.rootClip, "depth")), 253);
    // Flash disables every further action of the movie, in this frame and the next ones.
    Actions after;
    after.push("not run").code(op::Trace);
    EXPECT_EQ(stage.run(after.bytes()), Lines{});
    stage.vm.beginFrame();
    EXPECT_EQ(stage.run(after.bytes()), Lines{});
    EXPECT_TRUE(stage.vm.call(stage.vm.get(stage.rootClip, "f"), avm1::Value(), {}).isUndefined());
    EXPECT_EQ(stage.vm.toNumber(stage.vm.get(stage.rootClip, "depth")), 253);
}

TEST(Limits, ObjectBudgetStopsAScriptThatAllocatesWithoutEnd) {
    FakeStage stage(7, small());
    // while (true) list = [list];
    Actions a;
    a.push("list").push("list").code(op::GetVariable).push(1.0).code(op::InitArray);
    a.code(op::SetVariable).jump(-static_cast<int16_t>(a.size() + 5));
    stage.run(a.bytes());
    ASSERT_FALSE(stage.limits.empty());
    EXPECT_EQ(stage.limits[0], LimitKind::MemoryBudget);
    stage.vm.set(stage.rootClip, "list", avm1::Value());
    stage.vm.collectGarbage();
    EXPECT_LT(stage.vm.objectCount(), 1000u);
}

TEST(Limits, StringsCannotDoubleWithoutBound) {
    avm1::Limits limits;
    limits.maxStringBytes = 1 << 20;
    FakeStage stage(7, limits);
    Actions a;
    a.push("s").push("x").code(op::SetVariable);
    std::size_t start = a.size();
    a.push("s").push("s").code(op::GetVariable).push("s").code(op::GetVariable).code(op::Add2);
    a.code(op::SetVariable);
    a.jump(-static_cast<int16_t>(a.size() - start + 5));
    stage.run(a.bytes());
    EXPECT_EQ(stage.limits, (std::vector<LimitKind>{LimitKind::MemoryBudget}));
}

TEST(Malformed, UnderflowPushesUndefined) {
    FakeStage stage(7);
    Actions a;
    a.code(op::Add2).code(op::Trace).code(op::Pop).code(op::Pop).code(op::Trace);
    a.push(1.0).code(op::StackSwap).code(op::Trace).code(op::Trace);
    // The swap of 1 with nothing leaves undefined on top.
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"NaN", "undefined", "undefined", "1"}));
}

TEST(Malformed, BrokenBlocksEndQuietly) {
    FakeStage stage(7);
    const std::vector<std::vector<std::uint8_t>> blocks = {
        {},                                     // empty
        {0x96, 0x10, 0x00, 0x00, 'a'},          // push longer than the block
        {0x96, 0x02, 0x00, 0x00, 'a'},          // string without its terminator
        {0x99, 0x00, 0x80},                     // jump before the block
        {0x99, 0x02, 0x00, 0xFF, 0x7F},         // jump past the end
        {0x9B, 0x05, 0x00, 'f', 0, 0, 0, 0x40}, // function longer than the block
        {0x94, 0x02, 0x00, 0xFF, 0xFF},         // with body past the end
        {0x8F, 0x03, 0x00, 0x07},               // try header cut short
        {0x88, 0xFF, 0xFF, 'a', 0},             // constant pool claiming 65535 names
        {0x96, 0x02, 0x00, 0x09, 0x07, 0x26},   // constant index past the pool
        {0x96, 0x02, 0x00, 0x04, 0xFF, 0x26},   // register past the registers
        {0xFF, 0x00},                           // unknown action, cut short
    };
    for (const auto& block : blocks) {
        stage.run(block);
    }
    Actions ok;
    ok.push("still running").code(op::Trace);
    EXPECT_EQ(stage.run(ok.bytes()), Lines{"still running"});
}

TEST(Malformed, DeeplyNestedWithBlocksStop) {
    FakeStage stage(7);
    // 200 nested with(_root) blocks: each body is the rest of the block.
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 200; ++i) {
        bytes.insert(bytes.end(), {0x96, 0x07, 0x00, 0x00, '_', 'r', 'o', 'o', 't', 0});
        bytes.push_back(0x1C);
        std::size_t rest = static_cast<std::size_t>(199 - i) * 16 + 6;
        bytes.insert(bytes.end(), {0x94, 0x02, 0x00, static_cast<std::uint8_t>(rest & 0xFF),
                                   static_cast<std::uint8_t>(rest >> 8)});
    }
    bytes.insert(bytes.end(), {0x96, 0x03, 0x00, 0x00, 'x', 0, 0x26, 0});
    // Past the player's with stack the inner blocks are passed over whole, so the nesting
    // never gets deep; the trace after them still runs.
    EXPECT_EQ(stage.run(bytes), Lines{"undefined"});
    EXPECT_TRUE(stage.limits.empty());
}

TEST(Malformed, HostileGettersAndPrototypeLoopsEnd) {
    FakeStage stage(7);
    avm1::Machine& vm = stage.vm;
    avm1::Object* a = vm.newObject();
    avm1::Object* b = vm.newObject();
    a->setProto(b);
    b->setProto(a); // a prototype cycle
    EXPECT_TRUE(vm.get(a, "missing").isUndefined());
    EXPECT_TRUE(vm.enumerate(a).empty());
    // A getter that reads the same property of ever new objects recurses until the depth
    // limit, then the read ends.
    avm1::Value getter;
    getter = avm1::Value(static_cast<avm1::Object*>(vm.newFunction([&getter](avm1::CallArgs& c) {
        avm1::Object* next = c.machine.newObject();
        c.machine.callMethod(
            next, "addProperty",
            std::vector<avm1::Value>{avm1::Value(avm1::Str("self")), getter, avm1::Value::null()});
        return c.machine.get(next, "self");
    })));
    avm1::Object* o = vm.newObject();
    vm.callMethod(
        o, "addProperty",
        std::vector<avm1::Value>{avm1::Value(avm1::Str("self")), getter, avm1::Value::null()});
    EXPECT_TRUE(vm.get(o, "self").isUndefined());
    EXPECT_EQ(stage.limits, (std::vector<LimitKind>{LimitKind::RecursionDepth}));
}

} // namespace
} // namespace avm1test
