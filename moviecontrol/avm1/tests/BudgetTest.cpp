// Hostile scripts against the script budget: built-ins that would run for minutes or take
// gigabytes stop at the frame's time, the memory budget or the end of the player.

#include "FakeStage.h"

#include "avm1/State.h"
#include "moviemaker/ActionWriter.h"
#include "scriptbudget/EndRequest.h"
#include "scriptbudget/ScriptMemory.h"
#include "swf/ActionCodes.h"

#include <gtest/gtest.h>

#include <thread>

namespace avm1test {
namespace {

namespace op = swf::op;
using moviemaker::Actions;
using Lines = std::vector<std::string>;
using avm1::LimitKind;
using namespace std::chrono_literals;

// name = new Array(length)
void newArray(Actions& a, std::string_view name, double length) {
    a.push(name).push(length).push(1.0).push("Array").code(op::NewObject).code(op::SetVariable);
}

// name = "x" doubled `times` times (2^times characters), one action per doubling.
void doubledString(Actions& a, std::string_view name, int times) {
    a.push(name).push("x").code(op::SetVariable);
    for (int i = 0; i < times; ++i) {
        a.push(name).push(name).code(op::GetVariable).push(name).code(op::GetVariable);
        a.code(op::Add2).code(op::SetVariable);
    }
}

// Pushes object.method(args...) with the arguments already pushed, last first.
void call(Actions& a, std::string_view object, std::string_view method, double argCount) {
    a.push(argCount).push(object).code(op::GetVariable).push(method).code(op::CallMethod);
}

avm1::Limits limits(double msPerFrame, std::size_t memoryBytes) {
    avm1::Limits l;
    l.msPerFrame = msPerFrame;
    l.memoryBytes = memoryBytes;
    return l;
}

std::size_t megabytes(std::size_t n) {
    return n << 20;
}

TEST(HostileScripts, SortsOfManyEqualElementsEndInTime) {
    // Quadratic sorts of 20,000 elements would pass the 2 s of the frame.
    FakeStage stage(7);
    Actions a;
    newArray(a, "holes", 20000);
    call(a, "holes", "sort", 0);
    a.code(op::Pop);
    a.traceValue("holes.length");
    // Two values, ten thousand of each, sorted as numbers.
    a.push("bits").push(0.0).push("Array").code(op::NewObject).code(op::SetVariable);
    a.push("i").push(0.0).code(op::SetVariable);
    Actions fill;
    fill.push("i").code(op::GetVariable).push(2.0).code(op::Modulo);
    call(fill, "bits", "push", 1);
    fill.code(op::Pop);
    fill.push("i").push("i").code(op::GetVariable).code(op::Increment).code(op::SetVariable);
    const std::size_t loop = a.size();
    a.push("i").code(op::GetVariable).push(20000.0).code(op::Less2).code(op::Not);
    a.ifTrue(static_cast<std::int16_t>(fill.size() + 5));
    a.raw(fill.body());
    a.jump(-static_cast<std::int16_t>(a.size() - loop + 5));
    a.push(16.0);
    call(a, "bits", "sort", 1);
    a.code(op::Pop);
    a.traceValue("bits.9999").traceValue("bits.10000").traceValue("bits.length");
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"20000", "0", "1", "20000"}));
    EXPECT_TRUE(stage.limits.empty());
}

TEST(HostileScripts, AContradictoryComparatorSortsEveryElementOnce) {
    FakeStage stage(7);
    // compare(a, b) = random answers: the order is anything, the elements all there.
    Actions compare;
    compare.push(3.0).code(op::RandomNumber).push(1.0).code(op::Subtract).code(op::Return);
    Actions a;
    a.push("list").push(0.0).push("Array").code(op::NewObject).code(op::SetVariable);
    for (int i = 0; i < 3000; ++i) {
        a.push(static_cast<double>(i % 7));
        call(a, "list", "push", 1);
        a.code(op::Pop);
    }
    a.function(compare);
    call(a, "list", "sort", 1);
    a.code(op::Pop);
    a.push("sum").push("");
    call(a, "list", "join", 1);
    a.code(op::SetVariable);
    a.traceValue("list.length");
    EXPECT_EQ(stage.run(a.bytes()), Lines{"3000"});
    const std::string joined = stage.vm.toString(stage.vm.get(stage.rootClip, "sum")).str();
    ASSERT_EQ(joined.size(), 3000u);
    for (char digit = '0'; digit < '7'; ++digit) {
        EXPECT_EQ(std::count(joined.begin(), joined.end(), digit), digit < '4' ? 429 : 428)
            << digit;
    }
}

TEST(HostileScripts, ABuiltInStopsAtTheFramesTime) {
    FakeStage stage(7, limits(200, megabytes(256)));
    // An array 2 billion long holds no element; joining it still visits every index.
    Actions a;
    newArray(a, "endless", 2147483647.0);
    a.push("");
    call(a, "endless", "join", 1);
    a.code(op::Pop);
    a.trace("not reached");
    EXPECT_EQ(stage.run(a.bytes()), Lines{});
    EXPECT_EQ(stage.limits, std::vector<LimitKind>{LimitKind::TimeBudget});
}

