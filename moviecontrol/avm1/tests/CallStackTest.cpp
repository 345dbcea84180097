// The stack a call shares with its caller: what a function leaves behind, by the way it
// was called, and what it cannot take from its caller.

#include "FakeStage.h"

#include "moviemaker/ActionWriter.h"
#include "swf/ActionCodes.h"

#include <gtest/gtest.h>

#include <functional>

namespace avm1test {
namespace {

namespace op = swf::op;
using moviemaker::Actions;
using Lines = std::vector<std::string>;

class CallStack : public ::testing::TestWithParam<int> {};

// Each row defines `f` (pushing "a" and "b", then running `tail`), leaves "keep" on the
// stack, calls f in its way, drops the call's value and traces three values off the stack.
TEST_P(CallStack, WhatAFunctionLeavesStaysWhereACallActionCalledIt) {
    const struct {
        const char* what;
        std::function<void(Actions&)> tail;
        std::function<void(Actions&)> call;
        Lines expected;
        int since = 5;
    } table[] = {
        {"CallFunction",
         [](Actions&) {},
         [](Actions& a) { a.push(0.0).push("f").code(op::CallFunction); },
         {"b", "a", "keep"}},
        {"a returned value stays above the leftovers",
         [](Actions& b) { b.push("r").code(op::Return); },
         [](Actions& a) { a.push(0.0).push("f").code(op::CallFunction); },
         {"b", "a", "keep"}},
        {"CallMethod",
         [](Actions&) {},
         [](Actions& a) {
             a.push(0.0).push("o").code(op::GetVariable).push("f").code(op::CallMethod);
         },
         {"b", "a", "keep"}},
        {"CallMethod on the function itself",
         [](Actions&) {},
         [](Actions& a) {
             a.push(0.0).push("f").code(op::GetVariable).pushUndefined().code(op::CallMethod);
         },
         {"b", "a", "keep"}},
        {"NewObject",
         [](Actions&) {},
         [](Actions& a) { a.push(0.0).push("f").code(op::NewObject); },
         {"b", "a", "keep"}},
        // A function that pops more than it pushed finds nothing of its caller's.
        {"underflow",
         [](Actions& b) { b.code(op::Pop).code(op::Pop).code(op::Pop).code(op::Trace); },
         [](Actions& a) { a.push(0.0).push("f").code(op::CallFunction); },
         {"undefined", "keep", "undefined", "undefined"}},
        // A function a built-in calls cleans up after itself.
        {"through call()",
         [](Actions&) {},
         [](Actions& a) {
             a.push(0.0).push("f").code(op::GetVariable).push("call").code(op::CallMethod);
         },
         {"keep", "undefined", "undefined"},
         6},
    };
    for (const auto& row : table) {
        if (GetParam() < row.since) {
            continue;
        }
        FakeStage stage(GetParam());
        Actions body;
        body.push("a").push("b");
        row.tail(body);
        Actions a;
        a.push("f").defineFunction("", {}, body).code(op::SetVariable);
        a.push("o").push("f").push("f").code(op::GetVariable).push(1.0).code(op::InitObject);
        a.code(op::SetVariable);
        a.push("keep");
        row.call(a);
        a.code(op::Pop);
        for (int i = 0; i < 3; ++i) {
            a.code(op::Trace);
        }
        EXPECT_EQ(stage.run(a.bytes()), row.expected) << row.what;
    }
}

// A function's leftovers reach only the script that called it: what a nested call leaves
// in the function goes with the function's own leftovers, and nothing stays once a
// built-in stands between them.
TEST_P(CallStack, NestedCallsPassLeftoversOneLevelAtATime) {
    FakeStage stage(GetParam());
    Actions inner;
    inner.push("in");
    Actions outer;
    outer.push("out").push(0.0).push("g").code(op::CallFunction).code(op::Pop);
    Actions a;
    a.push("g").defineFunction("", {}, inner).code(op::SetVariable);
    a.push("f").defineFunction("", {}, outer).code(op::SetVariable);
    a.push("keep").push(0.0).push("f").code(op::CallFunction).code(op::Pop);
    a.code(op::Trace).code(op::Trace).code(op::Trace);
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"in", "out", "keep"}));
}

INSTANTIATE_TEST_SUITE_P(Versions, CallStack, ::testing::Values(5, 6, 7, 8, 10));

} // namespace
} // namespace avm1test
