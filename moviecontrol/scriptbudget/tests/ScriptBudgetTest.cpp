// The budget both script machines check: time, memory and the end of the player.

#include "scriptbudget/ScriptBudget.h"
#include "scriptbudget/EndRequest.h"
#include "scriptbudget/NativeStack.h"
#include "scriptbudget/ScriptMemory.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace std::chrono_literals;
using scriptbudget::Overrun;

scriptbudget::BudgetLimits limits(std::chrono::milliseconds perFrame, std::size_t bytes) {
    scriptbudget::BudgetLimits l;
    l.perFrame = perFrame;
    l.memoryBytes = bytes;
    return l;
}

TEST(FrameBudget, MemoryIsStringsAndBitmapsPlusTheMachinesOwnBytes) {
    const std::size_t before = scriptbudget::ScriptMemory::live();
    const scriptbudget::FrameBudget budget(limits(10s, before + 1000));
    EXPECT_EQ(budget.check(1000), Overrun::None);
    EXPECT_EQ(budget.check(1001), Overrun::Memory);
    {
        scriptbudget::CountedBytes held(600);
        EXPECT_EQ(scriptbudget::ScriptMemory::live(), before + 600);
        EXPECT_EQ(budget.check(400), Overrun::None);
        EXPECT_EQ(budget.check(401), Overrun::Memory);
        EXPECT_TRUE(budget.allows(0, 400));
        EXPECT_FALSE(budget.allows(0, 401));
        // A request larger than all memory does not wrap around.
        EXPECT_FALSE(budget.allows(0, SIZE_MAX));
        scriptbudget::CountedBytes copy = held;
        EXPECT_EQ(scriptbudget::ScriptMemory::live(), before + 1200);
        copy.reset(10);
        EXPECT_EQ(scriptbudget::ScriptMemory::live(), before + 610);
    }
    EXPECT_EQ(scriptbudget::ScriptMemory::live(), before);
}

// Recurses until the stack bound is met, or `most` levels; returns the depth reached.
[[gnu::noinline]] int recurseUntilExhausted(const scriptbudget::NativeStack& stack, int depth,
                                            int most) {
    volatile char frame[512] = {};
    if (stack.exhausted() || depth == most) {
        return depth + frame[0];
    }
    return recurseUntilExhausted(stack, depth + 1, most) + frame[1];
}

TEST(NativeStack, BoundsTheBytesBeyondTheMark) {
    scriptbudget::NativeStack unmarked(1024);
    EXPECT_EQ(recurseUntilExhausted(unmarked, 0, 200), 200);
    scriptbudget::NativeStack stack(64u << 10);
    stack.markStart();
    const int depth = recurseUntilExhausted(stack, 0, 100000);
    // 512-byte frames: about 128 fit in 64 KB, fewer when the frames are larger.
    EXPECT_GT(depth, 8);
    EXPECT_LE(depth, 130);
    EXPECT_GE(scriptbudget::defaultScriptStackBytes(), 256u << 10);
    EXPECT_LE(scriptbudget::defaultScriptStackBytes(), 4u << 20);
}

// Keeps the thread running until it has run `how long` by its own clock, however busy the
// machine is with other work.
void spin(std::chrono::milliseconds howLong) {
    const auto until = scriptbudget::threadRunTime() + howLong;
    volatile unsigned sink = 0;
    while (scriptbudget::threadRunTime() < until) {
        sink = sink + 1;
    }
}

TEST(FrameBudget, TimeIsWhatTheScriptsThreadRanSinceTheFrameBegan) {
    auto l = limits(30ms, SIZE_MAX / 2);
    l.wallCeilingFactor = 10;
    scriptbudget::FrameBudget budget(l);
    EXPECT_EQ(budget.check(0), Overrun::None);
    spin(45ms);
    EXPECT_EQ(budget.check(0), Overrun::Time);
    budget.beginFrame();
    EXPECT_EQ(budget.check(0), Overrun::None);
    // Time the thread did not run (a machine busy with other work) is not the scripts'...
    std::this_thread::sleep_for(45ms);
    EXPECT_EQ(budget.check(0), Overrun::None);
    // ...up to the wall-clock ceiling.
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(budget.check(0), Overrun::Time);
}

TEST(FrameBudget, TheEndOfThePlayerStopsEveryScriptFirst) {
    scriptbudget::FrameBudget budget(limits(10s, 0));
    EXPECT_EQ(budget.check(1), Overrun::Memory);
    scriptbudget::requestEnd();
    EXPECT_TRUE(scriptbudget::endRequested());
    EXPECT_EQ(budget.check(1), Overrun::Ending);
    scriptbudget::clearEndRequest();
    EXPECT_FALSE(scriptbudget::endRequested());
}

} // namespace