TEST(HostileScripts, FiftyPerlinNoisesStopAtTheFramesTime) {
    FakeStage stage(8, limits(300, megabytes(256)));
    Actions a;
    a.push("bitmap").push(0.0).push(2880.0).push(2880.0).push(3.0);
    a.push("flash").code(op::GetVariable).push("display").code(op::GetMember);
    a.push("BitmapData").code(op::NewMethod).code(op::SetVariable);
    a.push("calls").push(0.0).code(op::SetVariable);
    for (int i = 0; i < 50; ++i) {
        // perlinNoise(200, 200, 8, 1, false, false, 7)
        a.push(7.0).pushBool(false).pushBool(false).push(1.0).push(8.0);
        a.push(200.0).push(200.0);
        call(a, "bitmap", "perlinNoise", 7);
        a.code(op::Pop);
        a.push("calls").push("calls").code(op::GetVariable).code(op::Increment);
        a.code(op::SetVariable);
    }
    stage.run(a.bytes());
    EXPECT_EQ(stage.limits, std::vector<LimitKind>{LimitKind::TimeBudget});
    EXPECT_LT(stage.vm.toNumber(stage.vm.get(stage.rootClip, "calls")), 50);
}

TEST(HostileScripts, SplittingAHugeStringStopsAtTheMemoryBudget) {
    const std::size_t before = scriptbudget::ScriptMemory::live();
    FakeStage stage(7, limits(60000, before + megabytes(96)));
    Actions a;
    doubledString(a, "text", 24); // 16 MB: sixteen million parts
    a.push("parts").push("");
    call(a, "text", "split", 1);
    a.code(op::SetVariable);
    a.trace("not reached");
    EXPECT_EQ(stage.run(a.bytes()), Lines{});
    EXPECT_EQ(stage.limits, std::vector<LimitKind>{LimitKind::MemoryBudget});
    EXPECT_LE(scriptbudget::ScriptMemory::live(), before + megabytes(96));
    // Dropped, the parts go with the next collection.
    stage.vm.set(stage.rootClip, "text", avm1::Value());
    stage.vm.collectGarbage();
    EXPECT_LT(scriptbudget::ScriptMemory::live(), before + megabytes(1));
}

TEST(HostileScripts, ANewStringKeptEachFrameStopsAtTheMemoryBudget) {
    const std::size_t before = scriptbudget::ScriptMemory::live();
    FakeStage stage(7, limits(60000, before + megabytes(64)));
    Actions setup;
    doubledString(setup, "chunk", 22); // 4 MB
    setup.push("kept").push(0.0).push("Array").code(op::NewObject).code(op::SetVariable);
    stage.run(setup.bytes());
    // Every frame: kept.push(chunk + frame)
    Actions frame;
    frame.push("chunk").code(op::GetVariable).push("kept").code(op::GetVariable);
    frame.push("length").code(op::GetMember).code(op::Add2);
    call(frame, "kept", "push", 1);
    frame.code(op::Pop);
    for (int i = 0; i < 40 && stage.limits.empty(); ++i) {
        stage.run(frame.bytes());
        stage.vm.collectIfNeeded();
    }
    EXPECT_EQ(stage.limits, std::vector<LimitKind>{LimitKind::MemoryBudget});
    avm1::Object* list = stage.vm.get(stage.rootClip, "kept").asObject();
    ASSERT_NE(list, nullptr);
    const double kept = stage.vm.toNumber(stage.vm.get(list, "length"));
    EXPECT_GE(kept, 10);
    EXPECT_LE(kept, 16);
    EXPECT_LE(scriptbudget::ScriptMemory::live(), before + megabytes(64));
}

TEST(HostileScripts, CollectionFollowsBytesNotOnlyObjects) {
    const std::size_t before = scriptbudget::ScriptMemory::live();
    FakeStage stage(7, limits(60000, before + megabytes(512)));
    // A few objects, each with a 16 MB string, dropped at once: far too few objects to
    // start a collection by their count.
    Actions a;
    doubledString(a, "chunk", 24);
    for (int i = 0; i < 4; ++i) {
        a.push("o").push("text").push("chunk").code(op::GetVariable).push(static_cast<double>(i));
        a.code(op::Add2).push(1.0).code(op::InitObject).code(op::SetVariable);
    }
    a.push("o").pushUndefined().code(op::SetVariable);
    a.push("chunk").pushUndefined().code(op::SetVariable);
    stage.run(a.bytes());
    ASSERT_GT(scriptbudget::ScriptMemory::live(), before + megabytes(48));
    stage.vm.collectIfNeeded();
    EXPECT_LT(scriptbudget::ScriptMemory::live(), before + megabytes(1));
}

TEST(HostileScripts, TheEndOfThePlayerStopsScriptsAndBuiltInsAtOnce) {
    // The request is for the whole process: the next test must find it cleared.
    struct ClearAtEnd {
        ~ClearAtEnd() { scriptbudget::clearEndRequest(); }
    } clearAtEnd;
    FakeStage stage(7, limits(30000, megabytes(256)));
    for (const bool inBuiltIn : {false, true}) {
        SCOPED_TRACE(inBuiltIn ? "in a built-in" : "in the script");
        Actions a;
        if (inBuiltIn) {
            newArray(a, "endless", 4294967295.0);
            a.push("");
            call(a, "endless", "join", 1);
            a.code(op::Pop);
        } else {
            a.jump(-5);
        }
        std::thread ender([] {
            std::this_thread::sleep_for(100ms);
            scriptbudget::requestEnd();
        });
        const auto started = std::chrono::steady_clock::now();
        stage.run(a.bytes());
        const auto took = std::chrono::steady_clock::now() - started;
        ender.join();
        // Far below the frame's 30 s: the end stopped it.
        EXPECT_LT(took, 15s);
        // Nothing is reported, and no script starts any more.
        EXPECT_TRUE(stage.limits.empty());
        Actions hello;
        hello.trace("after the end");
        EXPECT_EQ(stage.run(hello.bytes()), Lines{});
        scriptbudget::clearEndRequest();
        EXPECT_EQ(stage.run(hello.bytes()), Lines{"after the end"});
    }
}

} // namespace
} // namespace avm1test
